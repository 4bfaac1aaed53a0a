// The editor page as a web app in one browser engine (ENGINE: chromium,
// firefox or webkit, see browsers/index.mjs), as a user meets it there: the
// first preview as the desktop draws it; an archive given through the file
// input; a colour changed and undone; Save handing over the archive the
// desktop writes; a reload offering the journal kept in IndexedDB, and
// Restore bringing the change back; another language; the page opening
// again with the server gone (its service worker); a new version offered
// only while nothing is unsaved. No error in the page all along.
//   ENGINE=firefox WEB_SITE=dist/web NATIVE_SKINTOOL=build/cli/skintool WORK_DIR=... node --test editor-engines.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import { unzipSync, zipSync } from 'fflate';
import { serve } from '../../tools/serve-web.mjs';
import { launchBrowser, poll } from './browsers/index.mjs';

const env = (name) => process.env[name] ?? assert.fail(`${name} is not set`);
const engine = env('ENGINE');
const work = env('WORK_DIR');
const skintool = env('NATIVE_SKINTOOL');

// In the page (each function is sent as its source: it uses nothing from here).
const page = {
  started: () => window.skinEditor?.restoreAsked === true || window.skinEditor?.error || null,
  idle: () => window.skinEditor.idle(),
  errors: () => window.skinEditorErrors ?? ['the test hook is missing'],
  title: () => document.title,
  // The preview's pixels, as base64 RGBA.
  preview: () => {
    const c = document.querySelector('canvas.preview');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let i = 0; i < d.length; i += 0x8000) text += String.fromCharCode(...d.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(text) };
  },
  // A menu's entry, by their names, as a click would choose it.
  menu: async (title, entry) => {
    const name = (e) => e.getAttribute('aria-label') ?? e.textContent.trim();
    [...document.querySelectorAll('.menu-title')].find((b) => name(b) === title).click();
    for (let i = 0; i < 200; ++i) {
      // "Undo" names its step ("Undo gameInfoTextColor").
      const item = [...document.querySelectorAll('.menu-list [role^=menuitem]')].find((b) => name(b) === entry || name(b).startsWith(`${entry} `));
      if (item) return item.click();
      await new Promise((r) => setTimeout(r, 10));
    }
    throw new Error(`${title} > ${entry} is not there`);
  },
  // The colour dialog of a colour button: `text` typed, OK.
  colour: async (key, text) => {
    document.querySelector(`button[data-field="${key}"]`).click();
    let input;
    for (let i = 0; i < 200 && !(input = document.querySelector('dialog[open] input[type=text]')); ++i) await new Promise((r) => setTimeout(r, 10));
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
    [...document.querySelectorAll('dialog[open] button')].find((b) => b.textContent === 'OK').click();
  },
  key: (key, ctrl) => document.dispatchEvent(new KeyboardEvent('keydown', { key, ctrlKey: ctrl, bubbles: true, cancelable: true })),
  // Every Blob the page hands to the browser (a download's), kept for the test.
  keepBlobs: () => {
    window.testBlobs = [];
    const original = URL.createObjectURL.bind(URL);
    URL.createObjectURL = (b) => {
      window.testBlobs.push(b);
      return original(b);
    };
  },
  blob: async (i) => {
    const b = window.testBlobs?.[i];
    if (!b) return null;
    const bytes = new Uint8Array(await b.arrayBuffer());
    let text = '';
    for (let j = 0; j < bytes.length; j += 0x8000) text += String.fromCharCode(...bytes.subarray(j, j + 0x8000));
    return btoa(text);
  },
  // The journals kept in the browser's storage (null: none), each one's name and the size of the skin it holds.
  journals: () => new Promise((resolve) => {
    const r = indexedDB.open('skin-editor');
    r.onerror = () => resolve(null);
    r.onsuccess = () => {
      const db = r.result;
      if (!db.objectStoreNames.contains('journals')) return resolve(null);
      const all = db.transaction('journals').objectStore('journals').getAll();
      all.onsuccess = () => resolve(all.result.length ? all.result.map((j) => ({ name: j.name, archive: j.archive?.length ?? 0 })) : null);
      all.onerror = () => resolve(null);
    };
  }),
  // The service worker serves the page, with every file of the site in its cache.
  offline: async (count) => {
    if (!navigator.serviceWorker?.controller) return null;
    const names = (await caches.keys()).filter((n) => n.startsWith('skin-editor-'));
    if (names.length !== 1) return null;
    const kept = (await (await caches.open(names[0])).keys()).length;
    return kept === count ? names[0] : null;
  },
  updateOffer: () => {
    const b = document.querySelector('button.update-offer');
    return b && !b.hidden ? b.textContent : '';
  },
};

function native(args, name) {
  const out = join(work, name);
  execFileSync(skintool, [...args, '--out', out], { timeout: 60_000, stdio: ['ignore', 'ignore', 'inherit'] });
  return out;
}

function nativeRender(args, name) {
  const png = decode(readFileSync(native(['render', ...args], `${name}.png`)));
  const rgba = Buffer.alloc(png.width * png.height * 4);
  for (let i = 0; i < png.width * png.height; ++i) {
    for (let c = 0; c < 3; ++c) rgba[i * 4 + c] = png.data[i * png.channels + c];
    rgba[i * 4 + 3] = 255;
  }
  return { width: png.width, height: png.height, rgba };
}

function assertSame(shown, expected, what) {
  const rgba = Buffer.from(shown.data, 'base64');
  assert.equal(`${shown.width} x ${shown.height}`, `${expected.width} x ${expected.height}`, `${what}: size`);
  const at = rgba.findIndex((v, i) => v !== expected.rgba[i]);
  if (at >= 0) {
    const p = Math.floor(at / 4);
    assert.fail(`${what}: pixel (${p % shown.width}, ${Math.floor(p / shown.width)}) is ${[...rgba.subarray(p * 4, p * 4 + 3)]}, ` +
      `the desktop draws ${[...expected.rgba.subarray(p * 4, p * 4 + 3)]}`);
  }
}

// The members of an archive, uisettings.ini without its LastUpdate line (the moment of saving).
function members(bytes) {
  return Object.entries(unzipSync(new Uint8Array(bytes))).map(([name, data]) => [
    name,
    name.endsWith('uisettings.ini') ? Buffer.from(data).toString('latin1').replace(/^LastUpdate *=.*$/m, '') : Buffer.from(data).toString('base64'),
  ]);
}

let site;
let server;
let browser;
let origin;
let sunset;
let siteFiles;

async function started(what) {
  await browser.waitFor(page.started, [], { timeout: 60_000, what });
  assert.equal(await browser.evaluate(() => window.skinEditor.error), '', `${what}: the editor did not start`);
  await browser.waitFor(page.idle, [], { what: `${what}: the editor at rest` });
}

async function preview() {
  await browser.waitFor(page.idle, [], { what: 'the preview drawn' });
  return browser.evaluate(page.preview);
}

// Ctrl+0: one skin pixel to one pixel of the page.
async function actualSize() {
  await browser.evaluate(page.key, '0', true);
  await browser.waitFor(() => document.querySelector('footer .zoom')?.textContent === 'Zoom 100%', [], { what: 'Ctrl+0 taken' });
}

async function noErrors(what) {
  assert.deepEqual([...(await browser.evaluate(page.errors)), ...browser.consoleErrors.splice(0)], [], `${what}: errors in the page`);
}

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  // A copy of the site, so that a new version can be made of it.
  site = join(work, 'site');
  cpSync(env('WEB_SITE'), site, { recursive: true });
  siteFiles = readdirSync(site, { recursive: true, withFileTypes: true }).filter((e) => e.isFile() && e.name !== 'sw.js');
  server = await serve(site);
  origin = server.url;
  sunset = native(['convert', '--recolour', '150,10,-5'], 'Sunset.zip');
  browser = await launchBrowser(engine, { work });
});

after(async () => {
  await browser?.close();
  await server?.close();
});

describe(`the editor page in ${engine}`, () => {
  test('the first preview is the desktop\'s; with the server gone the page opens again from its service worker', async () => {
    assert.ok(siteFiles.length > 20, 'the site\'s files');
    await browser.goto(`${origin}/?test`);
    await started('the first start');
    await actualSize();
    const builtIn = nativeRender([], 'built-in');
    assertSame(await preview(), builtIn, 'the built-in skin at 1x');

    const cache = await browser.waitFor(page.offline, [siteFiles.length], { timeout: 60_000, what: 'the site kept for offline use' });
    assert.match(cache, /^skin-editor-[0-9a-f]{16}$/);
    await noErrors('the first start');
    const port = Number(new URL(origin).port);
    await server.close();
    try {
      await browser.reload();
      await started('a start without the server');
      await actualSize();
      assertSame(await preview(), builtIn, 'offline, the built-in skin at 1x');
      // Another language, its file from the cache too.
      await browser.evaluate(page.menu, 'Language', 'Deutsch');
      await browser.waitFor(() => [...document.querySelectorAll('.menu-title')].some((b) => b.getAttribute('aria-label') === 'Datei'), [],
        { what: 'the German menus' });
      assert.equal(await browser.evaluate(() => document.documentElement.lang), 'de');
      await browser.evaluate(page.menu, 'Language', 'English');
      await browser.waitFor(() => [...document.querySelectorAll('.menu-title')].some((b) => b.getAttribute('aria-label') === 'File'), [],
        { what: 'the English menus again' });
    } finally {
      server = await serve(site, port);
    }
    await noErrors('offline');
  });

  test('an archive opened through the file input, a colour changed and undone, and the reload restoring the changes', async () => {
    await actualSize();
    await browser.setFile('input[type=file][accept*=".zip"]', sunset);
    await browser.waitFor(() => document.title.startsWith('Sunset'), [], { what: 'Sunset opened' });
    const opened = nativeRender(['--skin', sunset], 'sunset');
    assertSame(await preview(), opened, 'the archive opened');

    await browser.evaluate(page.colour, 'gameInfoTextColor', '#f80000');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });
    const red = await preview();
    assert.throws(() => assertSame(red, opened, 'changed'), /pixel/, 'the colour shows on the preview');
    await browser.evaluate(page.menu, 'Edit', 'Undo');
    await browser.waitFor(() => !document.title.startsWith('*'), [], { what: 'undone' });
    assertSame(await preview(), opened, 'after Undo');

    // Changed again and left unsaved: the journal's record is in IndexedDB before the reload.
    await browser.evaluate(page.colour, 'gameInfoTextColor', '0x001f');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });
    const changed = await preview();
    await browser.waitFor(page.journals, [], { timeout: 15_000, what: 'the journal written' });
    const [journal] = await browser.evaluate(page.journals);
    assert.equal(journal.name, 'Sunset');
    assert.ok(journal.archive > 1000, 'the journal holds the skin');
    await noErrors('editing');

    await browser.reload();
    const question = await browser.waitFor(() => document.querySelector('dialog[open]')?.textContent, [], { timeout: 60_000, what: 'the restore question' });
    assert.match(question, /Restore the unsaved changes to Sunset from /);
    await browser.evaluate(() => [...document.querySelectorAll('dialog[open] button')].find((b) => b.textContent === 'Restore').click());
    await started('after Restore');
    assert.match(await browser.evaluate(page.title), /^\* Sunset/, 'restored changes are unsaved');
    await actualSize();
    assert.equal((await preview()).data, changed.data, 'the change came back');

    // Save: the archive the desktop writes for the same skin, the colour set.
    await browser.evaluate(page.keepBlobs);
    await browser.evaluate(page.menu, 'File', 'Save');
    await browser.waitFor(() => !document.title.startsWith('*'), [], { what: 'saved' });
    const saved = Buffer.from(await browser.waitFor(page.blob, [0], { what: 'the archive handed over' }), 'base64');
    const expected = members(readFileSync(sunset));
    const got = members(saved);
    assert.deepEqual(got.map(([n]) => n), expected.map(([n]) => n), 'the same members in the same order');
    for (const [i, [name, data]] of got.entries()) {
      if (name.endsWith('uisettings.ini')) {
        assert.match(data, /^gameInfoTextColor *= *0x001f\r?$/m);
        assert.equal(data.replace(/^gameInfoTextColor *=.*$/m, ''), expected[i][1].replace(/^gameInfoTextColor *=.*$/m, ''));
      } else {
        assert.equal(data, expected[i][1], `${name} as the desktop writes it`);
      }
    }
    await noErrors('after Save');
    // Nothing left to offer at the next start (the download is taken as kept).
    await browser.evaluate(page.menu, 'File', 'New');
    await poll(async () => !(await browser.evaluate(page.journals)), null, [], { what: 'the journal gone' });
  });

  test('a new version is offered only while nothing is unsaved, and replaces the old cache', async () => {
    const before = await browser.waitFor(page.offline, [siteFiles.length], { timeout: 60_000, what: 'the site kept' });
    await browser.evaluate(page.colour, 'gameInfoTextColor', '#00f800');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });

    // A new version on the server: a file changed, and sw.js naming the new build.
    const css = join(site, 'editor.css');
    writeFileSync(css, `${readFileSync(css, 'utf8')}\n/* the next version */\n`);
    const build = before.slice('skin-editor-'.length);
    const next = [...build].reverse().join('');
    const sw = join(site, 'sw.js');
    writeFileSync(sw, readFileSync(sw, 'utf8').replace(build, next));
    await browser.evaluate(async () => {
      await (await navigator.serviceWorker.getRegistration()).update();
    });
    await browser.waitFor(async () => !!(await navigator.serviceWorker.getRegistration())?.waiting, [],
      { timeout: 60_000, what: 'the new version installed' });
    await browser.waitFor(page.idle, []);
    assert.equal(await browser.evaluate(page.updateOffer), '', 'no offer under unsaved changes');

    await browser.evaluate(page.menu, 'Edit', 'Undo');
    assert.equal(await browser.waitFor(page.updateOffer, [], { what: 'the offer' }), 'Reload to update');
    await browser.evaluate(() => document.querySelector('button.update-offer').click());
    await browser.waitFor(() => !window.skinEditor?.ready, [], { timeout: 30_000, what: 'the page loading again' }).catch(() => {});
    await started('the new version');
    assert.equal(await browser.waitFor(page.offline, [siteFiles.length], { timeout: 60_000, what: 'the new cache' }), `skin-editor-${next}`);
    assert.match(await browser.evaluate(async () => (await fetch('editor.css')).text()), /the next version/);
    await noErrors('after the update');
  });

  // Only Chromium lets a page write into a file it was handed (the File
  // System Access API), and only an installed app gets files from the
  // system: the launch queue is stood in for here, and the archives are
  // files of the page's private file system, which behave as the user's.
  test('an archive the system hands over is saved back into it; one holding more, or changed since, asks for a folder', { skip: engine !== 'chromium' }, async () => {
    const extra = zipSync({ ...unzipSync(new Uint8Array(readFileSync(sunset))), 'notes.txt': new TextEncoder().encode('not the skin') });
    await browser.page.evaluateOnNewDocument(() => {
      Object.defineProperty(window, 'launchQueue', { value: { setConsumer: (f) => (window.testLaunch = f) } });
      window.showDirectoryPicker = async () => (await navigator.storage.getDirectory()).getDirectoryHandle('Chosen', { create: true });
    });
    await browser.reload();
    await started('with a launch queue');
    const put = async (name, b64) => {
      const root = await navigator.storage.getDirectory();
      const w = await (await root.getFileHandle(name, { create: true })).createWritable();
      await w.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
      await w.close();
    };
    const launch = async (name) => window.testLaunch({ files: [await (await navigator.storage.getDirectory()).getFileHandle(name)] });
    const read = async (name) => {
      const bytes = new Uint8Array(await (await (await (await navigator.storage.getDirectory()).getFileHandle(name)).getFile()).arrayBuffer());
      let text = '';
      for (let j = 0; j < bytes.length; j += 0x8000) text += String.fromCharCode(...bytes.subarray(j, j + 0x8000));
      return btoa(text);
    };
    // The status line saying `text`, nothing left unsaved.
    const saved = (text) => browser.waitFor((t) => !document.title.startsWith('*') && document.querySelector('[role=status]').textContent === t, [text],
      { what: text });
    await browser.evaluate(put, 'Holiday.zip', readFileSync(sunset).toString('base64'));
    await browser.evaluate(put, 'Bundle.zip', Buffer.from(extra).toString('base64'));

    // Named as its file, saved back into it with the folder inside kept ("Sunset/").
    await browser.evaluate(launch, 'Holiday.zip');
    await browser.waitFor(() => document.title.startsWith('Holiday'), [], { what: 'Holiday.zip opened' });
    await browser.evaluate(page.colour, 'gameInfoTextColor', '0x001f');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });
    await browser.evaluate(page.menu, 'File', 'Save');
    await saved('Saved 54 files to Holiday.zip');
    const written = members(Buffer.from(await browser.evaluate(read, 'Holiday.zip'), 'base64'));
    const expected = members(readFileSync(sunset));
    assert.deepEqual(written.map(([n]) => n), expected.map(([n]) => n));
    assert.match(written[0][1], /^gameInfoTextColor *= *0x001f\r?$/m);
    assert.deepEqual(written.slice(1), expected.slice(1));

    // Changed by another program since: not overwritten, a folder asked for instead.
    const before = await browser.evaluate(read, 'Holiday.zip');
    await browser.evaluate(page.colour, 'gameInfoTextColor', '#00f800');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });
    await browser.evaluate(put, 'Holiday.zip', before);
    await browser.evaluate(page.menu, 'File', 'Save');
    await saved('Saved 54 files to Chosen');
    assert.equal(await browser.evaluate(read, 'Holiday.zip'), before, 'the archive another program wrote stays');

    // An archive with more than the skin: a folder asked for, the archive left as it was.
    await browser.evaluate(launch, 'Bundle.zip');
    await browser.waitFor(() => document.title.startsWith('Bundle'), [], { what: 'Bundle.zip opened' });
    await browser.evaluate(page.colour, 'gameInfoTextColor', '#0000f8');
    await browser.waitFor(() => document.title.startsWith('* '), [], { what: 'the change made' });
    await browser.evaluate(page.menu, 'File', 'Save');
    await saved('Saved 54 files to Chosen');
    assert.equal(await browser.evaluate(read, 'Bundle.zip'), Buffer.from(extra).toString('base64'), 'the archive with more stays as it was');
    const settings = await browser.evaluate(async () =>
      (await (await (await (await navigator.storage.getDirectory()).getDirectoryHandle('Chosen')).getFileHandle('uisettings.ini')).getFile()).text());
    assert.match(settings, /^gameInfoTextColor *= *0x7c00\r?$/m);
    await noErrors('saving into archives');
  });
});
