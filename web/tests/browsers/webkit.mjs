// WebKit (WebKitGTK, Debian's webkit2gtk-driver) behind the interface of
// index.mjs: WebKitWebDriver starts its MiniBrowser in automation mode on a
// display of Xvfb's (xvfb-run -a picks a free one, with its own xauth
// cookie), and is spoken to in the W3C WebDriver protocol, JSON over HTTP
// with node's own fetch: the few commands used here need no client library
// (and the usual one brings a driver manager that downloads browsers).
// WebKit's driver reads no console: the page collects its errors itself
// when loaded with ?test (window.skinEditorErrors).
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { bounded, poll } from './index.mjs';

export const kMiniBrowser = process.env.MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const kElement = 'element-6066-11e4-a52e-4f735466cecf';

function freePort() {
  return new Promise((resolve, reject) => {
    const s = createServer();
    s.once('error', reject);
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

export async function launchWebKitSession() {
  const port = await freePort();
  // Its own process group, so that closing ends Xvfb and the browser with it.
  const driver = spawn('xvfb-run', ['-a', '-s', '-screen 0 1400x1000x24 -nolisten tcp', 'WebKitWebDriver', `--port=${port}`],
    { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
  let log = '';
  driver.stderr.on('data', (d) => {
    log = (log + d).slice(-4000);
  });
  const ended = new Promise((resolve) => driver.once('exit', resolve));
  const stop = async () => {
    try {
      process.kill(-driver.pid, 'SIGTERM');
    } catch {
      return; // already gone
    }
    await bounded(ended, 10_000, 'WebKitWebDriver stopping').catch(() => process.kill(-driver.pid, 'SIGKILL'));
  };

  const base = `http://127.0.0.1:${port}`;
  const send = async (method, path, body, ms = 120_000) => {
    const response = await bounded(fetch(base + path, {
      method,
      headers: { 'Content-Type': 'application/json; charset=utf-8' },
      body: body === undefined ? undefined : JSON.stringify(body),
    }), ms, `WebKitWebDriver ${method} ${path}`);
    const answer = await response.json();
    if (!response.ok) throw new Error(`WebKitWebDriver ${method} ${path}: ${answer.value?.error}: ${answer.value?.message}`);
    return answer.value;
  };

  let id;
  try {
    await poll(async () => send('GET', '/status', undefined, 2_000).then((s) => s.ready, () => false), () => 0, [],
      { timeout: 30_000, interval: 200, what: 'WebKitWebDriver starting' });
    ({ sessionId: id } = await send('POST', '/session', {
      capabilities: {
        alwaysMatch: {
          'webkitgtk:browserOptions': { binary: kMiniBrowser, args: ['--automation'] },
          // A page that asks before it is left is left.
          unhandledPromptBehavior: 'accept',
          timeouts: { script: 90_000, pageLoad: 60_000, implicit: 0 },
        },
      },
    }));
    await send('POST', `/session/${id}/window/rect`, { width: 1400, height: 1000 });
  } catch (e) {
    await stop();
    throw new Error(`${e.message}\n${log}`);
  }
  const s = (path) => `/session/${id}${path}`;

  // The function's source, called with the arguments, in the page; a
  // promise it gives is waited for; what it throws comes back as an error.
  const evaluate = async (fn, ...args) => {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${fn}).apply(null, Array.prototype.slice.call(arguments, 0, -1)))
        .then((value) => done({ ok: true, value: value === undefined ? null : value }),
              (e) => done({ ok: false, error: String(e && e.stack || e) }));`;
    const answer = await send('POST', s('/execute/async'), { script, args });
    if (!answer.ok) throw new Error(`in the page: ${answer.error}`);
    return answer.value;
  };

  return {
    name: 'webkit',
    consoleErrors: [],
    goto: (url) => send('POST', s('/url'), { url }),
    reload: () => send('POST', s('/refresh'), {}),
    evaluate,
    waitFor: (fn, args, options) => poll(evaluate, fn, args, options),
    async setFile(selector, path) {
      const found = await poll(() => send('POST', s('/elements'), { using: 'css selector', value: selector }).then((l) => l[0]), () => 0, [],
        { timeout: 10_000, what: selector });
      await send('POST', s(`/element/${found[kElement]}/value`), { text: path });
    },
    async close() {
      await send('DELETE', s(''), undefined, 20_000).catch(() => {});
      await stop();
    },
  };
}
