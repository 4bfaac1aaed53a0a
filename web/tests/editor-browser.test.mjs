// The editor page (build-web/index.html) in headless Chromium, driven as a
// user drives it: controls found by their accessible names, files given
// through the page's own choosers or dropped, keys pressed. What the page
// shows and saves is compared with what the desktop build's skintool makes
// of the same skin and the same changes.
//   WEB_BUILD=build-web NATIVE_SKINTOOL=... TESTS_DIR=tests WORK_DIR=... node --test editor-browser.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';
import { launchChromium } from './chromium.mjs';

const env = (name) => {
  const v = process.env[name];
  if (!v) throw new Error(`${name} is not set`);
  return v;
};
const web = env('WEB_BUILD');
const skintool = env('NATIVE_SKINTOOL');
const tests = env('TESTS_DIR');
const work = env('WORK_DIR');
const archive = join(tests, 'data/archives/infozip_mixed.zip');
const picture = join(tests, 'data/images/card_rgb8.png');

let server;
let browser;
let origin;
const elsewhere = [];
const pageErrors = [];

function native(args, name) {
  const out = join(work, name);
  execFileSync(skintool, [...args, '--out', out], { timeout: 60_000, stdio: ['ignore', 'ignore', 'inherit'] });
  return out;
}

// A whole skin archive and folder of our own, made by the desktop build.
let sunset;

/** What the desktop build renders, as RGBA bytes. */
function nativeRender(args, name) {
  const png = decode(readFileSync(native(['render', ...args], `${name}.png`)));
  const rgba = Buffer.alloc(png.width * png.height * 4);
  for (let i = 0; i < png.width * png.height; ++i) {
    for (let c = 0; c < 3; ++c) rgba[i * 4 + c] = png.data[i * png.channels + c];
    rgba[i * 4 + 3] = 255;
  }
  return { width: png.width, height: png.height, rgba };
}

async function newPage(context = browser) {
  const page = await context.newPage();
  page.setDefaultTimeout(30_000);
  await page.setViewport({ width: 1400, height: 1000 });
  page.on('request', (r) => {
    const url = r.url();
    if (!url.startsWith(origin) && !url.startsWith('data:') && !url.startsWith('blob:')) elsewhere.push(url);
  });
  page.on('pageerror', (e) => pageErrors.push(e.message));
  await page.goto(`${origin}/`, { waitUntil: 'load' });
  await page.waitForFunction(() => window.skinEditor?.ready || window.skinEditor?.error, { timeout: 60_000, polling: 50 });
  assert.equal(await page.evaluate(() => window.skinEditor.error), '');
  return page;
}

/** The page's work is done: no call of the engine outstanding, nothing drawn for two frames. */
async function settled(page) {
  await page.evaluate(() => new Promise((r) => setTimeout(r, 30)));
  await page.waitForFunction(() => window.skinEditor.idle(), { timeout: 30_000, polling: 20 });
}

async function preview(page, canvasName = 'Preview') {
  await settled(page);
  const { width, height, data } = await page.$eval(`::-p-aria(${canvasName})`, (c) => {
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let i = 0; i < d.length; i += 0x8000) text += String.fromCharCode(...d.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(text) };
  });
  return { width, height, rgba: Buffer.from(data, 'base64') };
}

function assertSame(shown, expected, what) {
  assert.equal(`${shown.width} x ${shown.height}`, `${expected.width} x ${expected.height}`, `${what}: size`);
  const at = shown.rgba.findIndex((v, i) => v !== expected.rgba[i]);
  if (at >= 0) {
    const p = Math.floor(at / 4);
    assert.fail(`${what}: pixel (${p % shown.width}, ${Math.floor(p / shown.width)}) is ` +
      `${[...shown.rgba.subarray(p * 4, p * 4 + 3)]}, the desktop draws ${[...expected.rgba.subarray(p * 4, p * 4 + 3)]}`);
  }
}

async function menu(page, title, entry) {
  await page.locator(`::-p-aria([name="${title}"][role="menuitem"])`).click();
  await page.locator(`::-p-aria([name="${entry}"])`).click();
}

async function chooseFile(page, action, path) {
  const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 20_000 }), action()]);
  await chooser.accept([path]);
}

async function setScreen(page, screen) {
  await page.$eval('::-p-aria([name="Screen"][role="combobox"])', (s, v) => {
    s.value = String(v);
    s.dispatchEvent(new Event('change'));
  }, screen);
}

async function downloads(page, dir) {
  mkdirSync(dir, { recursive: true });
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: dir });
}

async function downloaded(dir, name) {
  const path = join(dir, name);
  for (let i = 0; i < 200 && !(existsSync(path) && !readdirSync(dir).some((f) => f.endsWith('.crdownload'))); ++i) {
    await new Promise((r) => setTimeout(r, 50));
  }
  assert.ok(existsSync(path), `${name} was not downloaded (${readdirSync(dir).join(', ')})`);
  return readFileSync(path);
}

// The members of an archive, in order; uisettings.ini without its LastUpdate line, which is the moment of saving.
function members(bytes) {
  return Object.entries(unzipSync(new Uint8Array(bytes))).map(([name, data]) => [
    name,
    name.endsWith('uisettings.ini') ? Buffer.from(data).toString('latin1').replace(/^LastUpdate *=.*$/m, '') : Buffer.from(data).toString('base64'),
  ]);
}

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  server = await serve(web);
  origin = server.url;
  browser = await launchChromium(puppeteer, mkdtempSync(join(work, 'profile-')));
  sunset = native(['convert', '--recolour', '150,10,-5'], 'Sunset.zip');
});

after(async () => {
  await browser?.close();
  await server?.close();
  assert.deepEqual(elsewhere, [], 'the page asked another host');
  assert.deepEqual(pageErrors, [], 'the page threw');
});

describe('the editor page', () => {
  test('draws three screens at zoom 1 and 2 as the desktop does', async () => {
    const page = await newPage();
    for (const zoom of [1, 2]) {
      await page.keyboard.down('Control');
      await page.keyboard.press(zoom === 1 ? '0' : '=');
      await page.keyboard.up('Control');
      for (const screen of [0, 4, 13]) {
        await setScreen(page, screen);
        assertSame(await preview(page), nativeRender(['--screen', String(screen), '--zoom', String(zoom)], `builtin-${screen}-${zoom}`), `screen ${screen} at zoom ${zoom}`);
      }
    }
    await page.close();
  });

  test('opens an archive through the chooser and a folder dropped on it, and keeps the skin when a hostile archive is refused', async () => {
    const page = await newPage();
    await page.keyboard.down('Control');
    await page.keyboard.press('0');
    await page.keyboard.up('Control');
    await chooseFile(page, () => menu(page, 'File', '*.zip'), sunset);
    await page.waitForFunction(() => document.title.includes('Sunset'));
    const fromArchive = nativeRender(['--skin', sunset], 'archive');
    assertSame(await preview(page), fromArchive, 'the archive opened');

    // A hostile archive: a message, and the skin that was open stays.
    await chooseFile(page, () => menu(page, 'File', '*.zip'), join(tests, 'data/archives/truncated.zip'));
    const message = await page.waitForSelector('dialog[open]');
    assert.match(await message.evaluate((d) => d.textContent), /truncated\.zip : No skin settings file/);
    await page.keyboard.press('Enter');
    assertSame(await preview(page), fromArchive, 'after the refused archive');
    assert.match(await page.title(), /Sunset/);

    // A folder dropped on the page, as the desktop build saved it.
    const folder = native(['convert', '--recolour', '40'], 'Dropped');
    await page.evaluate(() => {
      document.title = 'dropping';
    });
    const session = await page.createCDPSession();
    const box = await (await page.$('::-p-aria(Preview)')).boundingBox();
    const data = { items: [], files: [folder], dragOperationsMask: 1 };
    for (const type of ['dragEnter', 'dragOver', 'drop']) {
      await session.send('Input.dispatchDragEvent', { type, x: box.x + 20, y: box.y + 20, data });
    }
    await page.waitForFunction(() => document.title.includes('Dropped'), { timeout: 20_000 });
    assertSame(await preview(page), nativeRender(['--skin', folder], 'dropped'), 'the folder dropped');
    await page.close();
  });

  test('a colour typed shows on the preview, and Undo takes it back', async () => {
    const page = await newPage();
    await page.keyboard.down('Control');
    await page.keyboard.press('0');
    await page.keyboard.up('Control');
    const before = await preview(page);
    await page.locator('::-p-aria(gameInfoTextColor)').click();
    const text = await page.waitForSelector('dialog[open] ::-p-aria(Text)');
    await text.evaluate((i) => (i.value = ''));
    await text.type('0x001f');
    // Live on the preview before OK, as red (the file's bit order: red in the low bits).
    await page.waitForFunction(() => window.skinEditor.draws > 0);
    await settled(page);
    await page.locator('dialog[open] ::-p-aria(OK)').click();
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    const edited = await preview(page);
    const red = (p) => { let n = 0; for (let i = 0; i < p.rgba.length; i += 4) n += p.rgba[i] === 248 && p.rgba[i + 1] === 0 && p.rgba[i + 2] === 0; return n; };
    assert.ok(red(edited) > red(before) + 20, `the text turned red: ${red(before)} red pixels before, ${red(edited)} after`);
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await page.keyboard.up('Control');
    assertSame(await preview(page), before, 'after Undo');
    await page.close();
  });
});
