// The web app's icons, made at build time from the editor's own icon
// (assets/app_icon.png, 256 x 256 RGBA) in the sizes browsers ask for: a
// tab's 32, the 180 of a phone's home screen, the 192 and 512 of an installed
// app, and a 512 "maskable" one whose picture keeps within the middle 80 %
// a launcher may cut a circle or a rounded square from.
//
//   node tools/make-web-icons.mjs assets/app_icon.png OUT_DIR
//
// PNG is read and written by fast-png (web/package-lock.json). The scaling
// is ours: smaller sizes average the source pixels each new pixel covers
// (weighted by alpha, so transparent pixels lend no colour), larger ones
// interpolate between the four nearest pixels. The output is the same for
// the same input.
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const { decode, encode } = createRequire(join(repo, 'web/package.json'))('fast-png');

/** The icons of the site: file name, size, and whether the picture keeps to the safe middle. */
export const kIcons = [
  ['icon-32.png', 32, false],
  ['icon-180.png', 180, false],
  ['icon-192.png', 192, false],
  ['icon-512.png', 512, false],
  ['icon-maskable-512.png', 512, true],
];

// The launcher's backdrop under a maskable icon: the icon's own dark plum.
export const kMaskBackground = [0x3a, 0x12, 0x3c, 255];

/** RGBA (8 bits a channel) of any PNG fast-png reads. */
function rgbaOf(png) {
  const { width, height, channels, depth } = png;
  if (depth !== 8) throw new Error(`expected 8 bits a channel, got ${depth}`);
  const out = new Uint8ClampedArray(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    const p = png.data.subarray(i * channels, i * channels + channels);
    const [r, g, b] = channels >= 3 ? [p[0], p[1], p[2]] : [p[0], p[0], p[0]];
    const a = channels === 4 ? p[3] : channels === 2 ? p[1] : 255;
    out.set([r, g, b, a], i * 4);
  }
  return { width, height, data: out };
}

// Down: the area each new pixel covers, pixel fractions included, averaged
// with alpha as the weight. Lengths are counted in 1/size of a source
// pixel, so that every weight is a whole number and a half rounds up.
function shrink(src, size) {
  const out = new Uint8ClampedArray(size * size * 4);
  const w = src.width;
  const overlap = (a, b) => (p) => Math.max(0, Math.min(b, (p + 1) * size) - Math.max(a, p * size));
  for (let y = 0; y < size; ++y) {
    const rows = overlap(y * w, (y + 1) * w);
    for (let x = 0; x < size; ++x) {
      const columns = overlap(x * w, (x + 1) * w);
      let r = 0, g = 0, b = 0, a = 0;
      for (let v = Math.floor((y * w) / size); v < Math.ceil(((y + 1) * w) / size); ++v) {
        for (let u = Math.floor((x * w) / size); u < Math.ceil(((x + 1) * w) / size); ++u) {
          const i = (v * w + u) * 4;
          const wa = rows(v) * columns(u) * src.data[i + 3];
          r += wa * src.data[i];
          g += wa * src.data[i + 1];
          b += wa * src.data[i + 2];
          a += wa;
        }
      }
      const o = (y * size + x) * 4;
      if (a > 0) out.set([r / a, g / a, b / a].map(Math.round), o);
      out[o + 3] = Math.round(a / (w * w));
    }
  }
  return { width: size, height: size, data: out };
}

// Up: bilinear between pixel centres, on colours weighted by alpha.
function grow(src, size) {
  const out = new Uint8ClampedArray(size * size * 4);
  const s = src.width / size;
  const at = (u, v) => (Math.min(src.height - 1, Math.max(0, v)) * src.width + Math.min(src.width - 1, Math.max(0, u))) * 4;
  for (let y = 0; y < size; ++y) {
    for (let x = 0; x < size; ++x) {
      const fx = (x + 0.5) * s - 0.5;
      const fy = (y + 0.5) * s - 0.5;
      const u = Math.floor(fx), v = Math.floor(fy);
      const tx = fx - u, ty = fy - v;
      let r = 0, g = 0, b = 0, a = 0;
      for (const [du, dv, w] of [[0, 0, (1 - tx) * (1 - ty)], [1, 0, tx * (1 - ty)], [0, 1, (1 - tx) * ty], [1, 1, tx * ty]]) {
        const i = at(u + du, v + dv);
        const wa = w * src.data[i + 3];
        r += wa * src.data[i];
        g += wa * src.data[i + 1];
        b += wa * src.data[i + 2];
        a += wa;
      }
      const o = (y * size + x) * 4;
      if (a > 0) out.set([r / a, g / a, b / a].map(Math.round), o);
      out[o + 3] = Math.round(a);
    }
  }
  return { width: size, height: size, data: out };
}

/** The picture `src` at `size` x `size`. */
export function scale(src, size) {
  if (size === src.width && size === src.height) return { ...src, data: new Uint8ClampedArray(src.data) };
  return size < src.width ? shrink(src, size) : grow(src, size);
}

/** `src` at 80 % of `size`, centred over the maskable backdrop. */
function masked(src, size) {
  const inner = scale(src, Math.round(size * 0.8));
  const out = new Uint8ClampedArray(size * size * 4);
  for (let i = 0; i < size * size; ++i) out.set(kMaskBackground, i * 4);
  const off = Math.floor((size - inner.width) / 2);
  for (let y = 0; y < inner.height; ++y) {
    for (let x = 0; x < inner.width; ++x) {
      const i = (y * inner.width + x) * 4;
      const o = ((y + off) * size + x + off) * 4;
      const a = inner.data[i + 3] / 255;
      for (let c = 0; c < 3; ++c) out[o + c] = Math.round(inner.data[i + c] * a + out[o + c] * (1 - a));
    }
  }
  return { width: size, height: size, data: out };
}

/** The icons made from the PNG bytes of the source icon: [file name, PNG bytes]. */
export function makeIcons(pngBytes) {
  const src = rgbaOf(decode(pngBytes));
  if (src.width !== src.height) throw new Error(`the icon is not square: ${src.width} x ${src.height}`);
  return kIcons.map(([name, size, mask]) => {
    const picture = mask ? masked(src, size) : scale(src, size);
    // Deflated at the highest level: the installable page's icons are fetched with it.
    return [name, encode({ width: size, height: size, data: picture.data, channels: 4, depth: 8 }, { zlib: { level: 9 } })];
  });
}

if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [source, out] = process.argv.slice(2);
  if (!source || !out) {
    console.error('usage: node tools/make-web-icons.mjs SOURCE.png OUT_DIR');
    process.exit(2);
  }
  mkdirSync(out, { recursive: true });
  for (const [name, bytes] of makeIcons(readFileSync(source))) writeFileSync(join(out, name), bytes);
}
