// JPEG through libjpeg-turbo in WebAssembly: its TurboJPEG decoder as
// @cwasm/jpeg-turbo builds it (the library the desktop build decodes with,
// so the same pixels, CMYK and YCCK included), with a loader of our own that
// runs in a browser as in node; and, for screenshots, its encoder as
// @cornerstonejs/codec-libjpeg-turbo-8bit builds it.

// What the markers before the first scan say that TurboJPEG does not: the
// frame's size, whether Adobe's marker is there (CMYK written inverted), and
// how many scans the file starts. Entropy-coded data never holds the bytes
// FF DA, so counting them counts the scans.
export function jpegMarkers(bytes) {
  const info = { width: 0, height: 0, adobe: false, frame: false, scans: 0 };
  let p = 2;
  while (p + 4 <= bytes.length) {
    if (bytes[p] !== 0xff) return null;
    const m = bytes[p + 1];
    if (m === 0xff) {
      ++p;
      continue;
    }
    if (m === 0xd8 || m === 0x01 || (m >= 0xd0 && m <= 0xd7)) {
      p += 2;
      continue;
    }
    const len = (bytes[p + 2] << 8) | bytes[p + 3];
    if (len < 2) return null;
    const frame = m >= 0xc0 && m <= 0xcf && m !== 0xc4 && m !== 0xc8 && m !== 0xcc;
    if (frame && p + 9 <= bytes.length) {
      info.height = (bytes[p + 5] << 8) | bytes[p + 6];
      info.width = (bytes[p + 7] << 8) | bytes[p + 8];
      info.frame = true;
    }
    if (m === 0xee && len >= 12 && p + 9 <= bytes.length &&
        String.fromCharCode(...bytes.subarray(p + 4, p + 9)) === 'Adobe') info.adobe = true;
    if (m === 0xda) break;
    p += 2 + len;
  }
  for (let i = p; i + 1 < bytes.length; ++i) {
    if (bytes[i] === 0xff && bytes[i + 1] === 0xda) ++info.scans;
  }
  return info.frame ? info : null;
}

// libjpeg takes at most 65500 pixels a side; real files have about ten
// scans, and one of thousands would keep the decoder busy for minutes.
const kMaxSide = 65500;
const kMaxScans = 500;

const TJPF_RGB = 0, TJPF_CMYK = 11, TJCS_CMYK = 3, TJCS_YCCK = 4;

// An instance whose memory has grown past this is not kept: the memory of
// WebAssembly never shrinks, and goes only with its instance.
const kKeptMemory = 16 << 20;

class LongJump extends Error {}

const failure = (e) => e instanceof LongJump || e instanceof WebAssembly.RuntimeError || e instanceof RangeError;

// `module`: the compiled jpeg-turbo.wasm of @cwasm/jpeg-turbo. `collect`,
// when given, collects garbage: it is called when the memory of an instance
// that a large picture made grow has been let go.
export function createJpegDecoder(module, collect = null) {
  let kept = null;
  const start = () => new WebAssembly.Instance(typeof module === 'function' ? module() : module, {
    env: { setjmp: () => 0, longjmp: () => { throw new LongJump('libjpeg error'); } },
    wasi_snapshot_preview1: {
      environ_sizes_get: () => 0, environ_get: () => 0, proc_exit: () => 0,
      fd_close: () => 0, fd_seek: () => 0, fd_write: () => 0,
    },
  }).exports;
  // Lets `x` go when its memory has grown (or always, after a failure);
  // true when its memory had grown.
  const release = (x, failed) => {
    const grown = x.memory.buffer.byteLength > kKeptMemory;
    if ((grown || failed) && kept === x) kept = null;
    return grown;
  };

  // The file in the kept instance with its header read: { x, input,
  // handle, width, height, cmyk }, or { grown } after a failure. TurboJPEG
  // reports errors by longjmp; in this build that becomes an exception that
  // unwinds the WebAssembly frames, leaving what they allocated behind:
  // after a failure the instance is not kept.
  const open = (bytes) => {
    const x = kept ?? (kept = start());
    try {
      const input = x.malloc(bytes.length);
      const meta = x.malloc(16);
      const handle = x.tjInitDecompress();
      if (input && meta && handle) {
        new Uint8Array(x.memory.buffer, input, bytes.length).set(bytes);
        if (x.tjDecompressHeader3(handle, input, bytes.length, meta, meta + 4, meta + 8, meta + 12) === 0) {
          const [width, height, , colourspace] = new Int32Array(x.memory.buffer, meta, 4);
          x.free(meta);
          return { x, input, handle, width, height, cmyk: colourspace === TJCS_CMYK || colourspace === TJCS_YCCK };
        }
      }
    } catch (e) {
      if (!failure(e)) throw e;
    }
    return { grown: release(x, true) };
  };
  // Frees what `open` took; true when the instance is let go for the memory
  // it took.
  const close = (file) => {
    file.x.tjDestroy(file.handle);
    file.x.free(file.input);
    return release(file.x, false);
  };
  // The picture of the file `open` made, or { grown } after a failure.
  const decodeOpen = (file, length) => {
    const { x, width, height, cmyk } = file;
    const rowBytes = width * (cmyk ? 4 : 3);
    let out = 0;
    try {
      out = x.malloc(rowBytes * height);
      if (out) x.tjDecompress2(file.handle, file.input, length, out, width, 0, height, cmyk ? TJPF_CMYK : TJPF_RGB, 0);
    } catch (e) {
      if (!failure(e)) throw e;
      out = 0;
    }
    if (!out) return { grown: release(x, true) };
    let held = file;
    // Frees the picture; true when the instance is let go for the memory it
    // took.
    const letGo = () => {
      if (!held) return false;
      held.x.free(out);
      const closing = held;
      held = null;
      return close(closing);
    };
    return {
      picture: {
        width,
        height,
        row(y, into) {
          if (!held || y >= height) return false;
          into.set(new Uint8Array(held.x.memory.buffer, out + y * rowBytes, Math.min(into.length, rowBytes)));
          return true;
        },
        drop() {
          if (letGo() && collect) collect();
        },
      },
    };
  };

  // What the header says, { head, grown }.
  const probe = (bytes) => {
    const file = open(bytes);
    if (!file.x) return file;
    return { head: { width: file.width, height: file.height, cmyk: file.cmyk }, grown: close(file) };
  };
  const decodeFile = (bytes) => {
    const file = open(bytes);
    return file.x ? decodeOpen(file, bytes.length) : file;
  };

  // Garbage is collected once the calls that held an instance let go have
  // returned, so that no frame still refers to it.
  return {
    // { width, height, cmyk, adobe } or a refusal: 'damaged', 'large'.
    header(bytes) {
      const markers = jpegMarkers(bytes);
      if (!markers) return 'damaged';
      if (markers.width > kMaxSide || markers.height > kMaxSide) return 'large';
      if (markers.scans > kMaxScans) return 'damaged';
      const { head, grown } = probe(bytes);
      if (grown && collect) collect();
      return head ? { ...head, adobe: markers.adobe } : 'damaged';
    },
    // The picture, { width, height, row(y, into), drop() }: RGB, or CMYK as
    // the file holds it; or null. It stays in the decoder's memory, read a
    // row at a time; drop frees it, and with it the decoder's memory when a
    // large picture made it grow. TurboJPEG's -1 without an error is a
    // warning (a truncated file, data after its end): the picture is as
    // libjpeg made it, as on the desktop.
    decode(bytes) {
      const { picture, grown } = decodeFile(bytes);
      if (grown && collect) collect();
      return picture ?? null;
    },
    // The bytes of memory the decoder keeps for the next picture.
    keptMemory: () => (kept ? kept.memory.buffer.byteLength : 0),
  };
}

// The encoder, from @cornerstonejs's module factory and its wasm bytes:
// libjpeg-turbo's defaults (4:2:0, no progression, the fast integer DCT the
// desktop build also uses for screenshots), so the files are the desktop's.
export async function createJpegEncoder(factory, wasmBinary) {
  const m = await factory({ wasmBinary });
  return (rgb, width, height, quality) => {
    const e = new m.JPEGEncoder();
    try {
      e.getDecodedBuffer({ width, height, bitsPerSample: 8, componentCount: 3, isSigned: false }).set(rgb);
      e.setQuality(quality);
      e.setProgressive(false);
      e.setSubSampling(2);
      e.encode();
      return e.getEncodedBuffer().slice();
    } catch {
      return null;
    } finally {
      e.delete();
    }
  };
}
