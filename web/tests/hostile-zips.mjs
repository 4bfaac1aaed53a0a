// Archives made to break a reader, laid out by fflate's streaming writer:
// each member's bytes are given as they are to be stored, under the method,
// size and checksum its record is to claim. Also the hostile skins the
// tests and tests/hostile/measure.sh run both skintools on:
//
//   node web/tests/hostile-zips.mjs SKIN_FOLDER OUT
//
// writes into OUT, from the skin in SKIN_FOLDER (as `skintool convert`
// writes it):
//   settings_1gb.zip    1 MB: its settings member records its own size and
//                       checksum, but inflates to 1 GB of zeros
//   pictures_128mb.zip  7 MB: every picture a member of 128 MB of zeros
//   claims_4gb.zip      the skin, lamp.bmp recording 4 GB (128 MB of zeros)
//   members_131000.zip, members_200000.zip
//                       the skin after that many empty members (zip64)
import { readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { constants, crc32, createDeflateRaw, deflateRawSync } from 'node:zlib';
import { Zip } from 'fflate';

const kMB = 1 << 20;

// `members`: { name, stored (the bytes as stored), method (0 or 8), size and
// crc (what the record claims) }. The sizes go in the central directory and
// in a data descriptor after each member, as a streaming writer lays them.
export function craftZip(members) {
  const parts = [];
  const zip = new Zip((error, chunk) => {
    if (error) throw error;
    parts.push(chunk);
  });
  for (const m of members) {
    const file = { filename: m.name, size: m.size, crc: m.crc, compression: m.method, mtime: new Date(2020, 0, 1) };
    zip.add(file);
    file.ondata(null, m.stored, true);
  }
  zip.end();
  return Buffer.concat(parts);
}

// A member as an archiver writes it: deflated, its own size and checksum.
export function deflated(name, bytes) {
  return { name, stored: deflateRawSync(bytes), method: 8, size: bytes.length, crc: crc32(bytes) };
}

// A deflate stream of `mb` megabytes of zeros, about 1 KB a megabyte, in
// one piece as an archiver makes it (zlib's run-length matching, the
// quickest way there).
export async function zerosStream(mb) {
  const deflate = createDeflateRaw({ level: 1, strategy: constants.Z_RLE, chunkSize: kMB });
  const parts = [];
  deflate.on('data', (part) => parts.push(part));
  const ended = new Promise((resolve, reject) => deflate.on('end', resolve).on('error', reject));
  const zeros = Buffer.alloc(kMB);
  for (let i = 0; i < mb; ++i) deflate.write(zeros);
  deflate.end();
  await ended;
  return Buffer.concat(parts);
}

// The checksum of `mb` megabytes of zeros.
export function zerosCrc(mb) {
  const one = Buffer.alloc(kMB);
  let crc = 0;
  for (let i = 0; i < mb; ++i) crc = crc32(one, crc);
  return crc;
}

// `zip` (fflate's, which counts entries in 16 bits) with a zip64 end of
// central directory before its end record, as archivers write for more
// than 65 535 entries: the record and its locator, and the end record's
// counts set to 0xFFFF.
export function withZip64End(zip, entries) {
  const end = zip.length - 22;
  const eocd = new DataView(zip.buffer, zip.byteOffset + end, 22);
  const directorySize = eocd.getUint32(12, true), directoryAt = eocd.getUint32(16, true);
  const tail = Buffer.alloc(56 + 20 + 22);
  const v = new DataView(tail.buffer, tail.byteOffset, tail.length);
  v.setUint32(0, 0x06064b50, true);
  v.setBigUint64(4, 44n, true);
  v.setUint16(12, 45, true);
  v.setUint16(14, 45, true);
  v.setBigUint64(24, BigInt(entries), true);
  v.setBigUint64(32, BigInt(entries), true);
  v.setBigUint64(40, BigInt(directorySize), true);
  v.setBigUint64(48, BigInt(directoryAt), true);
  v.setUint32(56, 0x07064b50, true);
  v.setBigUint64(56 + 8, BigInt(end), true);
  v.setUint32(56 + 16, 1, true);
  tail.set(zip.subarray(end), 76);
  v.setUint16(76 + 8, 0xffff, true);
  v.setUint16(76 + 10, 0xffff, true);
  return Buffer.concat([zip.subarray(0, end), tail]);
}

// The files of a skin folder: [path with "/", bytes], settings first.
export function skinFiles(folder, prefix = '') {
  const out = [];
  for (const name of readdirSync(folder).sort()) {
    const path = join(folder, name);
    if (statSync(path).isDirectory()) out.push(...skinFiles(path, `${prefix}${name}/`));
    else out.push([`${prefix}${name}`, readFileSync(path)]);
  }
  return out.sort(([a], [b]) => (a === 'uisettings.ini' ? -1 : b === 'uisettings.ini' ? 1 : 0));
}

// The hostile skins above, from the skin's files: { file name: bytes }.
export async function hostileSkins(files) {
  const zeros128 = await zerosStream(128);
  const crc128 = zerosCrc(128);
  const zeros1024 = await zerosStream(1024);
  const isSettings = (name) => name === 'uisettings.ini';
  const skin = (name, bytes) => deflated(`Hostile/${name}`, bytes);
  const settingsBomb = files.map(([name, bytes]) => (isSettings(name)
    ? { ...skin(name, bytes), stored: zeros1024 }
    : skin(name, bytes)));
  const pictures = files.map(([name, bytes]) => (isSettings(name)
    ? skin(name, bytes)
    : { name: `Hostile/${name}`, stored: zeros128, method: 8, size: 128 * kMB, crc: crc128 }));
  const claims = files.map(([name, bytes]) => (name === 'lamp.bmp'
    ? { name: `Hostile/${name}`, stored: zeros128, method: 8, size: 0xffffffff, crc: crc128 }
    : skin(name, bytes)));
  const padded = (count) => {
    const empty = { stored: new Uint8Array(0), method: 0, size: 0, crc: 0 };
    const padding = Array.from({ length: count }, (_, i) => ({ ...empty, name: `padding/${i}` }));
    const members = [...padding, ...files.map(([name, bytes]) => skin(name, bytes))];
    return withZip64End(craftZip(members), members.length);
  };
  return {
    'settings_1gb.zip': craftZip(settingsBomb),
    'pictures_128mb.zip': craftZip(pictures),
    'claims_4gb.zip': craftZip(claims),
    'members_131000.zip': padded(131000 - files.length),
    'members_200000.zip': padded(200000 - files.length),
  };
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [folder, out] = process.argv.slice(2);
  if (!out) {
    console.error('usage: node hostile-zips.mjs SKIN_FOLDER OUT');
    process.exit(2);
  }
  for (const [name, bytes] of Object.entries(await hostileSkins(skinFiles(folder)))) writeFileSync(join(out, name), bytes);
}
