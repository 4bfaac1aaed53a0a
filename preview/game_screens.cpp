#include <array>

#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/sample_texts.h"
#include "preview/screens.h"

void DrawGameSettingsScreen(Canvas& c, const Skin& skin) {
  DrawIconViewBase(c, skin);
  const GlobalColours& col = skin.colours;
  DrawSkinImage(c, skin.image(ImageId::settingbg), 28, 46, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::close1), 200, 49, Blit::GreenKey);

  PutText(c, 80, 46, "0022 - Gear Hollow", col.romInfoTitleColor);
  PutText(c, 80, 70, "Multi-Save", col.romInfoTextColor);
  PutText(c, 80, 90, "Cheat", col.romInfoTextColor);
  PutText(c, 80, 110, "Mode", col.romInfoTextColor);

  struct Spin {
    int y;
    const Rgb24& body;  // the skin's fields themselves, so that a trace knows them
    const char* value;
    int dx;
    const Rgb24& text;
  };
  const std::array<Spin, 3> spins = {{
      {72, col.spinBoxFocusColor, "3", 26, col.spinBoxTextHighLightColor},
      {92, col.spinBoxNormalColor, "On", 23, col.spinBoxTextColor},
      {112, col.spinBoxNormalColor, "Patch", 14, col.spinBoxTextColor},
  }};
  for (const Spin& s : spins) {
    FillBox(c, 148, s.y, 56, 14, col.spinBoxFrameColor);
    FillBox(c, 149, s.y + 1, 54, 12, s.body);
    PutText(c, 148 + s.dx, s.y - 1, s.value, s.text);
  }

  DrawSkinImage(c, BuiltinPicture(BuiltinPictureId::SampleGameIcon), 40, 74, Blit::GreenKey);
  const Picture& left = skin.image(ImageId::spin_btn_left);
  const Picture& right = skin.image(ImageId::spin_btn_right);
  for (const Spin& s : spins) DrawSkinImage(c, left, 145 - std::int64_t(left.width), s.y, Blit::GreenKey);
  for (const Spin& s : spins) DrawSkinImage(c, right, 207, s.y, Blit::GreenKey);

  DrawSkinImage(c, skin.image(ImageId::cheatmenubtn), 36, 131, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::btn), 120, 131, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::btn), 170, 131, Blit::GreenKey);
  DrawAt(c, skin.image(ImageId::brightness), skin.brightnessBtn, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::reBack), skin.rebackBtn, Blit::GreenKey);

  PutText(c, 50, 130, "Cheat(Y)", col.buttonTextColor);
  PutText(c, 131, 130, "OK(A)", col.buttonTextColor);
  PutText(c, 181, 130, "NO(B)", col.buttonTextColor);
}

void DrawCheatListScreen(Canvas& c, const Skin& skin) {
  const GlobalColours& col = skin.colours;
  DrawBackground(c, skin.image(ImageId::cheatbg));

  // A title and its fitted text, placed and limited by `record`.
  const auto title = [&](const RectRecord& record, const std::string& text) {
    ElementScope at(c, record);
    PutText(c, record.x, std::int64_t(record.y) - 2, FitText(text, record.w), col.cheatTitleTextColor);
  };
  title(skin.cheatTitle, sample::CheatTitle());
  title(skin.cheatClearTitle, sample::ClearAllTitle());

  DrawAt(c, skin.image(ImageId::cheat_clearall), skin.cheatCancelAllBtn, Blit::GreenKey);
  DrawAt(c, skin.image(ImageId::close), skin.closeBtn, Blit::GreenKey);
  DrawSkinImage(c, skin.image(ImageId::cheatselectbar), 18, 36, Blit::Opaque);
  DrawSkinImage(c, skin.image(ImageId::cheatselectbar), 18, 55, Blit::Opaque);

  static constexpr std::array<ImageId, 7> kMarks = {ImageId::pitchon,    ImageId::pitchon,    ImageId::pitchdown,
                                                    ImageId::onehoton,   ImageId::onehotdown, ImageId::onehotdown,
                                                    ImageId::fathernode};
  for (int i = 0; i < 7; ++i) DrawSkinImage(c, skin.image(kMarks[std::size_t(i)]), 18, 41 + 20 * i, Blit::GreenKey);
  for (int i = 0; i < 7; ++i) {
    PutText(c, 35, 38 + 20 * i, sample::CheatEntry(i), i == 0 ? col.cheatListTextHighLightColor : col.cheatListTextColor);
  }
}
