// The screenshots of both skintools in the same form: a PNG of 8-bit RGBA,
// not interlaced, each row unfiltered, its zlib stream marked as deflated at
// the highest level; a BMP and a JPEG of the same size; the same pixels.
//   NATIVE_SKINTOOL=... WEB_SKINTOOL=... WORK_DIR=... node --test screenshot-form.test.mjs
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { inflateSync } from 'node:zlib';

const { NATIVE_SKINTOOL, WEB_SKINTOOL, WORK_DIR } = process.env;
mkdirSync(WORK_DIR, { recursive: true });

// The chunks of a PNG file: [type, data].
function chunks(png) {
  assert.deepEqual([...png.subarray(0, 8)], [137, 80, 78, 71, 13, 10, 26, 10], 'the PNG signature');
  const out = [];
  for (let p = 8; p + 12 <= png.length;) {
    const length = png.readUInt32BE(p);
    out.push([png.toString('latin1', p + 4, p + 8), png.subarray(p + 8, p + 8 + length)]);
    p += 12 + length;
  }
  return out;
}

function form(png) {
  const all = chunks(png);
  const ihdr = all.find(([type]) => type === 'IHDR')[1];
  const idat = Buffer.concat(all.filter(([type]) => type === 'IDAT').map(([, data]) => data));
  const width = ihdr.readUInt32BE(0), height = ihdr.readUInt32BE(4);
  const rows = inflateSync(idat);
  const filters = new Set();
  for (let y = 0; y < height; ++y) filters.add(rows[y * (1 + width * 4)]);
  return {
    width, height, depth: ihdr[8], colourType: ihdr[9], interlace: ihdr[12],
    // FLEVEL, the top two bits of the zlib header's second byte: 3 for the highest level.
    level: idat[1] >> 6, filters: [...filters], rows,
  };
}

const shot = (tool, name, args = []) => {
  const out = join(WORK_DIR, name);
  execFileSync(tool, ['screenshot', ...args, '--out', out], { timeout: 60_000, stdio: ['ignore', 'ignore', 'inherit'] });
  return readFileSync(out);
};

test('both skintools write the screenshot in one form, with the same pixels', () => {
  for (const screen of ['0', '13']) {
    const native = form(shot(NATIVE_SKINTOOL, `native-${screen}.png`, ['--screen', screen]));
    const web = form(shot(WEB_SKINTOOL, `web-${screen}.png`, ['--screen', screen]));
    const expected = { width: 256, height: 384, depth: 8, colourType: 6, interlace: 0, level: 3, filters: [0] };
    for (const [name, f] of [['native', native], ['web', web]]) {
      const { rows, ...shape } = f;
      assert.deepEqual(shape, expected, `${name} screen ${screen}`);
    }
    assert.ok(native.rows.equals(web.rows), `screen ${screen}: the same pixels`);
  }
  for (const ext of ['bmp', 'jpg']) {
    const native = shot(NATIVE_SKINTOOL, `native.${ext}`);
    const web = shot(WEB_SKINTOOL, `web.${ext}`);
    assert.equal(web.subarray(0, 2).toString('latin1'), native.subarray(0, 2).toString('latin1'), `${ext}: the same kind of file`);
    if (ext === 'bmp') assert.ok(web.equals(native), 'the BMP byte for byte');
  }
});
