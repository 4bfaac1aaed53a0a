#include "images/screenshot.h"

#include "images/bmp_writer.h"
#include "images/file_io.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"

std::string EncodeScreenshot(const Picture& picture, ScreenshotFormat format) {
  std::string out;
  switch (format) {
    case ScreenshotFormat::Png: EncodePng(picture, out); break;
    case ScreenshotFormat::Bmp: out = EncodeBmp24(picture); break;
    case ScreenshotFormat::Jpeg: EncodeJpeg(picture, 70, out); break;
  }
  return out;
}

bool WriteScreenshotFile(const Picture& picture, ScreenshotFormat format, const std::string& path) {
  const std::string bytes = EncodeScreenshot(picture, format);
  return !bytes.empty() && ReplaceFile(path, bytes);
}
