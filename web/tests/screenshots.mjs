// The web editor's pictures for the README, taken in headless Chromium from
// the real page: node web/tests/screenshots.mjs dist/web OUT_DIR [OTHER.zip]
// With OTHER.zip (a skin of our own, such as build/cli/skintool convert
// --recolour 150,20 --out Sunset.zip), Take from skin with its colours too.
import { mkdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../tools/serve-web.mjs';
import { launchChromium } from './chromium.mjs';

const [web, out, other] = process.argv.slice(2);
if (!out) {
  console.error('usage: node screenshots.mjs SITE_DIR OUT_DIR [OTHER.zip]');
  process.exit(2);
}
mkdirSync(out, { recursive: true });
const server = await serve(web);
const browser = await launchChromium(puppeteer, mkdtempSync(join(tmpdir(), 'shots-')));
const idle = (page) => page.waitForFunction(() => window.skinEditor.quiet(), { polling: 20 }).then(() => new Promise((r) => setTimeout(r, 300)));
try {
  const page = await (await browser.createBrowserContext()).newPage();
  await page.setViewport({ width: 1440, height: 900 });
  await page.goto(`${server.url}/?test`, { waitUntil: 'load' });
  await page.waitForFunction(() => window.skinEditor?.ready);
  await page.keyboard.press('F9');
  await page.keyboard.press('F10');
  await idle(page);
  const box = await (await page.$('canvas.preview')).boundingBox();
  await page.mouse.move(box.x + box.width * 0.62, box.y + box.height * 0.25);
  await idle(page);
  await page.screenshot({ path: join(out, 'web-editor.png') });

  await page.locator('::-p-aria(gameInfoTextColor)').click();
  await page.waitForSelector('dialog[open]');
  await page.keyboard.type('#f8c000');
  await idle(page);
  await page.screenshot({ path: join(out, 'web-colour.png') });
  await page.keyboard.press('Escape');

  if (other) {
    await page.locator('::-p-aria([name="Skin"][role="menuitem"])').click();
    await page.locator('::-p-aria([name="Take from skin..."])').click();
    const [chooser] = await Promise.all([page.waitForFileChooser(),
      page.locator('dialog[open] ::-p-aria([name="*.zip"][role="button"])').click()]);
    await chooser.accept([other]);
    await page.locator('dialog[open] ::-p-aria([name="Colors"][role="checkbox"])').click();
    await idle(page);
    await page.screenshot({ path: join(out, 'web-take-from.png') });
    await page.locator('dialog[open] ::-p-aria([name="Cancel"][role="button"])').click();
    await idle(page);
  }

  await page.setViewport({ width: 800, height: 700 });
  await page.locator('::-p-aria([name="Language"][role="menuitem"])').click();
  await page.locator('::-p-aria(Deutsch)').click();
  await page.waitForFunction(() => document.documentElement.lang === 'de');
  await idle(page);
  await page.screenshot({ path: join(out, 'web-small-german.png') });
} finally {
  await browser.close();
  await server.close();
}
