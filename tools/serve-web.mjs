// A small static file server for the web pages, for the browser tests and by
// hand: one folder on 127.0.0.1, GET and HEAD only, nothing cached, no
// folder listings (a folder gives its index.html or nothing).
//
//   node tools/serve-web.mjs dist/web [PORT]     (a free port unless given)
//
// It answers only requests addressed to itself (a Host of 127.0.0.1,
// localhost or [::1] with its port): a page elsewhere whose name a DNS
// rebinding points at 127.0.0.1 gets nothing. Its pages may not be framed
// by another (X-Frame-Options and the frame-ancestors of a
// Content-Security-Policy header, which a page's meta tag cannot say).
//
// From a script: const { url, close } = await serve(dir); ... await close();
// serve(dir, port, { onRequest(path) {} }) also tells each request's path
// as it comes (the benchmark counts what a page fetched).
//
// A request names a file by its path below the folder. Every segment is
// decoded on its own and refused when it is "." or "..", holds a slash, a
// backslash or a NUL, so neither ".." nor an encoded "%2e%2e" or "%2f" leads
// out; the file found is then resolved through its links and must still lie
// inside the folder.
import { createReadStream } from 'node:fs';
import { realpath, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, relative, isAbsolute, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.htm': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.cjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json; charset=utf-8',
  '.map': 'application/json; charset=utf-8',
  '.webmanifest': 'application/manifest+json; charset=utf-8',
  '.wasm': 'application/wasm',
  '.txt': 'text/plain; charset=utf-8',
  '.ini': 'text/plain; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.jpg': 'image/jpeg',
  '.jpeg': 'image/jpeg',
  '.bmp': 'image/bmp',
  '.ico': 'image/x-icon',
  '.gif': 'image/gif',
  '.webp': 'image/webp',
  '.zip': 'application/zip',
  '.woff2': 'font/woff2',
};

/** The MIME type a file is served with, by its name's extension in any letter case. */
export function contentType(name) {
  return kTypes[extname(name).toLowerCase()] ?? 'application/octet-stream';
}

/**
 * The segments of a request's path, decoded, or a refusal: 400 for a target that is not a path or
 * cannot be decoded, 403 for a segment that would step out or hide a separator.
 */
export function requestSegments(target) {
  const path = target.split(/[?#]/, 1)[0];
  if (!path.startsWith('/')) return { status: 400 };
  const segments = [];
  for (const raw of path.slice(1).split('/')) {
    let segment;
    try {
      segment = decodeURIComponent(raw);
    } catch {
      return { status: 400 };
    }
    if (segment === '.' || segment === '..' || /[/\\\0]/.test(segment)) return { status: 403 };
    segments.push(segment);
  }
  return { segments };
}

function inside(root, path) {
  const r = relative(root, path);
  return r === '' || (!r.startsWith('..' + sep) && r !== '..' && !isAbsolute(r));
}

// What every answer carries.
const kCommonHeaders = {
  'Cache-Control': 'no-store',
  'X-Content-Type-Options': 'nosniff',
  'X-Frame-Options': 'DENY',
  'Content-Security-Policy': "frame-ancestors 'none'",
};

/** Whether a request's Host header names this server: 127.0.0.1, localhost or [::1], with `port`. */
export function ownHost(host, port) {
  if (typeof host !== 'string') return false;
  const h = host.toLowerCase();
  return ['127.0.0.1', 'localhost', '[::1]'].some((name) => h === `${name}:${port}`);
}

function refuse(response, status, method) {
  const texts = { 400: 'Bad request', 403: 'Forbidden', 404: 'Not found', 405: 'Method not allowed', 421: 'Misdirected request' };
  const body = `${status} ${texts[status] ?? 'Error'}\n`;
  const headers = {
    'Content-Type': 'text/plain; charset=utf-8',
    'Content-Length': Buffer.byteLength(body),
    ...kCommonHeaders,
  };
  if (status === 405) headers.Allow = 'GET, HEAD';
  response.writeHead(status, headers);
  response.end(method === 'HEAD' ? undefined : body);
}

// The file a request names, resolved through links, or the status refusing it.
async function find(root, target) {
  const { status, segments } = requestSegments(target);
  if (status) return { status };
  // "/docs/" names a folder (its index.html), "/docs" a file: a folder's
  // page named without the slash would get its relative links wrong.
  const folder = segments[segments.length - 1] === '';
  let path = join(root, ...segments);
  try {
    let info = await stat(path);
    if (folder) {
      path = join(path, 'index.html');
      info = await stat(path);
    }
    const real = await realpath(path);
    if (!inside(root, real)) return { status: 403 };
    if (!info.isFile()) return { status: 404 };
    return { path: real, size: info.size };
  } catch {
    return { status: 404 };
  }
}

/**
 * Serves the folder `dir` on 127.0.0.1 at `port` (a free one by default): resolves to its
 * address (`url`, without a final slash) and `close()`, which ends every connection too.
 */
export async function serve(dir, port = 0, { onRequest } = {}) {
  const root = await realpath(dir);
  if (!(await stat(root)).isDirectory()) throw new Error(`${dir} is not a folder`);
  // A request without a Host is answered here too (refused as misdirected).
  const server = createServer({ requireHostHeader: false }, async (request, response) => {
    const method = request.method;
    if (!ownHost(request.headers.host, server.address().port)) return refuse(response, 421, method);
    if (method !== 'GET' && method !== 'HEAD') return refuse(response, 405, method);
    onRequest?.((request.url ?? '').split(/[?#]/, 1)[0]);
    const found = await find(root, request.url ?? '');
    if (found.status) return refuse(response, found.status, method);
    response.writeHead(200, {
      'Content-Type': contentType(found.path),
      'Content-Length': found.size,
      ...kCommonHeaders,
    });
    if (method === 'HEAD') return response.end();
    const stream = createReadStream(found.path);
    stream.on('error', () => response.destroy());
    stream.pipe(response);
  });
  // A request the HTTP parser refuses gets the same kind of answer.
  server.on('clientError', (error, socket) => {
    if (error.code === 'ECONNRESET' || !socket.writable) return socket.destroy();
    const body = '400 Bad request\n';
    socket.end('HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain; charset=utf-8\r\n' +
               `Content-Length: ${body.length}\r\n` +
               Object.entries(kCommonHeaders).map(([k, v]) => `${k}: ${v}\r\n`).join('') + `Connection: close\r\n\r\n${body}`);
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      server.off('error', reject);
      resolve();
    });
  });
  return {
    url: `http://127.0.0.1:${server.address().port}`,
    close() {
      return new Promise((resolve) => {
        server.close(() => resolve());
        server.closeAllConnections();
      });
    },
  };
}

if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [dir, port] = process.argv.slice(2);
  if (!dir || (port !== undefined && !/^\d+$/.test(port))) {
    console.error('usage: node tools/serve-web.mjs DIR [PORT]');
    process.exit(2);
  }
  try {
    const server = await serve(dir, port === undefined ? 0 : Number(port));
    console.log(`Serving ${dir} at ${server.url}/ (Ctrl+C stops)`);
    const stop = () => server.close().then(() => process.exit(0));
    process.on('SIGINT', stop);
    process.on('SIGTERM', stop);
  } catch (e) {
    console.error(`serve-web.mjs: ${e.message}`);
    process.exit(1);
  }
}
