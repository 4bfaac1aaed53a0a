#include "images/bmp_writer.h"

#include <cstdint>

namespace {

void Put16(std::string& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<char>(v & 255);
  b[at + 1] = static_cast<char>((v >> 8) & 255);
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xffff);
  Put16(b, at + 2, v >> 16);
}

// The 14-byte file header and the 40-byte information header.
void PutHeader(std::string& b, const Picture& p, unsigned bits, std::uint32_t dataSize, std::uint32_t resolution) {
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(p.width));
  Put32(b, 22, static_cast<std::uint32_t>(p.height));
  Put16(b, 26, 1);
  Put16(b, 28, bits);
  Put32(b, 34, dataSize);
  Put32(b, 38, resolution);
  Put32(b, 42, resolution);
}

}  // namespace

std::string EncodeBmp16(const Picture& p) {
  const std::size_t stride = std::size_t(p.width) * 2 + (p.width % 2 ? 2 : 0);
  const std::size_t dataSize = stride * std::size_t(p.height) + 2;
  std::string b(54 + dataSize, '\0');
  PutHeader(b, p, 16, static_cast<std::uint32_t>(dataSize), 2834);
  auto* out = reinterpret_cast<std::uint8_t*>(b.data()) + 54;
  for (int r = 0; r < p.height; ++r, out += stride) {
    const Rgb24* src = p.row(p.height - 1 - r);
    std::uint8_t* d = out;
    for (int x = 0; x < p.width; ++x, d += 2) {
      const unsigned v = ((src[x].r & 0xF8u) << 7) | ((src[x].g & 0xF8u) << 2) | ((src[x].b & 0xF8u) >> 3);
      d[0] = static_cast<std::uint8_t>(v & 255);
      d[1] = static_cast<std::uint8_t>(v >> 8);
    }
  }
  return b;
}

std::string EncodeBmp24(const Picture& p) {
  const std::size_t stride = (std::size_t(p.width) * 3 + 3) & ~std::size_t(3);
  const std::size_t dataSize = stride * std::size_t(p.height);
  std::string b(54 + dataSize, '\0');
  PutHeader(b, p, 24, static_cast<std::uint32_t>(dataSize), 0);
  auto* out = reinterpret_cast<std::uint8_t*>(b.data()) + 54;
  for (int r = 0; r < p.height; ++r, out += stride) {
    const Rgb24* src = p.row(p.height - 1 - r);
    for (int x = 0; x < p.width; ++x) {
      out[x * 3] = src[x].b;
      out[x * 3 + 1] = src[x].g;
      out[x * 3 + 2] = src[x].r;
    }
  }
  return b;
}
