// The engine's platform in JavaScript, the same in a page and in node: the
// zip library and the picture codecs that platform/web/ calls, every call
// synchronous. The codecs' WebAssembly modules come compiled (a page fetches
// them from its own origin, node reads them from its files).
import { encodeZip, inflateZipEntry, listZip } from './zip.mjs';
import { createPngCodec } from './png.mjs';
import { createJpegDecoder, createJpegEncoder } from './jpeg.mjs';
import { decodeBuiltinPng } from './png-builtin.mjs';

// `modules`: { png, jpeg } compiled WebAssembly modules, or functions that
// give them when first needed (a page's engine fetches the codecs of the
// user's files then, or earlier in the background). The encoders, which only
// screenshots need, come later (addPngEncoder, addJpegEncoder).
// A decoder's memory, which a large picture makes grow, goes with its
// instance once the picture is handed over; `collect`, where the host
// offers one (node), collects garbage then, so that it is gone before the
// next large allocation and not only at the next collection.
export function createPlatform(modules, { collect = null } = {}) {
  const png = createPngCodec(modules.png, collect);
  const jpeg = createJpegDecoder(modules.jpeg, collect);
  return {
    zip: { list: listZip, inflate: inflateZipEntry, encode: encodeZip },
    png: { header: png.header, decode: png.decode, encode: null },
    pngBuiltin: { decode: decodeBuiltinPng },
    jpeg: { header: jpeg.header, decode: jpeg.decode, encode: null },
  };
}

// Gives `platform` the PNG encoder: encodePng of png-encoder.mjs.
export function addPngEncoder(platform, encodePng) {
  platform.png.encode = encodePng;
}

// Gives `platform` the JPEG encoder: @cornerstonejs's module factory and the
// bytes of its wasm file.
export async function addJpegEncoder(platform, factory, wasmBinary) {
  if (!platform.jpeg.encode) platform.jpeg.encode = await createJpegEncoder(factory, wasmBinary);
}
