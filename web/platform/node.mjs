// The platform for node, from the codec files that the web build places
// beside its programs (build-web/codecs/, see scripts/build-web).
import { readFile } from 'node:fs/promises';
import { setFlagsFromString } from 'node:v8';
import { runInNewContext } from 'node:vm';
import { addJpegEncoder, addPngEncoder, createPlatform } from './platform.mjs';
import { encodePng } from './png-encoder.mjs';

// `dir`: a file URL of the folder holding png.wasm, jpeg-turbo.wasm and
// jpeg-encoder.wasm.
export async function nodePlatform(dir, { jpegEncoder = true } = {}) {
  const [png, jpeg] = await Promise.all([
    readFile(new URL('png.wasm', dir)).then((b) => WebAssembly.compile(b)),
    readFile(new URL('jpeg-turbo.wasm', dir)).then((b) => WebAssembly.compile(b)),
  ]);
  // node's collector, which node hands out only to a new context once told
  // to expose it. A decoder's instance goes in one collection, its memory
  // in the next.
  setFlagsFromString('--expose-gc');
  const gc = runInNewContext('gc');
  const platform = createPlatform({ png, jpeg }, { collect: () => { gc(); gc(); } });
  addPngEncoder(platform, encodePng);
  if (jpegEncoder) {
    const { default: factory } = await import('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs');
    await addJpegEncoder(platform, factory, await readFile(new URL('jpeg-encoder.wasm', dir)));
  }
  return platform;
}
