// The two console screens and the drawing primitives the preview screens use.
// Everything is clipped to the canvas; no position or size can make a
// primitive read outside a picture or write outside the canvas.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "skin/picture.h"
#include "skin/skin.h"

inline constexpr int kScreenWidth = 256;
inline constexpr int kScreenHeight = 192;

class ScreenTrace;

// A console screen being drawn: 256 x 192, black when new. With a trace
// attached, every pixel a primitive sets also records which skin colour or
// picture it shows and which element records placed the drawing
// (preview/trace.h); without one, drawing costs nothing extra.
struct Canvas {
  Picture picture = Picture(kScreenWidth, kScreenHeight);
  ScreenTrace* trace = nullptr;
};

enum class Blit {
  GreenKey,  // (0, 248, 0) and (0, 255, 0) are left out
  Opaque,
};

// Draws `image` with its top-left corner at (x, y). A picture of the skin is
// recognised as the skin's own by where it lives (skin.image(id)); a copy of
// one is not.
void DrawSkinImage(Canvas& canvas, const Picture& image, std::int64_t x, std::int64_t y, Blit mode);

// Copies `image` unchanged to (0, 0).
void DrawBackground(Canvas& canvas, const Picture& image);

// Text in the preview font, transparent background; (x, y) is the top-left
// corner of the 15-pixel cell. Texts are UTF-8. Colours, like pictures, are
// taken by reference so that a trace can tell which field of the skin they
// are: pass the skin's field itself, not a copy.
void PutText(Canvas& canvas, std::int64_t x, std::int64_t y, std::string_view text, const Rgb24& colour);
int MeasureText(std::string_view text);

// Removes the last character, then keeps removing while the rest is `limit`
// pixels wide or wider. At least one character always goes.
std::string FitText(std::string_view text, std::int64_t limit);

// A horizontal (h = 1) or vertical (w = 1) line; a filled box.
void DrawLine(Canvas& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Rgb24& colour);
void FillBox(Canvas& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Rgb24& colour);

// A rectangle cut out of a skin image. The part of the rectangle that lies
// outside the image is left out; `offsetX/Y` say where the kept part starts
// within the rectangle, so that it is drawn where it would have been.
// `origin` is the image it was cut from, which is what its pixels show.
struct Scratch {
  Picture picture;
  std::int64_t offsetX = 0, offsetY = 0;
  const Picture* origin = nullptr;
};
Scratch Grab(const Picture& image, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);
void DrawScratch(Canvas& canvas, const Scratch& scratch, std::int64_t x, std::int64_t y);

// While it lives, everything drawn on the canvas counts as placed by
// `record` (an element record of the skin, such as skin.startMenu), besides
// the records of the scopes around it. Only a traced canvas notes it.
class ElementScope {
 public:
  template <typename Record>
  ElementScope(Canvas& canvas, const Record& record) : ElementScope(canvas, static_cast<const void*>(&record)) {}
  ~ElementScope();
  ElementScope(const ElementScope&) = delete;
  ElementScope& operator=(const ElementScope&) = delete;

 private:
  ElementScope(Canvas& canvas, const void* record);
  ScreenTrace* trace_;
  std::uint8_t outer_ = 0;
};

// `image` at the place of an element record (its x and y), placed by it.
template <typename Record>
void DrawAt(Canvas& canvas, const Picture& image, const Record& record, Blit mode) {
  ElementScope at(canvas, record);
  DrawSkinImage(canvas, image, record.x, record.y, mode);
}

// The three-part start menu frame, 108 pixels wide, at the start menu's place.
void DrawMenuFrame(Canvas& canvas, const Skin& skin);

// The three-part title bar of a dialog.
void DrawTitleBar(Canvas& canvas, const Skin& skin, std::int64_t tx, std::int64_t ty, std::int64_t m0,
                  std::int64_t m1, std::int64_t rx);

// The vertical anchor of a highlight marker of height h: the marker is drawn
// at (row centre - anchor).
std::int64_t MarkerAnchor(std::int64_t height);

// 12:34 from the digit strip, when the big clock is shown.
void DrawBigClock(Canvas& canvas, const Skin& skin);
