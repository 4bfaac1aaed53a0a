// PNG files: the pictures made of a decoder's rows, the same on every platform
// (the decoding itself is the platform's, platform/picture_codecs.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "images/decode_result.h"
#include "skin/picture.h"

bool IsPng(std::string_view bytes);

// Any colour type and depth, palettes with transparency, 16-bit, interlaced.
// Pixels whose alpha is below 128 become the key green (0, 248, 0). A picture
// of more than `allowance` pixels is refused before it is decoded.
DecodeResult DecodePng(std::string_view bytes, Picture& out, long long allowance = kMaxImagePixels);

// The same, for an import: every pixel keeps its colour, and `alpha` gets
// one byte a pixel, or stays empty when every pixel is opaque.
DecodeResult DecodePng(std::string_view bytes, Picture& out, std::vector<std::uint8_t>& alpha,
                       long long allowance = kMaxImagePixels);

// One of the program's own pictures (platform/picture_codecs.h
// DecodeBuiltinPngRows): as DecodePng reads it.
DecodeResult DecodeBuiltinPng(std::string_view bytes, Picture& out);

// 8-bit RGBA, every pixel opaque, not interlaced, compression level 9, no row filter.
bool EncodePng(const Picture& picture, std::string& out);
