// The page's engine (dist/engine/skin-engine.mjs) in node, for the tests: the
// WebAssembly files read from the build folder instead of fetched.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

export async function nodeEngine(dir) {
  const { SkinEngine } = await import(pathToFileURL(join(dir, 'skin-engine.mjs')).href);
  const compile = (file) => WebAssembly.compile(readFileSync(join(dir, file)));
  const [engine, png, jpeg] = await Promise.all([
    compile('engine-core.wasm'), compile('codecs/png.wasm'), compile('codecs/jpeg-turbo.wasm'),
  ]);
  return SkinEngine.create({
    engine,
    png,
    jpeg,
    async pngEncoder() {
      return (await import('../platform/png-encoder.mjs')).encodePng;
    },
    // The page's bundle of the encoder is for a browser; node takes the
    // package's own glue.
    async jpegEncoder() {
      const factory = createRequire(import.meta.url)('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs');
      return { factory, wasm: readFileSync(join(dir, 'codecs/jpeg-encoder.wasm')) };
    },
  });
}
