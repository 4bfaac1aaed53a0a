// The page does what the desktop does: pictures imported from a folder by
// name, the options remembered, the About box, screenshots of every type
// and on the clipboard, the wheel's zoom, menus and their keys, a double
// click, a folder watched for another program's changes, and room for
// everything in a small window.
//   WEB_SITE=dist/web NATIVE_SKINTOOL=... TESTS_DIR=tests WORK_DIR=... node --test editor-complete.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import {
  assertSame, closePage, downloaded, downloads, harness, keys, menu, native, nativeRender, newPage, preview, settled,
  startHarness, statusLine, stopHarness,
} from './editor-page.mjs';

before(startHarness);
after(stopHarness);

/** The files of a folder as [path below it, base64]. */
function folderFiles(folder) {
  return readdirSync(folder, { recursive: true, withFileTypes: true }).filter((f) => f.isFile())
    .map((f) => { const p = join(f.parentPath ?? f.path, f.name); return [p.slice(folder.length + 1), readFileSync(p).toString('base64')]; });
}

/** A page whose folder chooser gives `name`, a folder of the page's private file system holding `files`. */
async function pageWithFolder(name, files) {
  return newPage(undefined, {
    before: async (p) => {
      await p.evaluateOnNewDocument((n) => {
        window.showDirectoryPicker = async () => (await navigator.storage.getDirectory()).getDirectoryHandle(n, { create: true });
      }, name);
      await p.goto(`${harness.origin}/editor.css`);
      await p.evaluate(async (n, list) => {
        const root = await (await navigator.storage.getDirectory()).getDirectoryHandle(n, { create: true });
        for (const [path, b64] of list) {
          const parts = path.split('/');
          let dir = root;
          for (const part of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(part, { create: true });
          const w = await (await dir.getFileHandle(parts.at(-1), { create: true })).createWritable();
          await w.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
          await w.close();
        }
      }, name, files);
    },
  });
}

describe('the page does what the desktop does', () => {
  test('pictures imported from a folder by name, those without a button too, as skintool --import-dir', async () => {
    // Pictures of our own: the ones of a recoloured skin, the three without a button among them.
    const source = native(['convert', '--recolour', '120'], 'Drawings');
    const pictures = folderFiles(source).filter(([p]) => p !== 'uisettings.ini');
    assert.ok(['noactivehotke.bmp', 'progress_bar.bmp', 'progress_wnd.bmp'].every((n) => pictures.some(([p]) => p === n)));
    const page = await pageWithFolder('Drawings', pictures);
    await keys(page, 'Control', '0');
    await menu(page, 'File', 'Import pictures from folder...');
    await page.waitForFunction(() => document.querySelector('[role=status]').textContent.includes('53'), { timeout: 30_000 });
    if (await page.$('dialog[open]')) await page.keyboard.press('Enter');
    const imported = native(['convert', '--import-dir', source], 'imported.zip');
    for (const screen of [0, 13]) {
      await page.$eval('::-p-aria([name="Screen"][role="combobox"])', (s, v) => { s.value = String(v); s.dispatchEvent(new Event('change')); }, screen);
      assertSame(await preview(page), nativeRender(['--skin', imported, '--screen', String(screen)], `imported-${screen}`), `screen ${screen + 1}`);
    }
    const dir = join(harness.work, 'downloads-folder');
    await downloads(page, dir);
    await keys(page, 'Control', 's');
    const saved = await downloaded(dir, 'skin.zip');
    const { unzipSync } = await import('fflate');
    const members = unzipSync(new Uint8Array(saved));
    for (const name of ['noactivehotke.bmp', 'progress_bar.bmp', 'progress_wnd.bmp']) {
      assert.equal(Buffer.from(members[`skin/${name}`]).toString('base64'), pictures.find(([p]) => p === name)[1], `${name} taken`);
    }
    await closePage(page);
  });

  test('the background colour and the panel\'s side are remembered; the About box', async () => {
    const page = await newPage();
    await menu(page, 'Options', 'Background color...');
    const text = await page.waitForSelector('dialog[open] ::-p-aria([name="Text"][role="textbox"])');
    await text.evaluate((i) => (i.value = ''));
    await text.type('#00f800');
    await page.keyboard.press('Enter');
    await menu(page, 'Options', 'Swap preview and panel');
    await settled(page);
    const context = page.browserContext();
    await page.close();
    const again = await newPage(context);
    await keys(again, 'Control', '0');
    const shown = await preview(again);
    assert.deepEqual([...shown.rgba.subarray(0, 3)], [0, 248, 0], 'the background kept');
    const order = await again.evaluate(() =>
      document.querySelector('[role=tablist]').getBoundingClientRect().left < document.querySelector('canvas.preview').getBoundingClientRect().left);
    assert.equal(order, true, 'the panel on the left');

    await menu(again, 'Help', 'About');
    const about = await again.waitForSelector('dialog[open]');
    const words = await about.evaluate((d) => d.textContent);
    assert.match(words, /Skin Editor v0\.\d+/);
    assert.ok(await about.$('a[href^="https://"]'), 'the project\'s page');
    await again.keyboard.press('Enter');
    await closePage(again);
  });

  test('screenshots of the file browser as PNG, BMP and JPEG equal skintool\'s, and on the clipboard', async () => {
    const page = await newPage();
    const dir = join(harness.work, 'downloads-shots');
    await downloads(page, dir);
    const kinds = [['Portable Network Graphic (*.png)', 'png'], ['Bitmap (*.bmp)', 'bmp'], ['JPEG (*.jpg)', 'jpg']];
    for (const [label, ext] of kinds) {
      await menu(page, 'File', 'Save to file...');
      const type = await page.waitForSelector('dialog[open] select');
      await type.select(String(kinds.findIndex(([l]) => l === label)));
      await page.locator('dialog[open] ::-p-aria([name="Save"][role="button"])').click();
      const bytes = await downloaded(dir, `skin.${ext}`);
      const expected = readFileSync(native(['screenshot', '--screen', '0'], `shot.${ext}`));
      if (ext === 'png') assert.ok(Buffer.from(decode(bytes).data).equals(Buffer.from(decode(expected).data)), 'the PNG\'s pixels');
      else assert.ok(bytes.equals(expected), `the ${ext} byte for byte`);
    }
    await page.browserContext().overridePermissions(harness.origin, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
    await menu(page, 'File', 'Copy to clipboard');
    await page.waitForFunction(() => document.querySelector('[role=status]').textContent.startsWith('Copied'));
    const copied = await page.evaluate(async () => {
      const [item] = await navigator.clipboard.read();
      const blob = await item.getType('image/png');
      const b = new Uint8Array(await blob.arrayBuffer());
      let s = '';
      for (let i = 0; i < b.length; i += 0x8000) s += String.fromCharCode(...b.subarray(i, i + 0x8000));
      return btoa(s);
    });
    const expected = decode(readFileSync(join(harness.work, 'shot.png')));
    const got = decode(Buffer.from(copied, 'base64'));
    assert.equal(`${got.width} x ${got.height}`, `${expected.width} x ${expected.height}`);
    await closePage(page);
  });

  test('the wheel zooms by 0.15; Escape closes a menu the mouse opened; Alt and a letter open one; a double click opens the colour dialog', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    await page.waitForFunction(() => document.querySelector('.zoom').textContent === 'Zoom 100%');
    const box = await (await page.$('::-p-aria(Preview)')).boundingBox();
    await page.mouse.move(box.x + 50, box.y + 50);
    await page.mouse.wheel({ deltaY: -100 });
    await page.waitForFunction(() => document.querySelector('.zoom').textContent === 'Zoom 115%');
    await page.mouse.wheel({ deltaY: -100 });
    await page.waitForFunction(() => document.querySelector('.zoom').textContent === 'Zoom 130%');

    await page.locator('::-p-aria([name="View"][role="menuitem"])').click();
    await page.waitForSelector('[role=menu]');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('[role=menu]'));
    await keys(page, 'Alt', 'e');
    await page.waitForSelector('::-p-aria([name="Edit"][role="menu"])');
    await page.keyboard.press('Escape');

    await keys(page, 'Control', '0');
    await settled(page);
    // A pixel drawn by a colour field: the text of the file name's row, found by what the page names.
    let hit = null;
    // Whole page pixels: a mouse event's position is one.
    for (let y = 60; y < 190 && !hit; y += 3) {
      for (let x = 130; x < 250 && !hit; x += 3) {
        const at = { x: Math.round(box.x + x), y: Math.round(box.y + y) };
        await page.mouse.move(at.x, at.y);
        await settled(page);
        if (/^gameInfoTitleColor/.test(await statusLine(page))) hit = at;
      }
    }
    assert.ok(hit, 'a pixel of gameInfoTitleColor');
    await page.mouse.click(hit.x, hit.y, { clickCount: 2 });
    const dialog = await page.waitForSelector('dialog[open]');
    assert.match(await dialog.evaluate((d) => d.getAttribute('aria-label')), /gameInfoTitleColor/);
    await page.keyboard.press('Escape');
    await closePage(page);
  });

  test('a picture another program changes in the folder comes back, or waits in the reload bar behind unsaved changes', async () => {
    const folder = native(['convert'], 'Lighthouse');
    const page = await pageWithFolder('Lighthouse', folderFiles(folder));
    await menu(page, 'File', 'Skin folder...');
    await page.waitForFunction(() => document.title.includes('Lighthouse'));
    const other = folderFiles(native(['convert', '--recolour', '90'], 'Other'));
    const write = (name) => page.evaluate(async (n, b64) => {
      const dir = await (await navigator.storage.getDirectory()).getDirectoryHandle('Lighthouse');
      const w = await (await dir.getFileHandle(n)).createWritable();
      await w.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
      await w.close();
    }, name, other.find(([p]) => p === name)[1]);

    // No unsaved change to it: read back at once.
    await write('startbar.bmp');
    await page.waitForFunction(() => /startbar/.test(document.querySelector('[role=status]').textContent), { timeout: 15_000 });
    // An unsaved change to the pictures, then one of them changed on disk: the bar asks.
    await menu(page, 'Skin', 'Recolor...');
    const hue = await page.waitForSelector('dialog[open] ::-p-aria([name="Hue"][role="spinbutton"])');
    await hue.evaluate((i) => (i.value = ''));
    await hue.type('20');
    await page.keyboard.press('Enter');
    await settled(page);
    await write('lamp.bmp');
    const bar = await page.waitForSelector('::-p-aria([role="alert"])', { timeout: 15_000 });
    assert.match(await bar.evaluate((b) => b.textContent), /lamp/);
    await page.locator('::-p-aria([name="Keep mine"][role="button"])').click();
    await page.waitForFunction(() => !document.querySelector('.reload-bar'));
    await closePage(page);
  });

  test('at 800 x 600 the preview and the panel do not overlap', async () => {
    const page = await newPage();
    await page.setViewport({ width: 800, height: 600 });
    await settled(page);
    const boxes = await page.evaluate(() => {
      const r = (e) => { const b = e.getBoundingClientRect(); return { top: b.top, bottom: b.bottom, left: b.left, right: b.right }; };
      return { viewport: r(document.querySelector('canvas.preview').closest('.viewport')), tabs: r(document.querySelector('[role=tablist]')) };
    });
    const overlap = !(boxes.viewport.bottom <= boxes.tabs.top || boxes.tabs.bottom <= boxes.viewport.top ||
      boxes.viewport.right <= boxes.tabs.left || boxes.tabs.right <= boxes.viewport.left);
    assert.equal(overlap, false, JSON.stringify(boxes));
    await closePage(page);
  });
});

describe('take from another skin', () => {
  test('chosen, shown live, taken as one step named after the other skin, undone; Cancel leaves all as it was', async () => {
    const other = native(['convert', '--recolour', '150,20'], 'Sunset.zip');
    const page = await newPage();
    await keys(page, 'Control', '0');
    const before = await preview(page);
    const openTake = async () => {
      await menu(page, 'Skin', 'Take from skin...');
      await page.waitForSelector('dialog[open]');
      const { chooseFile } = await import('./editor-page.mjs');
      await chooseFile(page, () => page.locator('dialog[open] ::-p-aria([name="*.zip"][role="button"])').click(), other);
      return page.waitForSelector('dialog[open] ::-p-aria([name="Colors"][role="checkbox"])');
    };
    // Cancel: the preview showed the colours, and is as it was after.
    const colours = await openTake();
    const draws = await page.evaluate(() => window.skinEditor.draws);
    await colours.click();
    // Shown live on the preview while the dialog is open.
    await page.waitForFunction((n) => window.skinEditor.draws > n && window.skinEditor.quiet(), {}, draws);
    await page.screenshot({ path: join(harness.work, 'take-dialog.png') });
    await page.locator('dialog[open] ::-p-aria([name="Cancel"][role="button"])').click();
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    assertSame(await preview(page), before, 'after Cancel');
    assert.doesNotMatch(await page.title(), /^\*/);

    // OK with the colours: the desktop's skintool --take-from makes the same skin.
    const again = await openTake();
    await again.click();
    await page.locator('dialog[open] ::-p-aria([name="OK"][role="button"])').click();
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    assertSame(await preview(page), nativeRender(['--take-from', `${other}:colours`], 'taken'), 'the colours taken');
    await page.locator('::-p-aria([name="Edit"][role="menuitem"])').click();
    await page.waitForSelector('::-p-aria([name="Undo take from Sunset"][role="menuitem"])');
    await page.keyboard.press('Escape');
    await keys(page, 'Control', 'z');
    assertSame(await preview(page), before, 'after Undo');
    await closePage(page);
  });
});
