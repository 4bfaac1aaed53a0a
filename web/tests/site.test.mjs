// What scripts/build-web leaves for each audience, file by file: the site
// a static host serves (nothing of the build tree, nothing for node), and
// the engine's module for other pages.
//   SITE_DIR=dist/web ENGINE_DIR=dist/engine LANGUAGE_DIR=language node --test site.test.mjs
import assert from 'node:assert/strict';
import { readdirSync } from 'node:fs';
import { test } from 'node:test';

const { SITE_DIR, ENGINE_DIR, LANGUAGE_DIR } = process.env;
const list = (dir) => readdirSync(dir, { recursive: true, withFileTypes: true }).filter((e) => !e.isDirectory())
  .map((e) => `${e.parentPath ?? e.path}/${e.name}`.slice(dir.length + 1)).sort();
const languages = readdirSync(LANGUAGE_DIR).filter((f) => f.endsWith('.ini')).map((f) => `language/${f}`);
const codecs = ['codecs/jpeg-encoder.wasm', 'codecs/jpeg-turbo.wasm', 'codecs/png.wasm'];

test('the site holds the page, its worker, the engine, the codecs and the language files, and nothing else', () => {
  assert.equal(languages.length, 9);
  const expected = [
    ...codecs, 'editor-worker.mjs', 'editor.css', 'editor.mjs', 'engine-core.wasm', 'index.html', 'jpeg-encoder.mjs',
    ...languages, 'png-encoder.mjs',
  ].sort();
  assert.deepEqual(list(SITE_DIR), expected);
});

test('the engine for other pages holds its module, its files and a page that shows it', () => {
  const expected = [...codecs, 'engine-core.wasm', 'engine-demo.html', 'jpeg-encoder.mjs', 'png-encoder.mjs', 'skin-engine.mjs'].sort();
  assert.deepEqual(list(ENGINE_DIR), expected);
});
