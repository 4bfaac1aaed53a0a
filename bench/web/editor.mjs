// The editor page's speed in headless Chromium, as a user feels it. Run by
// hand after ./scripts/build-web:
//
//   node bench/web/editor.mjs [--runs N] [--web dist/web]
//
// Each figure is the median over N fresh pages (default 5), each page's own
// figure the median of its repetitions:
// - first preview: from the start of the page's navigation (a local server,
//   nothing cached) until the preview is drawn;
// - edit: a colour typed into the colour dialog until the preview shows it
//   repainted (the change made in the worker, the screen drawn, handed over
//   and painted);
// - hover: the pointer moved over the preview until the status line names
//   what draws there and its pixels are highlighted;
// - thumbnails: all 14 screens drawn for the All screens dock;
// - recolour: a whole-skin recolour step, live from the Recolor dialog's
//   slider (every picture and colour recoloured, the preview repainted), and
//   the step taken with OK until the preview is drawn again.
// Aims: first preview under 400 ms, edit and hover under 16 ms, thumbnails
// under 50 ms, recolour under 30 ms.
import { createRequire } from 'node:module';
import { mkdtempSync, rmSync } from 'node:fs';
import { cpus, loadavg, tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const webSources = join(repo, 'web');
const { serve } = await import(pathToFileURL(join(repo, 'tools/serve-web.mjs')).href);
const { launchChromium } = await import(pathToFileURL(join(webSources, 'tests/chromium.mjs')).href);
const puppeteer = createRequire(join(webSources, 'package.json'))('puppeteer-core');

const opt = { runs: 5, web: join(repo, 'dist/web') };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i += 2) {
  if (args[i] === '--runs' && /^[1-9]\d*$/.test(args[i + 1] ?? '')) opt.runs = Number(args[i + 1]);
  else if (args[i] === '--web' && args[i + 1]) opt.web = resolve(args[i + 1]);
  else {
    console.error('usage: node bench/web/editor.mjs [--runs N] [--web SITE_DIR]');
    process.exit(2);
  }
}

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};

// One page's figures: everything measured inside the page, on its own clock.
async function measure(page) {
  return page.evaluate(async () => {
    const probe = window.skinEditor;
    const until = async (test) => {
      for (let i = 0; i < 2000 && !test(); ++i) await new Promise((r) => setTimeout(r, 1));
      if (!test()) throw new Error('the page did not answer');
    };
    const idle = () => until(() => probe.idle());
    const quiet = () => until(() => probe.quiet());
    const out = { firstPreview: probe.firstDrawAt, edit: [], hover: [], thumbnails: [], recolourLive: [], recolourStep: [] };
    const byName = (name) => [...document.querySelectorAll('button')].find((b) => b.getAttribute('aria-label') === name || b.textContent === name);

    // A colour typed, again and again.
    await idle();
    byName('gameInfoTextColor').click();
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
      [...document.querySelectorAll('.menu-title')].find((b) => b.textContent === 'Skin').click();
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
    return out;
  });
}

const server = await serve(opt.web);
const profile = mkdtempSync(join(tmpdir(), 'editor-bench-'));
const browser = await launchChromium(puppeteer, profile);
const runs = [];
try {
  for (let r = 0; r < opt.runs; ++r) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1400, height: 1000 });
    await page.goto(`${server.url}/?test`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.skinEditor?.ready || window.skinEditor?.error, { timeout: 60_000 });
    const m = await measure(page);
    runs.push({
      firstPreview: m.firstPreview,
      edit: median(m.edit),
      hover: median(m.hover),
      thumbnails: median(m.thumbnails),
      recolourLive: median(m.recolourLive),
      recolourStep: median(m.recolourStep),
    });
    await context.close();
  }
} finally {
  await browser.close();
  await server.close();
  rmSync(profile, { recursive: true, force: true });
}

const rows = [
  ['first preview (page load until drawn)', 'firstPreview', 400],
  ['edit: a colour typed until repainted', 'edit', 16],
  ['hover: pointer moved until named and highlighted', 'hover', 16],
  ['all 14 thumbnails', 'thumbnails', 50],
  ['recolour, live from the slider', 'recolourLive', 30],
  ['recolour step taken (OK until drawn)', 'recolourStep', 30],
];
console.log(`Chromium, ${opt.runs} fresh pages, ${cpus().length} cores, load ${loadavg()[0].toFixed(2)}`);
for (const [label, key, aim] of rows) {
  const value = median(runs.map((r) => r[key]));
  console.log(`${label.padEnd(50)} ${value.toFixed(1).padStart(7)} ms   (aim < ${aim} ms${value < aim ? '' : ', missed'})`);
}
