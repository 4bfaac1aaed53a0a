// picture-size: pictures the firmware cannot show at the size they have;
// key-in-opaque: key green where the firmware does not take it for the key.
#include <algorithm>

#include "check/check.h"
#include "images/colour_work.h"
#include "preview/canvas.h"
#include "preview/render.h"

namespace {

enum class SizeRule {
  Screen,      // anything: at most the screen
  FullScreen,  // a background: exactly the screen
  GridIcon,    // fills a 32 x 32 cell of the file browser's grid
  SmallIcon,   // a smaller mark drawn in a grid cell: at most the cell
  DigitStrip,  // ten digits stacked: each at most the screen
};

constexpr int kCell = 32;

// Which rule each picture follows. The file browser's grid has 32 x 32 cells
// for the file-type icons. The built-in dpg and txt icons are 33 x 32 and
// draw fine, overlapping nothing (the cells are 61 pixels apart), so a grid
// icon is only worth a warning when a side is off by more than one pixel.
// cheat, realtime and unk are small marks by design (15 x 16, 17 x 14,
// 8 x 14 built in): only one larger than the cell is reported.
SizeRule RuleOf(ImageId id) {
  switch (id) {
    case ImageId::upper_screen:
    case ImageId::lower_screen:
    case ImageId::cheatbg: return SizeRule::FullScreen;
    case ImageId::clock_numbers: return SizeRule::DigitStrip;
    case ImageId::icon_cheat:
    case ImageId::icon_realtime:
    case ImageId::icon_unk: return SizeRule::SmallIcon;
    case ImageId::icon_dpg:
    case ImageId::icon_gba:
    case ImageId::icon_nds:
    case ImageId::icon_plg:
    case ImageId::icon_pth:
    case ImageId::icon_rpth:
    case ImageId::icon_sav:
    case ImageId::icon_txt: return SizeRule::GridIcon;
    default: return SizeRule::Screen;
  }
}

Problem SizeProblem(ImageId id, const Picture& p, ProblemText text, int w, int h) {
  return MakeProblem(ProblemCode::PictureSize, text, ProblemSubject::Picture(id),
                     {std::to_string(p.width), std::to_string(p.height), std::to_string(w), std::to_string(h)});
}

}  // namespace

std::vector<Problem> CheckPictureSizes(const Skin& skin) {
  std::vector<Problem> problems;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const Picture& p = skin.image(e.id);
    if (p.empty()) continue;  // an unreadable picture is reported as such
    const int w = p.width, h = p.height;
    switch (RuleOf(e.id)) {
      case SizeRule::Screen:
        if (w > kScreenWidth || h > kScreenHeight) {
          problems.push_back(SizeProblem(e.id, p, ProblemText::PictureSizeTooLarge, kScreenWidth, kScreenHeight));
        }
        break;
      case SizeRule::FullScreen:
        if (w != kScreenWidth || h != kScreenHeight) {
          problems.push_back(SizeProblem(e.id, p, ProblemText::PictureSizeExact, kScreenWidth, kScreenHeight));
        }
        break;
      case SizeRule::GridIcon:
        if (std::abs(w - kCell) > 1 || std::abs(h - kCell) > 1) {
          problems.push_back(SizeProblem(e.id, p, ProblemText::PictureSizeExact, kCell, kCell));
        }
        break;
      case SizeRule::SmallIcon:
        if (w > kCell || h > kCell) problems.push_back(SizeProblem(e.id, p, ProblemText::PictureSizeTooLarge, kCell, kCell));
        break;
      case SizeRule::DigitStrip:
        if (w > kScreenWidth || h / 10 > kScreenHeight) {
          problems.push_back(
              SizeProblem(e.id, p, ProblemText::PictureSizeTooLarge, kScreenWidth, kScreenHeight * 10 + 9));
        }
        break;
    }
  }
  return problems;
}

std::vector<Problem> CheckKeyInOpaque(const Skin& skin) {
  std::vector<Problem> problems;
  const std::array<bool, kImageCount>& opaque = PicturesDrawnOpaque();
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!opaque[static_cast<std::size_t>(e.id)]) continue;
    const std::vector<Rgb24>& pixels = skin.image(e.id).pixels;
    // By the 15-bit value: what a save writes, and so what the console shows.
    const auto keys = std::count_if(pixels.begin(), pixels.end(),
                                    [](const Rgb24& c) { return Rgb24ToRgb15(c) == kKeyColour15; });
    if (keys == 0) continue;
    problems.push_back(MakeProblem(ProblemCode::KeyInOpaque, ProblemText::KeyInOpaque, ProblemSubject::Picture(e.id),
                                   {std::string(e.name), std::to_string(keys)}));
  }
  return problems;
}
