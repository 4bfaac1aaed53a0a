// Both skintools (the desktop build's and the web build's) on archives made
// to hurt, generated here (hostile-zips.mjs): a settings member that
// inflates to 1 GB, 53 pictures of 128 MB, a member recorded as 4 GB, and
// the skin after 131 000 and 200 000 empty members. Each gives the same
// answer from both, the answer expected of it, and in seconds, not minutes
// (the times and the memory are measured by tests/hostile/measure.sh).
//
//   NATIVE_SKINTOOL=build/cli/skintool WEB_SKINTOOL=build-web/skintool WORK_DIR=/tmp/w \
//     node --test web/tests/hostile-zips.test.mjs
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { before, test } from 'node:test';
import { craftZip, deflated, hostileSkins, skinFiles } from './hostile-zips.mjs';

const { NATIVE_SKINTOOL: nativeTool, WEB_SKINTOOL: webTool, WORK_DIR: work } = process.env;
assert.ok(nativeTool && webTool && work, 'NATIVE_SKINTOOL, WEB_SKINTOOL and WORK_DIR are needed');

// What catches a hang: each of these takes well under a second to refuse
// (a reader that inflates what it should not takes a minute).
const kHang = 20_000;

function run(tool, args) {
  return new Promise((resolve) => {
    const started = Date.now();
    execFile(tool, args, { cwd: work, timeout: kHang, maxBuffer: 16 << 20, env: { ...process.env, TZ: 'UTC' } },
      (error, stdout, stderr) => resolve({
        code: error ? (error.code ?? error.signal) : 0, stdout, stderr, seconds: (Date.now() - started) / 1000,
      }));
  });
}

// The answer of both builds, which must be the same and in time.
async function both(args) {
  const [n, w] = await Promise.all([run(nativeTool, args), run(webTool, args)]);
  for (const r of [n, w]) assert.ok(r.code !== 'SIGTERM', `${args.join(' ')}: killed after ${r.seconds} s`);
  assert.deepEqual({ code: w.code, stdout: w.stdout, stderr: w.stderr },
    { code: n.code, stdout: n.stdout, stderr: n.stderr }, args.join(' '));
  return n;
}

const lines = (text, start) => text.split('\n').filter((l) => l.startsWith(start));

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  const made = await run(nativeTool, ['convert', '--out', 'skin']);
  assert.equal(made.code, 0, made.stderr);
  const files = skinFiles(join(work, 'skin'));
  writeFileSync(join(work, 'plain.zip'), craftZip(files.map(([name, bytes]) => deflated(`Hostile/${name}`, bytes))));
  for (const [name, bytes] of Object.entries(await hostileSkins(files))) writeFileSync(join(work, name), bytes);
});

test('zip bombs are refused alike by both builds, as the desktop build refuses them', async () => {
  const cases = [
    // [archive, what check says of it]
    ['settings_1gb.zip', (out) => lines(out, 'error unreadable-settings uisettings.ini: Hostile\\uisettings.ini').length === 1],
    ['pictures_128mb.zip', (out) => lines(out, 'error unreadable-picture ').length === 53],
    ['claims_4gb.zip', (out) => lines(out, 'error').length === 1 &&
      lines(out, 'error unreadable-picture lamp: Hostile\\lamp.bmp').length === 1],
  ];
  for (const [name, expected] of cases) {
    const answer = await both(['check', '--skin', name]);
    assert.equal(answer.code, 1, name);
    assert.ok(expected(answer.stdout), `${name}:\n${answer.stdout.slice(0, 2000)}`);
  }
});

test('an archive of 131 000 or 200 000 members opens in both builds as the skin alone does', async () => {
  const plain = await both(['check', '--skin', 'plain.zip']);
  assert.equal(lines(plain.stdout, 'error').length, 0, plain.stdout);
  for (const name of ['members_131000.zip', 'members_200000.zip']) {
    const answer = await both(['check', '--skin', name]);
    assert.deepEqual({ code: answer.code, stdout: answer.stdout }, { code: plain.code, stdout: plain.stdout }, name);
  }
});
