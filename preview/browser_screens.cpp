#include <array>

#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/sample_texts.h"
#include "preview/screens.h"

namespace {

struct GridIcon {
  int column, row;
  ImageId image;
  bool sampleGame;  // the selected icon: the built-in sample game icon
  const char* label;
  int labelX, labelY;
};

constexpr int kColumnX[] = {16, 77, 138, 199};
constexpr int kRowY[] = {10, 64, 118};

constexpr std::array<GridIcon, 12> kGrid = {{
    {0, 0, ImageId::icon_rpth, false, "../", 15, 42},
    {1, 0, ImageId::icon_cheat, false, "cheat.bmp", 71, 42},
    {2, 0, ImageId::icon_dpg, false, "dpg.bmp", 132, 42},
    {3, 0, ImageId::icon_gba, false, "gba.bmp", 193, 42},
    {0, 1, ImageId::icon_nds, true, nullptr, 0, 0},
    {1, 1, ImageId::icon_nds, false, "nds.bmp", 71, 96},
    {2, 1, ImageId::icon_plg, false, "plg.bmp", 132, 96},
    {3, 1, ImageId::icon_pth, false, "pth.bmp", 193, 96},
    {0, 2, ImageId::icon_realtime, false, "realtime", 10, 150},
    {1, 2, ImageId::icon_sav, false, "sav.bmp", 71, 150},
    {2, 2, ImageId::icon_txt, false, "txt.bmp", 132, 150},
    {3, 2, ImageId::icon_unk, false, "unk.bmp", 193, 150},
}};

void DrawGridIcons(Canvas& c, const Skin& skin) {
  for (const GridIcon& g : kGrid) {
    const Picture& icon = g.sampleGame ? BuiltinPicture(BuiltinPictureId::SampleGameIcon) : skin.image(g.image);
    DrawSkinImage(c, icon, kColumnX[g.column], kRowY[g.row], Blit::GreenKey);
  }
}

void DrawGridLabelsAndSelection(Canvas& c, const Skin& skin) {
  const GlobalColours& col = skin.colours;
  for (const GridIcon& g : kGrid) {
    if (g.label) PutText(c, g.labelX, g.labelY, g.label, col.vTextColor);
  }
  DrawLine(c, 15, 63, 1, 34, col.logoFrameColor);
  DrawLine(c, 15, 63, 34, 1, col.logoFrameColor);
  DrawLine(c, 48, 63, 1, 34, col.logoFrameColor);
  DrawLine(c, 15, 96, 34, 1, col.logoFrameColor);
  FillBox(c, 3, 98, 61, 13, col.listTextBgColor);
  const std::string label = FitText("0022 - Gear Hollow", 60);
  PutText(c, 4 + (60 - MeasureText(label)) / 2, 96, label, col.vTextHighLightColor);
}

}  // namespace

void DrawIconViewScreen(Canvas& c, const Skin& skin) {
  DrawBackground(c, skin.image(ImageId::lower_screen));
  DrawAt(c, skin.image(ImageId::startbar), skin.startBar, Blit::Opaque);
  DrawGridIcons(c, skin);
  DrawAt(c, skin.image(ImageId::start_released), skin.startButton, Blit::GreenKey);
  DrawGridLabelsAndSelection(c, skin);
  DrawAt(c, skin.image(ImageId::cardFrame0), skin.diskIcon, Blit::GreenKey);
  DrawAt(c, skin.image(ImageId::brightness), skin.brightnessBtn, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::reBack), skin.rebackBtn, Blit::GreenKey);
}

// Drawn in another order than screen 0 and without the card indicator: the
// buttons lie under the icons here.
void DrawIconViewBase(Canvas& c, const Skin& skin) {
  DrawBackground(c, skin.image(ImageId::lower_screen));
  DrawAt(c, skin.image(ImageId::startbar), skin.startBar, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::brightness), skin.brightnessBtn, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::reBack), skin.rebackBtn, Blit::GreenKey);
  DrawGridIcons(c, skin);
  DrawAt(c, skin.image(ImageId::start_released), skin.startButton, Blit::GreenKey);
  DrawGridLabelsAndSelection(c, skin);
}

void DrawListViewScreen(Canvas& c, const Skin& skin) {
  const GlobalColours& col = skin.colours;
  DrawBackground(c, skin.image(ImageId::lower_screen));
  DrawAt(c, skin.image(ImageId::startbar), skin.startBar, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::start_released), skin.startButton, Blit::GreenKey);
  const Picture& bar = skin.image(ImageId::selectbar);
  DrawSkinImage(c, bar, 0, 55 - (bar.height - 32) / 2, Blit::GreenKey);

  const Picture& folder = skin.image(ImageId::icon_pth);
  const std::int64_t ox = skin.logoOffset.x, oy = skin.logoOffset.y;
  DrawSkinImage(c, folder, 16, 17, Blit::GreenKey);
  {
    ElementScope at(c, skin.logoOffset);
    DrawSkinImage(c, folder, ox + 16, oy + 55, Blit::GreenKey);
  }
  DrawSkinImage(c, folder, 16, 93, Blit::GreenKey);
  DrawSkinImage(c, folder, 16, 131, Blit::GreenKey);
  PutText(c, 52, 26, sample::ListRow(0), col.listTextColor);
  {
    // The selected row's text moves sideways with the offset, never down.
    ElementScope at(c, skin.logoOffset);
    PutText(c, ox + 52, 64, sample::ListRow(1), col.listTextHighLightColor);
  }
  PutText(c, 52, 102, sample::ListRow(2), col.listTextColor);
  PutText(c, 52, 140, sample::ListRow(3), col.listTextColor);

  DrawAt(c, skin.image(ImageId::cardFrame1), skin.diskIcon, Blit::GreenKey);
  DrawAt(c, skin.image(ImageId::brightness), skin.brightnessBtn, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::reBack), skin.rebackBtn, Blit::GreenKey);
}
