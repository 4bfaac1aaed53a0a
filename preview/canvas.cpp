#include "preview/canvas.h"

#include <algorithm>
#include <cstring>

#include "preview/font.h"
#include "preview/screen_trace.h"

namespace {

bool IsKeyGreen(const Rgb24& c) { return c.r == 0 && c.b == 0 && (c.g == 248 || c.g == 255); }

struct Span {
  std::int64_t begin, end;  // half-open
};

// The part of [start, start + length) that lies within [0, limit).
Span Clip(std::int64_t start, std::int64_t length, std::int64_t limit) {
  if (length <= 0) return {0, 0};
  const std::int64_t b = std::max<std::int64_t>(start, 0);
  const std::int64_t e = std::min<std::int64_t>(start + length, limit);
  return e > b ? Span{b, e} : Span{0, 0};
}

// Where a primitive notes what it drew. On an untraced canvas it notes
// nothing, and the drawing compiles to what it is without traces.
struct NoTags {
  void Row(std::int64_t, std::int64_t) {}
  void Set(std::int64_t) {}
  void Fill(std::int64_t, std::int64_t) {}
};

// On a traced canvas: one tag for everything one primitive call draws.
class Tags {
 public:
  Tags(Canvas& canvas, PixelTag tag)
      : tags_(canvas.trace->tags.data()), width_(std::size_t(canvas.picture.width)), tag_(tag) {}
  void Row(std::int64_t y, std::int64_t x) { row_ = tags_ + std::size_t(y) * width_ + std::size_t(x); }
  void Set(std::int64_t i) { row_[i] = tag_; }
  void Fill(std::int64_t begin, std::int64_t end) { std::fill(row_ + begin, row_ + end, tag_); }

 private:
  PixelTag* tags_;
  std::size_t width_;
  PixelTag tag_;
  PixelTag* row_ = nullptr;
};

template <typename Tagger>
void DrawPictureRows(Picture& target, const Picture& image, std::int64_t x, std::int64_t y, Blit mode,
                     Tagger tags) {
  const Span cols = Clip(x, image.width, target.width);
  const Span rows = Clip(y, image.height, target.height);
  const std::size_t n = static_cast<std::size_t>(cols.end - cols.begin);
  if (n == 0 || rows.end <= rows.begin) return;
  for (std::int64_t ty = rows.begin; ty < rows.end; ++ty) {
    const Rgb24* src = image.row(static_cast<int>(ty - y)) + (cols.begin - x);
    Rgb24* dst = target.row(static_cast<int>(ty)) + cols.begin;
    tags.Row(ty, cols.begin);
    if (mode == Blit::Opaque) {
      std::memcpy(dst, src, n * sizeof(Rgb24));
      tags.Fill(0, std::int64_t(n));
    } else {
      for (std::size_t i = 0; i < n; ++i) {
        if (!IsKeyGreen(src[i])) dst[i] = src[i], tags.Set(std::int64_t(i));
      }
    }
  }
}

// Draws `image`; on a traced canvas its pixels count as pixels of `shown`
// (the image itself, or the skin picture a scratch was cut from).
void DrawPicture(Canvas& canvas, const Picture& image, const Picture& shown, std::int64_t x, std::int64_t y,
                 Blit mode) {
  if (image.empty() || image.pixels.size() != std::size_t(image.width) * std::size_t(image.height)) return;
  if (canvas.trace) {
    DrawPictureRows(canvas.picture, image, x, y, mode, Tags(canvas, canvas.trace->TagOf(shown)));
  } else {
    DrawPictureRows(canvas.picture, image, x, y, mode, NoTags());
  }
}

template <typename Tagger>
void PutTextPixels(Picture& target, std::int64_t x, std::int64_t y, std::string_view text, Rgb24 colour,
                   Tagger tags) {
  const PixelFont& font = PreviewFont();
  std::int64_t pen = x;
  ForEachCodePoint(text, [&](char32_t cp, std::size_t, std::size_t) {
    const Glyph* g = font.Find(cp);
    if (!g) return;
    const Span cols = Clip(pen, g->advance, target.width);
    const Span rows = Clip(y, PixelFont::kCellHeight, target.height);
    for (std::int64_t ty = rows.begin; ty < rows.end; ++ty) {
      const unsigned bits = g->rows[static_cast<std::size_t>(ty - y)];
      if (!bits) continue;
      Rgb24* dst = target.row(static_cast<int>(ty));
      tags.Row(ty, 0);
      for (std::int64_t tx = cols.begin; tx < cols.end; ++tx) {
        if (bits & (1u << (tx - pen))) dst[tx] = colour, tags.Set(tx);
      }
    }
    pen += g->advance;
  });
}

template <typename Tagger>
void FillRows(Picture& target, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb24 colour,
              Tagger tags) {
  const Span cols = Clip(x, w, target.width);
  const Span rows = Clip(y, h, target.height);
  for (std::int64_t ty = rows.begin; ty < rows.end; ++ty) {
    std::fill(target.row(static_cast<int>(ty)) + cols.begin, target.row(static_cast<int>(ty)) + cols.end, colour);
    tags.Row(ty, 0);
    tags.Fill(cols.begin, cols.end);
  }
}

}  // namespace

void DrawSkinImage(Canvas& canvas, const Picture& image, std::int64_t x, std::int64_t y, Blit mode) {
  DrawPicture(canvas, image, image, x, y, mode);
}

void DrawBackground(Canvas& canvas, const Picture& image) { DrawSkinImage(canvas, image, 0, 0, Blit::Opaque); }

void PutText(Canvas& canvas, std::int64_t x, std::int64_t y, std::string_view text, const Rgb24& colour) {
  if (canvas.trace) {
    PutTextPixels(canvas.picture, x, y, text, colour, Tags(canvas, canvas.trace->TagOf(colour)));
  } else {
    PutTextPixels(canvas.picture, x, y, text, colour, NoTags());
  }
}

int MeasureText(std::string_view text) {
  const PixelFont& font = PreviewFont();
  int width = 0;
  ForEachCodePoint(text, [&](char32_t cp, std::size_t, std::size_t) {
    if (const Glyph* g = font.Find(cp)) width += g->advance;
  });
  return width;
}

std::string FitText(std::string_view text, std::int64_t limit) {
  // Widths of the prefixes, so that shortening costs one pass.
  std::vector<std::size_t> ends;  // byte end of each character
  std::vector<int> widths;        // width of the text up to that character
  int width = 0;
  const PixelFont& font = PreviewFont();
  ForEachCodePoint(text, [&](char32_t cp, std::size_t at, std::size_t len) {
    if (const Glyph* g = font.Find(cp)) width += g->advance;
    ends.push_back(at + len);
    widths.push_back(width);
  });
  std::size_t keep = ends.size();
  do {
    if (keep == 0) break;
    --keep;
  } while (keep > 0 && widths[keep - 1] >= limit);
  return std::string(text.substr(0, keep == 0 ? 0 : ends[keep - 1]));
}

void FillBox(Canvas& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Rgb24& colour) {
  if (canvas.trace) {
    FillRows(canvas.picture, x, y, w, h, colour, Tags(canvas, canvas.trace->TagOf(colour)));
  } else {
    FillRows(canvas.picture, x, y, w, h, colour, NoTags());
  }
}

void DrawLine(Canvas& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Rgb24& colour) {
  FillBox(canvas, x, y, w, h, colour);
}

Scratch Grab(const Picture& image, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  Scratch s;
  const Span cols = Clip(x, w, image.width);
  const Span rows = Clip(y, h, image.height);
  if (cols.end <= cols.begin || rows.end <= rows.begin || image.empty()) return s;
  s.picture = Picture(static_cast<int>(cols.end - cols.begin), static_cast<int>(rows.end - rows.begin));
  for (std::int64_t r = rows.begin; r < rows.end; ++r) {
    std::memcpy(s.picture.row(static_cast<int>(r - rows.begin)), image.row(static_cast<int>(r)) + cols.begin,
                std::size_t(s.picture.width) * sizeof(Rgb24));
  }
  s.offsetX = cols.begin - x;
  s.offsetY = rows.begin - y;
  s.origin = &image;
  return s;
}

void DrawScratch(Canvas& canvas, const Scratch& scratch, std::int64_t x, std::int64_t y) {
  DrawPicture(canvas, scratch.picture, scratch.origin ? *scratch.origin : scratch.picture, x + scratch.offsetX,
              y + scratch.offsetY, Blit::GreenKey);
}

ElementScope::ElementScope(Canvas& canvas, const void* record) : trace_(canvas.trace) {
  if (trace_) outer_ = trace_->Enter(record);
}

ElementScope::~ElementScope() {
  if (trace_) trace_->Leave(outer_);
}

void DrawMenuFrame(Canvas& canvas, const Skin& skin) {
  const std::int64_t mx = skin.startMenu.x, my = skin.startMenu.y;
  const Picture& left = skin.image(ImageId::form_L);
  const Picture& middle = skin.image(ImageId::form_M);
  const Picture& right = skin.image(ImageId::form_R);
  DrawSkinImage(canvas, left, mx, my, Blit::GreenKey);
  // A middle piece without width cannot be repeated; the frame then has none.
  if (middle.width > 0) {
    const std::int64_t n = (108 - std::int64_t(right.width) - left.width) / middle.width;
    // Pieces wholly right of the screen change nothing: stop there.
    for (std::int64_t i = 0; i <= n; ++i) {
      const std::int64_t px = mx + left.width + i * middle.width;
      if (px >= kScreenWidth) break;
      DrawSkinImage(canvas, middle, px, my, Blit::GreenKey);
    }
  }
  DrawSkinImage(canvas, right, mx + 108 - right.width, my, Blit::GreenKey);
}

void DrawTitleBar(Canvas& canvas, const Skin& skin, std::int64_t tx, std::int64_t ty, std::int64_t m0,
                  std::int64_t m1, std::int64_t rx) {
  const Picture& bg = skin.image(ImageId::title_bg);
  DrawSkinImage(canvas, skin.image(ImageId::title_left), tx, ty, Blit::GreenKey);
  // Copies that start left of the screen by more than their width, or right
  // of it, draw nothing; skip them so a wild position costs no time.
  const std::int64_t first = std::max<std::int64_t>(m0, -std::int64_t(bg.width));
  const std::int64_t last = std::min<std::int64_t>(m1, kScreenWidth - 1);
  for (std::int64_t x = first; x <= last; ++x) DrawSkinImage(canvas, bg, x, ty, Blit::Opaque);
  DrawSkinImage(canvas, skin.image(ImageId::title_right), rx, ty, Blit::GreenKey);
}

std::int64_t MarkerAnchor(std::int64_t height) { return height / 2 + 1 + (height % 2 != 0 ? 1 : 0); }

void DrawBigClock(Canvas& canvas, const Skin& skin) {
  if (skin.bigClock.show != 1) return;
  ElementScope at(canvas, skin.bigClock);
  const Picture& digits = skin.image(ImageId::clock_numbers);
  const std::int64_t dh = digits.height / 10, dw = digits.width;
  const std::int64_t cx = skin.bigClock.x, cy = skin.bigClock.y;
  const std::int64_t cw = skin.image(ImageId::clock_colon).width;
  const auto digit = [&](int d, std::int64_t x) { DrawScratch(canvas, Grab(digits, 0, d * dh, dw, dh), x, cy); };
  digit(1, cx);
  digit(2, cx + dw);
  DrawSkinImage(canvas, skin.image(ImageId::clock_colon), cx + 2 * dw, cy, Blit::GreenKey);
  digit(3, cx + 2 * dw + cw);
  digit(4, cx + 3 * dw + cw);
}
