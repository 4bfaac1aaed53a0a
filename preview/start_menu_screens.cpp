#include <array>
#include <vector>

#include "preview/canvas.h"
#include "preview/screens.h"

namespace {

constexpr std::array<const char*, 5> kItems = {"File Operation", "Skin", "Language", "System settings", "Help"};
constexpr Rgb24 kWhite{255, 255, 255};

// One submenu box: its place, its rows, where the selection bar and the
// marker go, and the colour of each row.
struct Submenu {
  std::int64_t boxX, boxY, boxWidth;
  std::vector<const char*> rows;
  std::int64_t barX, barLength, barRow;
  std::int64_t textX;
  ImageId marker = ImageId::active;
  std::int64_t markerX = 0, markerRow = 0;
  std::int64_t highlightRow = -1;  // -1: none
  bool whiteText = false;
};

class SubmenuPainter {
 public:
  SubmenuPainter(Canvas& c, const Skin& skin, const Submenu& m)
      : c_(c), skin_(skin), m_(m), sih_(skin.startMenu.subMenuItemHeight), soy_(skin.startMenu.submenuoffsetY) {}

  void Box() {
    const std::int64_t h = std::int64_t(m_.rows.size()) * sih_ + 2 * soy_;
    FillBox(c_, m_.boxX, m_.boxY, m_.boxWidth, h, skin_.colours.formFrameColor);
    FillBox(c_, m_.boxX + 1, m_.boxY + 1, m_.boxWidth - 2, h - 2, skin_.colours.popSubMenuBodyColor);
  }

  // The bar piece is drawn at every pixel step so that it covers the whole
  // length; a piece wider than the length is not drawn at all.
  void Bar() {
    const Picture& bar = skin_.image(ImageId::popsubbar);
    const std::int64_t y = m_.boxY + soy_ + sih_ / 2 - bar.height / 2 - 1 + m_.barRow * sih_;
    const std::int64_t last = m_.barX + m_.barLength - bar.width;
    // Copies wholly off the screen draw nothing; skip them.
    const std::int64_t first = std::max<std::int64_t>(m_.barX, -std::int64_t(bar.width));
    for (std::int64_t x = first; x <= std::min<std::int64_t>(last, kScreenWidth - 1); ++x) {
      DrawSkinImage(c_, bar, x, y, Blit::GreenKey);
    }
  }

  void Texts() {
    for (std::size_t i = 0; i < m_.rows.size(); ++i) {
      const Rgb24& colour = m_.whiteText                          ? kWhite
                            : std::int64_t(i) == m_.highlightRow ? skin_.colours.popSubMenuTextHighLightColor
                                                                 : skin_.colours.popSubMenuTextColor;
      PutText(c_, m_.textX, m_.boxY + soy_ + std::int64_t(i) * sih_ - 2, m_.rows[i], colour);
    }
  }

  void Marker() {
    DrawSkinImage(c_, skin_.image(m_.marker), m_.markerX, m_.boxY + soy_ + m_.markerRow * sih_ + 4, Blit::GreenKey);
  }

 private:
  Canvas& c_;
  const Skin& skin_;
  const Submenu& m_;
  std::int64_t sih_, soy_;
};

// The first level of the system settings submenu of screens 8 and 9.
Submenu SystemSettingsMenu(const Skin& skin) {
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.sysetMenu.x;
  return {ax + 107, skin.sysetMenu.y, 75, {"Display", "Brightness", "Hotkey"}, ax + 109, 71, 0, ax + 116,
          ImageId::active, 0, 0, 0, false};
}

void MenuBase(Canvas& c, const Skin& skin, int item) {
  DrawIconViewBase(c, skin);
  DrawStartMenu(c, skin, item);
}

}  // namespace

void DrawStartMenu(Canvas& c, const Skin& skin, int h) {
  const StartMenuRecord& m = skin.startMenu;
  ElementScope at(c, m);
  const std::int64_t mx = m.x, my = m.y, ih = m.itemHeight;
  DrawMenuFrame(c, skin);

  const Picture& lamp = skin.image(ImageId::lamp);
  const std::int64_t k = MarkerAnchor(lamp.height);
  const std::int64_t centre = my + m.itemY + ih / 2 + h * ih;
  const std::int64_t lampX = mx + m.leftlogoupX;
  if (h == 0) {
    // The first item's lamp loses its top rows and keeps its place.
    DrawScratch(c, Grab(lamp, 0, m.leftlogoupY, lamp.width, std::int64_t(lamp.height) - m.leftlogoupY), lampX,
                centre - k + m.leftlogoupY);
  } else if (h == 4) {
    // The last item's lamp loses its bottom rows.
    DrawScratch(c, Grab(lamp, 0, 0, lamp.width, std::int64_t(lamp.height) - m.leftlogodownY), lampX, centre - k);
  } else {
    DrawSkinImage(c, lamp, lampX, centre - k, Blit::GreenKey);
  }

  const Picture& triangle = skin.image(ImageId::triangle);
  DrawSkinImage(c, triangle, mx + 108 - m.rightLogoX - triangle.width, centre - MarkerAnchor(triangle.height),
                Blit::GreenKey);

  for (int i = 0; i < 5; ++i) {
    PutText(c, mx + m.itemX, my + m.itemY + i * ih - 2, kItems[std::size_t(i)],
            i == h ? skin.colours.popMenuTextHighLightColor : skin.colours.popMenuTextColor);
  }
}

void DrawFileOperationMenuScreen(Canvas& c, const Skin& skin) {
  MenuBase(c, skin, 0);
  ElementScope menu(c, skin.startMenu), submenu(c, skin.fileHandleMenu);
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.fileHandleMenu.x;
  const Submenu m{ax + 107, skin.fileHandleMenu.y, 70, {"Copy", "Cut", "Paste", "Delete"}, ax + 109, 66, 3,
                  ax + 119, ImageId::active, 0, 0, 3, false};
  SubmenuPainter p(c, skin, m);
  p.Box();
  p.Bar();
  p.Texts();
}

void DrawSkinMenuScreen(Canvas& c, const Skin& skin) {
  MenuBase(c, skin, 1);
  ElementScope menu(c, skin.startMenu), submenu(c, skin.uiTypeMenu);
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.uiTypeMenu.x;
  const Submenu m{ax + 107, skin.uiTypeMenu.y, 100, {"PINK", "SILVER"}, ax + 109, 96, 0,
                  ax + 119, ImageId::activehotkey, ax + 109, 0, -1, false};
  SubmenuPainter p(c, skin, m);
  p.Box();
  p.Bar();
  p.Marker();
  p.Texts();
}

void DrawLanguageMenuScreen(Canvas& c, const Skin& skin) {
  MenuBase(c, skin, 2);
  ElementScope menu(c, skin.startMenu), submenu(c, skin.languageMenu);
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.languageMenu.x;
  const Submenu m{ax + 107,
                  skin.languageMenu.y,
                  100,
                  {"English", "S-Chinese", "T-Chinese", "French", "Italian", "German", "Spanish", "Korean"},
                  ax + 109,
                  96,
                  5,
                  ax + 119,
                  ImageId::active, ax + 111,
                  0,
                  5,
                  false};
  SubmenuPainter p(c, skin, m);
  p.Box();
  p.Marker();
  p.Bar();
  p.Texts();
}

namespace {

// Screens 8 and 9: the system settings submenu and one second-level box,
// placed by `secondRecord` besides the start menu and the first level.
void SystemSettingsScreen(Canvas& c, const Skin& skin, const RectRecord& secondRecord, const Submenu& second) {
  MenuBase(c, skin, 3);
  ElementScope menu(c, skin.startMenu), submenu(c, skin.sysetMenu);
  const Submenu first = SystemSettingsMenu(skin);
  SubmenuPainter p1(c, skin, first);
  p1.Box();
  p1.Bar();
  p1.Texts();
  ElementScope secondLevel(c, secondRecord);
  SubmenuPainter p2(c, skin, second);
  p2.Box();
  p2.Bar();
  p2.Marker();
  p2.Texts();
}

}  // namespace

void DrawDisplayMenuScreen(Canvas& c, const Skin& skin) {
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.sysetMenu.x + skin.listTypeMenu.x;
  const Submenu second{ax + 182, skin.listTypeMenu.y, 50, {"Icon", "List"}, ax + 184, 46, 1,
                       ax + 194, ImageId::active, ax + 186, 0, 1, false};
  SystemSettingsScreen(c, skin, skin.listTypeMenu, second);
}

void DrawBrightnessMenuScreen(Canvas& c, const Skin& skin) {
  const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.sysetMenu.x + skin.brightnessMenu.x;
  const Submenu second{ax + 182, skin.brightnessMenu.y, 60, {"Level 1", "Level 2", "Level 3", "Level 4"},
                       ax + 184, 56, 0, ax + 194, ImageId::active, ax + 186, 2, 0, false};
  SystemSettingsScreen(c, skin, skin.brightnessMenu, second);
}

void DrawHotkeyScreen(Canvas& c, const Skin& skin) {
  MenuBase(c, skin, 3);
  {
    ElementScope menu(c, skin.startMenu), submenu(c, skin.sysetMenu);
    const std::int64_t ax = std::int64_t(skin.startMenu.x) + skin.sysetMenu.x;
    // One pixel further right than on screens 8 and 9; the texts stay.
    const Submenu m{ax + 108, skin.sysetMenu.y, 75, {"Display", "Brightness", "Hotkey"}, ax + 110, 71, 2,
                    ax + 116, ImageId::active, 0, 0, -1, true};
    SubmenuPainter p(c, skin, m);
    p.Box();
    p.Bar();
    p.Texts();
  }

  const Picture& window = skin.image(ImageId::hotkeybk);
  DrawSkinImage(c, window, (256 - window.width) / 2, (192 - window.height) / 2, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::btn), 75, 139, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::btn), 135, 139, Blit::GreenKey);
  PutText(c, 110, 32, "Hotkey", skin.colours.formTitleTextColor);
  PutText(c, 86, 138, "OK(A)", skin.colours.buttonTextColor);
  PutText(c, 146, 138, "NO(B)", skin.colours.buttonTextColor);
}
