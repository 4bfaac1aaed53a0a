// The page's engine under node, for what the desktop does with the skin's
// files and other skins: a folder of pictures imported as native skintool
// imports it, another skin to compare with, files changed on disk taken or
// held, the fit question from one decode, the progress of an open, the about
// box, and a damaged archive called damaged.
//
//   NATIVE_SKINTOOL=... ENGINE_DIR=dist/engine TESTS_DIR=tests WORK_DIR=... \
//     node --test web/tests/engine-files.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { before, test } from 'node:test';
import { decode as decodePng } from 'fast-png';
import { nodeEngine } from './node-engine.mjs';

const { NATIVE_SKINTOOL, ENGINE_DIR, TESTS_DIR, WORK_DIR } = process.env;
const data = (path) => join(TESTS_DIR, 'data', path);
const kEpoch = 1262347200;  // 2010-01-01 12:00:00 UTC, what both builds stamp

function native(args, { found = 0 } = {}) {
  const run = spawnSync(NATIVE_SKINTOOL, args, {
    cwd: WORK_DIR, env: { ...process.env, SOURCE_DATE_EPOCH: String(kEpoch), TZ: 'UTC' }, timeout: 120_000,
    maxBuffer: 64 << 20,
  });
  if (run.status !== 0 && run.status !== found) throw new Error(`skintool ${args.join(' ')}: exit ${run.status}\n${run.stderr}`);
  return run;
}

function filesOf(dir, prefix = '') {
  const out = [];
  for (const name of readdirSync(dir).sort()) {
    const path = join(dir, name);
    if (statSync(path).isDirectory()) out.push(...filesOf(path, `${prefix}${name}/`));
    else out.push({ path: prefix + name, bytes: new Uint8Array(readFileSync(path)) });
  }
  return out;
}

function assertSameFiles(saved, folder, what) {
  const expected = filesOf(folder);
  assert.deepEqual(saved.map((f) => f.path), expected.map((f) => f.path), what);
  for (const [i, f] of saved.entries()) assert.ok(Buffer.from(f.bytes).equals(Buffer.from(expected[i].bytes)), `${what}: ${f.path}`);
}

let engine;
before(async () => {
  rmSync(WORK_DIR, { recursive: true, force: true });
  mkdirSync(WORK_DIR, { recursive: true });
  engine = await nodeEngine(ENGINE_DIR);
});

// A folder of drawings: pictures of the skin's size and of others, a second
// file for one picture, an icon, a file that names no picture, and one that
// holds no picture.
function drawings() {
  const skin = join(WORK_DIR, 'drawn-skin');
  native(['convert', '--recolour', '40,10,0', '--out', skin]);
  const bytes = (path) => new Uint8Array(readFileSync(path));
  return [
    { path: 'lamp.bmp', bytes: bytes(join(skin, 'lamp.bmp')) },
    { path: 'LAMP.png', bytes: bytes(data('images/card_rgb8.png')) },  // passed over: the catalogue's name first
    { path: 'upper_screen.jpg', bytes: bytes(data('images/progressive.jpg')) },
    { path: 'progress_bar.png', bytes: bytes(data('images/alpha_rgba.png')) },
    { path: 'noactivehotke.bmp', bytes: bytes(join(skin, 'noactivehotke.bmp')) },
    { path: 'icon/NDS.png', bytes: bytes(data('images/card_palette.png')) },
    { path: 'holiday.jpg', bytes: bytes(data('images/baseline.jpg')) },
    { path: 'close.bmp', bytes: new TextEncoder().encode('not a picture') },
  ];
}

test('pictures from a folder: one question, one step, the files native skintool writes', () => {
  const files = drawings();
  const folder = join(WORK_DIR, 'Drawings');
  for (const f of files) {
    mkdirSync(join(folder, f.path, '..'), { recursive: true });
    writeFileSync(join(folder, f.path), f.bytes);
  }
  engine.newSkin();
  const question = engine.importFolderSizes('Drawings', files);
  // progress_bar, upper_screen (the JPEG) and the icon differ; the first in the skin's order is asked about.
  assert.equal(question.count, 3);
  const { first } = question;
  assert.deepEqual([first.name, first.file], ['progress_bar', 'progress_bar.png']);
  assert.equal(question.text, `3 of the pictures differ in size from the skin's (progress_bar: ${first.width} x ` +
    `${first.height} pixels, ${first.expectedWidth} x ${first.expectedHeight} in the skin). How should they be taken?`);
  assert.notDeepEqual([first.width, first.height], [first.expectedWidth, first.expectedHeight]);
  // Its three ways, drawn as for a single import.
  const previews = engine.importPreviews(first.name, first.file, files.find((f) => f.path === first.file).bytes);
  assert.deepEqual(previews.sizes, {
    width: first.width, height: first.height, expectedWidth: first.expectedWidth, expectedHeight: first.expectedHeight,
  });
  assert.deepEqual([previews.cover.width, previews.cover.height], [first.expectedWidth, first.expectedHeight]);
  for (const fit of ['cover', 'keep']) {
    engine.newSkin();
    const result = engine.importFolder('Drawings', files, fit);
    assert.deepEqual([...result.imported].sort(), ['icon/nds', 'lamp', 'noactivehotke', 'progress_bar', 'upper_screen'], fit);
    // The status bar's line, with the note of what became of half-transparent pixels after it.
    assert.match(result.status, /^Took 5 pictures from Drawings; Drawings\/progress_bar\.png: \d+ pixels are half transparent/);
    assert.equal(result.report.warning, true, 'close.bmp could not be read');
    assert.deepEqual(result.report.lines.slice(0, 3), [
      `Took 5 pictures: ${result.imported.join(', ')}`,
      'No picture of the skin is named like these files: Drawings/holiday.jpg',
      'Passed over Drawings/LAMP.png: Drawings/lamp.bmp was taken for the same picture',
    ]);
    assert.ok(result.report.lines.includes('Drawings/close.bmp: Unknown file format'), result.report.lines.join('\n'));
    assert.equal(result.messages.find((m) => m.kind === 'unknown-format').subject, 'Drawings/close.bmp');
    // One step, named after the folder.
    assert.equal(engine.state().undoText, 'pictures from Drawings');
    const saved = engine.saveFiles({ now: new Date(kEpoch * 1000) });
    const out = join(WORK_DIR, `native-folder-${fit}`);
    native(['convert', '--import-dir', folder, '--fit', fit, '--out', out], { found: 1 });  // 1: close.bmp said
    assertSameFiles(saved.files, out, fit);
    assert.equal(engine.undo(), true);
    assert.equal(engine.state().modified, false);
  }
  assert.throws(() => engine.importFolder('Drawings', files, 'sideways'), RangeError);
});

test('another skin to compare with renders as native skintool renders it, and goes', () => {
  engine.newSkin();
  const archive = join(WORK_DIR, 'Ember.zip');
  native(['convert', '--recolour', '-90,30,0', '--import', `upper_screen=${data('images/card_rgb8.png')}`, '--fit', 'stretch',
    '--out', archive]);
  assert.throws(() => engine.render(0, { other: true }), RangeError);
  const opened = engine.compareWithArchive('Ember.zip', readFileSync(archive));
  assert.deepEqual(opened, { opened: true, messages: [] });
  for (const screen of [0, 6]) {
    const out = join(WORK_DIR, `compare-${screen}.png`);
    native(['render', '--skin', archive, '--screen', String(screen), '--out', out]);
    const expected = decodePng(readFileSync(out));
    const drawn = engine.render(screen, { other: true });
    assert.ok(Buffer.from(drawn.data).equals(Buffer.from(expected.data)), `screen ${screen}`);
  }
  assert.equal(engine.state().origin.kind, 'built-in', 'the skin being edited stays');
  // A skin that cannot be read leaves the one compared with.
  const refused = engine.compareWithArchive('truncated.zip', readFileSync(data('archives/truncated.zip')));
  assert.equal(refused.opened, false);
  assert.equal(engine.render(0, { other: true }).width, 266);
  // From a folder's files too.
  const folder = join(WORK_DIR, 'Ember-folder');
  native(['convert', '--skin', archive, '--out', folder]);
  assert.equal(engine.compareWithFolder('Ember', filesOf(folder)).opened, true);
  engine.stopCompare();
  assert.throws(() => engine.render(0, { other: true }), RangeError);
});

test('files changed on disk: taken when nothing unsaved stands in the way, else held for the answer', () => {
  const folder = join(WORK_DIR, 'Watched');
  native(['convert', '--out', folder]);
  const files = filesOf(folder);
  const red = join(WORK_DIR, 'red-upper');
  native(['convert', '--import', `upper_screen=${data('images/card_rgb8.png')}`, '--fit', 'stretch', '--out', red]);
  native(['convert', '--skin', red, '--out', join(WORK_DIR, 'red.zip')]);
  const redUpper = new Uint8Array(readFileSync(join(red, 'upper_screen.bmp')));
  assert.throws(() => { engine.newSkin(); engine.diskChanged([]); }, RangeError);
  for (const take of [true, false]) {
    assert.equal(engine.openFolder('Watched', files).opened, true);
    const before = engine.picture('upper_screen');
    // Nothing unsaved: read again at once, one step, nothing left unsaved.
    const taken = engine.diskChanged([{ path: 'upper_screen.bmp', bytes: redUpper }]);
    assert.deepEqual([taken.taken, taken.held, taken.status, taken.question],
      [['upper_screen.bmp'], [], 'Read again from disk: upper_screen.bmp', null]);
    assert.notDeepEqual(engine.picture('upper_screen').data, before.data);
    assert.equal(engine.state().modified, false);
    assert.equal(engine.state().undoText, 'reload from disk');
    // An unsaved change of the user to the file: held, asked.
    engine.setNumber('[start bar]', 'y', 100);
    const ini = new TextDecoder('latin1').decode(files.find((f) => f.path === 'uisettings.ini').bytes)
      .replace('[start bar]\r\nx=0\r\ny=172', '[start bar]\r\nx=0\r\ny=150');
    const held = engine.diskChanged([{ path: 'uisettings.ini', bytes: new TextEncoder().encode(ini) }]);
    assert.deepEqual([held.taken, held.held, held.status], [[], ['uisettings.ini'], 'Not reloaded: uisettings.ini']);
    assert.equal(held.question, 'Changed on disk: uisettings.ini. The skin here has unsaved changes to it.');
    const y = () => engine.fields().find((f) => f.section === '[start bar]' && f.key === 'y').value;
    assert.equal(y(), 100);
    const answer = engine.answerReload(take);
    assert.equal(answer.status, take ? 'Read again from disk: uisettings.ini' : 'Kept your uisettings.ini');
    assert.equal(answer.question, null);
    assert.equal(y(), take ? 150 : 100);
    assert.equal(engine.state().modified, !take);
    if (!take) {
      // Kept: Save writes the user's.
      const saved = engine.saveFiles({ inPlace: true, now: new Date(kEpoch * 1000) });
      const text = new TextDecoder('latin1').decode(saved.files.find((f) => f.path === 'uisettings.ini').bytes);
      assert.match(text, /\[start bar\]\r\nx=0\r\ny=100/);
    }
  }
  // A file cut short gives nothing yet: failed, the picture kept.
  const half = engine.diskChanged([{ path: 'lamp.bmp', bytes: redUpper.slice(0, 100) }]);
  assert.deepEqual(half.failed, ['lamp.bmp']);
  assert.match(half.status, /^Could not read lamp\.bmp/);

  // An archive is read whole: always asked about, then reopened as one step.
  const archive = join(WORK_DIR, 'Watched.zip');
  native(['convert', '--out', archive]);
  assert.equal(engine.openArchive('Watched.zip', readFileSync(archive)).opened, true);
  const asked = engine.diskChanged([{ path: 'Watched.zip', bytes: new Uint8Array(readFileSync(join(WORK_DIR, 'red.zip'))) }]);
  assert.deepEqual([asked.taken, asked.held, asked.question], [[], ['Watched.zip'], 'Watched.zip changed on disk.']);
  const before = engine.picture('upper_screen');
  const reopened = engine.answerReload(true);
  assert.deepEqual([reopened.taken, reopened.status], [['Watched.zip'], 'Read again from disk: Watched.zip']);
  assert.notDeepEqual(engine.picture('upper_screen').data, before.data);
  assert.equal(engine.state().modified, false);
});

test('the fit question of a photo from one decode: its sizes and three ways at once', () => {
  engine.newSkin();
  const jpeg = new Uint8Array(readFileSync(data('images/progressive.jpg')));
  const previews = engine.importPreviews('icon/nds', 'photo.jpg', jpeg);
  const sizes = engine.importSizes('icon/nds', 'photo.jpg', jpeg);
  assert.deepEqual(previews.sizes, sizes);
  assert.deepEqual([previews.cover.width, previews.cover.height, previews.stretch.width, previews.stretch.height],
    [32, 32, 32, 32]);
  assert.deepEqual([previews.keep.width, previews.keep.height],
    [Math.min(sizes.width, 256), Math.min(sizes.height, 192)]);
  for (const p of [previews.cover, previews.stretch, previews.keep]) assert.equal(p.data.length, p.width * p.height * 4);
  // The stretched way is what the import then makes of it.
  assert.equal(engine.importPicture('icon/nds', 'photo.jpg', jpeg, 'stretch').imported, true);
  assert.deepEqual(engine.picture('icon/nds').data, previews.stretch.data);
  assert.equal(engine.importPreviews('icon/nds', 'notes.png', new TextEncoder().encode('no picture')), null);
  assert.throws(() => engine.importPreviews('no/such', 'photo.jpg', jpeg), RangeError);
});

test('an open reports its progress over the 53 pictures in order; the about box; a damaged archive', () => {
  const seen = [];
  engine.onProgress((value) => seen.push(value));
  assert.equal(engine.openArchive('python_top.zip', readFileSync(data('archives/python_top.zip'))).opened, true);
  assert.deepEqual(seen, [...Array.from({ length: 53 }, (_, i) => i + 1), 0]);
  seen.length = 0;
  engine.saveArchive('Copy');
  assert.equal(seen.length, 54);
  engine.onProgress(null);
  engine.openArchive('python_top.zip', readFileSync(data('archives/python_top.zip')));
  assert.equal(seen.length, 54, 'no longer heard');

  const about = engine.about();
  assert.equal(about.title + about.version, 'Skin Editor v0.100603');
  assert.ok(about.text.includes('\n\n\nSkin Editor v0.100603 - free software'));
  assert.notEqual(about.linkAddress, about.bannerAddress);
  const banner = engine.aboutBanner();
  assert.deepEqual([banner.width, banner.height, banner.data.length], [468, 60, 468 * 60 * 4]);

  // Cut short, the archive is damaged, as the desktop build says too.
  const damaged = engine.openArchive('truncated.zip', readFileSync(data('archives/truncated.zip')));
  assert.deepEqual(damaged.messages.map((m) => [m.kind, m.text]),
    [['cannot-extract', 'truncated.zip: could not be read from the archive (damaged, encrypted or too large)']]);
  const check = native(['check', '--skin', data('archives/truncated.zip')], { found: 1 });
  assert.match(check.stdout.toString(), /unreadable-settings .*truncated\.zip is there but cannot be read/);
});
