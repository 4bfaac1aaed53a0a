// The web build decodes pictures as the desktop build does: every PNG, JPEG
// and BMP file under tests/ goes through both builds' picture_dump (the
// import decode: size, colours and alpha plane, or the refusal), and
//  - a file the desktop build decodes gives the same picture on the web;
//  - a file the desktop build refuses is refused on the web for the same
//    reason, but for the damaged PNGs of kWebTakes below, which the web's
//    decoder reads anyway. The list is held exactly: a file that leaves it
//    or joins it fails the test, so that a change of either decoder is seen.
// JPEG has no such list: both builds decode it with libjpeg-turbo, so every
// JPEG file must come out alike. The PNG files of data/png_chunks/ (damaged,
// misplaced and repeated chunks) say in their names what libpng makes of
// them, which the desktop build must bear out: ok_*_alpha and ok_*_opaque
// are read, with transparent pixels or without, bad_* are refused.
//
//   node decode-parity.mjs NATIVE_PICTURE_DUMP WEB_BUILD_DIR TESTS_DIR
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join, relative } from 'node:path';

const [nativeTool, webBuild, testsDir] = process.argv.slice(2);
if (!nativeTool || !webBuild || !testsDir) {
  process.stderr.write('usage: decode-parity.mjs NATIVE_PICTURE_DUMP WEB_BUILD_DIR TESTS_DIR\n');
  process.exit(2);
}

// Damaged PNGs that libpng refuses and the Rust png crate reads: it checks
// no Adler-32 of the image data. (The web build walks the chunks by
// libpng's rules first, CRCs included, and refuses what libpng refuses.)
const kWebTakes = new Set([
  'data/png/bad_adler32.png',
]);

// Folders that must hold pictures, so that a walk that finds nothing fails.
const kFolders = ['data/images', 'data/png', 'data/png_chunks', 'data/bmp', 'fuzz/decode', 'fuzz/bmp'];

// What the name of a file of data/png_chunks/ says libpng makes of it:
// 'alpha', 'opaque' or 'refused' (undefined for other files).
function namedOutcome(name) {
  const match = /^data\/png_chunks\/(?:ok_.*_(alpha|opaque)|(bad)_.*)\.png$/.exec(name);
  if (!match) return name.startsWith('data/png_chunks/') ? 'unnamed' : undefined;
  return match[1] ?? 'refused';
}

function picturesUnder(dir) {
  const found = [];
  for (const entry of readdirSync(dir, { withFileTypes: true })) {
    const path = join(dir, entry.name);
    if (entry.isDirectory()) found.push(...picturesUnder(path));
    else if (entry.isFile() && /\.(png|jpe?g|bmp)$/i.test(entry.name)) found.push(path);
  }
  return found;
}

// The format by the file's first bytes, whatever its name says.
function formatOf(path) {
  const b = readFileSync(path).subarray(0, 8);
  if (b.length === 8 && b.equals(Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]))) return 'PNG';
  if (b[0] === 0xff && b[1] === 0xd8) return 'JPEG';
  if (b[0] === 0x42 && b[1] === 0x4d) return 'BMP';
  return 'other';
}

// NAME<TAB>RESULT lines into a map; a picture's result starts with its size.
function run(command, args) {
  const out = execFileSync(command, args, { encoding: 'utf8', timeout: 120_000, maxBuffer: 64 << 20 });
  const results = new Map();
  for (const line of out.split('\n')) {
    if (!line) continue;
    const tab = line.indexOf('\t');
    results.set(line.slice(0, tab), line.slice(tab + 1));
  }
  return results;
}

const decoded = (result) => /^\d+x\d+ [0-9a-f]{16} (alpha|opaque)$/.test(result);

const files = picturesUnder(testsDir).sort();
const native = run(nativeTool, files);
const web = run(process.execPath, [join(webBuild, 'picture-dump'), ...files]);

const faults = [];
const counts = { alike: 0, refused: 0, webTakes: 0 };
const perFormat = {};
for (const file of files) {
  const name = relative(testsDir, file);
  const format = formatOf(file);
  const n = native.get(file), w = web.get(file);
  const tally = (perFormat[format] ??= { files: 0, decoded: 0 });
  ++tally.files;
  if (n === undefined || w === undefined) {
    faults.push(`${name}: no result (desktop ${n}, web ${w})`);
    continue;
  }
  if (n === 'NoFile' || w === 'NoFile') {
    faults.push(`${name}: not read (desktop ${n}, web ${w})`);
    continue;
  }
  const named = namedOutcome(name);
  if (named !== undefined && named !== (decoded(n) ? n.split(' ')[2] : 'refused')) {
    faults.push(named === 'unnamed' ? `${name}: named neither ok_*_alpha, ok_*_opaque nor bad_*`
                                    : `${name}: named for ${named}, but the desktop gives ${n}`);
  }
  if (decoded(n)) {
    ++tally.decoded;
    if (w === n) ++counts.alike;
    else faults.push(`${name}: desktop ${n}, web ${w}`);
    if (kWebTakes.has(name)) faults.push(`${name}: listed as taken by the web only, but the desktop decodes it too`);
  } else if (kWebTakes.has(name)) {
    if (format === 'PNG' && decoded(w)) ++counts.webTakes;
    else faults.push(`${name}: listed as a damaged PNG the web takes, but the web gives ${w} (desktop ${n})`);
  } else if (w === n) {
    ++counts.refused;
  } else {
    faults.push(`${name}: desktop ${n}, web ${w}`);
  }
}
for (const name of kWebTakes) {
  if (!files.some((f) => relative(testsDir, f) === name)) faults.push(`${name}: listed, but not found`);
}
for (const folder of kFolders) {
  if (!files.some((f) => relative(testsDir, f).startsWith(`${folder}/`))) faults.push(`${folder}/: no pictures found`);
}
for (const format of ['PNG', 'JPEG', 'BMP']) {
  if (!perFormat[format]?.decoded) faults.push(`no ${format} file decoded by the desktop build`);
}

const formats = Object.entries(perFormat).map(([f, t]) => `${t.files} ${f}`).join(', ');
for (const fault of faults) process.stdout.write(`FAULT ${fault}\n`);
process.stdout.write(`decode parity: ${files.length} files (${formats}): ${counts.alike} decoded alike, ` +
                     `${counts.refused} refused by both, ${counts.webTakes} damaged PNGs taken by the web only; ` +
                     `${faults.length} faults\n`);
process.exit(faults.length ? 1 : 0);
