// What scripts/build-web leaves for each audience, file by file: the site
// a static host serves (nothing of the build tree, nothing for node), and
// the engine's module for other pages. The web app's parts: the manifest,
// the icons at the sizes it names, and the service worker keeping every
// other file of the site in a cache named after their contents.
//   SITE_DIR=dist/web ENGINE_DIR=dist/engine LANGUAGE_DIR=language node --test site.test.mjs
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { decode } from 'fast-png';

const { SITE_DIR, ENGINE_DIR, LANGUAGE_DIR } = process.env;
const list = (dir) => readdirSync(dir, { recursive: true, withFileTypes: true }).filter((e) => !e.isDirectory())
  .map((e) => `${e.parentPath ?? e.path}/${e.name}`.slice(dir.length + 1)).sort();
const languages = readdirSync(LANGUAGE_DIR).filter((f) => f.endsWith('.ini')).map((f) => `language/${f}`);
const codecs = ['codecs/jpeg-encoder.wasm', 'codecs/jpeg-turbo.wasm', 'codecs/png.wasm'];
const icons = ['icons/icon-180.png', 'icons/icon-192.png', 'icons/icon-32.png', 'icons/icon-512.png', 'icons/icon-maskable-512.png'];

test('the site holds the page, its worker, the engine, the codecs, the language files and the web app\'s parts, and nothing else', () => {
  assert.equal(languages.length, 9);
  const expected = [
    ...codecs, 'editor-worker.mjs', 'editor.css', 'editor.mjs', 'engine-core.wasm', ...icons, 'index.html', 'jpeg-encoder.mjs',
    ...languages, 'manifest.webmanifest', 'png-encoder.mjs', 'sw.js',
  ].sort();
  assert.deepEqual(list(SITE_DIR), expected);
});

test('the manifest makes an installable app that opens skin archives, with icons of the sizes it names', () => {
  const m = JSON.parse(readFileSync(join(SITE_DIR, 'manifest.webmanifest'), 'utf8'));
  assert.equal(m.display, 'standalone');
  assert.equal(m.start_url, './');
  assert.equal(m.scope, './');
  assert.match(m.theme_color, /^#[0-9a-f]{6}$/);
  assert.ok(m.name && m.short_name && m.short_name.length <= 12, 'a name, and a short name a launcher shows whole');
  assert.deepEqual(m.file_handlers.map((h) => [h.action, Object.values(h.accept).flat()]), [['./', ['.zip', '.zip']]]);
  // Chrome installs an app with icons of 192 and 512; each file is the size it says.
  const sizes = m.icons.map((i) => i.sizes);
  for (const size of ['192x192', '512x512']) assert.ok(sizes.includes(size), `an icon of ${size}`);
  for (const icon of m.icons) {
    const png = decode(readFileSync(join(SITE_DIR, icon.src)));
    assert.equal(`${png.width}x${png.height}`, icon.sizes, icon.src);
    assert.equal(png.channels, 4, `${icon.src} has alpha`);
  }
  // The maskable icon fills its square: a launcher cuts its shape from it.
  const maskable = m.icons.find((i) => i.purpose === 'maskable');
  const png = decode(readFileSync(join(SITE_DIR, maskable.src)));
  for (const [x, y] of [[0, 0], [png.width - 1, 0], [0, png.height - 1], [png.width - 1, png.height - 1]]) {
    assert.equal(png.data[(y * png.width + x) * 4 + 3], 255, `${maskable.src} opaque at ${x},${y}`);
  }
  // Named by the page once it has drawn its first preview (not fetched before it).
  const page = readFileSync(join(SITE_DIR, 'index.html'), 'utf8');
  assert.doesNotMatch(page, /manifest/);
  assert.match(readFileSync(join(SITE_DIR, 'editor.mjs'), 'utf8'), /manifest\.webmanifest/);
});

test('the service worker keeps every other file of the site, in a cache named after their contents', () => {
  const sw = readFileSync(join(SITE_DIR, 'sw.js'), 'utf8');
  const files = list(SITE_DIR).filter((f) => f !== 'sw.js');
  const named = JSON.parse(/\[("[^"\]]+",?)+\]/.exec(sw)[0]);
  assert.deepEqual(named, files);
  // sha256sum's lines for the files, sorted by path, hashed again: the first 16 digits.
  const lines = files.map((f) => `${createHash('sha256').update(readFileSync(join(SITE_DIR, f))).digest('hex')}  ${f}\n`).join('');
  const build = createHash('sha256').update(lines).digest('hex').slice(0, 16);
  assert.ok(sw.includes(build), `the cache is named after the build ${build}`);
});

test('the engine for other pages holds its module, its files and a page that shows it', () => {
  const expected = [...codecs, 'engine-core.wasm', 'engine-demo.html', 'jpeg-encoder.mjs', 'png-encoder.mjs', 'skin-engine.mjs'].sort();
  assert.deepEqual(list(ENGINE_DIR), expected);
});
