// How long the page's engine takes from a photo handed to it to the fit
// question's three pictures, and to the import done: a 4000 x 3000 JPEG
// going into the upper screen (256 x 192), so the sizes differ and the
// question is asked. Run by hand after ./scripts/build-web:
//
//   node bench/web/import-question.mjs [--runs N] [--web dist/engine] [--chromium]
//
// Two ways of asking, each the best of N runs (default 5), each on an engine
// of its own, whose memory (which grows with the work and never shrinks) is
// given after its runs:
// - calls: importSizes, then importPicture with preview and picture() for
//   each of the three fits, endPreview, then the import;
// - previews: importPreviews (sizes and the three pictures in one call),
//   then the import, which takes the picture already decoded.
// Under node, and with --chromium in headless Chromium too (the engine's
// module and files served on 127.0.0.1). The photo is made here with the
// JPEG encoder the engine's screenshots use: smooth gradients and a little
// noise, as a camera gives.
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const web = join(repo, 'web');
const { nodeEngine } = await import(pathToFileURL(join(web, 'tests/node-engine.mjs')).href);
const { createJpegEncoder } = await import(pathToFileURL(join(web, 'platform/jpeg.mjs')).href);

const opt = { runs: 5, web: join(repo, 'dist/engine'), chromium: false };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
  if (args[i] === '--runs' && /^[1-9]\d*$/.test(args[i + 1] ?? '')) opt.runs = Number(args[++i]);
  else if (args[i] === '--web' && args[i + 1]) opt.web = resolve(args[++i]);
  else if (args[i] === '--chromium') opt.chromium = true;
  else {
    console.error('usage: node bench/web/import-question.mjs [--runs N] [--web ENGINE_DIR] [--chromium]');
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

// The two ways, on engines `newEngine` makes; the same source runs in node
// and, as text, in the page.
async function measure(newEngine, bytes, runs) {
  const fits = ['cover', 'stretch', 'keep'];
  const ways = {
    calls(engine) {
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
    previews(engine) {
      const t0 = performance.now();
      const previews = engine.importPreviews('upper_screen', 'photo.jpg', bytes);
      if (!previews || previews.sizes.width !== 4000) throw new Error('no previews');
      const asked = performance.now();
      if (!engine.importPicture('upper_screen', 'photo.jpg', bytes, 'cover').imported) throw new Error('not imported');
      return [asked - t0, performance.now() - t0];
    },
  };
  const out = [];
  for (const [name, run] of Object.entries(ways)) {
    const engine = await newEngine();
    if (name === 'previews' && typeof engine.importPreviews !== 'function') continue;  // an engine from before it
    let best = [Infinity, Infinity];
    for (let r = 0; r < runs; ++r) {
      engine.newSkin();
      const [asked, done] = run(engine);
      best = [Math.min(best[0], asked), Math.min(best[1], done)];
    }
    out.push({ name, question: best[0], imported: best[1], memory: engine.memoryBytes() });
  }
  return out;
}

async function chromium(bytes) {
  const { serve } = await import(pathToFileURL(join(repo, 'tools/serve-web.mjs')).href);
  const { launchChromium, withTimeout } = await import(pathToFileURL(join(web, 'tests/chromium.mjs')).href);
  const puppeteer = createRequire(join(web, 'package.json'))('puppeteer-core');
  const dir = mkdtempSync(join(tmpdir(), 'import-question-'));
  const profile = mkdtempSync(join(tmpdir(), 'import-question-profile-'));
  mkdirSync(join(dir, 'codecs'));
  for (const f of ['skin-engine.mjs', 'engine-core.wasm', 'png-encoder.mjs', 'jpeg-encoder.mjs', 'codecs/png.wasm',
                   'codecs/jpeg-turbo.wasm']) {
    copyFileSync(join(opt.web, f), join(dir, f));
  }
  writeFileSync(join(dir, 'photo.jpg'), bytes);
  writeFileSync(join(dir, 'empty.html'), '<!doctype html><meta charset="utf-8"><title>empty</title>\n');
  const server = await serve(dir);
  let browser = null;
  try {
    browser = await launchChromium(puppeteer, profile);
    const page = await browser.newPage();
    await page.goto(`${server.url}/empty.html`, { waitUntil: 'load', timeout: 60_000 });
    const results = await page.evaluate(`(async () => {
      const { loadEngine } = await import(new URL('skin-engine.mjs', location.href).href);
      const bytes = new Uint8Array(await (await fetch('photo.jpg')).arrayBuffer());
      return (${measure.toString()})(loadEngine, bytes, ${opt.runs});
    })()`);
    return { version: await browser.version(), results };
  } finally {
    if (browser) await withTimeout(browser.close(), 30_000, 'closing Chromium');
    await server.close();
    rmSync(dir, { recursive: true, force: true });
    rmSync(profile, { recursive: true, force: true });
  }
}

function print(where, results) {
  for (const r of results) {
    console.log(`${where.padEnd(9)} ${r.name.padEnd(9)} question ${r.question.toFixed(0).padStart(5)} ms` +
                `   imported ${r.imported.toFixed(0).padStart(5)} ms   engine memory ${(r.memory / 1048576).toFixed(0)} MiB`);
  }
}

const bytes = await photo(4000, 3000);
console.log(`photo: 4000 x 3000 JPEG, ${bytes.length} bytes; engine ${opt.web}; best of ${opt.runs} runs`);
print('node', await measure(() => nodeEngine(opt.web), bytes, opt.runs));
if (opt.chromium) {
  const { version, results } = await chromium(bytes);
  console.log(version);
  print('chromium', results);
}
