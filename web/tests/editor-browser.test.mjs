// The editor page (build-web/index.html) in headless Chromium, driven as a
// user drives it: controls found by their accessible names, files given
// through the page's own choosers or dropped, keys pressed. What the page
// shows and saves is compared with what the desktop build's skintool makes
// of the same skin and the same changes.
//   WEB_SITE=dist/web NATIVE_SKINTOOL=... TESTS_DIR=tests WORK_DIR=... node --test editor-browser.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { decode } from 'fast-png';
import { unzipSync } from 'fflate';
import {
  assertSame, chooseFile, closePage, downloaded, downloads, harness, keys, members, menu, native, nativeRender, newPage,
  preview, setScreen, settled, startHarness, stopHarness, watch,
} from './editor-page.mjs';

let archive;
let picture;
let tests;
let work;
let origin;
let browser;

// A whole skin archive and folder of our own, made by the desktop build.
let sunset;

before(async () => {
  await startHarness();
  ({ tests, work, origin, browser } = harness);
  archive = join(tests, 'data/archives/infozip_mixed.zip');
  picture = join(tests, 'data/images/card_rgb8.png');
  sunset = native(['convert', '--recolour', '150,10,-5'], 'Sunset.zip');
});

after(stopHarness);

describe('the editor page', () => {
  test('draws three screens at zoom 1 and 2 as the desktop does', async () => {
    const page = await newPage();
    // Whole-number zoom: Ctrl+= goes from 1x to 2x (else by 0.15).
    await menu(page, 'View', 'Whole-number zoom');
    for (const zoom of [1, 2]) {
      await keys(page, 'Control', zoom === 1 ? '0' : '=');
      for (const screen of [0, 4, 13]) {
        await setScreen(page, screen);
        assertSame(await preview(page), nativeRender(['--screen', String(screen), '--zoom', String(zoom)], `builtin-${screen}-${zoom}`), `screen ${screen} at zoom ${zoom}`);
      }
    }

    // Every control has a name (as on the desktop), and the preview is "Preview".
    const tree = await page.accessibility.snapshot({ interestingOnly: false });
    const unnamed = [];
    const walk = (node) => {
      if (['button', 'checkbox', 'textbox', 'spinbutton', 'combobox', 'menuitem', 'tab', 'slider', 'radio'].includes(node.role) && !node.name?.trim()) unnamed.push(node.role);
      for (const child of node.children ?? []) walk(child);
    };
    walk(tree);
    assert.deepEqual(unnamed, [], 'controls without a name');
    assert.equal((await page.$$('::-p-aria(Preview)')).length, 1);

    // Once loaded, no network: another language, and a screenshot as the desktop takes it.
    await page.waitForFunction(() => window.skinEditor.restoreAsked === true);
    await settled(page);
    await page.evaluate(() => new Promise((r) => setTimeout(r, 300)));
    await page.setOfflineMode(true);
    await menu(page, 'Language', 'Deutsch');
    await page.waitForSelector('::-p-aria([name="Datei"][role="menuitem"])');
    const dir = join(work, 'downloads-shot');
    await downloads(page, dir);
    // The file browser's two screens, as the type chosen (PNG, the first).
    await menu(page, 'Datei', 'In Datei speichern...');
    await page.waitForSelector('dialog[open]');
    await page.keyboard.press('Enter');
    const shot = decode(await downloaded(dir, 'skin.png'));
    const expected = decode(readFileSync(native(['screenshot', '--screen', '0'], 'shot.png')));
    assert.equal(`${shot.width} x ${shot.height}`, `${expected.width} x ${expected.height}`);
    assert.ok(Buffer.from(shot.data).equals(Buffer.from(expected.data)), 'the screenshot has the desktop\'s pixels');
    await closePage(page);
  });

  test('opens an archive through the chooser and a folder dropped on it, and keeps the skin when a hostile archive is refused', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    await chooseFile(page, () => menu(page, 'File', '*.zip'), sunset);
    await page.waitForFunction(() => document.title.includes('Sunset'));
    const fromArchive = nativeRender(['--skin', sunset], 'archive');
    assertSame(await preview(page), fromArchive, 'the archive opened');

    // A hostile archive: a message (cut short, it is damaged), and the skin that was open stays.
    await chooseFile(page, () => menu(page, 'File', '*.zip'), join(tests, 'data/archives/truncated.zip'));
    const message = await page.waitForSelector('dialog[open]');
    assert.match(await message.evaluate((d) => d.textContent), /truncated\.zip: could not be read from the archive \(damaged/);
    await page.keyboard.press('Enter');
    assertSame(await preview(page), fromArchive, 'after the refused archive');
    assert.match(await page.title(), /Sunset/);

    // A folder dropped on the page, as the desktop build saved it.
    const folder = native(['convert', '--recolour', '40'], 'Dropped');
    await page.evaluate(() => {
      document.title = 'dropping';
    });
    const cdp = await page.createCDPSession();
    const box = await (await page.$('::-p-aria(Preview)')).boundingBox();
    const data = { items: [], files: [folder], dragOperationsMask: 1 };
    for (const type of ['dragEnter', 'dragOver', 'drop']) {
      await cdp.send('Input.dispatchDragEvent', { type, x: box.x + 20, y: box.y + 20, data });
    }
    await page.waitForFunction(() => document.title.includes('Dropped'), { timeout: 20_000 });
    assertSame(await preview(page), nativeRender(['--skin', folder], 'dropped'), 'the folder dropped');

    // An archive with 50 pictures missing: one message with every line in its details; the
    // problems listed, and a click on one goes to its control.
    await chooseFile(page, () => menu(page, 'File', '*.zip'), archive);
    const report = await page.waitForSelector('dialog[open]');
    const details = await report.evaluate((d) => d.querySelector('pre')?.textContent.split('\n') ?? []);
    assert.equal(details.length, 50);
    assert.equal(details[0], 'MySkin\\active.bmp : File not found');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.querySelectorAll('.problem.error').length >= 50);
    const first = await page.$eval('.problem', (b) => b.querySelector('.subject').textContent);
    await page.click('.problem');
    await settled(page);
    assert.equal(await page.evaluate(() => document.activeElement?.dataset.picture), first, 'the problem\'s picture has the focus');
    await closePage(page);
  });

  test('a colour typed shows on the preview, and Undo takes it back', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    const before = await preview(page);
    await page.locator('::-p-aria(gameInfoTextColor)').click();
    const text = await page.waitForSelector('dialog[open] ::-p-aria(Text)');
    await text.evaluate((i) => (i.value = ''));
    const draws = await page.evaluate(() => window.skinEditor.draws);
    await text.type('0x001f');
    // Live on the preview before OK, as red (the file's bit order: red in the low bits).
    await page.waitForFunction((n) => window.skinEditor.draws > n, {}, draws);
    await page.locator('dialog[open] ::-p-aria(OK)').click();
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    const edited = await preview(page);
    const red = (p) => { let n = 0; for (let i = 0; i < p.rgba.length; i += 4) n += p.rgba[i] === 248 && p.rgba[i + 1] === 0 && p.rgba[i + 2] === 0; return n; };
    assert.ok(red(edited) > red(before) + 20, `the text turned red: ${red(before)} red pixels before, ${red(edited)} after`);
    // Compared with the skin as saved: beside it, and in its place while Space is held.
    await menu(page, 'View', 'Compare with saved');
    assertSame(await preview(page, 'As saved'), before, 'as saved');
    await page.hover('canvas.preview');
    await page.keyboard.down(' ');
    assertSame(await preview(page), before, 'swapped while Space is held');
    await page.keyboard.up(' ');
    assertSame(await preview(page), edited, 'back when Space is let go');
    await menu(page, 'View', 'Compare with saved');

    await keys(page, 'Control', 'z');
    assertSame(await preview(page), before, 'after Undo');
    await closePage(page);
  });

  test('a picture imported with Fit, a colour replaced and a recolour, as the desktop makes them; Save downloads the same archive', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    await page.locator('::-p-aria([name="Images"][role="tab"])').click();
    await chooseFile(page, () => page.locator('::-p-aria(nds.bmp)').click(), picture);
    await page.locator('dialog[open] ::-p-aria([name="Fit"][role="button"])').click();
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    const imports = ['--import', `icon/nds=${picture}`, '--fit', 'cover'];
    assertSame(await preview(page), nativeRender(imports, 'fit'), 'the picture fitted');

    // The most used colour made red everywhere, from the palette: chosen, then Replace color...
    await page.keyboard.press('F9');
    const swatch = await page.waitForSelector('::-p-aria([name="Palette"][role="listbox"]) ::-p-aria([role="option"])');
    const from = (await swatch.evaluate((b) => b.getAttribute('aria-label'))).split(' ')[0];
    await swatch.click();
    await page.locator('::-p-aria([name="Replace color..."][role="button"])').click();
    const to = await page.waitForSelector('dialog[open] ::-p-aria([name="Text"][role="textbox"])');
    await to.evaluate((i) => (i.value = ''));
    await to.type('0x001f');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    const replaced = [...imports, '--replace-colour', `${from}=0x001f`];
    assertSame(await preview(page), nativeRender(replaced, 'replaced'), `${from} replaced`);

    // A recolour: live while the dialog is open, one step once taken.
    await menu(page, 'Skin', 'Recolor...');
    const hue = await page.waitForSelector('dialog[open] ::-p-aria([name="Hue"][role="spinbutton"])');
    await hue.evaluate((i) => (i.value = ''));
    await hue.type('90');
    await page.locator('dialog[open] ::-p-aria([name="OK"][role="button"])').click();
    const recoloured = [...replaced, '--recolour', '90'];
    assertSame(await preview(page), nativeRender(recoloured, 'recoloured'), 'recoloured');
    await page.locator('::-p-aria([name="Edit"][role="menuitem"])').click();
    await page.waitForSelector('::-p-aria([name="Undo recolor"][role="menuitem"])');
    await page.keyboard.press('Escape');

    const dir = join(work, 'downloads-save');
    await downloads(page, dir);
    await keys(page, 'Control', 's');
    const saved = await downloaded(dir, 'skin.zip');
    const expected = readFileSync(native(['convert', ...recoloured], 'skin.zip'));
    assert.deepEqual(members(saved), members(expected));
    assert.doesNotMatch(await page.title(), /\*/, 'saved: no unsaved marker');
    await closePage(page);
  });

  test('after a reload the unsaved changes come back, and a second page leaves the first one\'s journal alone', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    await menu(page, 'Skin', 'Recolor...');
    const hue = await page.waitForSelector('dialog[open] ::-p-aria([name="Hue"][role="spinbutton"])');
    await hue.evaluate((i) => (i.value = ''));
    await hue.type('-60');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.skinEditor.journals > 0, { timeout: 5_000 });

    // Another page of the editor, open at the same time: no question, and the journal stays.
    const second = await newPage(page.browserContext());
    await second.waitForFunction(() => window.skinEditor.restoreAsked !== undefined);
    assert.equal(await second.$('dialog[open]'), null, 'the second page offered the journal of the first');
    await closePage(second, { context: false });

    // Leaving with unsaved changes asks first.
    const asked = [];
    page.on('dialog', (d) => {
      asked.push(d.type());
      void d.accept();
    });
    await page.reload({ waitUntil: 'load' });
    assert.deepEqual(asked, ['beforeunload']);
    const question = await page.waitForSelector('dialog[open]', { timeout: 30_000 });
    assert.match(await question.evaluate((d) => d.textContent), /Restore the unsaved changes to New skin from /);
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.skinEditor.restoreAsked === true && !document.querySelector('dialog[open]'));
    await keys(page, 'Control', '0');
    assertSame(await preview(page), nativeRender(['--recolour', '-60'], 'restored'), 'restored');
    assert.match(await page.title(), /^\* /, 'restored changes are unsaved');
    await closePage(page);
  });

  test('keyboard only: open, change a colour, undo, save', async () => {
    const page = await newPage();
    await keys(page, 'Control', '0');
    const focusOn = async (name) => {
      for (let i = 0; i < 300; ++i) {
        const shown = await page.evaluate(() => document.activeElement?.getAttribute('aria-label') ?? document.activeElement?.textContent);
        if (shown === name) return;
        await page.keyboard.press('Tab');
      }
      assert.fail(`Tab never reached ${name}`);
    };
    await focusOn('File');
    await page.keyboard.press('Enter');
    for (let i = 0; i < 20 && (await page.evaluate(() => document.activeElement?.textContent)) !== '*.zip'; ++i) {
      await page.keyboard.press('ArrowDown');
    }
    await chooseFile(page, () => page.keyboard.press('Enter'), sunset);
    await page.waitForFunction(() => document.title.includes('Sunset'));
    const opened = await preview(page);

    await focusOn('gameInfoTextColor');
    await page.keyboard.press('Enter');
    await page.waitForSelector('dialog[open]');
    await page.keyboard.type('#f80000');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    assert.notDeepEqual((await preview(page)).rgba, opened.rgba, 'the colour changed');
    assert.equal(await page.evaluate(() => document.activeElement?.getAttribute('aria-label')), 'gameInfoTextColor', 'the focus is back on the colour');
    await keys(page, 'Control', 'z');
    assertSame(await preview(page), opened, 'after Undo');

    await page.keyboard.press('Enter');
    await page.waitForSelector('dialog[open]');
    await page.keyboard.type('0x001f');
    await page.keyboard.press('Enter');
    const dir = join(work, 'downloads-keys');
    await downloads(page, dir);
    await keys(page, 'Control', 's');
    const saved = unzipSync(new Uint8Array(await downloaded(dir, 'Sunset.zip')));
    const settings = Buffer.from(saved['Sunset/uisettings.ini']).toString('latin1');
    assert.match(settings, /^gameInfoTextColor *= *0x001f\r?$/m);
    await closePage(page);
  });

  test('a folder opened through the File System Access API is saved back into it; an element dragged is one step', async () => {
    // The folder chooser gives a folder of the page's private file system,
    // filled with a skin the desktop build saved.
    const folder = native(['convert', '--recolour', '-120'], 'Meadow');
    const files = readdirSync(folder, { recursive: true, withFileTypes: true }).filter((f) => f.isFile())
      .map((f) => [join(f.parentPath ?? f.path, f.name).slice(folder.length + 1), readFileSync(join(f.parentPath ?? f.path, f.name)).toString('base64')]);
    const context = await browser.createBrowserContext();
    const page = watch(await context.newPage());
    await page.evaluateOnNewDocument(() => {
      window.showDirectoryPicker = async () => (await navigator.storage.getDirectory()).getDirectoryHandle('Meadow', { create: true });
    });
    await page.goto(`${origin}/?test`, { waitUntil: 'load' });
    await page.evaluate(async (list) => {
      const root = await (await navigator.storage.getDirectory()).getDirectoryHandle('Meadow', { create: true });
      for (const [path, b64] of list) {
        const parts = path.split('/');
        let dir = root;
        for (const p of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(p, { create: true });
        const w = await (await dir.getFileHandle(parts.at(-1), { create: true })).createWritable();
        await w.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
        await w.close();
      }
    }, files);
    await page.waitForFunction(() => window.skinEditor?.ready);
    await keys(page, 'Control', '0');
    await menu(page, 'File', 'Skin folder...');
    await page.waitForFunction(() => document.title.includes('Meadow'));
    assertSame(await preview(page), nativeRender(['--skin', folder], 'meadow'), 'the folder opened');

    // Dragging the file name's text twelve pixels right and one down, in several moves: one step.
    const box = await (await page.$('::-p-aria(Preview)')).boundingBox();
    const at = await page.evaluate(() => [...document.querySelectorAll('input')].find((i) => i.getAttribute('aria-label')?.endsWith(' X') && i.closest('tr')?.dataset.section === '[file name]').value);
    const before = { x: Number(at) };
    await page.mouse.move(box.x + 132.5, box.y + 78.5);
    await settled(page);
    const named = await page.$eval('[role=status]', (s) => s.textContent);
    assert.match(named, /^gameInfoTitleColor · FileName +\(132, 78\)$/, 'the status line names what draws under the pointer');
    await page.mouse.down();
    for (const dx of [4, 8, 12]) await page.mouse.move(box.x + 132.5 + dx, box.y + 78.5 + (dx === 12 ? 1 : 0));
    await page.mouse.up();
    await settled(page);
    const xs = await page.evaluate(() => [...document.querySelectorAll('tr')].filter((r) => r.dataset.section === '[file name]')
      .map((r) => [...r.querySelectorAll('input[type=number]')].map((i) => Number(i.value)))[0]);
    assert.equal(xs[0], before.x + 12, 'moved twelve pixels right');
    await page.locator('::-p-aria([name="Edit"][role="menuitem"])').click();
    const undo = await page.waitForSelector('.menu-list [role=menuitem]');
    const undoName = await undo.evaluate((b) => b.querySelector('.label').textContent);
    await page.keyboard.press('Escape');
    await keys(page, 'Control', 'z');
    await settled(page);
    const back = await page.evaluate(() => Number([...document.querySelectorAll('tr')].find((r) => r.dataset.section === '[file name]').querySelector('input[type=number]').value));
    assert.equal(back, before.x, `one Undo (${undoName}) takes the whole drag back`);

    // A colour changed and saved in place: the folder holds what the desktop writes.
    await page.locator('::-p-aria([name="Colors"][role="tab"])').click();
    await page.locator('::-p-aria(gameInfoTextColor)').click();
    const text = await page.waitForSelector('dialog[open] ::-p-aria(Text)');
    await text.evaluate((i) => (i.value = ''));
    await text.type('#f80000');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.title.startsWith('*'));
    await keys(page, 'Control', 's');
    await page.waitForFunction(() => document.querySelector('[role=status]').textContent === 'Saved 54 files to Meadow');
    assert.doesNotMatch(await page.title(), /^\*/);
    const written = new Map(await page.evaluate(async () => {
      const out = [];
      const walk = async (dir, prefix) => {
        for await (const [name, h] of dir.entries()) {
          if (h.kind === 'directory') await walk(h, `${prefix}${name}/`);
          else out.push([prefix + name, btoa(String.fromCharCode(...new Uint8Array(await (await h.getFile()).arrayBuffer())))]);
        }
      };
      await walk(await (await navigator.storage.getDirectory()).getDirectoryHandle('Meadow'), '');
      return out;
    }));
    const settings = Buffer.from(written.get('uisettings.ini'), 'base64').toString('latin1');
    assert.match(settings, /^gameInfoTextColor *= *0x001f\r?$/m);
    for (const [path] of files) {
      if (path === 'uisettings.ini') continue;
      assert.equal(written.get(path), files.find(([p]) => p === path)[1], `${path} as the desktop wrote it`);
    }

    // The folder is among the recent skins, and opens again from there as saved.
    const savedView = await preview(page);
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.skinEditor?.restoreAsked === true);
    await menu(page, 'File', 'Meadow');
    await page.waitForFunction(() => document.title.includes('Meadow'));
    await keys(page, 'Control', '0');
    assertSame(await preview(page), savedView, 'reopened as saved');
    await closePage(page);
  });

  test('the browser\'s language at the first start, the one chosen from the menu after that', async () => {
    const context = await browser.createBrowserContext();
    const page = watch(await context.newPage());
    await page.evaluateOnNewDocument(() => Object.defineProperty(navigator, 'languages', { get: () => ['fr-CA', 'fr'] }));
    await page.goto(`${origin}/?test`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.skinEditor?.ready);
    await page.waitForSelector('::-p-aria([name="Fichier"][role="menuitem"])');
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'fr');
    await menu(page, 'Language', 'English');
    await page.waitForSelector('::-p-aria([name="File"][role="menuitem"])');
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.skinEditor?.ready);
    assert.ok(await page.$('::-p-aria([name="File"][role="menuitem"])'), 'English kept over the browser\'s French');
    await closePage(page);
  });
});
