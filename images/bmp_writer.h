// The BMP files the editor writes.
#pragma once

#include <string>

#include "skin/picture.h"

// A skin picture as the console reads it: 16 bits per pixel (5-5-5, red in
// bits 10-14), bottom-up rows padded to 4 bytes, two zero bytes after the
// last row. 54 + rows + 2 bytes.
std::string EncodeBmp16(const Picture& picture);

// An uncompressed 24-bit BMP (blue, green, red; bottom-up), for screenshots.
std::string EncodeBmp24(const Picture& picture);
