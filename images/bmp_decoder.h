// Our own reader for Windows and OS/2 bitmap files.
#pragma once

#include <string_view>

#include "images/picture.h"

// Decodes a BMP file of any common kind. Returns false (and leaves `out` untouched) when the bytes are not a BMP it can read.
bool DecodeBmp(std::string_view bytes, Picture& out);

// Limits shared with the other decoders.
inline constexpr int kMaxImageDimension = 16384;
inline constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;
