// Chromium through puppeteer-core over the DevTools protocol, as the other
// browser tests drive it (../chromium.mjs), behind the interface of index.mjs.
import { createRequire } from 'node:module';
import { mkdtempSync } from 'node:fs';
import { join } from 'node:path';
import { launchChromium } from '../chromium.mjs';
import { poll } from './index.mjs';

const puppeteer = createRequire(import.meta.url)('puppeteer-core');

/** One page of puppeteer (Chromium or Firefox) behind the common interface. */
export async function puppeteerSession(name, browser) {
  const page = await browser.newPage();
  page.setDefaultTimeout(30_000);
  page.setDefaultNavigationTimeout(60_000);
  const consoleErrors = [];
  page.on('console', (m) => {
    if (m.type() === 'error') consoleErrors.push(m.text());
  });
  page.on('pageerror', (e) => consoleErrors.push(String(e.message ?? e)));
  // A page that asks before it is left (unsaved changes) is left, as WebKit's session is told to.
  page.on('dialog', (d) => void d.accept().catch(() => {}));
  const evaluate = (fn, ...args) => page.evaluate(fn, ...args);
  return {
    name,
    consoleErrors,
    page,
    goto: (url) => page.goto(url, { waitUntil: 'load' }),
    reload: () => page.reload({ waitUntil: 'load' }),
    evaluate,
    waitFor: (fn, args, options) => poll(evaluate, fn, args, options),
    async setFile(selector, path) {
      const input = await page.waitForSelector(selector, { timeout: 10_000 });
      await input.uploadFile(path);
    },
    close: () => browser.close(),
  };
}

export async function launchChromiumSession({ work }) {
  const browser = await launchChromium(puppeteer, mkdtempSync(join(work, 'chromium-')));
  const session = await puppeteerSession('chromium', browser);
  await session.page.setViewport({ width: 1400, height: 1000 });
  return session;
}
