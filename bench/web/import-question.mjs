// How long the page's engine takes, under node, from a photo handed to it
// to the fit question's three pictures, and to the import done: a 4000 x
// 3000 JPEG going into the upper screen (256 x 192), so the sizes differ
// and the question is asked. Run by hand after ./scripts/build-web:
//
//   node bench/web/import-question.mjs [--runs N] [--web dist/engine]
//
// Two ways of asking, each the best of N runs (default 5):
// - calls: importSizes, then importPicture with preview and picture() for
//   each of the three fits, endPreview, then the import (the file decoded
//   each time it is handed over);
// - previews: importPreviews (sizes and the three pictures in one call),
//   then the import, which takes the picture already decoded.
// Each is given with the engine's memory after its runs.
// The photo is made here with the JPEG encoder the engine's screenshots
// use: smooth gradients and a little noise, as a camera gives.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const web = join(repo, 'web');
const { nodeEngine } = await import(pathToFileURL(join(web, 'tests/node-engine.mjs')).href);
const { createJpegEncoder } = await import(pathToFileURL(join(web, 'platform/jpeg.mjs')).href);

const opt = { runs: 5, web: join(repo, 'dist/engine') };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i += 2) {
  if (args[i] === '--runs' && /^[1-9]\d*$/.test(args[i + 1] ?? '')) opt.runs = Number(args[i + 1]);
  else if (args[i] === '--web' && args[i + 1]) opt.web = resolve(args[i + 1]);
  else {
    console.error('usage: node bench/web/import-question.mjs [--runs N] [--web ENGINE_DIR]');
    process.exit(2);
  }
}
setTimeout(() => {
  console.error('import-question.mjs: not done within 10 minutes');
  process.exit(1);
}, 10 * 60_000).unref();

async function photo(width, height) {
  const factory = createRequire(join(web, 'package.json'))('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs');
  const encode = await createJpegEncoder(factory, readFileSync(join(opt.web, 'codecs/jpeg-encoder.wasm')));
  const rgb = new Uint8Array(width * height * 3);
  let seed = 12345;
  for (let y = 0, at = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x, at += 3) {
      seed = (seed * 1103515245 + 12345) >>> 0;
      const noise = (seed >>> 28) - 8;
      rgb[at] = Math.max(0, Math.min(255, ((x * 255) / width + noise) | 0));
      rgb[at + 1] = Math.max(0, Math.min(255, ((y * 255) / height + noise) | 0));
      rgb[at + 2] = Math.max(0, Math.min(255, (((x + y) * 128) / (width + height) + 64 + noise) | 0));
    }
  }
  return encode(rgb, width, height, 85);
}

const bytes = await photo(4000, 3000);
let engine;
const fits = ['cover', 'stretch', 'keep'];

const ways = {
  calls() {
    const t0 = performance.now();
    const sizes = engine.importSizes('upper_screen', 'photo.jpg', bytes);
    if (!sizes || sizes.width !== 4000) throw new Error('no sizes');
    for (const fit of fits) {
      engine.importPicture('upper_screen', 'photo.jpg', bytes, fit, { preview: true });
      engine.picture('upper_screen');
    }
    engine.endPreview();
    const asked = performance.now();
    if (!engine.importPicture('upper_screen', 'photo.jpg', bytes, 'cover').imported) throw new Error('not imported');
    return [asked - t0, performance.now() - t0];
  },
  previews() {
    const t0 = performance.now();
    const previews = engine.importPreviews('upper_screen', 'photo.jpg', bytes);
    if (!previews || previews.sizes.width !== 4000) throw new Error('no previews');
    const asked = performance.now();
    if (!engine.importPicture('upper_screen', 'photo.jpg', bytes, 'cover').imported) throw new Error('not imported');
    return [asked - t0, performance.now() - t0];
  },
};

console.log(`photo: 4000 x 3000 JPEG, ${bytes.length} bytes; best of ${opt.runs} runs`);
// Each way on an engine of its own, so that its memory (which grows with the
// work and never shrinks) is its own.
for (const [name, run] of Object.entries(ways)) {
  engine = await nodeEngine(opt.web);
  if (name === 'previews' && typeof engine.importPreviews !== 'function') continue;
  let best = [Infinity, Infinity];
  for (let r = 0; r < opt.runs; ++r) {
    engine.newSkin();
    const [asked, done] = run();
    best = [Math.min(best[0], asked), Math.min(best[1], done)];
  }
  console.log(`${name.padEnd(9)} question ${best[0].toFixed(0).padStart(5)} ms   imported ${best[1].toFixed(0).padStart(5)} ms` +
              `   engine memory ${(engine.memoryBytes() / 1048576).toFixed(0)} MiB`);
}
