// Screenshot files: PNG, 24-bit BMP or JPEG.
#pragma once

#include <string>

#include "skin/picture.h"

enum class ScreenshotFormat { Png, Bmp, Jpeg };

// The bytes of the picture in that format (PNG: RGBA, level 9, no filter;
// BMP: 24 bits, bottom-up; JPEG: quality 70).
std::string EncodeScreenshot(const Picture& picture, ScreenshotFormat format);

// Writes the file through a temporary name; false when it could not be written.
bool WriteScreenshotFile(const Picture& picture, ScreenshotFormat format, const std::string& path);

// The file a screenshot goes to: the chosen name, with the format's extension
// appended unless the name already ends in it. Only ".png", ".bmp" and ".jpg"
// (lower case) count as extensions; a name with any other extension gives
// nothing (nothing is written). The extension is taken from the file name,
// so a dot in a folder name does not count.
#include <optional>
std::optional<std::string> ScreenshotFileName(const std::string& chosen, ScreenshotFormat format);
