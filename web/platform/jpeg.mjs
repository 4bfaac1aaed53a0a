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

class LongJump extends Error {}

// `module`: the compiled jpeg-turbo.wasm of @cwasm/jpeg-turbo.
export function createJpegDecoder(module) {
  let x = null;
  // TurboJPEG reports errors by longjmp; in this build that becomes an
  // exception that unwinds the WebAssembly frames, leaving what they
  // allocated behind: the instance is made afresh after a failure.
  const start = () => {
    const instance = new WebAssembly.Instance(module, {
      env: { setjmp: () => 0, longjmp: () => { throw new LongJump('libjpeg error'); } },
      wasi_snapshot_preview1: {
        environ_sizes_get: () => 0, environ_get: () => 0, proc_exit: () => 0,
        fd_close: () => 0, fd_seek: () => 0, fd_write: () => 0,
      },
    });
    x = instance.exports;
  };
  start();
  const call = (bytes, work) => {
    let failed = true;
    const input = x.malloc(bytes.length);
    const meta = x.malloc(16);
    const handle = x.tjInitDecompress();
    try {
      if (!input || !meta || !handle) return null;
      new Uint8Array(x.memory.buffer, input, bytes.length).set(bytes);
      if (x.tjDecompressHeader3(handle, input, bytes.length, meta, meta + 4, meta + 8, meta + 12) !== 0) return null;
      const [width, height, , colourspace] = new Int32Array(x.memory.buffer, meta, 4);
      const cmyk = colourspace === TJCS_CMYK || colourspace === TJCS_YCCK;
      const result = work({ width, height, cmyk, handle, input });
      failed = false;
      return result;
    } catch (e) {
      if (!(e instanceof LongJump) && !(e instanceof WebAssembly.RuntimeError) && !(e instanceof RangeError)) throw e;
      return null;
    } finally {
      if (failed) {
        start();
      } else {
        x.tjDestroy(handle);
        x.free(meta);
        x.free(input);
      }
    }
  };
  return {
    // { width, height, cmyk, adobe } or a refusal: 'damaged', 'large'.
    header(bytes) {
      const markers = jpegMarkers(bytes);
      if (!markers) return 'damaged';
      if (markers.width > kMaxSide || markers.height > kMaxSide) return 'large';
      if (markers.scans > kMaxScans) return 'damaged';
      const head = call(bytes, ({ width, height, cmyk }) => ({ width, height, cmyk }));
      return head ? { ...head, adobe: markers.adobe } : 'damaged';
    },
    // { width, height, data: RGB, or CMYK as the file holds it } or null.
    // TurboJPEG's -1 without an error is a warning (a truncated file, data
    // after its end): the picture is as libjpeg made it, as on the desktop.
    decode(bytes) {
      return call(bytes, ({ width, height, cmyk, handle, input }) => {
        const size = width * height * (cmyk ? 4 : 3);
        const out = x.malloc(size);
        if (!out) return null;
        x.tjDecompress2(handle, input, bytes.length, out, width, 0, height, cmyk ? TJPF_CMYK : TJPF_RGB, 0);
        const data = new Uint8Array(x.memory.buffer, out, size).slice();
        x.free(out);
        return { width, height, data };
      });
    },
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
