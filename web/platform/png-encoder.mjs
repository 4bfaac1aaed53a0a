// PNG files of RGBA rows (screenshots): fast-png's encoder, whose files are
// small. Loaded apart from the decoder: only a screenshot needs it.
import { encode } from 'fast-png';

export function encodePng(rgba, width, height) {
  return encode({ width, height, data: rgba, depth: 8, channels: 4 });
}
