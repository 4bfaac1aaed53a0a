// skintool render and screenshot: the preview and the screenshot as files.
#include "cli/cli_common.h"
#include "skin/printable.h"

#include <algorithm>
#include <iostream>

#include "images/screenshot.h"
#include "preview/filters.h"
#include "preview/render.h"

namespace {

// The fourteen screens in one picture, seven to a row in screen order, each
// cell exactly the picture of that screen alone.
constexpr int kSheetColumns = 7;
// A sheet at zoom 16 would take gigabytes; 4 keeps it near 90 MB.
constexpr float kMaxSheetZoom = 4.0f;

// One screen as the editor shows it, through the filter.
Picture FilteredPreview(const Skin& skin, int screen, float zoom, Rgb24 background, ScreenFilter filter) {
  return FilteredAtZoom(RenderPreview(skin, screen, 1.0f, background), filter, zoom);
}

Picture ContactSheet(const Skin& skin, float zoom, Rgb24 background, ScreenFilter filter) {
  int cellWidth = 0, cellHeight = 0;
  PreviewSize(zoom, cellWidth, cellHeight);
  const int rows = (kPreviewScreenCount + kSheetColumns - 1) / kSheetColumns;
  Picture sheet(cellWidth * kSheetColumns, cellHeight * rows, background);
  ApplyScreenFilter(sheet, filter);
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
    const Picture cell = FilteredPreview(skin, screen, zoom, background, filter);
    const int x0 = (screen % kSheetColumns) * cellWidth, y0 = (screen / kSheetColumns) * cellHeight;
    for (int y = 0; y < cell.height; ++y) std::copy(cell.row(y), cell.row(y) + cell.width, sheet.row(y0 + y) + x0);
  }
  return sheet;
}

int Render(const Options& o) {
  if (!o.out || !EndsWith(*o.out, ".png")) return UsageError("render needs --out FILE.png");
  if (o.all && o.screen) return UsageError("render takes --all or --screen, not both");
  if (o.all && o.zoom > kMaxSheetZoom) return UsageError("render --all takes a --zoom of at most 4");
  const BuiltSkin built(o);
  const Rgb24 background = UnpackRgb24(o.background);
  const Picture preview = o.all ? ContactSheet(built.skin, o.zoom, background, o.filter)
                                : FilteredPreview(built.skin, o.screen.value_or(0), o.zoom, background, o.filter);
  if (!WriteScreenshotFile(preview, ScreenshotFormat::Png, *o.out)) {
    std::cerr << PrintableText(*o.out) << ": " << built.texts.fileNotSaved << '\n';
    return 1;
  }
  return built.status();
}

int Screenshot(const Options& o) {
  std::optional<ScreenshotFormat> format;
  if (o.out && EndsWith(*o.out, ".png")) format = ScreenshotFormat::Png;
  if (o.out && EndsWith(*o.out, ".bmp")) format = ScreenshotFormat::Bmp;
  if (o.out && EndsWith(*o.out, ".jpg")) format = ScreenshotFormat::Jpeg;
  if (!format) return UsageError("screenshot needs --out FILE.png, FILE.bmp or FILE.jpg");
  const BuiltSkin built(o);
  if (!WriteScreenshotFile(ComposeScreenshot(built.skin, o.screen.value_or(0)), *format, *o.out)) {
    std::cerr << PrintableText(*o.out) << ": " << built.texts.fileNotSaved << '\n';
    return 1;
  }
  return built.status();
}

}  // namespace

extern const Command kRenderCommand = {
    "render",
    kOptBuild | kOptScreen | kOptZoom | kOptBackground | kOptOut | kOptAll | kOptFilter,
    "skintool render [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]]\n"
    "                  [--screen N | --all] [--zoom F] [--background INT] [--filter NAME] --out FILE.png",
    "Draws one preview screen as the editor shows it: both console screens with\n"
    "the hinge between them, 266 x 490 pixels at zoom 1, on the background colour.\n"
    "With --all, a contact sheet of all fourteen screens instead: seven to a row in\n"
    "screen order (0-6, then 7-13), each cell exactly what --screen N draws with the\n"
    "same --zoom and --background (1862 x 980 pixels at zoom 1).\n"
    "\n"
    "  --skin, --take-from, --import, --import-dir, --fit, --replace-colour,\n"
    "  --recolour        build the skin, as for convert\n"
    "  --screen N        the preview screen, 0 to 13 (default 0, the file browser)\n"
    "  --all             every screen in one picture; not with --screen; zoom at most 4\n"
    "  --zoom F          scale factor from 1 to 16 (default 1), above 1 repeats pixels,\n"
    "                    plain decimal digits with at most one point (2, 1.5)\n"
    "  --background INT  background colour, red + 256 x green + 65536 x blue (default 0)\n"
    "  --filter NAME     shows the colours as the console's screen does (console), or\n"
    "                    as a red-, green- or blue-blind eye sees them (protanopia,\n"
    "                    deuteranopia, tritanopia); the skin itself is unchanged\n"
    "  --out FILE.png    the picture to write\n"
    "\n"
    "Example:\n"
    "  skintool render --skin myskin --screen 13 --zoom 2 --out cheats.png\n"
    "  skintool render --skin myskin --filter console --zoom 2 --out on-the-console.png\n"
    "  skintool render --skin myskin --all --out sheet.png\n",
    Render,
};

extern const Command kScreenshotCommand = {
    "screenshot",
    kOptBuild | kOptOut | kOptScreen,
    "skintool screenshot [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]]\n"
    "                  [--screen N] --out FILE.png|FILE.bmp|FILE.jpg",
    "Writes the editor's screenshot: the two screens of a preview screen (the file\n"
    "browser unless told), 256 x 384, as PNG, 24-bit BMP or JPEG (quality 70),\n"
    "chosen by the name's extension.\n"
    "\n"
    "  --skin, --take-from, --import, --import-dir, --fit, --replace-colour,\n"
    "  --recolour        build the skin, as for convert\n"
    "  --screen N        the preview screen, 0 to 13 (default 0, the file browser)\n"
    "  --out FILE        the picture to write (.png, .bmp or .jpg, lower case)\n"
    "\n"
    "Example:\n"
    "  skintool screenshot --skin myskin --out shot.png\n",
    Screenshot,
};
