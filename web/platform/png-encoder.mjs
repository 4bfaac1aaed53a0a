// PNG files of RGBA rows (screenshots): fast-png's encoder, loaded apart from
// the decoder (only a screenshot needs it). Written in the desktop build's
// form: 8-bit RGBA, not interlaced, every row unfiltered, deflated at the
// highest level (fflate, under fast-png, marks it so in the zlib header).
import { encode } from 'fast-png';

export function encodePng(rgba, width, height) {
  return encode({ width, height, data: rgba, depth: 8, channels: 4 }, { zlib: { level: 9 } });
}
