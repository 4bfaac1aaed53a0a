// Turning the bytes of a picture file into a skin picture.
#pragma once

#include <optional>
#include <string_view>

#include "images/decode_result.h"
#include "images/fit.h"
#include "skin/picture.h"

// A 16-bit uncompressed BMP is read directly (its colours are 15-bit already);
// anything else is decoded by its content as BMP, PNG or JPEG and, when
// `reduce` is set, reduced to 15-bit colour. The file name plays no part.
std::optional<Picture> DecodeSkinImage(std::string_view bytes, bool reduce);

// The same, telling a picture over the size limits from a file that cannot
// be read; `out` changes only on success. A picture of more than `allowance`
// pixels (what the skin still has room for) is refused as OverBudget before
// it is decoded.
DecodeResult DecodeSkinImage(std::string_view bytes, bool reduce, Picture& out,
                             long long allowance = kMaxImagePixels);

// For an import, which fits the picture to size before it keys and reduces
// it: the file's own colours, its alpha when any pixel is not opaque, and
// `direct16` for a 16-bit uncompressed BMP read by the direct path. Limits
// and refusals as above; `out` changes only on success.
DecodeResult DecodeSource(std::string_view bytes, SourcePicture& out, long long allowance = kMaxImagePixels);

// The number of pixels a BMP or PNG file's header claims, from its first 64
// bytes; nothing for other files (their size is only known to their
// decoder). It lets a reader refuse a picture over its budget before it
// reads or inflates the rest of the file.
std::optional<long long> ClaimedPixels(std::string_view head);

// The direct path alone: nullopt when the bytes are not a 16-bit
// uncompressed BMP or do not hold all of their rows.
std::optional<Picture> DecodeBmp16Direct(std::string_view bytes);
bool IsBmp16Direct(std::string_view bytes);
