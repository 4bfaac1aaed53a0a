// The editor page driven as a user drives it, for the browser tests: the
// page served from the web build, headless Chromium, controls found by their
// accessible names, files given through the page's own choosers, and what
// the page shows compared with what the desktop build's skintool makes.
// Each page is checked for errors when it is closed (closePage).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';
import { serve } from '../../tools/serve-web.mjs';
import { launchChromium } from './chromium.mjs';

export const env = (name) => {
  const v = process.env[name];
  if (!v) throw new Error(`${name} is not set`);
  return v;
};

export const harness = { web: '', skintool: '', tests: '', work: '', origin: '', browser: null, server: null };
const elsewhere = [];
const errorsOf = new WeakMap();

/** Serves the site and starts Chromium with a fresh profile (call in `before`). */
export async function startHarness() {
  harness.web = env('WEB_SITE');
  harness.skintool = env('NATIVE_SKINTOOL');
  harness.tests = env('TESTS_DIR');
  harness.work = env('WORK_DIR');
  rmSync(harness.work, { recursive: true, force: true });
  mkdirSync(harness.work, { recursive: true });
  harness.server = await serve(harness.web);
  harness.origin = harness.server.url;
  harness.browser = await launchChromium(puppeteer, mkdtempSync(join(harness.work, 'profile-')));
}

/** Closes the browser and the server; no page asked another host (call in `after`). */
export async function stopHarness() {
  await harness.browser?.close();
  await harness.server?.close();
  assert.deepEqual(elsewhere, [], 'the page asked another host');
}

/** Runs the desktop build's skintool with `args` and `--out WORK/name`; the output's path. */
export function native(args, name) {
  const out = join(harness.work, name);
  execFileSync(harness.skintool, [...args, '--out', out], { timeout: 60_000, stdio: ['ignore', 'ignore', 'inherit'] });
  return out;
}

/** What the desktop build renders, as RGBA bytes. */
export function nativeRender(args, name) {
  const png = decode(readFileSync(native(['render', ...args], `${name}.png`)));
  const rgba = Buffer.alloc(png.width * png.height * 4);
  for (let i = 0; i < png.width * png.height; ++i) {
    for (let c = 0; c < 3; ++c) rgba[i * 4 + c] = png.data[i * png.channels + c];
    rgba[i * 4 + 3] = 255;
  }
  return { width: png.width, height: png.height, rgba };
}

/** Watches a page for errors and requests to other hosts; closePage checks them. */
export function watch(page) {
  const errors = [];
  errorsOf.set(page, errors);
  page.setDefaultTimeout(30_000);
  page.on('request', (r) => {
    const url = r.url();
    if (!url.startsWith(harness.origin) && !url.startsWith('data:') && !url.startsWith('blob:')) elsewhere.push(url);
  });
  page.on('pageerror', (e) => errors.push(e.message));
  return page;
}

/** A page of the editor, started, in a context of its own (its own storage) unless given one. */
export async function newPage(context, { before, query = '' } = {}) {
  const page = watch(await (context ?? (await harness.browser.createBrowserContext())).newPage());
  await page.setViewport({ width: 1400, height: 1000 });
  if (before) await before(page);
  await page.goto(`${harness.origin}/?test${query ? `&${query}` : ''}`, { waitUntil: 'load' });
  await started(page);
  return page;
}

/** Waits for the page's start; it must not have failed. */
export async function started(page) {
  await page.waitForFunction(() => window.skinEditor?.ready || window.skinEditor?.error, { timeout: 60_000, polling: 50 });
  assert.equal(await page.evaluate(() => window.skinEditor.error), '');
}

/** Closes a page (and its own context) after checking that nothing threw in it. */
export async function closePage(page, { context = true } = {}) {
  const errors = errorsOf.get(page) ?? [];
  const owner = page.browserContext();
  await page.close();
  if (context && owner !== harness.browser.defaultBrowserContext()) await owner.close().catch(() => {});
  assert.deepEqual(errors, [], 'the page threw');
}

/** The page's work is done: no call of the engine outstanding, nothing drawn for two frames. */
export async function settled(page) {
  await page.evaluate(() => new Promise((r) => setTimeout(r, 30)));
  await page.waitForFunction(() => window.skinEditor.idle(), { timeout: 30_000, polling: 20 });
}

export async function preview(page, canvasName = 'Preview') {
  await settled(page);
  const { width, height, data } = await page.$eval(`::-p-aria(${canvasName})`, (c) => {
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let i = 0; i < d.length; i += 0x8000) text += String.fromCharCode(...d.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(text) };
  });
  return { width, height, rgba: Buffer.from(data, 'base64') };
}

export function assertSame(shown, expected, what) {
  assert.equal(`${shown.width} x ${shown.height}`, `${expected.width} x ${expected.height}`, `${what}: size`);
  const at = shown.rgba.findIndex((v, i) => v !== expected.rgba[i]);
  if (at >= 0) {
    const p = Math.floor(at / 4);
    assert.fail(`${what}: pixel (${p % shown.width}, ${Math.floor(p / shown.width)}) is ` +
      `${[...shown.rgba.subarray(p * 4, p * 4 + 3)]}, the desktop draws ${[...expected.rgba.subarray(p * 4, p * 4 + 3)]}`);
  }
}

export async function keys(page, modifier, key) {
  await page.keyboard.down(modifier);
  await page.keyboard.press(key);
  await page.keyboard.up(modifier);
}

export async function menu(page, title, entry) {
  await page.locator(`::-p-aria([name="${title}"][role="menuitem"])`).click();
  await page.locator(`::-p-aria([name="${entry}"])`).click();
}

export async function chooseFile(page, action, path) {
  // The chooser opens once the commands before it are done: on a busy machine, a while.
  const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 60_000 }), action()]);
  await chooser.accept([path]);
}

export async function setScreen(page, screen) {
  await page.$eval('::-p-aria([name="Screen"][role="combobox"])', (s, v) => {
    s.value = String(v);
    s.dispatchEvent(new Event('change'));
  }, screen);
}

/** The status line's text. */
export function statusLine(page) {
  return page.$eval('[role=status]', (s) => s.textContent);
}

/** Downloads of `page` go to `dir` (or, with `deny`, nowhere: as a blocked download or a cancelled Save As). */
export async function downloads(page, dir, { deny = false } = {}) {
  if (dir) mkdirSync(dir, { recursive: true });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', deny
    ? { behavior: 'deny', browserContextId: page.browserContext().id }
    : { behavior: 'allow', downloadPath: dir, browserContextId: page.browserContext().id });
}

export async function downloaded(dir, name) {
  const path = join(dir, name);
  for (let i = 0; i < 200 && !(existsSync(path) && !readdirSync(dir).some((f) => f.endsWith('.crdownload'))); ++i) {
    await new Promise((r) => setTimeout(r, 50));
  }
  assert.ok(existsSync(path), `${name} was not downloaded (${readdirSync(dir).join(', ')})`);
  return readFileSync(path);
}

// The members of an archive, in order; uisettings.ini without its LastUpdate line, which is the moment of saving.
export function members(bytes) {
  return Object.entries(unzipSync(new Uint8Array(bytes))).map(([name, data]) => [
    name,
    name.endsWith('uisettings.ini') ? Buffer.from(data).toString('latin1').replace(/^LastUpdate *=.*$/m, '') : Buffer.from(data).toString('base64'),
  ]);
}

/** The records of one of the page's IndexedDB stores ("journals", "not-restored"). */
export function storedRecords(page, storeName) {
  return page.evaluate((name) => new Promise((resolve, reject) => {
    const r = indexedDB.open('skin-editor');
    r.onsuccess = () => {
      const db = r.result;
      if (!db.objectStoreNames.contains(name)) {
        db.close();
        return resolve([]);
      }
      const all = db.transaction(name).objectStore(name).getAll();
      all.onsuccess = () => {
        db.close();
        resolve(all.result.map((j) => JSON.parse(JSON.stringify(j, (k, v) => (v instanceof Uint8Array ? v.length : v)))));
      };
      all.onerror = () => reject(all.error);
    };
    r.onerror = () => reject(r.error);
  }), storeName);
}
