#include "images/decode.h"

#include <cstdint>

#include "images/bmp_decoder.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"
#include "images/reduce.h"

namespace {

std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8);
}
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

}  // namespace

bool IsBmp16Direct(std::string_view b) {
  return b.size() >= 34 && b[0] == 'B' && b[1] == 'M' && U16(b, 28) == 16 && U32(b, 30) == 0;
}

namespace {

DecodeResult ReadBmp16Direct(std::string_view b, Picture& out, long long allowance) {
  constexpr DecodeResult kRefused{DecodeResult::Unreadable};
  if (!IsBmp16Direct(b) || b.size() < 26) return kRefused;
  const std::int32_t width = static_cast<std::int32_t>(U32(b, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(U32(b, 22));
  // A negative height stores the rows top-down; read them so.
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0) return kRefused;
  if (const DecodeResult limits = CheckPictureLimits(width, height, allowance); !limits) return limits;
  const std::uint64_t offset = U32(b, 10);
  const std::uint64_t stride = (std::uint64_t(width) * 2 + 3) & ~std::uint64_t(3);
  if (offset > b.size() || (b.size() - offset) / stride < std::uint64_t(height)) return kRefused;

  Picture pic(width, static_cast<int>(height));
  const auto* data = reinterpret_cast<const std::uint8_t*>(b.data()) + offset;
  for (std::int64_t r = 0; r < height; ++r) {
    const std::uint8_t* s = data + stride * std::uint64_t(r);
    Rgb24* dst = pic.row(static_cast<int>(topDown ? r : height - 1 - r));
    for (std::int32_t x = 0; x < width; ++x, s += 2) {
      const unsigned v = s[0] | (unsigned(s[1]) << 8);
      dst[x] = {static_cast<std::uint8_t>(((v >> 10) & 31) * 8), static_cast<std::uint8_t>(((v >> 5) & 31) * 8),
                static_cast<std::uint8_t>((v & 31) * 8)};
    }
  }
  out = std::move(pic);
  return {DecodeResult::Ok};
}

}  // namespace

std::optional<Picture> DecodeBmp16Direct(std::string_view b) {
  Picture pic;
  if (!ReadBmp16Direct(b, pic, kMaxImagePixels)) return std::nullopt;
  return pic;
}

DecodeResult DecodeSkinImage(std::string_view bytes, bool reduce, Picture& out, long long allowance) {
  if (IsBmp16Direct(bytes)) return ReadBmp16Direct(bytes, out, allowance);
  Picture pic;
  const DecodeResult result = IsPng(bytes)    ? DecodePng(bytes, pic, allowance)
                              : IsJpeg(bytes) ? DecodeJpeg(bytes, pic, allowance)
                                              : DecodeBmp(bytes, pic, allowance);
  if (!result) return result;
  if (reduce) ReduceTo15Bit(pic);
  out = std::move(pic);
  return result;
}

DecodeResult DecodeSource(std::string_view bytes, SourcePicture& out, long long allowance) {
  SourcePicture source;
  DecodeResult result;
  if (IsBmp16Direct(bytes)) {
    result = ReadBmp16Direct(bytes, source.rgb, allowance);
    source.direct16 = true;
  } else if (IsPng(bytes)) {
    result = DecodePng(bytes, source.rgb, source.alpha, allowance);
  } else if (IsJpeg(bytes)) {
    result = DecodeJpeg(bytes, source.rgb, allowance);
  } else {
    result = DecodeBmp(bytes, source.rgb, source.alpha, allowance);
  }
  if (result) out = std::move(source);
  return result;
}

std::optional<Picture> DecodeSkinImage(std::string_view bytes, bool reduce) {
  Picture pic;
  if (!DecodeSkinImage(bytes, reduce, pic)) return std::nullopt;
  return pic;
}

std::optional<long long> ClaimedPixels(std::string_view head) {
  if (IsPng(head) && head.size() >= 24 && head.substr(12, 4) == "IHDR") {
    const auto be32 = [&](std::size_t at) {
      long long v = 0;
      for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(head[at + i]);
      return v;
    };
    return be32(16) * be32(20);
  }
  if (head.size() < 26 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  if (U32(head, 14) == 12) return static_cast<long long>(U16(head, 18)) * U16(head, 20);  // the old core header
  const long long w = static_cast<std::int32_t>(U32(head, 18));
  const long long h = static_cast<std::int32_t>(U32(head, 22));
  return w > 0 && h != 0 ? std::optional(w * (h < 0 ? -h : h)) : std::nullopt;
}
