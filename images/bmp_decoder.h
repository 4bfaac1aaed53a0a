// Our own reader for Windows and OS/2 bitmap files.
#pragma once

#include <string_view>

#include "images/picture_limits.h"
#include "skin/picture.h"

// Decodes a BMP file of any common kind. Returns false (and leaves `out` untouched) when the bytes are not a BMP it can read.
bool DecodeBmp(std::string_view bytes, Picture& out);
