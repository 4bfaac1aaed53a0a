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

// A fresh 256 x 192 canvas, black.
inline Picture NewScreenCanvas() { return Picture(kScreenWidth, kScreenHeight); }

enum class Blit {
  GreenKey,  // (0, 248, 0) and (0, 255, 0) are left out
  Opaque,
};

// Draws `image` with its top-left corner at (x, y).
void DrawSkinImage(Picture& canvas, const Picture& image, std::int64_t x, std::int64_t y, Blit mode);

// Copies `image` unchanged to (0, 0).
void DrawBackground(Picture& canvas, const Picture& image);

// Text in the preview font, transparent background; (x, y) is the top-left
// corner of the 15-pixel cell. Texts are UTF-8.
void PutText(Picture& canvas, std::int64_t x, std::int64_t y, std::string_view text, Rgb24 colour);
int MeasureText(std::string_view text);

// Removes the last character, then keeps removing while the rest is `limit`
// pixels wide or wider. At least one character always goes.
std::string FitText(std::string_view text, std::int64_t limit);

// A horizontal (h = 1) or vertical (w = 1) line; a filled box.
void DrawLine(Picture& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb24 colour);
void FillBox(Picture& canvas, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb24 colour);

// A rectangle cut out of a skin image. The part of the rectangle that lies
// outside the image is left out; `offsetX/Y` say where the kept part starts
// within the rectangle, so that it is drawn where it would have been.
struct Scratch {
  Picture picture;
  std::int64_t offsetX = 0, offsetY = 0;
};
Scratch Grab(const Picture& image, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);
void DrawScratch(Picture& canvas, const Scratch& scratch, std::int64_t x, std::int64_t y);

// The three-part start menu frame, 108 pixels wide, at the start menu's place.
void DrawMenuFrame(Picture& canvas, const Skin& skin);

// The three-part title bar of a dialog.
void DrawTitleBar(Picture& canvas, const Skin& skin, std::int64_t tx, std::int64_t ty, std::int64_t m0,
                  std::int64_t m1, std::int64_t rx);

// The vertical anchor of a highlight marker of height h: the marker is drawn
// at (row centre - anchor).
std::int64_t MarkerAnchor(std::int64_t height);

// 12:34 from the digit strip, when the big clock is shown.
void DrawBigClock(Picture& canvas, const Skin& skin);
