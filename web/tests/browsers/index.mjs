// The three browser engines the editor page is tested in, behind one small
// interface, each from Debian's packages and driven by npm packages that
// download no browser:
//   chromium  puppeteer-core over the DevTools protocol (/usr/bin/chromium)
//   firefox   puppeteer-core over WebDriver BiDi (/usr/bin/firefox-esr)
//   webkit    WebKitWebDriver with its MiniBrowser under Xvfb, spoken to in
//             the W3C WebDriver protocol over plain HTTP
//
// const b = await launchBrowser('firefox', { work });  then, for one page:
//   b.goto(url), b.reload()
//   b.evaluate(fn, ...args)   fn's source runs in the page (it may return a promise); its value, as JSON
//   b.waitFor(fn, args, { timeout, what })   polls until fn gives something truthy, which it returns
//   b.setFile(selector, path) gives a file to the page's <input type=file>, as a chooser would
//   b.consoleErrors           the errors the browser's console showed, where the driver reads it
//   b.close()
// Every step is bounded: a browser that does not answer fails the test, it never hangs it.
import { launchChromiumSession } from './chromium.mjs';
import { launchFirefoxSession } from './firefox.mjs';
import { launchWebKitSession } from './webkit.mjs';

export const kEngines = ['chromium', 'firefox', 'webkit'];

const launchers = { chromium: launchChromiumSession, firefox: launchFirefoxSession, webkit: launchWebKitSession };

/** A fresh browser of the engine `name` with its profile in `work`, one page open at about:blank. */
export function launchBrowser(name, options) {
  const launch = launchers[name];
  if (!launch) throw new Error(`no such engine: ${name} (${kEngines.join(', ')})`);
  return launch(options);
}

/** Polls `evaluate(fn, ...args)` until it gives something truthy; bounded by `timeout` ms. */
export async function poll(evaluate, fn, args = [], { timeout = 30_000, interval = 50, what = 'the page' } = {}) {
  const end = Date.now() + timeout;
  let last;
  for (;;) {
    last = await evaluate(fn, ...args);
    if (last) return last;
    if (Date.now() > end) throw new Error(`${what}: not within ${timeout / 1000} s (last: ${JSON.stringify(last)})`);
    await new Promise((r) => setTimeout(r, interval));
  }
}

/** `promise`, or a rejection naming `what` once `ms` have passed. */
export function bounded(promise, ms, what) {
  let timer;
  const late = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`${what}: no answer within ${ms / 1000} s`)), ms);
  });
  return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}
