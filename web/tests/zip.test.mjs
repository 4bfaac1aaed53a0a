// The web build's archive code over fflate (web/platform/zip.mjs): names as
// the archive stores them, members inflated to exactly their recorded size,
// damage refused, a directory that claims more than the file holds cut
// short, and the writer's refusals of what it cannot lay out as asked.
//
//   node --test web/tests/zip.test.mjs
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { zipSync } from 'fflate';
import { encodeZip, inflateZipEntry, listZip, storedName } from '../platform/zip.mjs';

const bytes = (...values) => Uint8Array.from(values);
const text = (s) => new TextEncoder().encode(s);

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
  assert.deepEqual(inflateZipEntry(zip, 0, content.length, true), content);
  assert.equal(inflateZipEntry(zip, 0, content.length + 1, true), null, 'one byte more than it holds');
  assert.deepEqual(inflateZipEntry(zip, 0, 10, false), content.subarray(0, 10), 'the head');
  assert.deepEqual(inflateZipEntry(zip, 1, 3, true), bytes(1, 2, 3), 'stored');
  assert.equal(inflateZipEntry(zip, 2, 1, false), null, 'no such entry');

  // A recorded size larger than the data: fewer bytes, damaged.
  const { view, out } = records(zip);
  const longer = zip.slice();
  new DataView(longer.buffer).setUint32(out[1].central + 24, 9, true);
  assert.equal(listZip(longer)[1].size, 9);
  assert.equal(inflateZipEntry(longer, 1, 9, true), null);
  // A deflate stream with a broken block: damaged.
  const broken = zip.slice();
  const data = out[0].local + 30 + view.getUint16(out[0].local + 26, true);
  broken[data] = 0xff;
  broken[data + 1] = 0xff;
  assert.equal(inflateZipEntry(broken, 0, content.length, true), null);
  // A method fflate cannot read (bzip2): refused, not read as stored.
  const method = zip.slice();
  new DataView(method.buffer).setUint16(out[1].central + 10, 12, true);
  new DataView(method.buffer).setUint16(out[1].local + 8, 12, true);
  assert.equal(inflateZipEntry(method, 1, 3, true), null);
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
