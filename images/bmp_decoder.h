// Our own reader for Windows and OS/2 bitmap files.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "images/decode_result.h"
#include "skin/picture.h"

// Decodes a BMP file of any common kind. A refusal leaves `out` untouched;
// a picture of more than `allowance` pixels is refused before it is decoded.
DecodeResult DecodeBmp(std::string_view bytes, Picture& out, long long allowance = kMaxImagePixels);

// The same, for an import: every pixel keeps its colour, and `alpha` gets
// one byte a pixel (0..255 whatever the file's alpha width), or stays empty
// when the file has no alpha or every pixel is opaque.
DecodeResult DecodeBmp(std::string_view bytes, Picture& out, std::vector<std::uint8_t>& alpha,
                       long long allowance = kMaxImagePixels);
