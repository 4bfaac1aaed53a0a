#include "images/fit.h"

#include <algorithm>
#include <array>

#include "images/reduce.h"

namespace {

// Which source pixels make an output pixel along one axis, and how much of
// each. Scaling `src` pixels to `dst`, output pixel X covers [X*src, (X+1)*src)
// in units where source pixel i spans [i*dst, (i+1)*dst): the overlaps are
// whole numbers, at most min(src, dst) each, and add up to `src` for every
// output pixel. Averaging in those units is exact; only the final division
// rounds.
struct AxisMap {
  std::vector<int> first;              // per output pixel: its first source pixel
  std::vector<int> count;              // and how many it takes
  std::vector<std::size_t> offset;     // where its weights start in `weights`
  std::vector<std::uint32_t> weights;  // the overlaps, source pixel by source pixel
};

// The output pixels [from, from + n) of a scale from `src` to `dst`, so that
// a window of a larger scale costs only what the window takes.
AxisMap MapAxis(long long src, long long dst, long long from, int n) {
  AxisMap m;
  m.first.resize(std::size_t(n));
  m.count.resize(std::size_t(n));
  m.offset.resize(std::size_t(n));
  m.weights.reserve(std::size_t(n) * std::size_t(src / dst + 2));
  for (int k = 0; k < n; ++k) {
    const long long start = (from + k) * src, end = start + src;
    const long long first = start / dst, last = (end - 1) / dst;
    m.first[std::size_t(k)] = static_cast<int>(first);
    m.count[std::size_t(k)] = static_cast<int>(last - first + 1);
    m.offset[std::size_t(k)] = m.weights.size();
    for (long long i = first; i <= last; ++i) {
      m.weights.push_back(static_cast<std::uint32_t>(std::min(end, (i + 1) * dst) - std::max(start, i * dst)));
    }
  }
  return m;
}

// Round half up of num / den, den > 0.
std::uint8_t Mean(std::uint64_t num, std::uint64_t den) {
  return static_cast<std::uint8_t>((2 * num + den) / (2 * den));
}

// Scaling by a box filter, rows first: each source row is reduced to the
// output's width once (or twice, for a row shared by two output rows), and
// the reduced rows are summed into the output rows. Only two reduced rows
// are kept, so the memory is that of the result.
class BoxScaler {
 public:
  BoxScaler(const SourcePicture& source, AxisMap xs, AxisMap ys, int width, int height)
      : src_(source), xs_(std::move(xs)), ys_(std::move(ys)), width_(width), height_(height),
        alpha_(!source.alpha.empty()), channels_(alpha_ ? 4 : 3) {
    for (Slot& s : slots_) s.sums.resize(std::size_t(width_) * channels_);
  }

  SourcePicture Run() {
    SourcePicture out;
    out.rgb = Picture(width_, height_);
    if (alpha_) out.alpha.resize(out.rgb.pixels.size());
    // Every output pixel weighs src width x src height units in all.
    const std::uint64_t total = std::uint64_t(src_.width()) * std::uint64_t(src_.height());
    std::vector<std::uint64_t> acc(std::size_t(width_) * channels_);
    for (int y = 0; y < height_; ++y) {
      std::fill(acc.begin(), acc.end(), 0);
      const std::size_t at = ys_.offset[std::size_t(y)];
      for (int k = 0; k < ys_.count[std::size_t(y)]; ++k) {
        const std::uint64_t w = ys_.weights[at + std::size_t(k)];
        const std::uint32_t* sums = Reduced(ys_.first[std::size_t(y)] + k);
        for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += w * sums[i];
      }
      Store(acc, total, out, y);
    }
    return out;
  }

 private:
  struct Slot {
    int row = -1;
    std::vector<std::uint32_t> sums;  // per output column: r, g, b (alpha-weighted with alpha), then alpha
  };

  // Source row `r` reduced to the output's width. A row shared by two
  // output rows is the last of one and the first of the next; rows of
  // alternating parity go to alternating slots, so it is still there.
  const std::uint32_t* Reduced(int r) {
    Slot& slot = slots_[std::size_t(r & 1)];
    if (slot.row == r) return slot.sums.data();
    slot.row = r;
    const Rgb24* px = src_.rgb.row(r);
    std::uint32_t* out = slot.sums.data();
    if (!alpha_) {
      for (int x = 0; x < width_; ++x, out += 3) {
        const Rgb24* p = px + xs_.first[std::size_t(x)];
        const std::uint32_t* w = xs_.weights.data() + xs_.offset[std::size_t(x)];
        std::uint32_t r0 = 0, g0 = 0, b0 = 0;
        for (int k = 0; k < xs_.count[std::size_t(x)]; ++k) {
          r0 += w[k] * p[k].r;
          g0 += w[k] * p[k].g;
          b0 += w[k] * p[k].b;
        }
        out[0] = r0, out[1] = g0, out[2] = b0;
      }
    } else {
      // At most 255 x 255 x 16384 per sum: it fits in 32 bits.
      const std::uint8_t* al = src_.alpha.data() + std::size_t(r) * std::size_t(src_.width());
      for (int x = 0; x < width_; ++x, out += 4) {
        const int first = xs_.first[std::size_t(x)];
        const Rgb24* p = px + first;
        const std::uint8_t* a = al + first;
        const std::uint32_t* w = xs_.weights.data() + xs_.offset[std::size_t(x)];
        std::uint32_t r0 = 0, g0 = 0, b0 = 0, a0 = 0;
        for (int k = 0; k < xs_.count[std::size_t(x)]; ++k) {
          const std::uint32_t wa = w[k] * a[k];
          r0 += wa * p[k].r;
          g0 += wa * p[k].g;
          b0 += wa * p[k].b;
          a0 += wa;
        }
        out[0] = r0, out[1] = g0, out[2] = b0, out[3] = a0;
      }
    }
    return slot.sums.data();
  }

  void Store(const std::vector<std::uint64_t>& acc, std::uint64_t total, SourcePicture& out, int y) const {
    Rgb24* dst = out.rgb.row(y);
    if (!alpha_) {
      for (int x = 0; x < width_; ++x) {
        const std::uint64_t* s = acc.data() + std::size_t(x) * 3;
        dst[x] = {Mean(s[0], total), Mean(s[1], total), Mean(s[2], total)};
      }
      return;
    }
    std::uint8_t* a = out.alpha.data() + std::size_t(y) * std::size_t(width_);
    for (int x = 0; x < width_; ++x) {
      const std::uint64_t* s = acc.data() + std::size_t(x) * 4;
      // Colour weighted by alpha: where nothing is opaque the colour is
      // nobody's, and black is as good as any.
      dst[x] = s[3] == 0 ? Rgb24{} : Rgb24{Mean(s[0], s[3]), Mean(s[1], s[3]), Mean(s[2], s[3])};
      a[x] = Mean(s[3], total);
    }
  }

  const SourcePicture& src_;
  AxisMap xs_, ys_;
  int width_, height_;
  bool alpha_;
  std::size_t channels_;
  std::array<Slot, 2> slots_;
};

// A window of the result: the picture scaled to fullWidth x fullHeight, of
// which the width x height pixels from (left, top) are made. An enlargement
// by whole factors repeats pixels, transparent ones with their colour.
SourcePicture ScaleWindow(const SourcePicture& source, long long fullWidth, long long fullHeight, long long left,
                          long long top, int width, int height) {
  const long long sw = source.width(), sh = source.height();
  SourcePicture out;
  if (fullWidth % sw == 0 && fullHeight % sh == 0) {
    const long long fx = fullWidth / sw, fy = fullHeight / sh;
    out.rgb = Picture(width, height);
    if (!source.alpha.empty()) out.alpha.resize(out.rgb.pixels.size());
    for (int y = 0; y < height; ++y) {
      const int sy = static_cast<int>((top + y) / fy);
      for (int x = 0; x < width; ++x) {
        const std::size_t from = std::size_t(sy) * std::size_t(sw) + std::size_t((left + x) / fx);
        out.rgb.at(x, y) = source.rgb.pixels[from];
        if (!out.alpha.empty()) out.alpha[std::size_t(y) * std::size_t(width) + std::size_t(x)] = source.alpha[from];
      }
    }
    // Cut but not scaled: the colours are still the file's 15-bit ones.
    out.direct16 = source.direct16 && fx == 1 && fy == 1;
  } else {
    out = BoxScaler(source, MapAxis(sw, fullWidth, left, width), MapAxis(sh, fullHeight, top, height), width, height)
              .Run();
  }
  if (std::all_of(out.alpha.begin(), out.alpha.end(), [](std::uint8_t a) { return a == 255; })) out.alpha.clear();
  return out;
}

bool Usable(const SourcePicture& source) {
  return !source.rgb.empty() && source.rgb.pixels.size() == std::size_t(source.width()) * std::size_t(source.height()) &&
         (source.alpha.empty() || source.alpha.size() == source.rgb.pixels.size());
}

}  // namespace

SourcePicture ScalePicture(const SourcePicture& source, int width, int height) {
  if (!Usable(source) || width < 1 || height < 1) return {};
  return ScaleWindow(source, width, height, 0, 0, width, height);
}

SourcePicture FitPicture(const SourcePicture& source, int width, int height, FitMode mode) {
  if (mode == FitMode::Keep) return source;
  if (mode == FitMode::Stretch) return ScalePicture(source, width, height);
  if (!Usable(source) || width < 1 || height < 1) return {};
  // The smaller factor that still covers both sides, the scaled side
  // rounded up so that it covers; the window is never scaled larger than it
  // shows, so a sliver of a picture costs no more than a square one.
  const long long w = source.width(), h = source.height();
  long long fullWidth = width, fullHeight = height;
  if (static_cast<long long>(width) * h >= static_cast<long long>(height) * w) {
    fullHeight = (h * width + w - 1) / w;
  } else {
    fullWidth = (w * height + h - 1) / h;
  }
  return ScaleWindow(source, fullWidth, fullHeight, (fullWidth - width) / 2, (fullHeight - height) / 2, width,
                     height);
}

Picture FinishPicture(SourcePicture source, AlphaReport* report) {
  Picture picture = std::move(source.rgb);
  AlphaReport counted;
  if (!source.alpha.empty() && source.alpha.size() == picture.pixels.size()) {
    for (std::size_t i = 0; i < source.alpha.size(); ++i) {
      const std::uint8_t a = source.alpha[i];
      if (a > 0 && a < 255) {
        ++counted.halfTransparent;
        if (a >= 128) ++counted.keptOpaque;
      }
      if (a < 128) picture.pixels[i] = kKeyGreen;
    }
  }
  if (!source.direct16) ReduceTo15Bit(picture);
  if (report) *report = counted;
  return picture;
}
