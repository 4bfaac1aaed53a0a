// The desktop build's skintool and the web build's, side by side on every
// skin fixture of the tests (archives and folders, hostile ones included):
// the same exit codes, messages and JSON from check and palette; the same
// pixels of the fourteen screens at zoom 1 and 2 and through a filter; the
// same files from convert into a folder; the same members, names, order,
// dates and bytes from convert into an archive (as minizip reads them).
//
//   node skin-parity.mjs NATIVE_SKINTOOL WEB_SKINTOOL ZIP_LISTING TESTS_DIR WORK_DIR
import { execFile } from 'node:child_process';
import { createHash } from 'node:crypto';
import { cpSync, mkdirSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { decode as decodePng } from 'fast-png';

const [nativeTool, webTool, zipListing, testsDir, work] = process.argv.slice(2);
if (!work) {
  console.error('usage: node skin-parity.mjs NATIVE_SKINTOOL WEB_SKINTOOL ZIP_LISTING TESTS_DIR WORK_DIR');
  process.exit(2);
}

// Every run is bounded: a build that hangs fails the test instead of holding it.
const kRunTimeout = 120_000;
const env = { ...process.env, SOURCE_DATE_EPOCH: '1262347200', TZ: 'UTC' };

function run(tool, args, cwd, withEnv = env) {
  return new Promise((resolve) => {
    execFile(tool, args, { cwd, env: withEnv, timeout: kRunTimeout, maxBuffer: 64 << 20, encoding: 'buffer' },
      (error, stdout, stderr) => {
        resolve({ code: error ? (error.code ?? error.signal) : 0, stdout: stdout.toString('utf8'), stderr: stderr.toString('utf8') });
      });
  });
}

const failures = [];
let checks = 0;
// The first line where two texts differ, to show.
function firstDifference(a, b) {
  const x = String(a).split('\n'), y = String(b).split('\n');
  let i = 0;
  while (i < x.length && i < y.length && x[i] === y[i]) ++i;
  return `line ${i + 1}:\n  native: ${(x[i] ?? '(end)').slice(0, 300)}\n  web:    ${(y[i] ?? '(end)').slice(0, 300)}`;
}

function expectSame(what, a, b) {
  ++checks;
  if (a !== b) failures.push(`${what}, ${firstDifference(a, b)}`);
}

function sha(bytes) {
  return createHash('sha256').update(bytes).digest('hex');
}

// ---------------------------------------------------------------- fixtures
rmSync(work, { recursive: true, force: true });
const nativeDir = join(work, 'native'), webDir = join(work, 'web'), skinsDir = join(work, 'skins');
for (const d of [nativeDir, webDir, skinsDir]) mkdirSync(d, { recursive: true });

const skins = [];
const seen = new Set();
function addArchive(path) {
  const digest = sha(readFileSync(path));
  if (seen.has(digest)) return;
  seen.add(digest);
  skins.push(path);
}
for (const dir of ['data/archives', 'fuzz/skin_open', 'fuzz/archive', 'fuzz/skin_check']) {
  for (const name of readdirSync(join(testsDir, dir)).sort()) {
    if (name.toLowerCase().endsWith('.zip')) addArchive(join(testsDir, dir, name));
  }
}

// Folders, made here: the built-in skin as convert writes it; the same with
// its pictures replaced by every picture file of the tests (BMP, PNG and
// JPEG under .bmp names, damaged and oversized ones among them) and an odd
// settings file; and each settings seed alone in a folder.
const made = await run(nativeTool, ['convert', '--out', join(skinsDir, 'default')], work);
if (made.code !== 0) throw new Error(`convert of the built-in skin failed: ${made.stderr}`);
skins.push(join(skinsDir, 'default'));

const pictureFiles = [];
const seenPictures = new Set();
for (const dir of ['data/images', 'data/bmp', 'fuzz/decode', 'fuzz/bmp']) {
  for (const name of readdirSync(join(testsDir, dir)).sort()) {
    if (!/\.(bmp|png|jpe?g)$/i.test(name)) continue;
    const path = join(testsDir, dir, name);
    const digest = sha(readFileSync(path));
    if (!seenPictures.has(digest)) {
      seenPictures.add(digest);
      pictureFiles.push(path);
    }
  }
}
const defaultNames = readdirSync(join(skinsDir, 'default')).filter((n) => n.endsWith('.bmp')).sort()
  .concat(readdirSync(join(skinsDir, 'default', 'icon')).sort().map((n) => `icon/${n}`));
for (let start = 0, k = 0; start < pictureFiles.length; start += defaultNames.length, ++k) {
  const folder = join(skinsDir, `pictures${k}`);
  cpSync(join(skinsDir, 'default'), folder, { recursive: true });
  copyFile(join(testsDir, 'fuzz/check/tricky.ini'), join(folder, 'uisettings.ini'));
  pictureFiles.slice(start, start + defaultNames.length)
    .forEach((file, i) => copyFile(file, join(folder, defaultNames[i])));
  skins.push(folder);
}
for (const dir of ['fuzz/settings', 'fuzz/check']) {
  for (const name of readdirSync(join(testsDir, dir)).sort()) {
    const folder = join(skinsDir, `settings-${basename(dir)}-${name}`);
    mkdirSync(folder);
    copyFile(join(testsDir, dir, name), join(folder, 'uisettings.ini'));
    skins.push(folder);
  }
}

function copyFile(from, to) {
  writeFileSync(to, readFileSync(from));
}

// ---------------------------------------------------------------- checks
function pixelsOf(path) {
  const png = decodePng(readFileSync(path));
  return `${png.width}x${png.height}/${png.channels}/${png.depth}/${sha(png.data)}`;
}

function filesOf(dir, prefix = '') {
  const out = [];
  for (const name of readdirSync(dir).sort()) {
    const path = join(dir, name);
    if (statSync(path).isDirectory()) out.push(...filesOf(path, `${prefix}${name}/`));
    else out.push(`${prefix}${name} ${sha(readFileSync(path))}`);
  }
  return out.join('\n');
}

async function both(label, args, compareFiles) {
  const [n, w] = await Promise.all([run(nativeTool, args, nativeDir), run(webTool, args, webDir)]);
  expectSame(`${label}: exit code`, n.code, w.code);
  expectSame(`${label}: stdout`, n.stdout, w.stdout);
  expectSame(`${label}: stderr`, n.stderr, w.stderr);
  if (compareFiles && n.code === 0 && w.code === 0) await compareFiles();
}

// What the builds are known to do differently, each asserted as it is:
// minizip as Debian ships it (1.1) takes the 0xFFFFFFFF of a record whose
// sizes are in its zip64 field as the sizes (4 GB, so the desktop refuses
// the settings as too large), where fflate reads the zip64 field.
const kKnown = new Map([
  ['zip64_forced.zip', async (label, skin) => {
    const args = ['check', '--skin', skin];
    const [n, w] = await Promise.all([run(nativeTool, args, nativeDir), run(webTool, args, webDir)]);
    expectSame(`${label}: the desktop reads the settings as 4 GB`, true,
      n.stdout.includes('Forced\\uisettings.ini is larger than the 1048576 bytes'));
    expectSame(`${label}: the web build reads the skin`, true,
      w.stdout.includes('Forced\\lamp.bmp is a 24-bit BMP file'));
  }],
]);

const queue = skins.map((skin, index) => async () => {
  const label = skin.slice(testsDir.length + 1) || skin;
  const tag = `s${index}`;
  const known = kKnown.get(basename(skin));
  if (known) return known(label, skin);
  await both(`${label} check --json`, ['check', '--skin', skin, '--json']);
  await both(`${label} palette --json`, ['palette', '--skin', skin, '--json']);
  for (const [name, extra] of [['zoom1', []], ['zoom2', ['--zoom', '2']], ['console', ['--filter', 'console']]]) {
    const out = `${tag}-${name}.png`;
    await both(`${label} render --all ${extra.join(' ')}`, ['render', '--skin', skin, '--all', ...extra, '--out', out],
      () => expectSame(`${label} render ${name}: pixels`, pixelsOf(join(nativeDir, out)), pixelsOf(join(webDir, out))));
  }
  const folder = `${tag}-folder`;
  await both(`${label} convert --out DIR`, ['convert', '--skin', skin, '--out', folder],
    () => expectSame(`${label} convert: files`, filesOf(join(nativeDir, folder)), filesOf(join(webDir, folder))));
  const archive = `${tag}.zip`;
  await both(`${label} convert --out NAME.zip`, ['convert', '--skin', skin, '--out', archive], async () => {
    const [n, w] = await Promise.all([run(zipListing, [archive], nativeDir), run(zipListing, [archive], webDir)]);
    expectSame(`${label} convert archive: members`, n.stdout, w.stdout);
    // The same skin each time: the archive's bytes are reproducible.
    const again = join(webDir, `${tag}-again`);
    mkdirSync(again);
    await run(webTool, ['convert', '--skin', skin, '--out', archive], again);
    expectSame(`${label} convert archive: reproducible`, sha(readFileSync(join(webDir, archive))),
      sha(readFileSync(join(again, archive))));
  });
});

// Two at a time: the machines that run the tests have two cores.
async function worker() {
  for (let job; (job = queue.shift());) await job();
}
await Promise.all([worker(), worker()]);

// The time zone both honour: the same dates in an archive made far from UTC,
// where the clocks go forward and back.
{
  const zoned = { ...env, TZ: 'Pacific/Auckland' };
  const args = ['convert', '--skin', join(skinsDir, 'default'), '--out', 'zoned.zip'];
  const [n, w] = await Promise.all([run(nativeTool, args, nativeDir, zoned), run(webTool, args, webDir, zoned)]);
  expectSame('TZ=Pacific/Auckland convert: exit code', n.code, w.code);
  const [ln, lw] = await Promise.all([run(zipListing, ['zoned.zip'], nativeDir), run(zipListing, ['zoned.zip'], webDir)]);
  expectSame('TZ=Pacific/Auckland convert: members and dates', ln.stdout, lw.stdout);
}

console.log(`${skins.length} skins, ${checks} checks, ${failures.length} differ`);
if (failures.length) {
  for (const f of failures.slice(0, 40)) console.log(f);
  process.exit(1);
}
