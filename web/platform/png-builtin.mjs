// The program's own PNG files (the built-in skin, the hinge, the sample icon,
// the banner: 8-bit RGB or palette, made by the project's tools), read by
// fast-png, whose inflate (fflate) the archives load anyway. The codec of
// the user's files (png.mjs) is then needed only when a user's PNG comes,
// so a page draws its first preview before that codec is fetched. The
// pictures come as the other decoders give them: 8-bit RGBA rows.
import { decode } from 'fast-png';

// { width, height, row(y, into), drop() }, or null for a file it does not read.
export function decodeBuiltinPng(bytes) {
  let png;
  try {
    png = decode(bytes);
  } catch {
    return null;
  }
  const { width, height, data, depth, channels, palette } = png;
  if (depth !== 8 || !(channels === 3 || channels === 4 || (channels === 1 && palette))) return null;
  return {
    width,
    height,
    row(y, into) {
      if (y >= height) return false;
      const n = Math.min(width, Math.floor(into.length / 4));
      const from = y * width * channels;
      for (let x = 0; x < n; ++x) {
        const rgba = palette ? palette[data[from + x]] ?? [0, 0, 0] : data.subarray(from + x * channels, from + x * channels + channels);
        into[x * 4] = rgba[0];
        into[x * 4 + 1] = rgba[1];
        into[x * 4 + 2] = rgba[2];
        into[x * 4 + 3] = rgba.length > 3 ? rgba[3] : 255;
      }
      return true;
    },
    drop() {},
  };
}
