// JPEG files: the pictures made of a decoder's rows, the same on every
// platform (the decoding itself is the platform's, platform/picture_codecs.h).
#pragma once

#include <string>
#include <string_view>

#include "images/decode_result.h"
#include "skin/picture.h"

bool IsJpeg(std::string_view bytes);

// Baseline and progressive; RGB, greyscale, CMYK and YCCK. A picture of more
// than `allowance` pixels is refused before it is decoded.
DecodeResult DecodeJpeg(std::string_view bytes, Picture& out, long long allowance = kMaxImagePixels);

// Three components from RGB, the encoder's defaults at the given quality.
bool EncodeJpeg(const Picture& picture, int quality, std::string& out);
