// The bounds of the web build's archive reader (web/platform/zip.mjs), on
// random and damaged deflate streams under random recorded sizes and
// checksums, and on every archive of the tests' corpora: a member never
// yields more than it is asked for, holds no memory past what it yields,
// gives what zlib's own inflating of the same bytes gives, and is read no
// further into its stream than it takes to yield that.
//
//   node --test web/tests/zip-bounds.test.mjs
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { test } from 'node:test';
import { constants, crc32, deflateRawSync, inflateRawSync } from 'node:zlib';
import { Inflate } from 'fflate';
import { inflateZipEntry, listZip } from '../platform/zip.mjs';
import { craftZip, zerosStream } from './hostile-zips.mjs';

// A small seeded generator (mulberry32): the same cases on every run.
function random(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// The output collection inflateZipEntry fills, checking as it goes that
// what is kept stays within `count` and that no piece holds more memory
// than its own bytes.
class Bounded extends Array {
  static get [Symbol.species]() {
    return Array;
  }
  constructor(count) {
    super();
    this.count = count;
    this.held = 0;
  }
  push(piece) {
    this.held += piece.buffer.byteLength;
    assert.equal(piece.buffer.byteLength, piece.length, 'a piece holds only its own bytes');
    assert.ok(this.held <= this.count, `${this.held} bytes held, ${this.count} asked`);
    return super.push(piece);
  }
}

// Reads entry `index` as the engine does, within the bounds; its bytes or
// null.
function read(zip, entries, index, count, whole) {
  const out = inflateZipEntry(zip, entries, index, count, whole, new Bounded(count));
  return out && Buffer.concat(out);
}

// Content from flat to noisy, so that streams hold stored, fixed and
// dynamic blocks.
function content(next, length) {
  const noise = next();
  const out = Buffer.alloc(length);
  for (let i = 0; i < length; ++i) out[i] = next() < noise ? (next() * 256) | 0 : (i >> 6) & 0xff;
  return out;
}

test('a member yields what zlib inflates of it, up to its record and the count, and holds no more', () => {
  const next = random(20240601);
  for (let round = 0; round < 300; ++round) {
    const data = content(next, (next() * 200000) | 0);
    let stored = deflateRawSync(data, { level: (next() * 10) | 0 });
    let damaged = false;
    if (next() < 0.3) {
      // A damaged stream: a few bytes changed, or cut short.
      stored = Buffer.from(stored);
      if (next() < 0.5) stored = stored.subarray(0, (next() * stored.length) | 0);
      else for (let k = 0; k < 3; ++k) stored[(next() * stored.length) | 0] ^= 1 + ((next() * 255) | 0);
      damaged = true;
    }
    const size = [data.length, (next() * data.length) | 0, data.length + 1 + ((next() * 1000) | 0), 0xffffffff][(next() * 4) | 0];
    const recorded = Math.min(size, data.length);
    const crc = next() < 0.8 ? crc32(data.subarray(0, recorded)) : crc32(data);
    const zip = craftZip([{ name: 'a.bmp', stored, method: 8, size, crc }]);
    const entries = listZip(zip);
    const why = `round ${round}: ${data.length} bytes, recorded ${size}${damaged ? ', damaged' : ''}`;
    const count = Math.min(size, 1 << 20);
    const head = Math.min(count, (next() * 4096) | 0);

    const whole = read(zip, entries, 0, count, true);
    const part = read(zip, entries, 0, head, false);
    if (!damaged) {
      // What it should be, worked out from the content alone.
      const expected = count <= data.length && crc32(data.subarray(0, count)) === crc ? data.subarray(0, count) : null;
      assert.deepEqual(whole, expected, why);
      assert.deepEqual(part, data.subarray(0, head), why);
    } else {
      // Whatever it gives is what zlib gives of the same bytes (of a
      // stream cut short, what comes before the cut).
      let inflated = null;
      try {
        inflated = inflateRawSync(stored, { finishFlush: constants.Z_SYNC_FLUSH });
      } catch {
        // zlib refuses the stream: nothing to compare with.
      }
      if (whole) {
        assert.equal(whole.length, count, why);
        assert.equal(crc32(whole), crc, why);
        if (inflated) assert.deepEqual(whole, inflated.subarray(0, count), why);
      }
      if (part && inflated) assert.deepEqual(part, inflated.subarray(0, part.length), why);
    }
  }
});

test('reading stops where the count is reached, a kilobyte of the stream at most at a time', async () => {
  const pushes = [];
  const push = Inflate.prototype.push;
  Inflate.prototype.push = function (chunk, final) {
    pushes.push(chunk.length);
    return push.call(this, chunk, final);
  };
  try {
    // 1 GB of zeros in about 1 MB: 1 MB of them take about a kilobyte.
    const zeros = await zerosStream(1024);
    const zip = craftZip([{ name: 'uisettings.ini', stored: zeros, method: 8, size: 1 << 20, crc: 0 }]);
    const entries = listZip(zip);
    const cases = [
      // [count, whole, most compressed bytes pushed]
      [64, false, 64],
      [1 << 20, true, 4096],
      [(1 << 20) - 1, false, 4096],
    ];
    for (const [count, whole, most] of cases) {
      pushes.length = 0;
      inflateZipEntry(zip, entries, 0, count, whole, new Bounded(count));
      const pushed = pushes.reduce((a, b) => a + b, 0);
      assert.ok(pushed > 0 && pushed <= most, `count ${count}: ${pushed} compressed bytes pushed`);
      assert.ok(Math.max(...pushes) <= 1024, `count ${count}: pushes of ${pushes}`);
    }
    // A stream that ends early, its member's compressed bytes going on with
    // 2 MB of what is not deflate: read up to 256 KB past its end, no more.
    const content = Buffer.from('BM'.padEnd(3000, 'lamp'));
    const stream = deflateRawSync(content);
    const junk = craftZip([{ name: 'lamp.bmp', stored: Buffer.concat([stream, Buffer.alloc(2 << 20, 7)]), method: 8,
      size: 1 << 20, crc: 0 }]);
    pushes.length = 0;
    const junkEntries = listZip(junk);
    assert.deepEqual(read(junk, junkEntries, 0, 1 << 20, false), content);
    assert.equal(read(junk, junkEntries, 0, 1 << 20, true), null);
    const pushed = pushes.reduce((a, b) => a + b, 0);
    assert.ok(pushed <= 2 * (stream.length + (256 << 10) + 1024), `${pushed} compressed bytes pushed`);
  } finally {
    Inflate.prototype.push = push;
  }
});

test('every archive of the corpora reads within its bounds', () => {
  const tests = new URL('../../tests/', import.meta.url);
  let read = 0;
  for (const dir of ['data/archives', 'fuzz/archive', 'fuzz/skin_open', 'fuzz/skin_check']) {
    for (const name of readdirSync(new URL(dir, tests))) {
      if (!name.endsWith('.zip')) continue;
      const zip = new Uint8Array(readFileSync(new URL(`${dir}/${name}`, tests)));
      const entries = listZip(zip) ?? [];
      entries.forEach((entry, index) => {
        for (const [count, whole] of [[Math.min(entry.size, 64 << 20), true], [64, false]]) {
          const out = inflateZipEntry(zip, entries, index, count, whole, new Bounded(count));
          if (out && whole) assert.equal(out.reduce((n, p) => n + p.length, 0), count, `${name} ${index}`);
          read += out ? 1 : 0;
        }
      });
    }
  }
  assert.ok(read > 20, `${read} members read`);
});
