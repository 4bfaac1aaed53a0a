// PNG through the Rust png crate in WebAssembly (@jsquash/png): every colour
// type and depth, interlaced or not, expanded to 8-bit RGBA as libpng
// expands it (palettes and tRNS, narrow grey stretched, 16 bits cut to the
// high byte), so the pixels are the desktop build's. Chunks the decoder has
// no use for are skipped, and its memory is bounded by the picture's size.
// Encoding, which only screenshots need, is png-encoder.mjs's.
import { decode, initSync } from '@jsquash/png/codec/pkg/squoosh_png.js';

// Chunk types as big-endian words.
const IHDR = 0x49484452, IDAT = 0x49444154, tRNS = 0x74524e53;

// Two tRNS chunks that libpng takes and the Rust decoder reads otherwise,
// mended before the file is decoded; the walk goes over the chunks before
// the image data, by their lengths and types alone:
// - in grey or RGB, a key value with bits above the depth: libpng compares
//   only the bits of the depth (a 4-bit grey key 0x00F5 is 5), the Rust
//   decoder the whole value, so it is cut to the depth;
// - in grey with alpha or RGBA, where tRNS has no place: libpng ignores it,
//   the Rust decoder refuses the file, so it is dropped.
// The Rust decoder checks no CRCs, so a changed chunk keeps its old one.
// Anything else, damaged or not, is the decoder's to judge.
export function mendTransparency(bytes) {
  if (bytes.length < 26) return bytes;
  let view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (view.getUint32(12) !== IHDR) return bytes;
  const depth = bytes[24], colourType = bytes[25];
  const mask = depth < 16 ? (1 << depth) - 1 : 0xffff;
  let out = bytes;
  for (let p = 8; p + 12 <= out.length;) {
    const length = view.getUint32(p), type = view.getUint32(p + 4);
    const end = p + 12 + length;
    if (type === IDAT || end > out.length) break;
    if (type !== tRNS) {
      p = end;
    } else if (colourType === 4 || colourType === 6) {
      const rest = new Uint8Array(out.length - (end - p));
      rest.set(out.subarray(0, p));
      rest.set(out.subarray(end), p);
      out = rest;
      view = new DataView(out.buffer);
    } else {
      if (colourType === 0 || colourType === 2) {
        if (out === bytes) {
          out = bytes.slice();
          view = new DataView(out.buffer);
        }
        for (let v = p + 8; v + 2 <= p + 8 + length; v += 2) view.setUint16(v, view.getUint16(v) & mask);
      }
      p = end;
    }
  }
  return out;
}

// `module`: the compiled squoosh_png_bg.wasm. A browser compiles a module
// of this size only asynchronously on its main thread, so it comes compiled.
export function createPngCodec(module) {
  initSync(module);
  return {
    // { width, height, data: RGBA } or null when it is no PNG or damaged.
    decode(bytes) {
      try {
        const image = decode(mendTransparency(bytes));
        const data = new Uint8Array(image.data.buffer, image.data.byteOffset, image.data.byteLength);
        return { width: image.width, height: image.height, data };
      } catch {
        return null;
      }
    },
  };
}
