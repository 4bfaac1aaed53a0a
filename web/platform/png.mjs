// PNG through the Rust png crate in WebAssembly (@jsquash/png): every colour
// type and depth, interlaced or not, expanded to 8-bit RGBA as libpng
// expands it (palettes and tRNS, narrow grey stretched, 16 bits cut to the
// high byte), so the pixels are the desktop build's. Chunks the decoder has
// no use for are skipped, and its memory is bounded by the picture's size.
// Encoding (screenshots): fast-png, whose files are small.
import { decode, initSync } from '@jsquash/png/codec/pkg/squoosh_png.js';
import { encode as fastPngEncode } from 'fast-png';

// `module`: the compiled squoosh_png_bg.wasm. A browser compiles a module
// of this size only asynchronously on its main thread, so it comes compiled.
export function createPngCodec(module) {
  initSync(module);
  return {
    // { width, height, data: RGBA } or null when it is no PNG or damaged.
    decode(bytes) {
      try {
        const image = decode(bytes);
        const data = new Uint8Array(image.data.buffer, image.data.byteOffset, image.data.byteLength);
        return { width: image.width, height: image.height, data };
      } catch {
        return null;
      }
    },
    // RGBA rows, not interlaced; fast-png deflates with fflate.
    encode(rgba, width, height) {
      return fastPngEncode({ width, height, data: rgba, depth: 8, channels: 4 });
    },
  };
}
