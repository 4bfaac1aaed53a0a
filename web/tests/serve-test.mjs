// The static file server: what it serves, with which type, and what it
// refuses (paths out of its folder, plain, encoded and through links;
// folders without an index; methods other than GET and HEAD).
//   node web/tests/serve-test.mjs WORKDIR
import assert from 'node:assert/strict';
import { mkdirSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import { join } from 'node:path';
import { ownHost, requestSegments, serve } from '../../tools/serve-web.mjs';

const work = process.argv[2];
if (!work) {
  console.error('usage: node serve-test.mjs WORKDIR');
  process.exit(2);
}

// Nothing here may wait for ever.
const watchdog = setTimeout(() => {
  console.error('serve-test: no answer within 60 s');
  process.exit(1);
}, 60_000);

// WORKDIR/secret.txt lies beside the served folder WORKDIR/site.
rmSync(work, { recursive: true, force: true });
const site = join(work, 'site');
mkdirSync(join(site, 'codecs'), { recursive: true });
mkdirSync(join(site, 'empty'));
mkdirSync(join(site, 'with index'));
const kSecret = 'the key is under the mat';
writeFileSync(join(work, 'secret.txt'), kSecret);
writeFileSync(join(site, 'index.html'), '<p>front</p>');
writeFileSync(join(site, 'page.HTML'), '<p>page</p>');
writeFileSync(join(site, 'skin-engine.mjs'), 'export const a = 1;');
writeFileSync(join(site, 'codecs', 'png.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0]));
writeFileSync(join(site, 'notes.unknown'), 'x');
writeFileSync(join(site, 'with index', 'index.html'), '<p>inner</p>');
symlinkSync(join(work, 'secret.txt'), join(site, 'link-out.txt'));
symlinkSync(work, join(site, 'folder-out'));
symlinkSync(join(site, 'index.html'), join(site, 'link-in.html'));

// A request with its target sent exactly as written (fetch would tidy it).
// `host`: the Host header sent (null: none at all), by default the server's own.
function get(base, path, method = 'GET', host = undefined) {
  return new Promise((resolve, reject) => {
    const options = { method, path, timeout: 10_000 };
    if (host === null) options.setHost = false;
    else if (host !== undefined) options.headers = { Host: host };
    const r = request(`${base}/`, options, (response) => {
      const chunks = [];
      response.on('data', (c) => chunks.push(c));
      response.on('end', () => resolve({
        status: response.statusCode,
        headers: response.headers,
        body: Buffer.concat(chunks).toString('latin1'),
      }));
    });
    r.on('timeout', () => r.destroy(new Error(`${method} ${path}: no answer`)));
    r.on('error', reject);
    r.end();
  });
}

const server = await serve(site);
let failures = 0;
try {
  assert.match(server.url, /^http:\/\/127\.0\.0\.1:\d+$/);

  // [method, target, status, type (served cases), body (served cases)]
  const cases = [
    ['GET', '/', 200, 'text/html; charset=utf-8', '<p>front</p>'],
    ['GET', '/index.html', 200, 'text/html; charset=utf-8', '<p>front</p>'],
    ['GET', '/page.HTML', 200, 'text/html; charset=utf-8', '<p>page</p>'],
    ['GET', '/index.html?v=2#top', 200, 'text/html; charset=utf-8', '<p>front</p>'],
    ['GET', '/skin-engine.mjs', 200, 'text/javascript; charset=utf-8', 'export const a = 1;'],
    ['GET', '/codecs/png.wasm', 200, 'application/wasm', '\0asm\x01\0\0\0'],
    ['GET', '/codecs//png.wasm', 200, 'application/wasm', '\0asm\x01\0\0\0'],
    ['GET', '/notes.unknown', 200, 'application/octet-stream', 'x'],
    ['GET', '/with%20index/', 200, 'text/html; charset=utf-8', '<p>inner</p>'],
    ['GET', '/with%20index', 404],
    ['GET', '/link-in.html', 200, 'text/html; charset=utf-8', '<p>front</p>'],
    ['HEAD', '/skin-engine.mjs', 200, 'text/javascript; charset=utf-8', ''],
    // Out of the folder, plainly and encoded.
    ['GET', '/../secret.txt', 403],
    ['GET', '/codecs/../../secret.txt', 403],
    ['GET', '/%2e%2e/secret.txt', 403],
    ['GET', '/%2E%2e/secret.txt', 403],
    ['GET', '/.%2e/secret.txt', 403],
    ['GET', '/codecs/..%2f..%2fsecret.txt', 403],
    ['GET', '/codecs/..%2F..%2Fsecret.txt', 403],
    ['GET', '/%2f..%2fsecret.txt', 403],
    ['GET', '/..%5csecret.txt', 403],
    ['GET', '/%252e%252e/secret.txt', 404],
    ['GET', '/./index.html', 403],
    ['GET', '/index.html%00.png', 403],
    // Through links that lead out.
    ['GET', '/link-out.txt', 403],
    ['GET', '/folder-out/secret.txt', 403],
    // Not a path, or not decodable.
    ['GET', 'secret.txt', 400],
    ['GET', `http://127.0.0.1/../secret.txt`, 400],
    ['GET', '/%E0%A4%A', 400],
    ['GET', '/%zz', 400],
    // Nothing there, and no listing.
    ['GET', '/missing.html', 404],
    ['GET', '/empty/', 404],
    ['GET', '/codecs/', 404],
    ['GET', '/index.html/', 404],
    // Only GET and HEAD.
    ['POST', '/index.html', 405],
    ['PUT', '/upload.txt', 405],
    ['DELETE', '/index.html', 405],
    ['OPTIONS', '/index.html', 405],
  ];
  for (const [method, target, status, type, body] of cases) {
    const what = `${method} ${target}`;
    try {
      const r = await get(server.url, target, method);
      assert.equal(r.status, status, `${what}: status`);
      assert.equal(r.headers['cache-control'], 'no-store', `${what}: caching`);
      assert.equal(r.headers['x-frame-options'], 'DENY', `${what}: framing`);
      assert.equal(r.headers['content-security-policy'], "frame-ancestors 'none'", `${what}: framing by policy`);
      assert.ok(!r.body.includes(kSecret), `${what}: the secret leaked`);
      if (status === 200) {
        assert.equal(r.headers['content-type'], type, `${what}: type`);
        assert.equal(r.body, body, `${what}: body`);
        const whole = method === 'HEAD' ? (await get(server.url, target)).body : body;
        assert.equal(Number(r.headers['content-length']), Buffer.byteLength(whole, 'latin1'), `${what}: length`);
      } else {
        assert.equal(r.body.startsWith(String(status)), method !== 'HEAD', `${what}: body`);
      }
      if (status === 405) assert.equal(r.headers.allow, 'GET, HEAD', `${what}: Allow`);
    } catch (e) {
      ++failures;
      console.error(`FAIL ${e.message}`);
    }
  }
  // Only requests addressed to this server: a DNS-rebinding page names its own host.
  const port = new URL(server.url).port;
  const hosts = [
    [`127.0.0.1:${port}`, 200], [`localhost:${port}`, 200], [`[::1]:${port}`, 200], [`LocalHost:${port}`, 200],
    ['evil.example', 421], [`evil.example:${port}`, 421], ['127.0.0.1', 421], ['localhost', 421],
    ['127.0.0.1:1', 421], [`127.0.0.1:${port}.evil.example`, 421], [`localhost.evil.example:${port}`, 421],
    [`127.0.0.2:${port}`, 421], [null, 421],
  ];
  for (const [host, status] of hosts) {
    try {
      const r = await get(server.url, '/index.html', 'GET', host);
      assert.equal(r.status, status, `Host ${host}: status`);
      assert.equal(r.headers['x-frame-options'], 'DENY', `Host ${host}: framing`);
      if (status !== 200) assert.ok(!r.body.includes('front'), `Host ${host}: the page was served`);
    } catch (e) {
      ++failures;
      console.error(`FAIL ${e.message}`);
    }
  }
  assert.equal(ownHost(undefined, 80), false);
  assert.equal(ownHost(['localhost:80'], 80), false);

  // The decoding alone, before any file is looked at: [target, segments or status].
  const decoded = [
    ['/', ['']],
    ['/a/b.wasm?x=1#y', ['a', 'b.wasm']],
    ['/with%20space/%C3%A9t%C3%A9.html', ['with space', 'été.html']],
    ['/a//b', ['a', '', 'b']],
    ['/...', ['...']],
    ['/..', 403],
    ['/a/../b', 403],
    ['/%2e%2E/b', 403],
    ['/.', 403],
    ['/%2e', 403],
    ['/a%2fb', 403],
    ['/a%5Cb', 403],
    ['/a%00b', 403],
    ['/%E0%A4%A', 400],
    ['a/b', 400],
    ['', 400],
  ];
  for (const [target, expected] of decoded) {
    try {
      const got = requestSegments(target);
      if (typeof expected === 'number') assert.deepEqual(got, { status: expected }, target);
      else assert.deepEqual(got, { segments: expected }, target);
    } catch (e) {
      ++failures;
      console.error(`FAIL ${e.message}`);
    }
  }
  // The folder itself must be one.
  await assert.rejects(serve(join(site, 'index.html')), /not a folder/);
  await assert.rejects(serve(join(work, 'no such folder')));
} finally {
  await server.close();
  clearTimeout(watchdog);
}
// After close() nothing answers.
await assert.rejects(get(server.url, '/index.html'));
if (failures) {
  console.error(`${failures} case(s) failed`);
  process.exit(1);
}
console.log('serve: all cases passed');
