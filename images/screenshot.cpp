#include "images/screenshot.h"

#include "images/bmp_writer.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"
#include "platform/file_io.h"

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

std::optional<std::string> ScreenshotFileName(const std::string& chosen, ScreenshotFormat format) {
  const std::size_t slash = chosen.find_last_of('/');
  const std::string name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  const char* wanted = format == ScreenshotFormat::Png ? "png" : format == ScreenshotFormat::Bmp ? "bmp" : "jpg";
  if (extension == wanted) return chosen;
  if (extension.empty() || extension == "png" || extension == "bmp" || extension == "jpg") {
    return chosen + "." + wanted;
  }
  return std::nullopt;
}
