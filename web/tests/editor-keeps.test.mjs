// What the editor page keeps of a day's work when things go wrong: a value
// still being typed when Save is pressed, a download the browser refuses, a
// journal the browser will not store, a damaged journal left from before,
// a folder too large, names made to mislead.
//   WEB_SITE=dist/web NATIVE_SKINTOOL=... TESTS_DIR=tests WORK_DIR=... node --test editor-keeps.test.mjs
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { unzipSync } from 'fflate';
import {
  chooseFile, closePage, downloaded, downloads, harness, keys, menu, native, newPage, settled, startHarness, statusLine,
  stopHarness, storedRecords,
} from './editor-page.mjs';

before(startHarness);
after(stopHarness);

const settingsOf = (zip, folder) => Buffer.from(unzipSync(new Uint8Array(zip))[`${folder}/uisettings.ini`]).toString('latin1');

/** Waits for the journal of `page` to hold a record that `accept` takes; the records. */
async function journalled(page, accept) {
  for (let i = 0; i < 200; ++i) {
    const records = await storedRecords(page, 'journals');
    if (records.some(accept)) return records;
    await new Promise((r) => setTimeout(r, 50));
  }
  assert.fail(`no such journal: ${JSON.stringify(await storedRecords(page, 'journals'))}`);
}

describe('the editor page keeps the work', () => {
  test('Save takes what the boxes show while they are still being typed in', async () => {
    const page = await newPage();
    const dir = join(harness.work, 'downloads-typed');
    await downloads(page, dir);
    await page.locator('::-p-aria([name="Information"][role="tab"])').click();
    await page.locator('::-p-aria([name="Title"][role="textbox"])').click();
    await page.keyboard.type('Lantern');
    await keys(page, 'Control', 's');
    const first = settingsOf(await downloaded(dir, 'skin.zip'), 'skin');
    assert.match(first, /^Title *= *Lantern\r?$/m);
    assert.equal(await statusLine(page), 'Downloaded skin.zip', 'a download is not called saved');
    assert.equal(await page.$eval('::-p-aria([name="Last update"][role="textbox"])', (i) => i.readOnly), true, 'LastUpdate is the moment of saving');

    // A number typed past its range, the box not left: saved as the box is left, clamped.
    await page.locator('::-p-aria([name="Elements"][role="tab"])').click();
    const x = await page.waitForSelector('::-p-aria([name="BigClock X"][role="spinbutton"])');
    await x.click({ clickCount: 3 });
    await page.keyboard.type('9999');
    await downloads(page, `${dir}-2`);
    await keys(page, 'Control', 's');
    await settled(page);
    const max = await x.evaluate((i) => i.max);
    assert.equal(await x.evaluate((i) => i.value), max, 'the box shows what is saved');
    const second = settingsOf(await downloaded(`${dir}-2`, 'skin.zip'), 'skin');
    const bigClock = second.slice(second.indexOf('[big clock]'));
    assert.match(bigClock, new RegExp(`^x *= *${max}\\r?$`, 'm'));
    await closePage(page);
  });

  test('a download the browser refuses keeps the journal, and the next start offers it', async () => {
    const page = await newPage();
    await downloads(page, null, { deny: true });
    await page.locator('::-p-aria([name="Information"][role="tab"])').click();
    await page.locator('::-p-aria([name="Author"][role="textbox"])').click();
    await page.keyboard.type('Moth');
    await keys(page, 'Control', 's');
    await settled(page);
    assert.equal(await statusLine(page), 'Downloaded skin.zip');
    await journalled(page, (j) => j.downloaded === 'skin.zip');

    // Closed and opened again: the changes are offered, with the download named.
    const context = page.browserContext();
    await page.close();
    const again = await newPage(context);
    const question = await again.waitForSelector('dialog[open]');
    assert.match(await question.evaluate((d) => d.textContent), /were downloaded as skin\.zip/);
    await again.keyboard.press('Enter');
    await again.waitForFunction(() => window.skinEditor.restoreAsked === true && !document.querySelector('dialog[open]'));
    await again.locator('::-p-aria([name="Information"][role="tab"])').click();
    assert.equal(await again.$eval('::-p-aria([name="Author"][role="textbox"])', (i) => i.value), 'Moth');
    await closePage(again);
  });

  test('a journal the browser will not keep is said, and said again once it is kept; cleared storage is opened anew', async () => {
    const page = await newPage();
    const cdp = await page.createCDPSession();
    const change = async (hue) => {
      await menu(page, 'Skin', 'Recolor...');
      const box = await page.waitForSelector('dialog[open] ::-p-aria([name="Hue"][role="spinbutton"])');
      await box.evaluate((i) => (i.value = ''));
      await box.type(String(hue));
      await page.keyboard.press('Enter');
      await settled(page);
    };
    await cdp.send('Storage.overrideQuotaForOrigin', { origin: harness.origin, quotaSize: 1024 });
    const failures = await page.evaluate(() => window.skinEditor.journalFailures);
    await change(40);
    await page.waitForFunction((n) => window.skinEditor.journalFailures > n, { timeout: 10_000 }, failures);
    assert.match(await statusLine(page), /^Unsaved changes are not protected: the recovery journal cannot be written in the browser's storage/);

    await cdp.send('Storage.overrideQuotaForOrigin', { origin: harness.origin });
    await change(80);
    await page.waitForFunction(() => document.querySelector('[role=status]').textContent.startsWith('Unsaved changes are protected again'), { timeout: 10_000 });
    await journalled(page, () => true);

    // The site's data cleared while the page is open: the next edit is journalled all the same.
    await cdp.send('Storage.clearDataForOrigin', { origin: harness.origin, storageTypes: 'indexeddb' });
    await change(120);
    await journalled(page, () => true);
    await closePage(page);
  });

  test('a damaged journal is set aside with a message, and the page starts', async () => {
    const put = (records) => new Promise((resolve, reject) => {
      const r = indexedDB.open('skin-editor', 2);
      r.onupgradeneeded = () => {
        r.result.createObjectStore('journals', { keyPath: 'keeper' });
        r.result.createObjectStore('recent', { keyPath: 'name' });
        r.result.createObjectStore('not-restored', { autoIncrement: true });
      };
      r.onsuccess = () => {
        const t = r.result.transaction('journals', 'readwrite');
        for (const record of records) t.objectStore('journals').put(record);
        t.oncomplete = () => { r.result.close(); resolve(); };
        t.onerror = () => reject(t.error);
      };
    });
    const first = await newPage();
    const context = first.browserContext();
    await first.close();
    const stray = await context.newPage();
    await stray.goto(`${harness.origin}/editor.css`);
    // One record without its manifest, one whose manifest is no journal's.
    await stray.evaluate(put, [
      { keeper: 77, name: 'Broken', started: 1, lastEdit: 1 },
      { keeper: 78, name: 'Garbled', started: 1, lastEdit: 2, manifest: 'not a manifest', archive: new Uint8Array(3) },
    ]);
    await stray.close();

    const page = await newPage(context);
    const shown = [];
    for (let i = 0; i < 2; ++i) {
      const message = await page.waitForFunction((seen) => {
        const text = document.querySelector('dialog[open]')?.textContent;
        return text && !seen.includes(text) ? text : null;
      }, {}, shown);
      shown.push(await message.jsonValue());
      await page.keyboard.press('Enter');
    }
    await page.waitForFunction(() => window.skinEditor.restoreAsked === true && !document.querySelector('dialog[open]'));
    assert.match(shown.join('\n'), /The unsaved changes to Broken could not be restored/);
    assert.match(shown.join('\n'), /The unsaved changes to Garbled could not be restored/);
    assert.deepEqual((await storedRecords(page, 'journals')).filter((j) => j.keeper === 77 || j.keeper === 78), []);
    const aside = (await storedRecords(page, 'not-restored')).map((r) => r.record.name).sort();
    assert.deepEqual(aside, ['Broken', 'Garbled'], 'kept, not deleted');
    await closePage(page);
  });

  test('names are shown with their control characters escaped; a folder of too many pictures names its limit', async () => {
    const page = await newPage();
    const odd = join(harness.work, 'Sun\u202Eset.zip');
    copyFileSync(native(['convert'], 'plain.zip'), odd);
    await chooseFile(page, () => menu(page, 'File', '*.zip'), odd);
    await page.waitForFunction(() => document.title.includes('Sun'));
    const escaped = 'Sun\\xE2\\x80\\xAEset';
    assert.equal(await page.title(), `${escaped} - Skin Editor`);
    assert.equal(await statusLine(page), `Opened ${escaped}`);
    assert.ok(!(await page.evaluate(() => document.body.innerText)).includes('\u202E'), 'no direction control shown raw');
    const dir = join(harness.work, 'downloads-odd');
    await downloads(page, dir);
    await keys(page, 'Control', 's');
    const zip = unzipSync(new Uint8Array(await downloaded(dir, 'Sun_set.zip')));
    assert.ok(Object.keys(zip).every((n) => n.startsWith('Sun_set/')), 'the folder inside is named without the control');

    const crowded = join(harness.work, 'Crowded');
    mkdirSync(crowded, { recursive: true });
    for (let i = 0; i <= 4096; ++i) writeFileSync(join(crowded, `p${i}.bmp`), '');
    const cdp = await page.createCDPSession();
    const box = await (await page.$('::-p-aria(Preview)')).boundingBox();
    for (const type of ['dragEnter', 'dragOver', 'drop']) {
      await cdp.send('Input.dispatchDragEvent', { type, x: box.x + 20, y: box.y + 20, data: { items: [], files: [crowded], dragOperationsMask: 1 } });
    }
    const message = await page.waitForSelector('dialog[open]', { timeout: 30_000 });
    assert.match(await message.evaluate((d) => d.textContent), /Crowded holds more than 4096 picture files/);
    await page.keyboard.press('Enter');
    assert.match(await page.title(), /Sun/, 'the skin open stays');
    await closePage(page);
  });
});

describe('the editor page stays bounded', () => {
  test('zip bombs are answered within seconds and the skin open stays; an open under way can be cancelled', async () => {
    const { hostileSkins, skinFiles } = await import('./hostile-zips.mjs');
    const skins = await hostileSkins(skinFiles(native(['convert'], 'Plain')));
    const page = await newPage();
    const before = await page.title();
    for (const name of ['settings_1gb.zip', 'pictures_128mb.zip', 'claims_4gb.zip']) {
      const path = join(harness.work, name);
      writeFileSync(path, skins[name]);
      const began = Date.now();
      await chooseFile(page, () => menu(page, 'File', '*.zip'), path);
      // Refused with a message, or opened with its picture refused in one: either way within seconds.
      const message = await page.waitForSelector('dialog[open]', { timeout: 15_000 });
      const seconds = (Date.now() - began) / 1000;
      assert.ok(seconds < 10, `${name}: answered after ${seconds.toFixed(1)} s`);
      assert.match(await message.evaluate((d) => d.textContent), name === 'claims_4gb.zip' ? /lamp\.bmp/ : /Hostile/);
      await page.keyboard.press('Enter');
      await settled(page);
    }
    assert.equal(before, 'New skin - Skin Editor');

    // A long open (200 000 members), cancelled from the page: the skin stays as it was.
    const opened = await page.title();
    const long = join(harness.work, 'members_200000.zip');
    writeFileSync(long, skins['members_200000.zip']);
    await chooseFile(page, () => menu(page, 'File', '*.zip'), long);
    await page.locator('::-p-aria([name="Cancel"][role="button"])').click({ timeout: 15_000 });
    await page.waitForFunction(() => document.querySelector('[role=status]').textContent.startsWith('Cancelled'), { timeout: 15_000 });
    await settled(page);
    assert.equal(await page.title(), opened, 'cancelled: the skin open stays');
    await closePage(page);
  });

  test('after a huge picture is imported, a fresh engine gives the memory back', async () => {
    // A 16384 x 4000 PNG of colour ramps, made here (too large to commit).
    const { deflateSync, crc32 } = await import('node:zlib');
    const w = 16384, h = 4000;
    const raw = Buffer.alloc((w * 3 + 1) * h);
    for (let y = 0; y < h; ++y) {
      const row = y * (w * 3 + 1);
      for (let x = 0; x < w; ++x) raw.set([(x + y) & 255, (y >> 4) & 255, 255 - (x & 255)], row + 1 + x * 3);
    }
    const chunk = (type, data) => {
      const out = Buffer.alloc(12 + data.length);
      out.writeUInt32BE(data.length, 0);
      out.write(type, 4, 'latin1');
      data.copy(out, 8);
      out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
      return out;
    };
    const ihdr = Buffer.alloc(13);
    ihdr.writeUInt32BE(w, 0);
    ihdr.writeUInt32BE(h, 4);
    ihdr.set([8, 2, 0, 0, 0], 8);
    const png = Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', ihdr), chunk('IDAT', deflateSync(raw, { level: 1 })), chunk('IEND', Buffer.alloc(0))]);
    const path = join(harness.work, 'huge.png');
    writeFileSync(path, png);

    // The page as it is: the import stays within the tab's budget.
    const page = await newPage();
    const importHuge = async (p) => {
      await p.locator('::-p-aria([name="Images"][role="tab"])').click();
      await chooseFile(p, () => p.locator('::-p-aria(nds.bmp)').click(), path);
      await p.locator('dialog[open] ::-p-aria([name="Fit"][role="button"])').click({ timeout: 60_000 });
      await p.waitForFunction(() => !document.querySelector('dialog[open]'), { timeout: 60_000, polling: 200 });
      await settled(p);
    };
    await importHuge(page);
    const grown = (await page.evaluate(() => window.skinEditor.engineMemory())) / (1 << 20);
    assert.ok(grown < 800, `the engine holds ${grown.toFixed(0)} MB after the import`);
    await closePage(page);

    // A page that renews its engine past 64 MB: the fresh engine holds the document, and little memory.
    const renewing = await newPage(undefined, { query: 'renew-above=64' });
    await importHuge(renewing);
    await renewing.waitForFunction(() => window.skinEditor.renewals > 0, { timeout: 30_000, polling: 200 });
    await settled(renewing);
    const mb = (await renewing.evaluate(() => window.skinEditor.engineMemory())) / (1 << 20);
    assert.ok(mb < 100, `the fresh engine holds ${mb.toFixed(0)} MB`);
    // The document came over: the import is one step of Undo, and undone.
    assert.match(await renewing.title(), /^\*/);
    await keys(renewing, 'Control', 'z');
    await renewing.waitForFunction(() => !document.title.startsWith('*'));
    await closePage(renewing);
  });
});
