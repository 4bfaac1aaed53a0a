// The editing rules on the page, where a user meets them (each rule itself is
// the core's, tested once there): a click never moves anything, Escape puts a
// drag back, the nudges after one press are one step, the journal is written
// while the editing goes on, the two check boxes of one row are two, a
// language file that cannot be read leaves English and says so, a text the
// settings file cannot hold is refused as it is typed, a save over a folder
// whose picture another program changed asks first; and every command of the
// catalogue has its handler on the page.
//   WEB_SITE=dist/web NATIVE_SKINTOOL=... TESTS_DIR=tests WORK_DIR=... node --test editor-session.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { unzipSync } from 'fflate';
import {
  closePage, downloaded, downloads, harness, keys, menu, native, newPage, settled, startHarness, statusLine, stopHarness,
  storedRecords, watch,
} from './editor-page.mjs';

before(startHarness);
after(stopHarness);

/** The numbers of an element row's X and Y boxes, by their accessible names ("BigClock X"). */
async function place(page, caption) {
  return page.evaluate((c) => ['X', 'Y'].map((axis) =>
    Number([...document.querySelectorAll('input')].find((i) => i.getAttribute('aria-label') === `${c} ${axis}`).value)), caption);
}

/** The preview's box, at zoom 1 (Ctrl+0), and a point of the big clock's digits on screen 1. */
async function atZoomOne(page) {
  await keys(page, 'Control', '0');
  await settled(page);
  return (await page.$('::-p-aria(Preview)')).boundingBox();
}

async function pointAtClock(page, box) {
  // The clock's pixels: found by what the page names under the pointer.
  for (let y = 30; y < 180; y += 6) {
    for (let x = 20; x < 240; x += 6) {
      await page.mouse.move(box.x + x + 0.5, box.y + y + 0.5);
      await settled(page);
      if (/BigClock/.test(await statusLine(page))) return { x: box.x + x + 0.5, y: box.y + y + 0.5 };
    }
  }
  assert.fail('no pixel of the big clock found');
}

describe('the editing rules on the page', () => {
  test('a click never moves; Escape puts a drag back; the nudges of one press are one step (Shift: 10)', async () => {
    const page = await newPage();
    const box = await atZoomOne(page);
    await page.locator('::-p-aria([name="Elements"][role="tab"])').click();
    const start = await place(page, 'BigClock');
    const at = await pointAtClock(page, box);

    // A click, a hair of movement within it, then the pointer moved with no button held.
    await page.mouse.down();
    await page.mouse.move(at.x + 2, at.y + 1);
    await page.mouse.up();
    await page.mouse.move(at.x + 40, at.y + 30);
    await settled(page);
    assert.deepEqual(await place(page, 'BigClock'), start, 'a click moves nothing');

    // A drag, then Escape before the button is let go: back where it was, no step left.
    await page.mouse.move(at.x, at.y);
    await page.mouse.down();
    await page.mouse.move(at.x + 15, at.y + 5);
    await page.mouse.move(at.x + 30, at.y + 10);
    await settled(page);
    assert.deepEqual(await place(page, 'BigClock'), [start[0] + 30, start[1] + 10], 'dragged');
    await page.keyboard.press('Escape');
    await page.mouse.up();
    await settled(page);
    assert.deepEqual(await place(page, 'BigClock'), start, 'Escape puts it back');
    assert.doesNotMatch(await page.title(), /^\*/, 'no unsaved change left');

    // Nudges after one press: right three times, down once, Shift+right: one step of Undo.
    await page.mouse.move(at.x, at.y);
    await page.mouse.down();
    await page.mouse.up();
    for (const k of ['ArrowRight', 'ArrowRight', 'ArrowRight', 'ArrowDown']) await page.keyboard.press(k);
    await keys(page, 'Shift', 'ArrowRight');
    await settled(page);
    assert.deepEqual(await place(page, 'BigClock'), [start[0] + 13, start[1] + 1]);
    await keys(page, 'Control', 'z');
    await settled(page);
    assert.deepEqual(await place(page, 'BigClock'), start, 'one Undo takes every nudge back');
    await closePage(page);
  });

  test('the journal is written while the editing goes on, at most five seconds after the first edit', async () => {
    const page = await newPage();
    await page.locator('::-p-aria([name="Information"][role="tab"])').click();
    await page.locator('::-p-aria([name="Author"][role="textbox"])').click();
    const began = Date.now();
    let written = 0;
    // A key every 300 ms for 8 s: never a pause of a second.
    for (let i = 0; i < 27 && !written; ++i) {
      await page.keyboard.type('a');
      await new Promise((r) => setTimeout(r, 300));
      written = (await storedRecords(page, 'journals')).length;
    }
    const after = (Date.now() - began) / 1000;
    assert.ok(written > 0, 'no journal while the typing went on');
    assert.ok(after < 6.5, `the first journal came ${after.toFixed(1)} s after the first edit`);
    await closePage(page);
  });

  test('the two check boxes of the file name row are two; a text outside Latin-1 is refused as it is typed', async () => {
    const page = await newPage();
    await page.locator('::-p-aria([name="Elements"][role="tab"])').click();
    const boxes = await page.$$('tr[data-section="[file name]"] input[type=checkbox]');
    assert.equal(boxes.length, 2);
    const states = () => Promise.all(boxes.map((b) => b.evaluate((x) => x.checked)));
    const before = await states();
    await boxes[1].click();
    await settled(page);
    assert.deepEqual(await states(), [before[0], !before[1]], 'the second box alone changed');
    await boxes[0].click();
    await settled(page);
    assert.deepEqual(await states(), [!before[0], !before[1]], 'the first box alone changed after it');

    await page.locator('::-p-aria([name="Information"][role="tab"])').click();
    const title = await page.waitForSelector('::-p-aria([name="Title"][role="textbox"])');
    await title.click();
    await page.keyboard.type('Caf\u00e9 ');
    await page.keyboard.type('\u20ac');
    await settled(page);
    assert.equal(await title.evaluate((i) => i.value), 'Caf\u00e9 ', 'the euro sign is not kept in the box');
    assert.equal(await title.evaluate((i) => i.getAttribute('aria-invalid')), 'true');
    assert.match(await statusLine(page), /Latin-1/);

    const dir = join(harness.work, 'downloads-boxes');
    await downloads(page, dir);
    await keys(page, 'Control', 's');
    const saved = Buffer.from(unzipSync(new Uint8Array(await downloaded(dir, 'skin.zip')))['skin/uisettings.ini']).toString('latin1');
    assert.match(saved, /^Title *= *Caf\xe9 \r?$/m);
    const row = saved.slice(saved.indexOf('[file name]'));
    assert.match(row, new RegExp(`^show *= *${before[0] ? 0 : 1}\\r?$`, 'm'));
    assert.match(row, new RegExp(`^titleshow *= *${before[1] ? 0 : 1}\\r?$`, 'm'));
    await closePage(page);
  });

  test('a language file that cannot be read leaves English, says so, and is not kept as the choice', async () => {
    const context = await harness.browser.createBrowserContext();
    const page = watch(await context.newPage());
    // The choice remembered names a file the site does not have (a host that left it out).
    await page.evaluateOnNewDocument(() => localStorage.setItem('skin-editor-language', 'gone.ini'));
    await page.goto(`${harness.origin}/?test`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.skinEditor?.ready || window.skinEditor?.error);
    assert.equal(await page.evaluate(() => window.skinEditor.error), '');
    assert.ok(await page.$('::-p-aria([name="File"][role="menuitem"])'), 'English menus');
    assert.match(await statusLine(page), /gone\.ini/);
    assert.equal(await page.evaluate(() => localStorage.getItem('skin-editor-language')), null);
    await closePage(page);
  });

  test('a save over a folder whose picture another program changed names it and asks first', async () => {
    const folder = native(['convert'], 'Harbour');
    const files = readdirSync(folder, { recursive: true, withFileTypes: true }).filter((f) => f.isFile())
      .map((f) => [join(f.parentPath ?? f.path, f.name).slice(folder.length + 1), readFileSync(join(f.parentPath ?? f.path, f.name)).toString('base64')]);
    const page = await newPage(undefined, {
      before: async (p) => {
        await p.evaluateOnNewDocument(() => {
          window.showDirectoryPicker = async () => (await navigator.storage.getDirectory()).getDirectoryHandle('Harbour', { create: true });
        });
        await p.goto(`${harness.origin}/editor.css`);
        await p.evaluate(async (list) => {
          const root = await (await navigator.storage.getDirectory()).getDirectoryHandle('Harbour', { create: true });
          for (const [path, b64] of list) {
            const parts = path.split('/');
            let dir = root;
            for (const part of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(part, { create: true });
            const w = await (await dir.getFileHandle(parts.at(-1), { create: true })).createWritable();
            await w.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
            await w.close();
          }
        }, files);
      },
    });
    await menu(page, 'File', 'Skin folder...');
    await page.waitForFunction(() => document.title.includes('Harbour'));
    // Another program writes lamp.bmp (the same bytes, a later time and one byte more).
    await new Promise((r) => setTimeout(r, 50));
    await page.evaluate(async () => {
      const dir = await (await navigator.storage.getDirectory()).getDirectoryHandle('Harbour');
      const handle = await dir.getFileHandle('lamp.bmp');
      const bytes = new Uint8Array(await (await handle.getFile()).arrayBuffer());
      const w = await handle.createWritable();
      await w.write(new Uint8Array([...bytes, 0]));
      await w.close();
    });
    await menu(page, 'Skin', 'Recolor...');
    const hue = await page.waitForSelector('dialog[open] ::-p-aria([name="Hue"][role="spinbutton"])');
    await hue.evaluate((i) => (i.value = ''));
    await hue.type('30');
    await page.keyboard.press('Enter');
    await settled(page);
    await keys(page, 'Control', 's');
    const question = await page.waitForSelector('dialog[open]');
    assert.match(await question.evaluate((d) => d.textContent), /lamp\.bmp/);
    await page.keyboard.press('Enter');  // Cancel is the default
    await settled(page);
    assert.match(await page.title(), /^\*/, 'not saved');
    await keys(page, 'Control', 's');
    await page.waitForSelector('dialog[open]');
    await page.locator('dialog[open] ::-p-aria([name="Overwrite"][role="button"])').click();
    await page.waitForFunction(() => !document.title.startsWith('*'));
    await closePage(page);
  });

  test('every command of the catalogue has a handler on the page', async () => {
    const page = await newPage();
    assert.deepEqual(await page.evaluate(() => window.skinEditor.unhandled()), []);
    await closePage(page);
  });
});
