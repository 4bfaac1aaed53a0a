// The JSON the engine gives has the shapes web/engine/engine.ts declares:
// for each answer a page reads, the keys of the TypeScript interface (read
// from the source) and the keys of the engine's actual answer are the same
// (an optional key may be missing). The catalogue of commands is checked
// here too, as a page's own test would check its handlers against it.
//
//   ENGINE_DIR=dist/engine ENGINE_TS=web/engine/engine.ts node --test web/tests/engine-shapes.test.mjs
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { before, test } from 'node:test';
import { nodeEngine } from './node-engine.mjs';

const { ENGINE_DIR, ENGINE_TS } = process.env;

// The keys of `export interface Name { ... }` (its own level only): name ->
// {required, optional}.
function interfaces(text) {
  const source = text.replace(/\/\*[\s\S]*?\*\//g, '').replace(/\/\/.*$/gm, '');
  const out = new Map();
  const start = /export interface (\w+)\s*{/g;
  let m;
  while ((m = start.exec(source))) {
    // The interface's own level: what nested braces, brackets and
    // parentheses hold is left out.
    let depth = 1;
    let body = '';
    for (let i = start.lastIndex; i < source.length && depth > 0; ++i) {
      const c = source[i];
      if ('{[('.includes(c)) ++depth;
      else if ('}])'.includes(c)) --depth;
      else if (depth === 1) body += c;
    }
    const required = [];
    const optional = [];
    for (const k of body.matchAll(/(?:^|[;\n])\s*(\w+)(\??):/g)) (k[2] ? optional : required).push(k[1]);
    out.set(m[1], { required, optional });
  }
  return out;
}

let engine;
let shapes;
before(async () => {
  engine = await nodeEngine(ENGINE_DIR);
  shapes = interfaces(readFileSync(ENGINE_TS, 'utf8'));
});

function assertShape(name, value) {
  const shape = shapes.get(name);
  assert.ok(shape, `no interface ${name} in engine.ts`);
  const keys = Object.keys(value);
  for (const k of shape.required) assert.ok(keys.includes(k), `${name}: the engine gives no "${k}"`);
  for (const k of keys) {
    assert.ok(shape.required.includes(k) || shape.optional.includes(k), `${name}: "${k}" is not declared`);
  }
}

test('each answer a page reads has the keys its interface declares', () => {
  assertShape('EngineState', engine.state());
  assertShape('Field', engine.fields()[0]);
  assertShape('PanelTables', engine.panel());
  assertShape('Language', engine.languages()[0]);
  const trace = engine.trace(0, 1, 130, 100);
  assertShape('Trace', trace);
  assertShape('Mask', engine.mask(0, 1, { kind: 'element', section: '[start bar]' }));
  assertShape('PaletteEntry', engine.palette()[0]);
  engine.setNumber('[start bar]', 'y', 400);
  const problems = engine.check();
  assertShape('Problem', problems[0]);
  assertShape('EngineChange', engine.lastChange());
  assertShape('ChangedParts', engine.lastChange().changed);
  assertShape('ProblemFocus', engine.problemFocus(0));
  assertShape('CommandCatalogue', engine.catalogue());
  assertShape('CatalogueCommand', engine.catalogue().commands[0]);
  assertShape('MenuEntry', engine.catalogue().menus[0]);
  assertShape('CommandState', engine.commandStates().undo);
  const press = engine.press(0, 1, 130, 100);
  assertShape('GestureAnswer', press);
  assertShape('GestureAnswer', engine.drag(150, 120, 1));
  assertShape('GestureAnswer', engine.escape());
  assertShape('GestureAnswer', engine.release());
  assertShape('GestureAnswer', engine.nudge(1, 0));
  assertShape('CursorAnswer', engine.cursorAt(0, 1, 130, 100));
  assertShape('HoverAnswer', engine.hover({ kind: 'picture', name: 'lamp' }));
  assertShape('ColourDialogState', engine.colourOpen([8, 8, 8]));
  assertShape('ColourDialogState', engine.colourField(0, ['40', '1', '1']));
  assertShape('TypedTextAnswer', engine.typedText('[SkinInfo]', 'Title', 'Caf\u00e9'));
  assertShape('OverwriteQuestion', engine.changedBeforeSave('/nowhere', []));
  assertShape('MnemonicText', engine.mnemonics(['File'])[0]);
  assertShape('ColourTexts', engine.colourTexts([248, 0, 8]));
  const sizes = engine.importSizes('lamp', 'x.bmp', new Uint8Array([1, 2, 3]));
  assert.equal(sizes, null);
  assertShape('AboutTexts', engine.about());
  // A picture file of 2 x 1 pixels (a 24-bit BMP) going into the lamp.
  const bmp = new Uint8Array(62);
  const v = new DataView(bmp.buffer);
  bmp.set([0x42, 0x4d]);
  v.setUint32(2, 62, true);
  v.setUint32(10, 54, true);
  v.setUint32(14, 40, true);
  v.setInt32(18, 2, true);
  v.setInt32(22, 1, true);
  v.setUint16(26, 1, true);
  v.setUint16(28, 24, true);
  assertShape('ImportSizes', engine.importSizes('lamp', 'x.bmp', bmp));
  const previews = engine.importPreviews('lamp', 'x.bmp', bmp);
  assertShape('ImportPreviews', previews);
  assertShape('RgbaPicture', previews.keep);
  const folder = [{ path: 'lamp.bmp', bmp }].map((f) => ({ path: f.path, bytes: f.bmp }));
  const question = engine.importFolderSizes('Art', folder);
  assertShape('FolderQuestion', question);
  assert.equal(question.count, 1);
  const imported = engine.importFolder('Art', folder, 'keep');
  assertShape('FolderImportResult', imported);
  assertShape('FolderImportReport', imported.report);
  engine.openFolder('Skin', [{ path: 'uisettings.ini', bytes: new TextEncoder().encode('[global settings]\r\n') }]);
  const reloaded = engine.diskChanged([{ path: 'lamp.bmp', bytes: bmp }]);
  assertShape('ReloadAnswer', reloaded);
  assertShape('ReloadAnswer', engine.answerReload(true));
});

test('the catalogue: every command once, no chord twice, every menu entry a command', () => {
  const { commands, menus } = engine.catalogue();
  const ids = new Set();
  const chords = new Map();
  for (const c of commands) {
    assert.ok(!ids.has(c.id), `twice: ${c.id}`);
    ids.add(c.id);
    for (const k of c.chords) {
      assert.ok(!chords.has(k), `${k}: ${chords.get(k)} and ${c.id}`);
      chords.set(k, c.id);
    }
  }
  const walk = (items) => {
    for (const m of items) {
      if (m.kind === 'command') assert.ok(ids.has(m.id), `menu entry ${m.id} is no command`);
      walk(m.items);
    }
  };
  walk(menus);
  assert.equal(chords.get('Ctrl+S'), 'save');
  assert.equal(chords.get('PageDown'), 'nextScreen');
});

test('the rules a page asks: text, schedule, screen, colour, states', () => {
  assert.deepEqual(engine.typedText('[SkinInfo]', 'Title', 'Caf\u00e9'),
                   { outcome: 'taken', latin1: 'Caf\u00e9', refusal: null });
  assert.equal(engine.typedText('[SkinInfo]', 'Title', '\u20ac').outcome, 'refused');
  assert.equal(engine.typedText('[SkinInfo]', 'LastUpdate', 'x').outcome, 'read-only');
  assert.equal(engine.journalSchedule(0, 1000), 2000);
  assert.equal(engine.journalSchedule(0, 4500), 5000);
  assert.equal(engine.screenAfter('language'), 0);
  assert.deepEqual(engine.mnemonics(['File', 'Fit', '\u30d5\u30a1\u30a4\u30eb', '']).map((m) => m.before + '[' + m.letter + ']' + m.after),
                   ['[F]ile', 'F[i]t', '\u30d5\u30a1\u30a4\u30eb([A])', '[]']);
  assert.equal(engine.zoomStep(1, 2, false).toFixed(2), '1.30');
  assert.equal(engine.zoomStep(1.3, 1, true), 2);
  assert.equal(engine.zoomToFit(266 * 3, 490 * 3, true), 3);
  assert.equal(engine.wholeZoom(2.6), 3);
  assert.deepEqual([60, 60, 119, 1, -240].map((d) => engine.wheel(d)), [0, 1, 0, 1, -2]);
  assert.deepEqual(engine.colourTexts([248, 0, 8]), { code: '0x041f', hex: '#f80008' });
  assert.deepEqual(engine.colourTexts([255, 255, 255]), { code: '0x7fff', hex: '#ffffff' });
  engine.colourOpen([8, 8, 8]);
  const chosen = engine.colourChooser([255, 128, 1]);
  assert.deepEqual(chosen.ok, [255, 128, 1]);
  assert.equal(chosen.code, '0x021f');
  assert.equal(engine.colourField(1, ['31', '40', '0']).fieldText, '31');
  engine.newSkin();
  const states = engine.commandStates({ screen: 4, paletteShown: true });
  assert.equal(states['screenAction:4'].checked, true);
  assert.equal(states.palette.checked, true);
  assert.equal(states.undo.enabled, false);
  engine.setNumber('[start bar]', 'y', 10);
  assert.equal(engine.lastChange().outcome, 'changed');
  assert.deepEqual(engine.lastChange().changed.fields, [{ section: '[start bar]', key: 'y' }]);
  assert.equal(engine.commandStates().undo.enabled, true);
});
