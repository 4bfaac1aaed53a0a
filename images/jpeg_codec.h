// JPEG through libjpeg.
#pragma once

#include <string>
#include <string_view>

#include "images/decode_result.h"
#include "skin/picture.h"

bool IsJpeg(std::string_view bytes);

// Baseline and progressive; RGB, greyscale, CMYK and YCCK.
DecodeResult DecodeJpeg(std::string_view bytes, Picture& out);

// Three components from RGB, libjpeg's defaults with the given quality.
bool EncodeJpeg(const Picture& picture, int quality, std::string& out);
