// The picture decoders of web/platform/ let the memory a large picture made
// them take go with the picture: WebAssembly memory never shrinks, so a
// decoder instance that grew is not kept for the next picture, and the
// platform's `collect` runs once it is let go. Small pictures keep using one
// instance.
//
//   WEB_BUILD=build-web node --test web/tests/codec-memory.test.mjs
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { setFlagsFromString } from 'node:v8';
import { runInNewContext } from 'node:vm';
import { crc32, deflateSync } from 'node:zlib';
import { createJpegDecoder, createJpegEncoder } from '../platform/jpeg.mjs';
import { createPngCodec } from '../platform/png.mjs';

const codecs = join(process.env.WEB_BUILD ?? 'build-web', 'codecs');
const compiled = (name) => new WebAssembly.Module(readFileSync(join(codecs, name)));
setFlagsFromString('--expose-gc');
const gc = runInNewContext('gc');
const MB = 1 << 20;

// An RGB PNG made here with node's zlib: a ramp with black pixels.
function rgbPng(width, height) {
  const chunk = (type, data) => {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length);
    head.write(type, 4, 'latin1');
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])));
    return Buffer.concat([head, data, crc]);
  };
  const row = Buffer.alloc(1 + 3 * width);
  for (let x = 0; x < width; ++x) row.fill(x % 7 === 0 ? 0 : x & 255, 1 + 3 * x, 4 + 3 * x);
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr.set([8, 2, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', ihdr),
                        chunk('IDAT', deflateSync(Buffer.concat(Array(height).fill(row)))), chunk('IEND', Buffer.alloc(0))]);
}

async function rgbJpeg(width, height) {
  const { default: factory } = await import('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs');
  const encode = await createJpegEncoder(factory, readFileSync(join(codecs, 'jpeg-encoder.wasm')));
  const rgb = new Uint8Array(width * height * 3);
  for (let i = 0; i < rgb.length; ++i) rgb[i] = (i * 7) & 255;
  return encode(rgb, width, height, 90);
}

const kinds = [
  { name: 'PNG', make: (collect) => createPngCodec(compiled('png.wasm'), collect), file: rgbPng, rowBytes: 4 },
  { name: 'JPEG', make: (collect) => createJpegDecoder(compiled('jpeg-turbo.wasm'), collect), file: rgbJpeg, rowBytes: 3 },
];

for (const kind of kinds) {
  test(`${kind.name}: a large picture's memory goes with it, a small one's instance is kept`, async () => {
    let collections = 0;
    const codec = kind.make(() => ++collections);
    const small = await kind.file(64, 48), large = await kind.file(4096, 2048);

    const first = codec.decode(small);
    assert.equal(first.width, 64);
    first.drop();
    const kept = codec.keptMemory();
    assert.ok(kept > 0 && kept <= 16 * MB, `kept ${kept}`);
    assert.equal(collections, 0);

    // 4096 x 2048 takes 24 or 32 MB: the instance grows past what is kept.
    const picture = codec.decode(large);
    assert.deepEqual([picture.width, picture.height], [4096, 2048]);
    assert.ok(codec.keptMemory() >= 24 * MB, `while held: ${codec.keptMemory()}`);
    const row = new Uint8Array(4096 * kind.rowBytes);
    assert.equal(picture.row(2047, row), true);
    assert.equal(picture.row(2048, row), false);
    picture.drop();
    assert.equal(codec.keptMemory(), 0);
    assert.equal(collections, 1);
    assert.equal(picture.row(0, row), false);
    picture.drop();
    assert.equal(collections, 1);

    // The next small picture starts a fresh instance, and it is kept.
    codec.decode(small).drop();
    assert.ok(codec.keptMemory() > 0 && codec.keptMemory() <= 16 * MB);
    assert.equal(collections, 1);
  });

  test(`${kind.name}: once collected, a large picture leaves no memory behind`, async () => {
    // node's collector frees an instance's memory at the second collection.
    const collect = () => { gc(); gc(); };
    const codec = kind.make(collect);
    const large = await kind.file(4096, 2048);
    collect();
    const start = process.memoryUsage().external;
    const picture = codec.decode(large);
    const held = process.memoryUsage().external - start;
    assert.ok(held >= 24 * MB, `${(held / MB).toFixed(1)} MB while held`);
    picture.drop();
    const left = process.memoryUsage().external - start;
    assert.ok(left < 4 * MB, `${(left / MB).toFixed(1)} MB left`);
  });
}
