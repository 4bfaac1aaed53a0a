// The engine's page in a real browser: dist/engine/engine-demo.html served on
// 127.0.0.1 and opened in headless Chromium draws all fourteen screens at
// 266 x 490, its first screen is pixel for pixel what the desktop build's
// skintool renders, and the page asks nothing of any other host.
//   node web/tests/demo-browser.mjs NATIVE_SKINTOOL ENGINE_DIR WORKDIR
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import puppeteer from 'puppeteer-core';
import { serve } from '../../tools/serve-web.mjs';
import { launchChromium, withTimeout } from './chromium.mjs';

const [skintool, buildWeb, work] = process.argv.slice(2);
if (!work) {
  console.error('usage: node demo-browser.mjs NATIVE_SKINTOOL ENGINE_DIR WORKDIR');
  process.exit(2);
}
const kScreens = 14;
const kWidth = 266;
const kHeight = 490;

rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });

// What the desktop build draws, as RGBA.
const nativePng = join(work, 'screen-0.png');
execFileSync(skintool, ['render', '--screen', '0', '--out', nativePng], { timeout: 60_000, stdio: 'inherit' });
const native = decode(readFileSync(nativePng));
if (native.width !== kWidth || native.height !== kHeight || native.depth !== 8 || native.channels < 3) {
  throw new Error(`the native render is ${native.width} x ${native.height}, ${native.channels} channels of ${native.depth} bits`);
}

const failures = [];
const fail = (text) => failures.push(text);

const server = await serve(buildWeb);
const origin = server.url;
const profile = mkdtempSync(join(work, 'profile-'));
let browser = null;
try {
  browser = await launchChromium(puppeteer, profile);
  const page = await browser.newPage();
  page.setDefaultTimeout(60_000);
  const elsewhere = [];
  page.on('request', (request) => {
    const url = request.url();
    if (new URL(url).origin !== origin && !url.startsWith('data:') && !url.startsWith('blob:')) elsewhere.push(url);
  });
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(error.message));

  await page.goto(`${origin}/engine-demo.html`, { waitUntil: 'load', timeout: 60_000 });
  await page.waitForFunction(() => window.engineDemo !== undefined, { timeout: 90_000, polling: 100 });
  const demo = await page.evaluate(() => ({ ready: window.engineDemo.ready, error: window.engineDemo.error ?? '' }));
  if (!demo.ready) throw new Error(`the page's engine did not start: ${demo.error}`);

  const sizes = await page.evaluate((count) => Array.from({ length: count }, (_, i) => {
    const canvas = document.getElementById(`screen-${i}`);
    return canvas ? [canvas.width, canvas.height] : null;
  }), kScreens);
  sizes.forEach((size, i) => {
    if (!size) fail(`canvas #screen-${i} is missing`);
    else if (size[0] !== kWidth || size[1] !== kHeight) fail(`canvas #screen-${i} is ${size[0]} x ${size[1]}`);
  });
  const extra = await page.evaluate((count) => document.querySelectorAll('canvas').length - count, kScreens);
  if (extra !== 0) fail(`the page has ${extra} canvases besides the ${kScreens} screens`);

  // The first screen's pixels, base64 in one string (a plain array of half
  // a million numbers would cost more to carry).
  const shown = await page.evaluate(() => {
    const canvas = document.getElementById('screen-0');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    return btoa(text);
  });
  const page0 = Buffer.from(shown, 'base64');
  if (page0.length !== kWidth * kHeight * 4) {
    fail(`screen 0 gave ${page0.length} bytes of pixels`);
  } else {
    let differing = 0;
    let first = '';
    for (let p = 0; p < kWidth * kHeight; ++p) {
      const n = native.data.subarray(p * native.channels, p * native.channels + native.channels);
      const want = [n[0], n[1], n[2], native.channels === 4 ? n[3] : 255];
      const got = page0.subarray(p * 4, p * 4 + 4);
      if (want.some((v, c) => v !== got[c])) {
        if (++differing === 1) first = `(${p % kWidth}, ${Math.floor(p / kWidth)}) is ${[...got]} on the page, ${want} natively`;
      }
    }
    if (differing) fail(`screen 0: ${differing} pixels differ from the native render; the first, ${first}`);
  }
  if (elsewhere.length) fail(`requests left ${origin}: ${elsewhere.join(', ')}`);
  if (pageErrors.length) fail(`the page threw: ${pageErrors.join('; ')}`);
} catch (e) {
  fail(e.stack || String(e));
} finally {
  if (browser) await withTimeout(browser.close(), 15_000, 'closing Chromium').catch((e) => {
    browser.process()?.kill('SIGKILL');
    fail(e.message);
  });
  await server.close();
  rmSync(profile, { recursive: true, force: true });
}
if (failures.length) {
  for (const f of failures) console.error(`FAIL ${f}`);
  process.exit(1);
}
console.log(`engine-demo.html in Chromium: ${kScreens} screens of ${kWidth} x ${kHeight}, screen 0 as the native render`);
