// The page's engine (build-web/skin-engine.mjs) under node, against the
// desktop build's skintool: what a page asks of it gives what the desktop
// gives for the same skin and the same steps.
//
//   NATIVE_SKINTOOL=... ZIP_LISTING=... ENGINE_DIR=dist/engine TESTS_DIR=tests WORK_DIR=... \
//     node --test web/tests/engine.test.mjs
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { before, test } from 'node:test';
import { decode as decodePng } from 'fast-png';
import { nodeEngine } from './node-engine.mjs';

const { NATIVE_SKINTOOL, ZIP_LISTING, ENGINE_DIR, TESTS_DIR, WORK_DIR } = process.env;
const data = (path) => join(TESTS_DIR, 'data', path);
// The moment both builds stamp a save with: 2010-01-01 12:00:00 UTC (the
// tests run with TZ=UTC, so the engine's local time is UTC too).
const kEpoch = 1262347200;

// skintool's output; `found` is the exit code of a run that reports what
// it found (check: 1 when there are problems).
function native(args, { found = 0 } = {}) {
  const run = spawnSync(NATIVE_SKINTOOL, args, {
    cwd: WORK_DIR, env: { ...process.env, SOURCE_DATE_EPOCH: String(kEpoch), TZ: 'UTC' }, timeout: 120_000,
    maxBuffer: 64 << 20,
  });
  if (run.status !== 0 && run.status !== found) {
    throw new Error(`skintool ${args.join(' ')}: exit ${run.status}\n${run.stderr}`);
  }
  return run.stdout;
}

// What native skintool renders, as RGBA, and a picture of the engine's.
function nativeRender(args) {
  const out = join(WORK_DIR, `render-${Math.random().toString(36).slice(2)}.png`);
  native(['render', ...args, '--out', out]);
  const png = decodePng(readFileSync(out));
  assert.equal(png.channels, 4);
  return png;
}

// A picture of the engine kept past its next call.
function kept(picture) {
  return { ...picture, data: picture.data.slice() };
}

function assertSamePicture(engine, expected, what) {
  assert.equal(engine.width, expected.width, `${what}: width`);
  assert.equal(engine.height, expected.height, `${what}: height`);
  assert.ok(Buffer.from(engine.data).equals(Buffer.from(expected.data)), `${what}: pixels`);
}

function filesOf(dir, prefix = '') {
  const out = new Map();
  for (const name of readdirSync(dir).sort()) {
    const path = join(dir, name);
    if (statSync(path).isDirectory()) for (const [k, v] of filesOf(path, `${prefix}${name}/`)) out.set(k, v);
    else out.set(prefix + name, readFileSync(path));
  }
  return out;
}

let engine;
before(async () => {
  rmSync(WORK_DIR, { recursive: true, force: true });
  mkdirSync(WORK_DIR, { recursive: true });
  engine = await nodeEngine(ENGINE_DIR);
});

test('an opened archive renders as native skintool renders it, at each zoom and filter', () => {
  // A whole skin unlike the built-in one: a photo on the upper screen, other colours.
  const archive = join(WORK_DIR, 'Harbour.zip');
  native(['convert', '--import', `upper_screen=${data('images/card_rgb8.png')}`, '--fit', 'stretch',
    '--recolour', '-120,20,5', '--out', archive]);
  const opened = engine.openArchive('Harbour.zip', readFileSync(archive));
  assert.equal(opened.opened, true);
  assert.deepEqual(opened.messages, []);
  assert.equal(engine.state().name, 'Harbour');
  for (const [screen, zoom, filter] of [[0, 1, 'none'], [5, 2, 'none'], [13, 3, 'protanopia'], [9, 1, 'console']]) {
    const args = ['--skin', archive, '--screen', String(screen), '--zoom', String(zoom)];
    if (filter !== 'none') args.push('--filter', filter);
    assertSamePicture(engine.render(screen, { zoom, filter }), nativeRender(args), `screen ${screen} zoom ${zoom} ${filter}`);
  }
  // The check and the palette are those of skintool for the same skin.
  const problems = JSON.parse(native(['check', '--skin', archive, '--json'], { found: 1 }).toString());
  assert.ok(problems.length > 0, 'a skin with something to say');
  assert.deepEqual(engine.check().map((p) => [p.code, p.subject, p.message]),
    problems.map((p) => [p.code, p.subject, p.message]));
  const palette = JSON.parse(native(['palette', '--skin', archive, '--json']).toString());
  assert.deepEqual(engine.palette(), palette);
});

test('a skin that cannot be opened leaves the open one, history and all, and says why', () => {
  engine.newSkin();
  engine.setColour('[global settings]', 'formFrameColor', [0, 248, 0]);
  const before = engine.fields();
  for (const name of ['truncated.zip', 'encrypted.zip']) {
    const result = engine.openArchive(name, readFileSync(data(`archives/${name}`)));
    assert.equal(result.opened, false, name);
    assert.ok(result.messages.length > 0 && result.messages[0].text.length > 0, name);
    // Named as the user knows the file, not by where the engine keeps it.
    assert.ok(result.messages.every((m) => !m.text.includes('/skins/') && !m.subject.includes('/skins/')), name);
    assert.deepEqual(engine.fields(), before, name);
    assert.equal(engine.state().undo?.args[0], 'formFrameColor', name);
  }
  // Opening a folder: only what the reader looks at, messages for what is missing.
  const files = [{ path: 'uisettings.ini', bytes: readFileSync(join(TESTS_DIR, 'fuzz/check/tricky.ini')) }];
  const folder = engine.openFolder('Lean', files);
  assert.equal(folder.opened, true);
  assert.equal(folder.messages.filter((m) => m.kind === 'file-not-found').length, 53);
  assert.ok(folder.messages.some((m) => m.text === 'Lean/lamp.bmp : File not found'));
  assert.equal(engine.state().origin.kind, 'folder');
  assert.equal(engine.state().modified, false);
});

test('a colour change shows, is one step of Undo, and goes back exactly', () => {
  engine.newSkin();
  assert.equal(engine.setColour('[global settings]', 'formFrameColor', [200, 40, 40]), true);
  assert.equal(engine.setColour('[global settings]', 'formFrameColor', [200, 40, 40]), false, 'the same value again');
  const changed = kept(engine.render(2));
  const state = engine.state();
  assert.equal(state.modified, true);
  assert.equal(state.undoText, 'formFrameColor');
  assert.equal(engine.undo(), true);
  assert.equal(engine.state().modified, false);
  assert.equal(engine.redo(), true);
  assertSamePicture(engine.render(2), changed, 'after redo');
  // A preview shows without a step; ending it shows the skin as it was.
  engine.undo();
  const plain = kept(engine.render(2));
  engine.setColour('[global settings]', 'formFrameColor', [10, 200, 10], { preview: true });
  assert.equal(engine.state().undo, null);
  assert.notDeepEqual(engine.render(2).data, plain.data);
  engine.endPreview();
  assertSamePicture(engine.render(2), plain, 'after the preview');
  assert.throws(() => engine.setColour('[global settings]', 'noSuchColour', 0), RangeError);
});

test('texts keep to what uisettings.ini can hold', () => {
  engine.newSkin();
  for (const [text, expected] of [['Nightfall', 'changed'], ['Nightfall', 'unchanged'], ['Caf\u00e9 \u00ff', 'changed'],
    ['\u0100 outside Latin-1', 'refused'], ['two\nlines', 'refused'], ['emoji \u{1F600}', 'refused']]) {
    assert.equal(engine.setText('[SkinInfo]', 'Title', text), expected, JSON.stringify(text));
  }
  assert.equal(engine.fields().find((f) => f.key === 'Title').value, 'Caf\u00e9 \u00ff');
});

test('imports, colour replacement and recolouring save the files native skintool writes', () => {
  engine.newSkin();
  const png = data('images/card_rgb8.png');
  const jpeg = data('images/progressive.jpg');
  assert.equal(engine.importPicture('upper_screen', 'card.png', readFileSync(png), 'cover').imported, true);
  assert.equal(engine.importPicture('icon/nds', 'card.jpg', readFileSync(jpeg), 'stretch').imported, true);
  assert.equal(engine.replaceColour(0x7fff, 0x001f), true);
  assert.equal(engine.recolour({ hue: 30, lightness: -10 }), true);
  const saved = engine.saveFiles({ now: new Date(kEpoch * 1000) });
  assert.equal(saved.saved, true);
  const out = join(WORK_DIR, 'native-steps');
  native(['convert', '--import', `upper_screen=${png}`, '--fit', 'cover', '--out', join(WORK_DIR, 'step1')]);
  native(['convert', '--skin', join(WORK_DIR, 'step1'), '--import', `icon/nds=${jpeg}`, '--fit', 'stretch',
    '--replace-colour', '0x7fff=0x001f', '--recolour', '30,0,-10', '--out', out]);
  const expected = filesOf(out);
  assert.deepEqual(saved.files.map((f) => f.path), [...expected.keys()]);
  for (const f of saved.files) assert.ok(Buffer.from(f.bytes).equals(expected.get(f.path)), f.path);
  // A file that holds no picture replaces nothing and says so.
  const before = engine.picture('lamp');
  const refused = engine.importPicture('lamp', 'notes.png', new TextEncoder().encode('not a picture'), 'keep');
  assert.equal(refused.imported, false);
  assert.equal(refused.messages[0].kind, 'unknown-format');
  assert.deepEqual(engine.picture('lamp'), before);
});

test('an archive saved by the engine holds what native skintool writes, and reads back', () => {
  engine.newSkin();
  engine.setColour('[global settings]', 'formTextColor', [248, 200, 0]);
  const saved = engine.saveArchive('Dusk', { now: new Date(kEpoch * 1000) });
  assert.equal(saved.saved, true);
  writeFileSync(join(WORK_DIR, 'web-Dusk.zip'), saved.bytes);
  mkdirSync(join(WORK_DIR, 'archive-native'), { recursive: true });
  native(['convert', '--skin', join(WORK_DIR, 'web-Dusk.zip'), '--out', join(WORK_DIR, 'archive-native/Dusk.zip')]);
  const list = (path) => execFileSync(ZIP_LISTING, [path]).toString();
  // Read back by minizip, every member whole, the same as the desktop's archive of the same skin.
  assert.equal(list(join(WORK_DIR, 'web-Dusk.zip')), list(join(WORK_DIR, 'archive-native/Dusk.zip')));
  assert.doesNotMatch(list(join(WORK_DIR, 'web-Dusk.zip')), /damaged/);
  // Saved: no longer modified once the page says the bytes are where the user wants them.
  assert.equal(engine.state().modified, true);
  engine.markSaved(saved.where, 'archive', { becomeOrigin: true });
  assert.equal(engine.state().modified, false);
  assert.equal(engine.state().name, 'Dusk');
});

test('a journal brings the unsaved changes back as one step, never a preview', async () => {
  engine.newSkin();
  engine.setColour('[global settings]', 'formBodyColor', [16, 32, 64]);
  engine.setNumber('[start menu]', 'x', 40);
  engine.recolour({ hue: 90 }, 'everything', { preview: true });
  const journal = engine.journal(new Date(), 4242);
  const info = engine.readJournal(journal.manifest);
  assert.equal(info.kind, 'built-in');
  assert.equal(engine.readJournal('[journal]\r\nnonsense\r\n'), null);
  const again = await nodeEngine(ENGINE_DIR);
  assert.equal(again.restore(journal), true);
  const fields = new Map(again.fields().map((f) => [`${f.section} ${f.key}`, f.value]));
  assert.deepEqual(fields.get('[global settings] formBodyColor'), [16, 32, 64]);
  assert.equal(fields.get('[start menu] x'), 40);
  engine.endPreview();
  assert.deepEqual(again.fields(), engine.fields(), 'the preview is not in the journal');
  assert.equal(again.state().modified, true);
  assert.equal(again.undo(), true);
  assert.equal(again.state().undo, null);
  assert.equal(again.restore({ manifest: journal.manifest, archive: new Uint8Array([1, 2, 3]) }), false);
});

test('what draws a pixel, and the pixels a drawer draws, agree with each other and with skintool inspect', () => {
  engine.newSkin();
  const points = [[10, 10], [130, 300], [20, 260], [200, 470]];
  const inspected = native(['inspect', '--screen', '0', ...points.flatMap(([x, y]) => ['--at', `${x},${y}`])]).toString();
  for (const [x, y] of points) {
    const trace = engine.trace(0, 2, x * 2 + 1, y * 2 + 1);
    assert.equal(trace.x, x);
    assert.equal(trace.y, y);
    if (trace.source) {
      const named = trace.source.kind === 'picture' ? `picture ${trace.source.name}`
        : `colour ${trace.source.section} ${trace.source.key}`;
      assert.ok(inspected.includes(named), `${x},${y}: ${named}`);
      const mask = engine.mask(0, 2, trace.source);
      assert.equal(mask.data[(y * 2 + 1) * mask.width + x * 2 + 1], 255, `${x},${y}: in its drawer's mask`);
      assert.ok(mask.bounds.left <= x && x <= mask.bounds.right && mask.bounds.top <= y && y <= mask.bounds.bottom);
    }
  }
  assert.equal(engine.trace(0, 2, 266 * 2, 0), null);
  assert.equal(engine.mask(0, 1, { kind: 'picture', name: 'no/such' }), null);
});

test('languages: the engine speaks the language file it is given, and English again', () => {
  engine.newSkin();
  assert.deepEqual(engine.languages().map((l) => l.index), [0, 1, 2, 3, 4, 5, 6, 7, 9, 8]);
  engine.setLanguage(readFileSync(join(TESTS_DIR, '..', 'language', 'german.ini')));
  const german = engine.texts();
  assert.notEqual(german['LANG_FILE$'], 'File');
  const opened = engine.openArchive('python_top.zip', readFileSync(data('archives/python_top.zip')));
  assert.ok(opened.messages[0].text.startsWith('active.bmp : ') && !opened.messages[0].text.includes('File not found'));
  engine.recolour({ hue: 10 });
  assert.equal(engine.state().undoText, german['LANG_STEP_RECOLOR$']);
  engine.setLanguage(null);
  assert.equal(engine.texts()['LANG_FILE$'], 'File');
  assert.equal(engine.state().undoText, 'recolor');
  const panel = engine.panel();
  assert.equal(new Set(panel.images.map((i) => i.name)).size, panel.images.length);
  assert.ok(panel.images.every((i) => engine.picture(i.name) !== null), 'every button is a picture of the skin');
  assert.ok(panel.colours.every((c) => engine.fields().some((f) => f.key === c.name && f.kind === 'colour')));
});

test('a fresh engine adopts the document whole: screens, every step, the saved state and Save in place', async () => {
  const a = await nodeEngine(ENGINE_DIR);
  const archive = join(WORK_DIR, 'Tide.zip');
  native(['convert', '--recolour', '60,0,0', '--out', archive]);
  assert.equal(a.openArchive('Tide.zip', readFileSync(archive)).opened, true);
  a.setNumber('[start bar]', 'y', 10);
  a.setNumber('[start bar]', 'y', 11);
  for (const typed of ['T', 'Ti', 'Tid']) a.setText('[SkinInfo]', 'Title', typed);
  assert.equal(a.importPicture('upper_screen', 'card.png', readFileSync(data('images/card_rgb8.png')), 'cover').imported, true);
  a.setColour('[global settings]', 'formBodyColor', [16, 32, 64]);
  a.undo();
  a.recolour({ hue: 90 }, 'everything', { preview: true });
  const snapshot = a.snapshot();
  a.endPreview();
  assert.deepEqual(snapshot.files.map((f) => f.path), ['/skins/1/Tide.zip']);

  const b = await nodeEngine(ENGINE_DIR);
  assert.equal(b.adopt(snapshot), true);
  for (let screen = 0; screen < 14; ++screen) {
    for (const saved of [false, true]) {
      assertSamePicture(b.render(screen, { saved }), kept(a.render(screen, { saved })), `screen ${screen} saved ${saved}`);
    }
  }
  // Undo to the start and Redo to the end, side by side.
  const shown = (e) => {
    const s = e.state();
    return [s.undoText, s.redoText, s.modified, s.previewing, s.origin];
  };
  assert.deepEqual(shown(b), shown(a));
  for (const step of ['undo', 'undo', 'undo', 'undo', 'redo', 'redo', 'redo', 'redo', 'redo']) {
    assert.equal(b[step](), a[step](), step);
    assert.deepEqual(shown(b), shown(a), step);
    assert.deepEqual(b.fields(), a.fields(), step);
  }
  assert.equal(a.state().redoText, null);
  // Save in place reads the archive again: B has it where A had it.
  const now = new Date(kEpoch * 1000);
  const savedA = a.saveArchive('Tide', { inPlace: true, now });
  const savedB = b.saveArchive('Tide', { inPlace: true, now });
  assert.equal(savedB.saved, true);
  assert.equal(savedB.where, savedA.where);
  assert.ok(Buffer.from(savedB.bytes).equals(Buffer.from(savedA.bytes)), 'the same archive');
  // The folders B makes from now on are its own.
  assert.equal(b.openArchive('Tide.zip', readFileSync(archive)).opened, true);

  // Refused whole: nothing adopted, nothing left behind (the good one is taken after).
  const c = await nodeEngine(ENGINE_DIR);
  const before = c.fields();
  for (const damaged of [
    { ...snapshot, document: snapshot.document.slice(0, -1) },
    { ...snapshot, document: snapshot.document.map((v, i) => (i === 100 ? v ^ 1 : v)) },
    { ...snapshot, files: [{ path: '/skins/../etc/Tide.zip', bytes: snapshot.files[0].bytes }] },
  ]) {
    assert.equal(c.adopt(damaged), false);
    assert.deepEqual(c.fields(), before);
    assert.equal(c.state().origin.kind, 'built-in');
  }
  assert.equal(c.adopt(snapshot), true);
  assert.equal(c.state().name, 'Tide');

  // A folder goes whole, its sub-folders and the files that are no part of the skin too.
  const d = await nodeEngine(ENGINE_DIR);
  const settings = readFileSync(join(TESTS_DIR, 'fuzz/check/tricky.ini'));
  d.openFolder('Lean', [{ path: 'uisettings.ini', bytes: settings }, { path: 'icon/notes.txt', bytes: settings }]);
  d.setNumber('[start bar]', 'x', 12);
  const fromFolder = d.snapshot();
  assert.deepEqual(fromFolder.folders, ['/skins/1/Lean', '/skins/1/Lean/icon']);
  const e = await nodeEngine(ENGINE_DIR);
  assert.equal(e.adopt(fromFolder), true);
  const inPlace = (engine) => engine.saveFiles({ inPlace: true, now }).files.map((f) => [f.path, Buffer.from(f.bytes)]);
  assert.deepEqual(inPlace(e), inPlace(d));
});
