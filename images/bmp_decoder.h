// Our own reader for Windows and OS/2 bitmap files.
#pragma once

#include <string_view>

#include "images/decode_result.h"
#include "skin/picture.h"

// Decodes a BMP file of any common kind. A refusal leaves `out` untouched;
// a picture of more than `allowance` pixels is refused before it is decoded.
DecodeResult DecodeBmp(std::string_view bytes, Picture& out, long long allowance = kMaxImagePixels);
