#include "preview/scale.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SKIN_SCALE_SSSE3 1
#endif

namespace {

// One scaled row from one source row. Rows are built once per source row
// and then copied as often as they repeat, so the cost that matters is this
// horizontal step.
class RowScaler {
 public:
  RowScaler(int sourceWidth, int width) : sourceWidth_(sourceWidth), width_(width) {
    columns_.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) columns_[std::size_t(x)] = int(std::int64_t(x) * sourceWidth / width);
#ifdef SKIN_SCALE_SSSE3
    PlanShuffles();
#endif
  }

  // Whether this is the plan for these widths.
  bool Scales(int sourceWidth, int width) const { return sourceWidth == sourceWidth_ && width == width_; }

  // `dst` has room for width + 6 pixels: the shuffled path writes whole
  // 16-byte blocks.
  void Scale(const Rgb24* src, Rgb24* dst) {
#ifdef SKIN_SCALE_SSSE3
    if (shuffled_) {
      // The source row is copied with 16 spare bytes, so every 16-byte load
      // stays within our own buffer.
      std::memcpy(padded_.data(), src, std::size_t(sourceWidth_) * 3);
      ShuffleRow(reinterpret_cast<unsigned char*>(dst));
      return;
    }
#endif
    for (int x = 0; x < width_; ++x) dst[x] = src[columns_[std::size_t(x)]];
  }

 private:
#ifdef SKIN_SCALE_SSSE3
  // Each 16-byte block of the target row takes its bytes from a window of
  // at most 16 source bytes: a load at the window's start and one byte
  // shuffle build it. Possible whenever each source pixel repeats at least
  // twice, which holds for every zoom above 1.
  void PlanShuffles() {
    if (!__builtin_cpu_supports("ssse3")) return;
    const int bytes = width_ * 3;
    const int blocks = (bytes + 15) / 16;
    offsets_.resize(std::size_t(blocks));
    masks_.resize(std::size_t(blocks));
    for (int k = 0; k < blocks; ++k) {
      const int first = 3 * columns_[std::size_t(k * 16 / 3)];
      offsets_[std::size_t(k)] = first;
      for (int i = 0; i < 16; ++i) {
        const int b = k * 16 + i;
        int from = 0;
        if (b < bytes) from = 3 * columns_[std::size_t(b / 3)] + b % 3 - first;
        if (from < 0 || from > 15) return;  // too little repetition: scalar path
        masks_[std::size_t(k)][std::size_t(i)] = static_cast<char>(from);
      }
    }
    padded_.assign(std::size_t(sourceWidth_) * 3 + 16, 0);
    shuffled_ = true;
  }

  __attribute__((target("ssse3"))) void ShuffleRow(unsigned char* dst) const {
    const unsigned char* src = padded_.data();
    for (std::size_t k = 0; k < offsets_.size(); ++k) {
      const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + offsets_[k]));
      const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks_[k].data()));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16 * k), _mm_shuffle_epi8(in, mask));
    }
  }

  std::vector<int> offsets_;
  std::vector<std::array<char, 16>> masks_;
  std::vector<unsigned char> padded_;
  bool shuffled_ = false;
#endif
  int sourceWidth_, width_;
  std::vector<int> columns_;
};

// How many target rows repeat each source row: target row y shows source
// row y * sourceHeight / height.
void RowRepeats(std::vector<int>& repeats, int sourceHeight, int height) {
  repeats.assign(static_cast<std::size_t>(sourceHeight), 0);
  for (int y = 0; y < height; ++y) ++repeats[static_cast<std::size_t>(std::int64_t(y) * sourceHeight / height)];
}

}  // namespace

struct ScaleWork::Parts {
  std::unique_ptr<RowScaler> scaler;  // for the last pair of widths
  std::vector<int> rowRepeats;
  std::vector<Rgb24> line;
};

ScaleWork::ScaleWork() : parts_(std::make_unique<Parts>()) {}
ScaleWork::~ScaleWork() = default;
ScaleWork::ScaleWork(ScaleWork&&) noexcept = default;
ScaleWork& ScaleWork::operator=(ScaleWork&&) noexcept = default;

Picture ScaleNearest(const Picture& source, int width, int height) {
  if (source.empty() || width <= 0 || height <= 0) return Picture(std::max(width, 0), std::max(height, 0));
  std::vector<int> rowRepeats;
  RowRepeats(rowRepeats, source.height, height);

  // The output is written once, row after row (no zero fill first).
  Picture out;
  out.width = width;
  out.height = height;
  out.pixels.reserve(std::size_t(width) * std::size_t(height));
  RowScaler scaler(source.width, width);
  std::vector<Rgb24> line(static_cast<std::size_t>(width) + 6);
  for (int sy = 0; sy < source.height; ++sy) {
    if (rowRepeats[static_cast<std::size_t>(sy)] == 0) continue;
    scaler.Scale(source.row(sy), line.data());
    for (int n = rowRepeats[static_cast<std::size_t>(sy)]; n > 0; --n) {
      out.pixels.insert(out.pixels.end(), line.begin(), line.begin() + width);
    }
  }
  return out;
}

void ScaleNearest(const Picture& source, int width, int height, ScaleWork& work, Picture& out) {
  if (source.empty() || width <= 0 || height <= 0) {
    out = Picture(std::max(width, 0), std::max(height, 0));
    return;
  }
  ScaleWork::Parts& p = work.parts();
  RowRepeats(p.rowRepeats, source.height, height);
  if (!p.scaler || !p.scaler->Scales(source.width, width)) p.scaler = std::make_unique<RowScaler>(source.width, width);
  p.line.resize(static_cast<std::size_t>(width) + 6);
  // The memory `out` has: of the same size again, nothing is filled before
  // the rows are written over it.
  out.width = width;
  out.height = height;
  out.pixels.resize(std::size_t(width) * std::size_t(height));
  Rgb24* row = out.pixels.data();
  for (int sy = 0; sy < source.height; ++sy) {
    if (p.rowRepeats[static_cast<std::size_t>(sy)] == 0) continue;
    p.scaler->Scale(source.row(sy), p.line.data());
    for (int n = p.rowRepeats[static_cast<std::size_t>(sy)]; n > 0; --n, row += width) {
      std::memcpy(row, p.line.data(), std::size_t(width) * sizeof(Rgb24));
    }
  }
}

Picture HalfSizePicture(const Picture& p) {
  Picture half;
  half.width = p.width / 2;
  half.height = p.height / 2;
  half.pixels.resize(std::size_t(half.width) * std::size_t(half.height));
  for (int y = 0; y < half.height; ++y) {
    const Rgb24* a = p.row(2 * y);
    const Rgb24* b = p.row(2 * y + 1);
    Rgb24* out = half.row(y);
    for (int x = 0; x < half.width; ++x) {
      const Rgb24 q[4] = {a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]};
      out[x] = Rgb24{static_cast<std::uint8_t>((q[0].r + q[1].r + q[2].r + q[3].r + 2) / 4),
                     static_cast<std::uint8_t>((q[0].g + q[1].g + q[2].g + q[3].g + 2) / 4),
                     static_cast<std::uint8_t>((q[0].b + q[1].b + q[2].b + q[3].b + 2) / 4)};
    }
  }
  return half;
}
