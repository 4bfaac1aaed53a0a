// skintool render and screenshot: the preview and the screenshot as files.
#include "cli/cli_common.h"

#include <iostream>

#include "images/screenshot.h"
#include "preview/render.h"

namespace {

int Render(const Options& o) {
  if (!o.out || !EndsWith(*o.out, ".png")) return UsageError("render needs --out FILE.png");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  Skin& skin = CommandSkin();
  AssembleSkin(o, skin, ctx);
  const Picture preview = RenderPreview(skin, o.screen.value_or(0), o.zoom, UnpackRgb24(o.background));
  if (!WriteScreenshotFile(preview, ScreenshotFormat::Png, *o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  return feedback.messages ? 1 : 0;
}

int Screenshot(const Options& o) {
  std::optional<ScreenshotFormat> format;
  if (o.out && EndsWith(*o.out, ".png")) format = ScreenshotFormat::Png;
  if (o.out && EndsWith(*o.out, ".bmp")) format = ScreenshotFormat::Bmp;
  if (o.out && EndsWith(*o.out, ".jpg")) format = ScreenshotFormat::Jpeg;
  if (!format) return UsageError("screenshot needs --out FILE.png, FILE.bmp or FILE.jpg");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  Skin& skin = CommandSkin();
  AssembleSkin(o, skin, ctx);
  if (!WriteScreenshotFile(ComposeScreenshot(skin), *format, *o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  return feedback.messages ? 1 : 0;
}

}  // namespace

extern const Command kRenderCommand = {
    "render",
    kOptSkin | kOptImport | kOptImportDir | kOptScreen | kOptZoom | kOptBackground | kOptOut,
    "skintool render [--skin PATH]... [--import NAME=FILE]... [--import-dir DIR] [--screen N] [--zoom F]\n"
    "                  [--background INT] --out FILE.png",
    "Draws one preview screen as the editor shows it: both console screens with\n"
    "the hinge between them, 266 x 490 pixels at zoom 1, on the background colour.\n"
    "\n"
    "  --skin, --import, --import-dir   build the skin, as for convert\n"
    "  --screen N        the preview screen, 0 to 13 (default 0, the file browser)\n"
    "  --zoom F          scale factor, above 1 repeats pixels (default 1, at most 16)\n"
    "  --background INT  background colour, red + 256 x green + 65536 x blue (default 0)\n"
    "  --out FILE.png    the picture to write\n"
    "\n"
    "Example:\n"
    "  skintool render --skin myskin --screen 13 --zoom 2 --out cheats.png\n",
    Render,
};

extern const Command kScreenshotCommand = {
    "screenshot",
    kOptSkin | kOptImport | kOptImportDir | kOptOut,
    "skintool screenshot [--skin PATH]... [--import NAME=FILE]... [--import-dir DIR]\n"
    "                  --out FILE.png|FILE.bmp|FILE.jpg",
    "Writes the editor's screenshot: the file browser's two screens, 256 x 384, as\n"
    "PNG, 24-bit BMP or JPEG (quality 70), chosen by the name's extension.\n"
    "\n"
    "  --skin, --import, --import-dir   build the skin, as for convert\n"
    "  --out FILE        the picture to write (.png, .bmp or .jpg, lower case)\n"
    "\n"
    "Example:\n"
    "  skintool screenshot --skin myskin --out shot.png\n",
    Screenshot,
};
