// Take from skin through the page's engine (dist/engine/skin-engine.mjs)
// under node: another skin read from an archive's bytes or a folder's
// files without touching the document, listed group by group (its missing
// pictures named), a choice previewed and then taken as one step, and the
// skin saved holding what native skintool's --take-from makes.
//
//   NATIVE_SKINTOOL=... ZIP_LISTING=... ENGINE_DIR=dist/engine WORK_DIR=... node --test web/tests/take-from.test.mjs
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { before, test } from 'node:test';
import { nodeEngine } from './node-engine.mjs';

const { NATIVE_SKINTOOL, ZIP_LISTING, ENGINE_DIR, WORK_DIR } = process.env;
const kEpoch = 1262347200;

function native(args) {
  return execFileSync(NATIVE_SKINTOOL, args, { env: { ...process.env, SOURCE_DATE_EPOCH: String(kEpoch), TZ: 'UTC' } });
}

function filesOf(dir, prefix = '') {
  const out = [];
  for (const name of readdirSync(dir).sort()) {
    const path = join(dir, name);
    if (statSync(path).isDirectory()) out.push(...filesOf(path, `${prefix}${name}/`));
    else out.push({ path: prefix + name, bytes: readFileSync(path) });
  }
  return out;
}

let engine;
let meadowZip;
let meadowFolder;
before(async () => {
  rmSync(WORK_DIR, { recursive: true, force: true });
  mkdirSync(WORK_DIR, { recursive: true });
  // Meadow: the built-in skin turned green, its start bar lower; as an
  // archive, and as a folder that lacks icon/nds.bmp.
  meadowZip = join(WORK_DIR, 'Meadow.zip');
  native(['convert', '--recolour', '150,10', '--out', meadowZip]);
  meadowFolder = join(WORK_DIR, 'Meadow');
  native(['convert', '--recolour', '150,10', '--out', meadowFolder]);
  rmSync(join(meadowFolder, 'icon/nds.bmp'));
  engine = await nodeEngine(ENGINE_DIR);
});

test('another skin is read and listed without touching the document', () => {
  engine.newSkin();
  const fields = engine.fields();
  assert.equal(engine.takeListing(), null);
  const read = engine.takeArchive('Meadow.zip', readFileSync(meadowZip));
  assert.deepEqual(read, { read: true, messages: [] });
  assert.deepEqual(engine.fields(), fields);
  assert.equal(engine.state().modified, false);
  const listing = engine.takeListing();
  assert.equal(listing.name, 'Meadow');
  // 34 global colours and 7 of element records; 53 pictures; 33 records with numbers; 4 texts.
  assert.deepEqual(listing.groups.map((g) => [g.group, g.items.length]),
                   [['colours', 41], ['pictures', 53], ['positions', 33], ['info', 4]]);
  assert.deepEqual([listing.missing, listing.unreadable], [[], []]);
  const lamp = listing.groups[1].items.find((i) => i.name === 'lamp');
  assert.deepEqual([lamp.state, lamp.differs, lamp.width, lamp.height], ['read', true, 22, 38]);
  const thumbnail = engine.takePicture('lamp');
  assert.deepEqual([thumbnail.width, thumbnail.height, thumbnail.data.length], [22, 38, 22 * 38 * 4]);
  assert.ok(!Buffer.from(thumbnail.data).equals(Buffer.from(engine.picture('lamp').data)));
  // Its positions are the built-in skin's: nothing there to take.
  assert.ok(listing.groups[2].items.every((i) => !i.differs));

  const refused = engine.takeArchive('nothing.zip', new Uint8Array([1, 2, 3]));
  assert.equal(refused.read, false);
  assert.ok(refused.messages.length > 0);
  assert.equal(engine.takeListing().name, 'Meadow', 'a skin that cannot be read leaves the one read before');
});

test('a picture the other skin lacks is listed and never taken', () => {
  engine.newSkin();
  const read = engine.takeFolder('Meadow', filesOf(meadowFolder));
  assert.equal(read.read, true);
  assert.deepEqual(read.messages.map((m) => [m.kind, m.picture, m.subject]),
                   [['file-not-found', 'icon/nds', 'Meadow/icon/nds.bmp']]);
  const listing = engine.takeListing();
  assert.deepEqual(listing.missing, ['icon/nds']);
  const nds = listing.groups[1].items.find((i) => i.name === 'icon/nds');
  assert.deepEqual([nds.state, nds.differs], ['missing', false]);
  assert.equal(engine.takePicture('icon/nds'), null);
  const before = engine.picture('icon/nds');
  const taken = engine.takeFrom({ pictures: ['icon/nds', 'icon/gba'] });
  assert.deepEqual([taken.outcome, taken.error, taken.notTaken, taken.overBudget], ['changed', null, ['icon/nds'], []]);
  assert.deepEqual(taken.changed.pictures, ['icon/gba']);
  assert.deepEqual(engine.picture('icon/nds'), before);
});

test('a choice previewed is no step; taken it is one, named after the other skin', () => {
  engine.newSkin();
  engine.takeArchive('Meadow.zip', readFileSync(meadowZip));
  const shown = engine.takeFrom('colours=formFrameColor;pictures', { preview: true });
  assert.equal(shown.outcome, 'changed');
  assert.equal(shown.changed.pictures.length, 53);
  assert.deepEqual([engine.state().previewing, engine.state().undo, engine.state().modified], [true, null, false]);
  const wrong = engine.takeFrom({ colours: ['frameColour'] });
  assert.equal(wrong.outcome, 'refused');
  assert.match(wrong.error, /no colour field/);
  assert.equal(engine.takeFrom('shapes').outcome, 'refused');
  const taken = engine.takeFrom({ colours: ['formFrameColor'], pictures: true });
  assert.equal(taken.outcome, 'changed');
  assert.equal(engine.state().undoText, 'take from Meadow');
  assert.equal(engine.state().previewing, false);
  assert.deepEqual(engine.takeListing().groups[1].items.filter((i) => i.differs), []);
  engine.undo();
  assert.equal(engine.state().modified, false);
  engine.takeFrom('positions', { preview: true });
  engine.takeClose();
  assert.deepEqual([engine.state().previewing, engine.takeListing()], [false, null]);
});

test('the skin taken into saves as native skintool --take-from makes it', () => {
  engine.newSkin();
  engine.takeArchive('Meadow.zip', readFileSync(meadowZip));
  const choice = 'pictures;colours=formFrameColor,[main list] textColor';
  assert.equal(engine.takeFrom(choice).outcome, 'changed');
  const saved = engine.saveArchive('Mixed', { now: new Date(kEpoch * 1000) });
  assert.equal(saved.saved, true);
  mkdirSync(join(WORK_DIR, 'web'), { recursive: true });
  mkdirSync(join(WORK_DIR, 'native'), { recursive: true });
  const web = join(WORK_DIR, 'web/Mixed.zip');
  const made = join(WORK_DIR, 'native/Mixed.zip');
  writeFileSync(web, saved.bytes);
  native(['convert', '--take-from', `${meadowZip}:${choice}`, '--out', made]);
  const list = (path) => execFileSync(ZIP_LISTING, [path]).toString();
  assert.equal(list(web), list(made));
});
