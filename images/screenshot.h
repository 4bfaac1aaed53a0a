// Screenshot files: PNG, 24-bit BMP or JPEG.
#pragma once

#include <string>

#include "images/picture.h"

enum class ScreenshotFormat { Png, Bmp, Jpeg };

// The bytes of the picture in that format (PNG: RGBA, level 9, no filter;
// BMP: 24 bits, bottom-up; JPEG: quality 70).
std::string EncodeScreenshot(const Picture& picture, ScreenshotFormat format);

// Writes the file through a temporary name; false when it could not be written.
bool WriteScreenshotFile(const Picture& picture, ScreenshotFormat format, const std::string& path);
