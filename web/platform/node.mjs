// The platform for node, from the codec files that the web build places
// beside its programs (build-web/codecs/, see scripts/build-web).
import { readFile } from 'node:fs/promises';
import { addJpegEncoder, addPngEncoder, createPlatform } from './platform.mjs';
import { encodePng } from './png-encoder.mjs';

// `dir`: a file URL of the folder holding png.wasm, jpeg-turbo.wasm and
// jpeg-encoder.wasm.
export async function nodePlatform(dir, { jpegEncoder = true } = {}) {
  const [png, jpeg] = await Promise.all([
    readFile(new URL('png.wasm', dir)).then((b) => WebAssembly.compile(b)),
    readFile(new URL('jpeg-turbo.wasm', dir)).then((b) => WebAssembly.compile(b)),
  ]);
  const platform = createPlatform({ png, jpeg });
  addPngEncoder(platform, encodePng);
  if (jpegEncoder) {
    const { default: factory } = await import('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs');
    await addJpegEncoder(platform, factory, await readFile(new URL('jpeg-encoder.wasm', dir)));
  }
  return platform;
}
