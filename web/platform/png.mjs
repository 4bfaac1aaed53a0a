// PNG through the Rust png crate in WebAssembly (@jsquash/png's build of
// it): every colour type and depth, interlaced or not, expanded to 8-bit
// RGBA as libpng expands it (palettes and tRNS, narrow grey stretched, 16
// bits cut to the high byte), so the pixels are the desktop build's.
// Encoding, which only screenshots need, is png-encoder.mjs's.
//
// The desktop reads its PNG files with libpng, told to skip the chunks the
// program has no use for, and libpng takes damage in ancillary chunks as a
// warning. The Rust decoder parses every chunk it knows and refuses a file
// for a text chunk without its separator or a colour profile it cannot
// inflate. So the chunks are walked here first, by libpng's rules, and the
// decoder gets a file of the chunks that make the pixels alone: the header,
// the palette, the transparency libpng takes (mended as libpng takes it),
// the image data and the end. What libpng refuses is refused here.
import { ZipPassThrough } from 'fflate';

// Chunk types as big-endian words.
const word = (name) => ((name.charCodeAt(0) << 24) | (name.charCodeAt(1) << 16) | (name.charCodeAt(2) << 8) |
                        name.charCodeAt(3)) >>> 0;
const IHDR = word('IHDR'), PLTE = word('PLTE'), IDAT = word('IDAT'), IEND = word('IEND'), tRNS = word('tRNS');

// The ancillary chunks libpng reads itself; the others (text, profiles,
// private chunks) it is told to skip unread. Before the header one of these
// is an error, a skipped one is not.
const kRead = new Set(['bKGD', 'cHRM', 'gAMA', 'hIST', 'oFFs', 'pHYs', 'sBIT', 'sRGB', 'tIME', 'tRNS'].map(word));

const kSignature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
const kEnd = Uint8Array.of(0, 0, 0, 0, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82);

// The CRC-32 of PNG chunks is zip's; fflate computes it for the members
// it stores.
function crc32(bytes) {
  const stream = new ZipPassThrough('');
  stream.ondata = () => {};
  stream.push(bytes, true);
  return stream.crc >>> 0;
}

// A chunk type is four ASCII letters.
const letter = (c) => (c >= 65 && c <= 90) || (c >= 97 && c <= 122);

// The chunks of a PNG file as libpng reads them: its header, the palette
// of a palette picture, the tRNS chunk libpng takes, the image data (the
// first run of IDAT chunks), or null for a file libpng refuses. Damage
// libpng refuses anywhere up to IEND: a type that is no four letters, a
// chunk cut off by the end of the file (IEND missing, or a length past
// 2^31 - 1, which no file we hold has room for), a critical chunk with a
// wrong CRC (only when `checkCrc`), a critical chunk it does not know
// before the image data, a second header, a palette picture's PLTE of a
// length that is no whole number of entries or holds none or over 256, a
// second PLTE, or before the header any chunk but the ancillary ones it
// skips. Ancillary chunks are otherwise dropped,
// damaged or not: libpng makes no pixel of them, and what its own handlers
// find wrong in them (a wrong length, a value out of range, a second one,
// a wrong CRC, a chunk out of place) it only warns about.
//
// tRNS is the one ancillary chunk that changes pixels. libpng takes the
// first one that is right for the colour type (2 bytes in grey, 6 in RGB;
// in a palette picture after PLTE, 1 to as many bytes as the palette has
// entries, which are at most 2^depth), with a right CRC (only when
// `checkCrc`; without it, one with a wrong CRC may be taken). Grey and RGB
// keys keep only the bits of the depth: libpng compares those alone (a
// 4-bit grey key 0x00F5 is 5), the Rust decoder the whole value.
export function pngChunks(bytes, checkCrc) {
  if (bytes.length < 8 || kSignature.some((b, i) => bytes[i] !== b)) return null;
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const found = { width: 0, height: 0, depth: 0, colourType: 0, header: null, palette: null, key: null, data: null };
  let entries = 0, hadPalette = false, dataEnded = false;
  for (let p = 8; ;) {
    if (p + 12 > bytes.length) return null;
    const length = view.getUint32(p), type = view.getUint32(p + 4);
    if (![4, 5, 6, 7].every((i) => letter(bytes[p + i]))) return null;
    const end = p + 12 + length;
    if (end > bytes.length) return null;
    const critical = (bytes[p + 4] & 0x20) === 0;
    const crcRight = !checkCrc || crc32(bytes.subarray(p + 4, end - 4)) === view.getUint32(end - 4);
    if (critical && !crcRight) return null;
    const chunk = bytes.subarray(p, end), content = bytes.subarray(p + 8, end - 4);
    if (type === IEND) {
      if (!found.data) return null;
      return found;
    }
    if (type === IHDR) {
      if (found.header || length !== 13) return null;
      found.header = chunk;
      found.width = view.getUint32(p + 8);
      found.height = view.getUint32(p + 12);
      found.depth = bytes[p + 16];
      found.colourType = bytes[p + 17];
    } else if (found.data) {
      // After the image data libpng only reads on to IEND, checking CRCs.
      if (type === IDAT && !dataEnded) found.data = bytes.subarray(found.data.byteOffset - bytes.byteOffset, end);
      else dataEnded = true;
    } else if (!found.header) {
      if (critical || kRead.has(type)) return null;
    } else if (type === IDAT) {
      if (found.colourType === 3 && !found.palette) return null;
      found.data = chunk;
    } else if (type === PLTE) {
      if (hadPalette) return null;
      hadPalette = true;
      if (found.colourType === 3) {
        if (length === 0 || length > 3 * 256 || length % 3 !== 0) return null;
        found.palette = chunk;
        entries = Math.min(length / 3, 1 << found.depth);
      }
    } else if (type === tRNS) {
      if (!found.key && crcRight && takesKey(found, length, entries)) found.key = mendKey(found, content);
    } else if (critical) {
      return null;
    }
    p = end;
  }
}

// `entries`: those of the palette that the depth can index, none before
// PLTE.
function takesKey({ colourType }, length, entries) {
  switch (colourType) {
    case 0: return length === 2;
    case 2: return length === 6;
    case 3: return length > 0 && length <= entries;
  }
  return false;
}

function mendKey({ colourType, depth }, content) {
  const key = content.slice();
  if (colourType === 3 || depth >= 16) return key;
  const words = new DataView(key.buffer);
  for (let v = 0; v < key.length; v += 2) words.setUint16(v, words.getUint16(v) & ((1 << depth) - 1));
  return key;
}

// The file the Rust decoder gets: the chunks of `found` (pngChunks) and
// IEND, made so that the decoder makes RGBA at once, in one buffer of the
// picture's size. Without tRNS it makes RGB and palette pixels as 3 bytes
// and grey as 1, then moves them into a second buffer of 4 bytes a pixel;
// with tRNS it makes RGBA at once. So
// - a palette picture without tRNS gets one that keeps every entry opaque;
// - an RGB one without tRNS gets a key of black, and its pixels are made
//   opaque again as they are read (`opaque`);
// - grey of up to 8 bits becomes a palette picture of the grey levels,
//   stretched to 8 bits as libpng stretches them, its tRNS key the alpha
//   of its entry: the same samples in the same bytes, filtered alike
//   (both have pixels of at most one byte);
// - grey of 16 bits and grey with alpha stay as they are.
export function decoderInput(found) {
  const { colourType, depth } = found;
  let header = found.header, palette = found.palette, key = found.key, opaque = false;
  if (colourType === 0 && depth <= 8) {
    const content = header.slice(8, 21);
    content[9] = 3;
    header = chunkOf(IHDR, content);
    const levels = 1 << depth;
    const grey = new Uint8Array(3 * levels);
    for (let v = 0; v < levels; ++v) grey.fill((v * 255) / (levels - 1), 3 * v, 3 * v + 3);
    palette = chunkOf(PLTE, grey);
    if (key) {
      const value = new DataView(key.buffer).getUint16(0);
      key = new Uint8Array(value + 1).fill(255);
      key[value] = 0;
    }
  }
  if (!key && (colourType === 0 || colourType === 3) && palette) key = Uint8Array.of(255);
  if (!key && colourType === 2) key = new Uint8Array(6), opaque = true;
  const keyChunk = key ? chunkOf(tRNS, key) : new Uint8Array(0);
  const parts = [Uint8Array.from(kSignature), header, palette ?? new Uint8Array(0), keyChunk, found.data, kEnd];
  return { parts, size: parts.reduce((n, part) => n + part.length, 0), opaque };
}

function chunkOf(type, content) {
  const chunk = new Uint8Array(12 + content.length);
  const view = new DataView(chunk.buffer);
  view.setUint32(0, content.length);
  view.setUint32(4, type);
  chunk.set(content, 8);
  view.setUint32(8 + content.length, crc32(chunk.subarray(4, 8 + content.length)));
  return chunk;
}

// A decoder instance whose memory has grown past this is not kept: the
// memory of WebAssembly never shrinks, and goes only with its instance.
const kKeptMemory = 16 << 20;

class Refusal extends Error {}

// One instance of the decoder, with the calls of its JavaScript glue
// (wasm-bindgen's) that decoding makes. The picture it makes stays in its
// memory, read a row at a time, instead of being copied out whole.
function startDecoder(module) {
  let made = null;
  const calls = {
    __wbg_newwithownedu8clampedarrayandsh: (at, length, width, height) => {
      made = { at: at >>> 0, length: length >>> 0, width: width >>> 0, height: height >>> 0 };
      return 0;
    },
    __wbindgen_throw: () => { throw new Refusal('damaged PNG'); },
    __wbindgen_object_drop_ref: () => {},
  };
  const imports = {};
  for (const { module: from, name } of WebAssembly.Module.imports(module)) {
    // The glue's names end in a hash of their signature.
    const call = calls[name.replace(/_[0-9a-f]{16}$/, '')] ?? (() => { throw new Error(`png.wasm calls ${name}`); });
    (imports[from] ??= {})[name] = call;
  }
  const x = new WebAssembly.Instance(module, imports).exports;
  return { x, take() { const m = made; made = null; return m; } };
}

// `module`: the compiled squoosh_png_bg.wasm. A browser compiles a module
// of this size only asynchronously on its main thread, so it comes compiled.
// `collect`, when given, collects garbage: it is called when the memory of
// a decoder that a large picture made grow has been let go.
export function createPngCodec(module, collect = null) {
  let kept = null;
  // Lets `decoder` go when its memory has grown; true when it did.
  const release = (decoder) => {
    const grown = decoder.x.memory.buffer.byteLength > kKeptMemory;
    if (grown && kept === decoder) kept = null;
    return grown;
  };

  // The picture of `found` (pngChunks), or { grown } when the decoder
  // refuses it: a refusal unwinds the decoder without freeing what it
  // holds, so the next picture gets a fresh one.
  const attempt = (found) => {
    const input = decoderInput(found);
    let decoder = kept ?? (kept = startDecoder(typeof module === 'function' ? module() : module));
    let made = null;
    try {
      const { x } = decoder;
      const at = x.__wbindgen_malloc(input.size, 1) >>> 0;
      let to = at;
      for (const part of input.parts) {
        new Uint8Array(x.memory.buffer, to, part.length).set(part);
        to += part.length;
      }
      // The decoder frees its input.
      x.decode(at, input.size);
      made = decoder.take();
    } catch (e) {
      if (!(e instanceof Refusal || e instanceof WebAssembly.RuntimeError || e instanceof RangeError)) throw e;
    }
    if (!made || made.length !== made.width * made.height * 4) {
      const grown = release(decoder);
      if (kept === decoder) kept = null;
      return { grown };
    }
    const rowBytes = made.width * 4;
    // Frees the picture; true when the decoder is let go for the memory it
    // took.
    const letGo = () => {
      if (!decoder) return false;
      decoder.x.__wbindgen_free(made.at, made.length, 1);
      const grown = release(decoder);
      decoder = null;
      return grown;
    };
    return {
      picture: {
        width: made.width,
        height: made.height,
        row(y, into) {
          if (!decoder || y >= made.height) return false;
          const n = Math.min(into.length, rowBytes);
          into.set(new Uint8Array(decoder.x.memory.buffer, made.at + y * rowBytes, n));
          if (input.opaque) for (let i = 3; i < n; i += 4) into[i] = 255;
          return true;
        },
        drop() {
          if (letGo() && collect) collect();
        },
      },
    };
  };

  // Garbage is collected once the calls that held a decoder let go have
  // returned, so that no frame still refers to it.
  return {
    // { width, height } of the file's header, or null when it is no PNG or
    // libpng would refuse its chunks (their CRCs unchecked).
    header(bytes) {
      const found = pngChunks(bytes, false);
      return found && { width: found.width, height: found.height };
    },
    // The picture as 8-bit RGBA, { width, height, row(y, into), drop() },
    // or null when it is no PNG or damaged. row copies row y into `into`
    // (false past the picture or once dropped); drop frees the picture,
    // and with it the decoder when the picture made its memory grow.
    decode(bytes) {
      const found = pngChunks(bytes, true);
      if (!found) return null;
      const { picture, grown } = attempt(found);
      if (grown && collect) collect();
      return picture ?? null;
    },
    // The bytes of memory the codec keeps for the next picture.
    keptMemory: () => (kept ? kept.x.memory.buffer.byteLength : 0),
  };
}
