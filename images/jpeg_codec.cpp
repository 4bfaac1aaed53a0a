#include "images/jpeg_codec.h"

#include <cstdint>
#include <vector>

#include "platform/picture_codecs.h"

namespace {

// Huffman coding spends at least one bit on each 8 x 8 block, so a complete
// file holds at most 512 pixels per byte; twice that leaves room for
// arithmetic coding. A header claiming more than its file can hold would
// make the decoder allocate the whole picture (and for progressive files all
// of its coefficients) before the data run out.
constexpr long long kJpegPixelsPerByte = 1024;

// Makes the picture of the rows a decoder hands over, once its size is
// within the limits, the allowance and what the file's bytes can hold.
class JpegPicture final : public RowSink {
 public:
  JpegPicture(std::size_t fileBytes, long long allowance) : fileBytes_(fileBytes), allowance_(allowance) {}

  bool Begin(const RowLayout& layout) override {
    const long long pixels = static_cast<long long>(layout.width) * layout.height;
    verdict_ = CheckPictureLimits(layout.width, layout.height, allowance_).kind;
    const bool known = layout.bitDepth == 8 &&
                       (layout.samples == RowLayout::Samples::Rgb || layout.samples == RowLayout::Samples::Cmyk);
    if (verdict_ == DecodeResult::Ok && (pixels == 0 || !BytesCanHold(fileBytes_, pixels, kJpegPixelsPerByte) || !known)) {
      verdict_ = DecodeResult::Unreadable;
    }
    if (verdict_ != DecodeResult::Ok) return false;
    layout_ = layout;
    picture = Picture(static_cast<int>(layout.width), static_cast<int>(layout.height));
    return true;
  }

  void Row(std::uint32_t row, std::uint32_t x, std::uint32_t step, std::uint32_t count,
           const std::uint8_t* s) override {
    if (row >= layout_.height || x >= layout_.width || step == 0 || count > (layout_.width - x + step - 1) / step) return;
    Rgb24* dst = picture.row(static_cast<int>(row)) + x;
    if (layout_.samples == RowLayout::Samples::Rgb) {
      for (std::uint32_t i = 0; i < count; ++i, s += 3, dst += step) *dst = {s[0], s[1], s[2]};
      return;
    }
    // Adobe writes CMYK inverted (0 = full ink); others store it plainly.
    for (std::uint32_t i = 0; i < count; ++i, s += 4, dst += step) {
      unsigned c = s[0], m = s[1], y = s[2], k = s[3];
      if (!layout_.adobeInverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      *dst = {static_cast<std::uint8_t>(c * k / 255), static_cast<std::uint8_t>(m * k / 255),
              static_cast<std::uint8_t>(y * k / 255)};
    }
  }

  DecodeResult::Kind verdict() const { return verdict_; }
  Picture picture;

 private:
  std::size_t fileBytes_;
  long long allowance_;
  DecodeResult::Kind verdict_ = DecodeResult::Unreadable;
  RowLayout layout_;
};

}  // namespace

bool IsJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF;
}

DecodeResult DecodeJpeg(std::string_view bytes, Picture& out, long long allowance) {
  if (!IsJpeg(bytes)) return {DecodeResult::Unreadable};
  JpegPicture sink(bytes.size(), allowance);
  switch (DecodeJpegRows(bytes, sink)) {
    case CodecStatus::Ok: out = std::move(sink.picture); return {DecodeResult::Ok};
    case CodecStatus::Refused: return {sink.verdict()};
    case CodecStatus::TooLarge: return {DecodeResult::TooLarge};
    case CodecStatus::Damaged: break;
  }
  return {DecodeResult::Unreadable};
}

bool EncodeJpeg(const Picture& picture, int quality, std::string& out) {
  if (picture.empty()) return false;
  std::string encoded;
  const bool ok = EncodeJpegRows(static_cast<std::uint32_t>(picture.width), static_cast<std::uint32_t>(picture.height),
                                 quality,
                                 [&picture](std::uint32_t y, std::uint8_t* d) {
                                   const Rgb24* src = picture.row(static_cast<int>(y));
                                   for (int x = 0; x < picture.width; ++x) {
                                     *d++ = src[x].r;
                                     *d++ = src[x].g;
                                     *d++ = src[x].b;
                                   }
                                 },
                                 encoded);
  if (ok) out = std::move(encoded);
  return ok;
}
