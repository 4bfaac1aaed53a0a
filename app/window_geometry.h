// The main window's hand-placed geometry in one place, in pixels of its
// client area: the sizes the layout rule works with, and the room the window
// makes for what it shows beside them.
#pragma once

#include "preview/render.h"

namespace window_geometry {

// At start-up the client area is this wide, with this much between the menu
// bar and the status bar; the window is never made smaller than that unless
// the screen itself is smaller.
inline constexpr int kClientWidth = 666;
inline constexpr int kAboveStatusBar = 521;

// The tab panel: always this wide, as tall as the room above the status bar.
inline constexpr int kPanelWidth = 392;

// The gap around the preview viewport and the row of screen buttons.
inline constexpr int kMargin = 3;

// The row of fourteen screen buttons above the preview.
inline constexpr int kScreenButtonTop = 3;
inline constexpr int kScreenButtonWidth = 19;  // at start-up; the layout shares the preview's width out
inline constexpr int kScreenButtonHeight = 20;

// The preview viewport starts below the buttons and ends a margin above the
// status bar.
inline constexpr int kPreviewTop = 28;
inline constexpr int kPreviewBottom = kPreviewTop + kMargin;  // the height the viewport leaves to the rest

// Preview on the left: the viewport at the margin, the panel at the right edge,
// a margin on each side of the preview between them.
inline constexpr int kPreviewX = kMargin;
inline constexpr int kPanelBeside = kPanelWidth + 2 * kMargin;  // the width the panel and its margins take
// Panel on the left: the viewport starts at the panel's width, over its last
// three columns; at start-up it is placed a margin further on each side.
inline constexpr int kSwappedPreviewX = kPanelWidth;
inline constexpr int kSwappedStartPreviewX = kPanelBeside;
inline constexpr int kStartPanelX = kPreviewX + kPreviewWidth + kMargin;  // 272

// The progress bar at the left of the status bar.
inline constexpr int kProgressWidth = 275;
inline constexpr int kProgressHeight = 16;

// The compared skin beside the preview takes a preview's width and a gap.
inline constexpr int kCompareRoom = kPreviewWidth + 2 * kMargin;

// The least height the centre keeps when the screen has no room for its
// whole height beside the docks: the buttons, the panel's tabs and a few of
// its rows. Above it the panel and the preview are cut, never overlapped.
inline constexpr int kLeastCentreHeight = 240;

}  // namespace window_geometry
