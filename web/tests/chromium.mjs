// Headless Chromium for the browser tests and benchmarks, driven through
// puppeteer-core: the system's browser, a fresh profile, nothing it would
// fetch for itself (updates, sync, QUIC probes).
export const kChromium = process.env.CHROMIUM ?? '/usr/bin/chromium';

export const kChromiumArgs = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

/** Chromium with its profile in `profile` (a fresh folder); every step bounded. */
export function launchChromium(puppeteer, profile) {
  return puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: kChromiumArgs,
    userDataDir: profile,
    timeout: 60_000,
    protocolTimeout: 120_000,
  });
}

/** `promise`, or a rejection naming `what` once `ms` have passed. */
export function withTimeout(promise, ms, what) {
  let timer;
  const late = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`${what}: no end within ${ms / 1000} s`)), ms);
  });
  return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}
