// The web build's archive code over fflate (web/platform/zip.mjs): names as
// the archive stores them, members inflated to exactly their recorded size
// and checksum, damage refused, members that claim or hold far more than
// they are asked for read no further than asked, a directory that claims
// more than the file holds cut short, and the writer's refusals of what it
// cannot lay out as asked.
//
//   node --test web/tests/zip.test.mjs
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { crc32, deflateRawSync } from 'node:zlib';
import { zipSync } from 'fflate';
import { encodeZip, inflateZipEntry, listZip, storedName } from '../platform/zip.mjs';
import { craftZip, deflated, zerosStream } from './hostile-zips.mjs';

const bytes = (...values) => Uint8Array.from(values);
const text = (s) => new TextEncoder().encode(s);
const archive = (name) => new Uint8Array(readFileSync(new URL(`../../tests/data/archives/${name}`, import.meta.url)));

// Entry `index` of `zip` inflated as the engine asks, its pieces joined;
// null when refused.
function inflate(zip, index, count, whole) {
  const pieces = inflateZipEntry(zip, listZip(zip), index, count, whole);
  return pieces && new Uint8Array(Buffer.concat(pieces));
}

// The offsets of a member's local header and central record in an archive
// fflate wrote (every member stored or deflated, no extra fields).
function records(zip) {
  const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
  const out = [];
  for (let p = 0; p + 4 <= zip.length; ++p) {
    if (view.getUint32(p, true) === 0x02014b50) out.push({ central: p, local: view.getUint32(p + 42, true) });
  }
  return { view, out };
}

test('names come back as the archive stores them', () => {
  const cases = [
    // [what fflate gives, the bytes the engine gets, why]
    ['lamp.bmp', text('lamp.bmp'), 'ASCII'],
    ['Caf\u00c3\u00a9/lamp.bmp', text('Caf\u00e9/lamp.bmp'), 'unmarked UTF-8, read by fflate as Latin-1'],
    ['Caf\u00e9/lamp.bmp', text('Caf\u00e9/lamp.bmp'), 'marked UTF-8 of a Latin-1 letter'],
    ['\u65e5\u672c/lamp.bmp', text('\u65e5\u672c/lamp.bmp'), 'marked UTF-8 beyond Latin-1'],
    ['Caf\u0082/lamp.bmp', text('Caf\u0082/lamp.bmp'), 'an old code page: the UTF-8 of its Latin-1 reading'],
  ];
  for (const [given, expected, why] of cases) assert.deepEqual(storedName(given), expected, why);
});

test('a member inflates to exactly its recorded size, or not at all', () => {
  const content = text('[SkinInfo]\r\nTitle = Lantern\r\n'.repeat(20));
  const zip = zipSync({ 'a/uisettings.ini': [content, { level: 6 }], 'a/lamp.bmp': [bytes(1, 2, 3), { level: 0 }] });
  const entries = listZip(zip);
  assert.deepEqual(entries.map((e) => [new TextDecoder().decode(e.name), e.size]),
    [['a/uisettings.ini', content.length], ['a/lamp.bmp', 3]]);
  assert.deepEqual(inflate(zip, 0, content.length, true), content);
  assert.equal(inflate(zip, 0, content.length + 1, true), null, 'one byte more than it holds');
  assert.deepEqual(inflate(zip, 0, 10, false), content.subarray(0, 10), 'the head');
  assert.deepEqual(inflate(zip, 1, 3, true), bytes(1, 2, 3), 'stored');
  assert.equal(inflate(zip, 2, 1, false), null, 'no such entry');

  // A recorded size larger than the data: fewer bytes, damaged.
  const { view, out } = records(zip);
  const longer = zip.slice();
  new DataView(longer.buffer).setUint32(out[1].central + 24, 9, true);
  assert.equal(listZip(longer)[1].size, 9);
  assert.equal(inflate(longer, 1, 9, true), null);
  // A deflate stream with a broken block: damaged.
  const broken = zip.slice();
  const data = out[0].local + 30 + view.getUint16(out[0].local + 26, true);
  broken[data] = 0xff;
  broken[data + 1] = 0xff;
  assert.equal(inflate(broken, 0, content.length, true), null);
  // A method fflate cannot read (bzip2): refused, not read as stored.
  const method = zip.slice();
  new DataView(method.buffer).setUint16(out[1].central + 10, 12, true);
  new DataView(method.buffer).setUint16(out[1].local + 8, 12, true);
  assert.equal(inflate(method, 1, 3, true), null);
});

test('a member read whole matches its checksum; its head is not checked', () => {
  const content = text('[SkinInfo]\r\nTitle = Lantern\r\n');
  const packed = deflateRawSync(content);
  const cases = [
    // [method, the bytes stored, the checksum recorded, read whole]
    [0, content, crc32(content), content],
    [8, packed, crc32(content), content],
    [0, content, crc32(content) ^ 1, null],
    [8, packed, crc32(content) ^ 0x80000000, null],
    [0, Buffer.concat([content.subarray(0, 5), text('?'), content.subarray(6)]), crc32(content), null],
  ];
  for (const [method, stored, crc, expected] of cases) {
    const zip = craftZip([{ name: 'uisettings.ini', stored, method, size: content.length, crc }]);
    const why = `method ${method}, checksum ${crc}`;
    assert.deepEqual(inflate(zip, 0, content.length, true), expected, why);
    assert.deepEqual(inflate(zip, 0, 5, false), content.subarray(0, 5), why);
  }
  // Made by Python's zipfile, then damaged: a byte of a stored picture, the
  // checksum of a deflated one.
  for (const name of ['bad_crc.zip', 'bad_crc_deflated.zip']) {
    const zip = archive(name);
    const entries = listZip(zip);
    assert.ok(inflate(zip, 0, entries[0].size, true), `${name}: its settings are whole`);
    assert.equal(inflate(zip, 1, entries[1].size, true), null, `${name}: its picture is damaged`);
    assert.deepEqual([...inflate(zip, 1, 2, false)], [0x42, 0x4d], `${name}: the head of its picture`);
  }
});

test('a member yields what it records and what is asked, whatever its stream holds', async () => {
  const content = text('BM'.padEnd(1000, 'x'));
  const packed = deflateRawSync(content);
  const cases = [
    // [recorded size, recorded checksum, count asked, whole, what it yields]
    [1000, crc32(content), 1000, true, content],
    // Inflates past its record (an archiver's checksum of all of it).
    [600, crc32(content), 600, true, null],
    // Past its record, with the checksum of what it records: the desktop
    // build reads the record's bytes and no further, so does this one.
    [600, crc32(content.subarray(0, 600)), 600, true, content.subarray(0, 600)],
    // Fewer bytes than it records.
    [1001, crc32(content), 1001, true, null],
    [1001, crc32(content), 1001, false, content],
    [1000, 0, 64, false, content.subarray(0, 64)],
    [1000, 0, 0, false, new Uint8Array(0)],
  ];
  for (const [size, crc, count, whole, expected] of cases) {
    const zip = craftZip([{ name: 'lamp.bmp', stored: packed, method: 8, size, crc }]);
    assert.deepEqual(inflate(zip, 0, count, whole), expected, `recorded ${size}, asked ${count}, whole ${whole}`);
  }
  // Recorded as 4 GB, holding 128 MB of zeros: the head costs its 64 bytes,
  // and a whole read of the 64 MB a member may have stops there.
  const zeros = await zerosStream(128);
  const zip = craftZip([{ name: 'lamp.bmp', stored: zeros, method: 8, size: 0xffffffff, crc: 0 }]);
  const entries = listZip(zip);
  assert.equal(entries[0].size, 0xffffffff);
  const head = inflateZipEntry(zip, entries, 0, 64, false);
  assert.deepEqual(head.map((piece) => piece.buffer.byteLength), [64], 'one piece of 64 bytes, nothing more held');
  assert.deepEqual([...head[0]], new Array(64).fill(0));
  const most = 64 << 20;
  const first = inflateZipEntry(zip, entries, 0, most, false);
  assert.equal(first.reduce((n, piece) => n + piece.buffer.byteLength, 0), most);
  assert.equal(inflateZipEntry(zip, entries, 0, most, true), null, 'not its checksum');
});

test('a record that keeps its local header\'s offset in zip64 is found through fflate', () => {
  const zip = archive('zip64_forced.zip');
  const entries = listZip(zip);
  assert.deepEqual(entries.map((e) => new TextDecoder().decode(e.name)),
    ['Forced/uisettings.ini', 'Forced/lamp.bmp', 'Forced/icon/nds.bmp']);
  // The settings are those of python_top.zip, the pictures 24-bit BMPs.
  const settings = inflate(archive('python_top.zip'), 0, entries[0].size, true);
  // Out of order and again: the first keeps its offset (0) in its record,
  // the others are found by fflate's walk once, then kept.
  for (const k of [2, 0, 1, 2]) {
    const data = new Uint8Array(Buffer.concat(inflateZipEntry(zip, entries, k, entries[k].size, true) ?? []));
    if (k === 0) assert.deepEqual(data, settings);
    else assert.deepEqual([data[0], data[1], data[28]], [0x42, 0x4d, 24], `entry ${k}`);
  }
});

test('what is no archive, or claims more entries than it can hold, is refused or cut short', () => {
  assert.equal(listZip(text('not an archive at all, just some words')), null);
  assert.equal(listZip(new Uint8Array(0)), null);
  const zip = zipSync({ 'uisettings.ini': [text('x'), { level: 0 }] });
  const claims = zip.slice();
  const view = new DataView(claims.buffer);
  const end = claims.length - 22;
  view.setUint16(end + 8, 65535, true);
  view.setUint16(end + 10, 65535, true);
  const listed = listZip(claims);
  assert.ok(listed !== null && listed.length <= Math.floor(claims.length / 46), `${listed?.length} entries listed`);
});

test('the writer lays members out in the order given, dated as given, or refuses', () => {
  const date = [2021, 3, 4, 5, 6, 8];
  const zip = encodeZip([
    { name: 'Dusk/uisettings.ini', bytes: text('[SkinInfo]'), date },
    { name: 'Dusk/icon/nds.bmp', bytes: bytes(1, 2), date },
    { name: 'Dusk/a.bmp', bytes: bytes(3), date },
  ]);
  assert.deepEqual(listZip(zip).map((e) => new TextDecoder().decode(e.name)),
    ['Dusk/uisettings.ini', 'Dusk/icon/nds.bmp', 'Dusk/a.bmp']);
  const { view, out } = records(zip);
  // MS-DOS date and time: 2021-03-04 05:06:08.
  const dos = (at) => [view.getUint16(at + 14, true), view.getUint16(at + 12, true)];
  const expected = [((2021 - 1980) << 9) | (3 << 5) | 4, (5 << 11) | (6 << 5) | 4];
  for (const r of out) {
    assert.deepEqual(dos(r.central), expected);
    assert.equal(view.getUint16(r.local + 6, true) & 8, 0, 'no data descriptor');
  }
  // After 2099: its last moment.
  const late = encodeZip([{ name: 'a', bytes: bytes(1), date: [2105, 6, 1, 12, 0, 0] }]);
  const lateView = records(late);
  const lastDay = ((2099 - 1980) << 9) | (12 << 5) | 31, lastTime = (23 << 11) | (59 << 5) | 29;
  assert.equal(lateView.view.getUint16(lateView.out[0].central + 14, true), lastDay);
  assert.equal(lateView.view.getUint16(lateView.out[0].central + 12, true), lastTime);
  // Non-ASCII names are marked as UTF-8, ASCII ones are not.
  const marked = encodeZip([{ name: 'Caf\u00e9/a.bmp', bytes: bytes(1), date }, { name: 'b.bmp', bytes: bytes(2), date }]);
  const m = records(marked);
  assert.deepEqual(m.out.map((r) => (m.view.getUint16(r.central + 8, true) & 0x800) !== 0), [true, false]);
  // What fflate would lay out otherwise than asked.
  for (const names of [['a.bmp', 'a.bmp'], ['b.bmp', '12'], ['__proto__']]) {
    assert.equal(encodeZip(names.map((name) => ({ name, bytes: bytes(1), date }))), null, names.join(', '));
  }
});
