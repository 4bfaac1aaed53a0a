// The web engine beside the desktop build, in one run: the fourteen preview
// screens, opening and saving a whole skin as an archive, the engine's
// start-up, and what a page downloads of it. Run by hand after both builds:
//
//   ./scripts/build-web
//   cmake -S . -B build && cmake --build build -j2 --target skintool render_bench skin_bench
//   node bench/web/run.mjs [--runs N] [--native build] [--web dist/engine]
//
// Every time is the best of N runs (default 7; the machine may be busy),
// each run the mean of many calls after a warm-up, wall-clock on both
// sides:
// - render: each screen at zoom 1 on the built-in skin, summed over the 14
//   (natively render_bench's BM_RenderPreview/N/0, the same best-of per
//   screen; on the web SkinEngine.render, which also converts the picture to
//   RGBA, left in the module's memory for the page to draw, and apart the
//   module's call alone, without the wrapper);
// - open: the archive `skintool convert --out skin.zip` writes of the
//   built-in skin (natively skin_bench's BM_OpenSkinArchive on that file);
// - save: the built-in skin saved as an archive (natively skin_bench's
//   BM_SaveSkinArchive, in memory as the engine's memory file system has it,
//   and written to the disk and flushed as the desktop does);
// - start-up: a fresh node process, or a fresh browser context in Chromium,
//   from importing the engine's module until SkinEngine can render (the
//   WebAssembly files read or fetched, compiled and instantiated);
// - transfer: gzip -9 of the files a page loads, the lazily loaded
//   encoders (screenshots only) apart.
// In Chromium the engine is the one engine-demo.html starts
// (window.engineDemo.engine), served on 127.0.0.1 from a copy of the page's
// files with the archive and an empty page for the start-up beside them.
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { cpus, loadavg, tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const web = join(repo, 'web');
const { serve } = await import(pathToFileURL(join(repo, 'tools/serve-web.mjs')).href);
const { launchChromium, withTimeout } = await import(pathToFileURL(join(web, 'tests/chromium.mjs')).href);
const { nodeEngine } = await import(pathToFileURL(join(web, 'tests/node-engine.mjs')).href);
const puppeteer = createRequire(join(web, 'package.json'))('puppeteer-core');

function options() {
  const o = { runs: 7, native: join(repo, 'build'), web: join(repo, 'dist/engine') };
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i += 2) {
    const [key, value] = [args[i], args[i + 1]];
    if (key === '--runs' && /^[1-9]\d*$/.test(value ?? '')) o.runs = Number(value);
    else if (key === '--native' && value) o.native = resolve(value);
    else if (key === '--web' && value) o.web = resolve(value);
    else {
      console.error('usage: node bench/web/run.mjs [--runs N] [--native BUILD] [--web ENGINE_DIR]');
      process.exit(2);
    }
  }
  return o;
}
const opt = options();

// The whole run may not hang: Chromium and the children go with the process.
setTimeout(() => {
  console.error('run.mjs: not done within 20 minutes');
  process.exit(1);
}, 20 * 60_000).unref();

const kScreens = 14;
// Calls a run: enough for a run to last some milliseconds, as the browser's
// clock only tells a tenth of one.
const kCalls = { render: 40, open: 10, save: 4 };

// The engine's measures, the same in node and (as source text) in the page.
async function measureEngine(engine, archive, runs, calls, screens) {
  const bestOf = (step, k) => {
    let best = Infinity;
    for (let r = 0; r < runs; ++r) {
      const t0 = performance.now();
      for (let i = 0; i < k; ++i) step();
      best = Math.min(best, (performance.now() - t0) / k);
    }
    return best;
  };
  engine.newSkin();
  for (let i = 0; i < 20; ++i) for (let s = 0; s < screens; ++s) engine.render(s);
  let render = 0;
  for (let s = 0; s < screens; ++s) render += bestOf(() => engine.render(s), calls.render);
  // Where the time goes: the WebAssembly call alone (RenderPreview and the
  // RGBA conversion), without the wrapper's argument and result handling.
  // It reaches into the engine's internals, so it may come to nothing.
  const core = engine.core;
  let call;
  if (core && typeof core._engine_render === 'function') {
    call = 0;
    for (let s = 0; s < screens; ++s) call += bestOf(() => core._engine_render(s, 1, 0, 0, 0), calls.render);
  }

  const open = () => {
    if (!engine.openArchive('skin.zip', archive).opened) throw new Error('the archive did not open');
  };
  for (let i = 0; i < 5; ++i) open();
  const opened = bestOf(open, calls.open);

  engine.newSkin();
  const save = () => {
    if (!engine.saveArchive('skin').saved) throw new Error('the archive was not saved');
  };
  for (let i = 0; i < 3; ++i) save();
  const saved = bestOf(save, calls.save);
  return { render, call, open: opened, save: saved };
}

// A Google Benchmark program's JSON: the best real time (ms) of each benchmark over its repetitions.
function googleBenchmark(program, filter, env = {}) {
  const out = execFileSync(program, [
    `--benchmark_filter=${filter}`, `--benchmark_repetitions=${opt.runs}`, '--benchmark_min_time=0.2',
    '--benchmark_format=json',
  ], { timeout: 600_000, maxBuffer: 1 << 26, env: { ...process.env, ...env } });
  const scale = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
  const best = {};
  for (const b of JSON.parse(out.toString()).benchmarks) {
    if (b.run_type !== 'iteration') continue;
    const name = b.run_name ?? b.name;
    best[name] = Math.min(best[name] ?? Infinity, b.real_time * scale[b.time_unit]);
  }
  return best;
}

function nativeMeasures(archive) {
  const render = googleBenchmark(join(opt.native, 'bench/render_bench'), '^BM_RenderPreview/[0-9]+/0$');
  let sum = 0;
  for (let s = 0; s < kScreens; ++s) {
    const t = render[`BM_RenderPreview/${s}/0`];
    if (t === undefined) throw new Error(`render_bench gave no time for screen ${s}`);
    sum += t;
  }
  const skin = googleBenchmark(join(opt.native, 'bench/skin_bench'), '^BM_(OpenSkinArchive|SaveSkinArchive)',
                               { SKIN_BENCH_ARCHIVE: archive });
  const pick = (name) => {
    if (skin[name] === undefined) throw new Error(`skin_bench gave no ${name}`);
    return skin[name];
  };
  return {
    render: sum,
    open: pick('BM_OpenSkinArchive'),
    save: pick('BM_SaveSkinArchive/write:0/real_time'),
    saveToDisk: pick('BM_SaveSkinArchive/write:1/real_time'),
  };
}

// Start-up in node: a fresh process each run.
function nodeStartUp() {
  const script = `
    const t0 = performance.now();
    const { nodeEngine } = await import(${JSON.stringify(pathToFileURL(join(web, 'tests/node-engine.mjs')).href)});
    const engine = await nodeEngine(${JSON.stringify(opt.web)});
    const t1 = performance.now();
    if (engine.render(0).width !== 266) throw new Error('no render');
    console.log(JSON.stringify({ start: t1 - t0, first: performance.now() - t1 }));`;
  let best = { start: Infinity, first: Infinity };
  for (let r = 0; r < opt.runs; ++r) {
    const out = execFileSync(process.execPath, ['--input-type=module', '-e', script], { timeout: 60_000 });
    const t = JSON.parse(out.toString());
    if (t.start < best.start) best = t;
  }
  return best;
}

async function nodeMeasures(archive) {
  const engine = await nodeEngine(opt.web);
  return { ...(await measureEngine(engine, archive, opt.runs, kCalls, kScreens)), startUp: nodeStartUp() };
}

// The page's files, the archive and an empty page in one folder to serve.
function pageFolder(archiveBytes) {
  const dir = mkdtempSync(join(tmpdir(), 'engine-bench-'));
  mkdirSync(join(dir, 'codecs'));
  for (const f of ['engine-demo.html', 'skin-engine.mjs', 'engine-core.wasm', 'jpeg-encoder.mjs', 'png-encoder.mjs',
                   'codecs/png.wasm', 'codecs/jpeg-turbo.wasm', 'codecs/jpeg-encoder.wasm']) {
    copyFileSync(join(opt.web, f), join(dir, f));
  }
  writeFileSync(join(dir, 'skin.zip'), archiveBytes);
  writeFileSync(join(dir, 'empty.html'), '<!doctype html><meta charset="utf-8"><title>empty</title>\n');
  return dir;
}

async function chromiumMeasures(archiveBytes) {
  const dir = pageFolder(archiveBytes);
  const server = await serve(dir);
  const profile = mkdtempSync(join(tmpdir(), 'engine-bench-profile-'));
  let browser = null;
  try {
    browser = await launchChromium(puppeteer, profile);
    const version = await browser.version();

    // Start-up: a fresh browser context (and so a fresh renderer, without
    // the compiled code of an earlier run) each run.
    let startUp = { start: Infinity, first: Infinity };
    for (let r = 0; r < opt.runs; ++r) {
      const context = await browser.createBrowserContext();
      try {
        const page = await context.newPage();
        await page.goto(`${server.url}/empty.html`, { waitUntil: 'load', timeout: 60_000 });
        const t = await page.evaluate(async () => {
          const t0 = performance.now();
          const { loadEngine } = await import(new URL('skin-engine.mjs', location.href).href);
          const engine = await loadEngine();
          const t1 = performance.now();
          if (engine.render(0).width !== 266) throw new Error('no render');
          return { start: t1 - t0, first: performance.now() - t1 };
        });
        if (t.start < startUp.start) startUp = t;
      } finally {
        await withTimeout(context.close(), 30_000, 'closing a browser context');
      }
    }

    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    await page.goto(`${server.url}/engine-demo.html`, { waitUntil: 'load', timeout: 60_000 });
    await page.waitForFunction(() => window.engineDemo !== undefined, { timeout: 90_000, polling: 100 });
    if (!(await page.evaluate(() => window.engineDemo.ready))) {
      throw new Error(`engine-demo.html did not start its engine: ${await page.evaluate(() => window.engineDemo.error)}`);
    }
    const measures = await page.evaluate(`(async () => {
      const archive = new Uint8Array(await (await fetch('skin.zip')).arrayBuffer());
      return (${measureEngine.toString()})(window.engineDemo.engine, archive, ${opt.runs},
                                           ${JSON.stringify(kCalls)}, ${kScreens});
    })()`);
    if (errors.length) throw new Error(`the page threw: ${errors.join('; ')}`);
    return { ...measures, startUp, version };
  } finally {
    if (browser) await withTimeout(browser.close(), 15_000, 'closing Chromium').catch(() => browser.process()?.kill('SIGKILL'));
    await server.close();
    rmSync(profile, { recursive: true, force: true });
    rmSync(dir, { recursive: true, force: true });
  }
}

function transferSizes() {
  const size = (files) => files.map((f) => {
    const bytes = readFileSync(join(opt.web, f));
    return { file: f, raw: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length };
  });
  return {
    page: size(['engine-core.wasm', 'skin-engine.mjs', 'codecs/png.wasm', 'codecs/jpeg-turbo.wasm']),
    lazy: size(['png-encoder.mjs', 'jpeg-encoder.mjs', 'codecs/jpeg-encoder.wasm']),
  };
}

// Printing.
const ms = (t) => (t === undefined ? '-' : t >= 100 ? `${t.toFixed(0)} ms` : t >= 10 ? `${t.toFixed(1)} ms` : `${t.toFixed(2)} ms`);
const ratio = (a, b) => (a === undefined || b === undefined ? '-' : `${(a / b).toFixed(2)}x`);
const kb = (n) => `${(n / 1000).toFixed(1)} KB`;
const verdict = (ok) => (ok ? 'met' : 'MISSED');
function table(rows) {
  const widths = rows[0].map((_, c) => Math.max(...rows.map((r) => String(r[c]).length)));
  for (const [i, r] of rows.entries()) {
    console.log(r.map((v, c) => (c === 0 ? String(v).padEnd(widths[c]) : String(v).padStart(widths[c]))).join('  '));
    if (i === 0) console.log(widths.map((w) => '-'.repeat(w)).join('  '));
  }
}

const work = mkdtempSync(join(tmpdir(), 'engine-bench-skin-'));
try {
  const archive = join(work, 'skin.zip');
  execFileSync(join(opt.native, 'cli/skintool'), ['convert', '--out', archive], { timeout: 60_000 });
  const archiveBytes = readFileSync(archive);

  console.log(`node ${process.version}, ${cpus().length} cores, load ${loadavg().map((l) => l.toFixed(2)).join(' ')}; ` +
              `best of ${opt.runs} runs`);
  const native = nativeMeasures(archive);
  const node = await nodeMeasures(archiveBytes);
  const chromium = await chromiumMeasures(archiveBytes);
  console.log(`Chromium ${chromium.version}; the archive: ${archiveBytes.length} bytes\n`);

  const renderNode = node.render / native.render;
  const renderChromium = chromium.render / native.render;
  table([
    ['', 'native', 'node', 'Chromium', 'node/native', 'Chromium/native', 'aim'],
    ['render, 14 screens at zoom 1', ms(native.render), ms(node.render), ms(chromium.render),
     ratio(node.render, native.render), ratio(chromium.render, native.render),
     `node <= 3x ${verdict(renderNode <= 3)}, Chromium <= 4x ${verdict(renderChromium <= 4)}`],
    ['  of which the WebAssembly call', '-', ms(node.call), ms(chromium.call),
     ratio(node.call, native.render), ratio(chromium.call, native.render), ''],
    ['open the skin archive', ms(native.open), ms(node.open), ms(chromium.open),
     ratio(node.open, native.open), ratio(chromium.open, native.open), ''],
    ['save to archive, in memory', ms(native.save), ms(node.save), ms(chromium.save),
     ratio(node.save, native.save), ratio(chromium.save, native.save), ''],
    ['save to archive, to disk, flushed', ms(native.saveToDisk), '-', '-', '-', '-', ''],
    ['start-up until it can render', '-', ms(node.startUp.start), ms(chromium.startUp.start), '-', '-',
     `node < 50 ms ${verdict(node.startUp.start < 50)}`],
    ['  then its first screen', '-', ms(node.startUp.first), ms(chromium.startUp.first), '-', '-', ''],
  ]);

  const sizes = transferSizes();
  const sum = (list) => list.reduce((a, f) => ({ raw: a.raw + f.raw, gzip: a.gzip + f.gzip }), { raw: 0, gzip: 0 });
  const page = sum(sizes.page);
  const lazy = sum(sizes.lazy);
  console.log('');
  table([
    ['what a page loads', 'bytes', 'gzip -9', 'aim'],
    ...sizes.page.map((f) => [f.file, kb(f.raw), kb(f.gzip), '']),
    ['sum', kb(page.raw), kb(page.gzip), `< 350 KB ${verdict(page.gzip < 350_000)}`],
    ['loaded for a screenshot only:', '', '', ''],
    ...sizes.lazy.map((f) => [f.file, kb(f.raw), kb(f.gzip), '']),
    ['sum', kb(lazy.raw), kb(lazy.gzip), ''],
  ]);
  console.log('\n(1 KB = 1000 bytes)');
} finally {
  rmSync(work, { recursive: true, force: true });
}
