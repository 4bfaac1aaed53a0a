// The editor page's speed in each browser engine, as a user feels it. Run
// by hand after ./scripts/build-web (the browsers: ./scripts/install-deps --web):
//
//   node bench/web/editor.mjs [--runs N] [--web dist/web] [--engines chromium,firefox,webkit]
//
// Each start is fresh: the site served at a new address (its own origin:
// no HTTP cache, no service worker, no compiled code from a start before),
// N starts per engine (default 5), the median of each figure printed:
// - first preview: from the start of the page's navigation until the
//   preview is drawn;
// - transfer: what the page and its worker fetched before the first
//   preview, as a static host would send it compressed (gzip -9), and
//   the files it was;
// - JPEG import: a 4000 x 3000 JPEG given to a picture's file chooser
//   until the fit question shows its three pictures;
// - edit: a colour typed into the colour dialog until the preview shows it
//   repainted (the change made in the worker, the screen drawn, handed
//   over and painted), the median of 30 in each start;
// - hover: the pointer moved over the preview until the status line names
//   what draws there and its pixels are highlighted, the median of 40;
// - thumbnails: all 14 screens drawn for the All screens dock;
// - recolour: a whole-skin recolour step, live from the Recolor dialog's
//   slider, and the step taken with OK until the preview is drawn again.
// Aims: first preview under 250 ms, transfer under 300 KB, JPEG import
// under 500 ms, edit and hover under 16 ms, thumbnails under 50 ms,
// recolour under 30 ms.
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { cpus, loadavg, tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const webSources = join(repo, 'web');
const { serve } = await import(pathToFileURL(join(repo, 'tools/serve-web.mjs')).href);
const { launchBrowser, kEngines } = await import(pathToFileURL(join(webSources, 'tests/browsers/index.mjs')).href);
const { createJpegEncoder } = await import(pathToFileURL(join(webSources, 'platform/jpeg.mjs')).href);
const require = createRequire(join(webSources, 'package.json'));

const opt = { runs: 5, web: join(repo, 'dist/web'), engines: kEngines };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i += 2) {
  if (args[i] === '--runs' && /^[1-9]\d*$/.test(args[i + 1] ?? '')) opt.runs = Number(args[i + 1]);
  else if (args[i] === '--web' && args[i + 1]) opt.web = resolve(args[i + 1]);
  else if (args[i] === '--engines' && args[i + 1]?.split(',').every((e) => kEngines.includes(e))) opt.engines = args[i + 1].split(',');
  else {
    console.error(`usage: node bench/web/editor.mjs [--runs N] [--web SITE_DIR] [--engines ${kEngines.join(',')}]`);
    process.exit(2);
  }
}

const median = (values) => {
  const v = values.filter((x) => Number.isFinite(x)).sort((a, b) => a - b);
  if (v.length === 0) return NaN;
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};

// The photo: a 4000 x 3000 JPEG made by libjpeg-turbo (the page's own encoder), at quality 90.
const work = mkdtempSync(join(tmpdir(), 'editor-bench-'));
const photo = join(work, 'photo.jpg');
{
  const encode = await createJpegEncoder(require('@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs'),
    readFileSync(join(webSources, 'node_modules/@cornerstonejs/codec-libjpeg-turbo-8bit/dist/libjpegturbowasm.wasm')));
  const width = 4000, height = 3000, rgb = new Uint8Array(width * height * 3);
  for (let y = 0, i = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x, i += 3) rgb.set([(x * 255 / width) | 0, (y * 255 / height) | 0, (x ^ y) & 255], i);
  }
  writeFileSync(photo, encode(rgb, width, height, 90));
}

// The rest measured inside the page, on its own clock (each function is sent as its source).
const inPage = {
  started: () => window.skinEditor?.restoreAsked === true || window.skinEditor?.error || null,
  idle: () => window.skinEditor.idle(),
  firstDraw: () => ({ at: window.skinEditor.firstDrawAt, wall: performance.timeOrigin + window.skinEditor.firstDrawAt }),
  armImport: () => {
    const input = document.querySelector('input[type=file][accept^=".bmp"]');
    input.dataset.picture = 'upper_screen';
    window.benchImport = {};
    input.addEventListener('change', () => (window.benchImport.start = performance.now()), { once: true, capture: true });
    const seen = new MutationObserver(() => {
      if (document.querySelectorAll('dialog[open] .fit-previews canvas').length === 3) {
        window.benchImport.end = performance.now();
        seen.disconnect();
      }
    });
    seen.observe(document.body, { subtree: true, childList: true });
  },
  imported: () => (window.benchImport.end ? window.benchImport.end - window.benchImport.start : 0),
  cancelImport: () => [...document.querySelectorAll('dialog[open] button')].at(-1).click(),
  measure: async () => {
    const probe = window.skinEditor;
    const until = async (test) => {
      for (let i = 0; i < 4000 && !test(); ++i) await new Promise((r) => setTimeout(r, 1));
      if (!test()) throw new Error('the page did not answer');
    };
    const idle = () => until(() => probe.idle());
    const quiet = () => until(() => probe.quiet());
    const out = { edit: [], hover: [], thumbnails: [], recolourLive: [], recolourStep: [] };
    const byName = (name) => [...document.querySelectorAll('button')].find((b) => b.getAttribute('aria-label') === name || b.textContent === name);

    // A colour typed, again and again.
    await idle();
    document.querySelector('button[data-field="gameInfoTextColor"]').click();
    await until(() => document.querySelector('dialog[open] input[type=text]'));
    const text = document.querySelector('dialog[open] input[type=text]');
    for (let i = 0; i < 30; ++i) {
      await quiet();
      const draws = probe.draws;
      const began = performance.now();
      text.value = i % 2 ? '#f80000' : '#0000f8';
      text.dispatchEvent(new Event('input'));
      await until(() => probe.draws > draws);
      out.edit.push(probe.lastDrawAt - began);
    }
    document.querySelector('dialog[open]').close('cancel');
    await idle();

    // The pointer over the preview, from point to point.
    const canvas = document.querySelector('canvas.preview');
    const box = canvas.getBoundingClientRect();
    for (let i = 0; i < 40; ++i) {
      await idle();
      const hovers = probe.hovers;
      const x = box.left + ((i * 37) % Math.floor(box.width - 2)) + 1;
      const y = box.top + ((i * 53) % Math.floor(box.height - 2)) + 1;
      const began = performance.now();
      canvas.dispatchEvent(new PointerEvent('pointermove', { clientX: x, clientY: y, bubbles: true }));
      await until(() => probe.hovers > hovers);
      out.hover.push(probe.lastHoverAt - began);
    }

    // The All screens dock: its 14 screens, drawn again after each change.
    document.dispatchEvent(new KeyboardEvent('keydown', { key: 'F10', bubbles: true }));
    for (let i = 0; i < 10; ++i) {
      await idle();
      const drawn = probe.thumbnails;
      document.dispatchEvent(new KeyboardEvent('keydown', { key: 'F10', bubbles: true }));
      document.dispatchEvent(new KeyboardEvent('keydown', { key: 'F10', bubbles: true }));
      await until(() => probe.thumbnails > drawn);
      out.thumbnails.push(probe.overviewMs);
    }

    // Recolour: live from the slider, then the step taken.
    for (let i = 0; i < 8; ++i) {
      await idle();
      [...document.querySelectorAll('.menu-title')].find((b) => b.getAttribute('aria-label') === 'Skin').click();
      await until(() => byName('Recolor...'));
      byName('Recolor...').click();
      await until(() => document.querySelector('dialog[open] input[type=range]'));
      const slider = document.querySelector('dialog[open] input[type=range]');
      for (let j = 0; j < 5; ++j) {
        await quiet();
        const draws = probe.draws;
        const began = performance.now();
        slider.value = String(((i * 5 + j) * 23) % 360 - 179);
        slider.dispatchEvent(new Event('input'));
        await until(() => probe.draws > draws);
        out.recolourLive.push(probe.lastDrawAt - began);
      }
      await quiet();
      const draws = probe.draws;
      const began = performance.now();
      document.querySelector('dialog[open] button.default').click();
      await until(() => probe.draws > draws && !document.querySelector('dialog[open]'));
      out.recolourStep.push(probe.lastDrawAt - began);
    }
    const m = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
    return Object.fromEntries(Object.entries(out).map(([k, v]) => [k, m(v)]));
  },
};

// What a static host sends for a file compressed with gzip -9.
const gzipped = new Map();
const gzipSize = (path) => {
  if (!gzipped.has(path)) gzipped.set(path, gzipSync(readFileSync(path), { level: 9 }).length);
  return gzipped.get(path);
};

async function oneStart(browser) {
  const requests = [];
  const server = await serve(opt.web, 0, { onRequest: (path) => requests.push({ path, at: Date.now() }) });
  try {
    await browser.goto(`${server.url}/?test`);
    await browser.waitFor(inPage.started, [], { timeout: 60_000, what: 'the editor started' });
    const first = await browser.evaluate(inPage.firstDraw);
    const before = [...new Set(requests.filter((r) => r.at <= first.wall).map((r) => r.path))];
    const files = before.map((p) => (p === '/' ? '/index.html' : p)).filter((p) => {
      try {
        return statSync(join(opt.web, p)).isFile();
      } catch {
        return false;
      }
    });
    const transfer = files.reduce((sum, p) => sum + gzipSize(join(opt.web, p)), 0);

    await browser.waitFor(inPage.idle, [], { what: 'the editor at rest' });
    await browser.evaluate(inPage.armImport);
    await browser.setFile('input[type=file][accept^=".bmp"]', photo);
    const jpeg = await browser.waitFor(inPage.imported, [], { timeout: 60_000, what: 'the fit question' });
    await browser.evaluate(inPage.cancelImport);
    await browser.waitFor(inPage.idle, [], { what: 'the editor at rest' });
    const rest = await browser.evaluate(inPage.measure);
    return { firstPreview: first.at, transfer, files, jpeg, ...rest };
  } finally {
    await server.close();
  }
}

const rows = [
  ['first preview (page load until drawn)', 'firstPreview', 250, 'ms'],
  ['transfer before the first preview (gzip -9)', 'transfer', 300, 'KB'],
  ['JPEG 4000 x 3000 until the fit question', 'jpeg', 500, 'ms'],
  ['edit: a colour typed until repainted', 'edit', 16, 'ms'],
  ['hover: pointer moved until named and highlighted', 'hover', 16, 'ms'],
  ['all 14 thumbnails', 'thumbnails', 50, 'ms'],
  ['recolour, live from the slider', 'recolourLive', 30, 'ms'],
  ['recolour step taken (OK until drawn)', 'recolourStep', 30, 'ms'],
];
try {
  for (const engine of opt.engines) {
    const browser = await launchBrowser(engine, { work });
    const runs = [];
    try {
      for (let r = 0; r < opt.runs; ++r) runs.push(await oneStart(browser));
    } finally {
      await browser.close();
    }
    console.log(`\n${engine}: ${opt.runs} fresh starts, ${cpus().length} cores, load ${loadavg()[0].toFixed(2)}`);
    for (const [label, key, aim, unit] of rows) {
      const raw = median(runs.map((r) => r[key]));
      const value = unit === 'KB' ? raw / 1024 : raw;
      console.log(`  ${label.padEnd(50)} ${value.toFixed(1).padStart(7)} ${unit}   (aim < ${aim} ${unit}${value < aim ? '' : ', missed'})`);
    }
    console.log(`  fetched before the first preview: ${runs.at(-1).files.map((f) => `${f.slice(1)} ${(gzipSize(join(opt.web, f)) / 1024).toFixed(0)} KB`).join(', ')}`);
  }
} finally {
  rmSync(work, { recursive: true, force: true });
}
