#include <array>

#include "preview/canvas.h"
#include "preview/screens.h"

namespace {

struct MessageDialog {
  int menuItem;
  const char* title;
  int titleOffset;
  std::array<const char*, 3> lines;
  const char* leftLabel;
  const char* rightLabel;
};

// A button label: centred over its button when narrower than the button,
// otherwise fitted to the button's width and drawn from `fittedX`.
void DrawButtonLabel(Canvas& c, const std::string& label, std::int64_t buttonX, std::int64_t buttonWidth,
                     std::int64_t fittedX, std::int64_t y, const Rgb24& colour) {
  const int w = MeasureText(label);
  if (w < buttonWidth) {
    PutText(c, buttonX + (buttonWidth - w) / 2, y, label, colour);
  } else {
    PutText(c, fittedX, y, FitText(label, buttonWidth), colour);
  }
}

void DrawMessageDialog(Canvas& c, const Skin& skin, const MessageDialog& d) {
  DrawIconViewBase(c, skin);
  DrawStartMenu(c, skin, d.menuItem);
  const GlobalColours& col = skin.colours;

  FillBox(c, 12, 65, 234, 80, col.formFrameColor);
  FillBox(c, 13, 66, 232, 78, col.formBodyColor);
  for (int i = 0; i < 3; ++i) PutText(c, 36, 74 + 12 * i, d.lines[std::size_t(i)], col.formTextColor);

  const Picture& button = skin.image(ImageId::btn3);
  const std::int64_t w3 = button.width;
  const std::int64_t rightX = 237 - w3, leftX = 229 - 2 * w3;
  DrawSkinImage(c, button, rightX, 126, Blit::GreenKey);
  DrawSkinImage(c, button, leftX, 126, Blit::GreenKey);
  // A fitted right label goes to 234 - w3, three pixels left of its button;
  // a fitted left label keeps the same distance to its own button.
  DrawButtonLabel(c, d.leftLabel, leftX, w3, leftX - 3, 125, col.buttonTextColor);
  DrawButtonLabel(c, d.rightLabel, rightX, w3, 234 - w3, 125, col.buttonTextColor);

  DrawAt(c, skin.image(ImageId::brightness), skin.brightnessBtn, Blit::Opaque);
  DrawAt(c, skin.image(ImageId::reBack), skin.rebackBtn, Blit::GreenKey);

  const Picture& left = skin.image(ImageId::title_left);
  DrawTitleBar(c, skin, 12, 65 - std::int64_t(left.height), 12 + std::int64_t(left.width),
               244 - std::int64_t(left.width), 246 - std::int64_t(left.width));
  const std::int64_t bgh = skin.image(ImageId::title_bg).height;
  PutText(c, 112, d.titleOffset - bgh + (bgh - 12) / 2, d.title, col.formTitleTextColor);
}

}  // namespace

void DrawDeleteConfirmScreen(Canvas& c, const Skin& skin) {
  DrawMessageDialog(c, skin, {0, "Confirm", 62,
                                  {"File cannot be recovered after", "deletion. Do you wish to delete '0022 -",
                                   "Gear Hollow DX (E)(M5).nds"},
                                  "YES(A) ", "NO(B) "});
}

void DrawStyleWarningScreen(Canvas& c, const Skin& skin) {
  DrawMessageDialog(c, skin, {1, "Warning", 63,
                                  {"User interface style changed. Restart", "now to apply new style? Press NO to",
                                   "keep current style."},
                                  "OK(A) ", "NO(B) "});
}

void DrawLanguageQuestionScreen(Canvas& c, const Skin& skin) {
  DrawMessageDialog(c, skin, {2, "Question", 63,
                                  {"System Language changed. Restart", "now to apply new language? Press NO",
                                   "to restart later."},
                                  "OK(A) ", "NO(B) "});
}

void DrawHelpScreen(Canvas& c, const Skin& skin) {
  DrawIconViewBase(c, skin);
  DrawStartMenu(c, skin, 4);
  const GlobalColours& col = skin.colours;
  const std::int64_t ww = skin.helpWindow.w, wh = skin.helpWindow.h;
  const std::int64_t hx = (256 - ww) / 2, hy = (192 - wh) / 2;
  const std::int64_t th = skin.image(ImageId::title_left).height;

  // The window's size places its box, title bar and title; its lines and
  // button stay where they are.
  {
    ElementScope window(c, skin.helpWindow);
    FillBox(c, hx, hy + th, ww, wh - th, col.formFrameColor);
    FillBox(c, hx + 1, hy + th + 1, ww - 2, wh - th - 2, col.formBodyColor);
  }

  // The first seven lines start with the code points that the preview font
  // draws as the pad and the A, B, Y, X, L and R buttons.
  static constexpr std::array<std::pair<int, const char*>, 10> kLines = {{
      {32, "\u00e6  Select Programs"},
      {44, "\u00e0  Start/OK/YES"},
      {56, "\u00e1  Back/Cancel/NO"},
      {68, "\u00e3  Select cheats"},
      {80, "\u00e2  Set game info"},
      {92, "\u00e4  Back to parent directory"},
      {104, "\u00e5  Adjust brightnes"},
      {116, "START  Start Menu"},
      {128, "SELECT  Menu style new/classical"},
      {152, "ZAZIZUZEZ 1.01"},
  }};
  for (const auto& [y, text] : kLines) PutText(c, 38, y, text, col.formTextColor);

  const std::int64_t leftWidth = skin.image(ImageId::title_left).width;
  {
    ElementScope window(c, skin.helpWindow);
    DrawTitleBar(c, skin, hx, hy, hx + skin.image(ImageId::title_right).width, hx + ww - leftWidth,
                 hx + ww - leftWidth);
  }
  const Picture& button = skin.image(ImageId::btn);
  const std::int64_t bx = 217 - std::int64_t(button.width);
  DrawSkinImage(c, button, bx, 154, Blit::GreenKey);
  {
    ElementScope window(c, skin.helpWindow);
    PutText(c, hx + 56, hy, "Help informations", col.formTitleTextColor);
  }
  DrawButtonLabel(c, "OK(A) ", bx, button.width, bx, 153, col.buttonTextColor);
}
