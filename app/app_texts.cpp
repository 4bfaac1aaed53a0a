#include "app/app_texts.h"

#include "assets/builtin_text.h"

namespace {

constexpr auto kTitle = ScrambleText("Skin Editor ");
constexpr auto kAbout0 = ScrambleText(
    "A skin editor for the menu of a handheld console's flash cartridge: open a skin folder or archive, "
    "see both screens as the console draws them, change pictures, colours and positions, and save.");
constexpr auto kAbout1 = ScrambleText(" - free software, made with Qt, libpng, libjpeg, zlib and minizip.");
constexpr auto kAbout2 = ScrambleText("Preview font \"Kestrelux\" and default skin drawn for this program.");
constexpr auto kAbout3 = ScrambleText("Pictures: BMP, PNG and JPEG. Skins are saved as 16-bit BMP files.");
constexpr auto kLinkText = ScrambleText("Project page and manual");
constexpr auto kLinkAddress = ScrambleText("https://skin-editor.example.org/");
constexpr auto kBannerAddress = ScrambleText("https://skin-editor.example.org/skins/");
constexpr auto kNotWritten = ScrambleText(
    "Nothing was written: a screenshot is saved as .png, .bmp or .jpg (lower case). Choose one of these "
    "extensions or none.");

}  // namespace

QString TitleText() { return QString::fromUtf8(Unscramble(kTitle)); }

QString AboutText(int part) {
  switch (part) {
    case 0: return QString::fromUtf8(Unscramble(kAbout0));
    case 1: return QString::fromUtf8(Unscramble(kAbout1));
    case 2: return QString::fromUtf8(Unscramble(kAbout2));
    default: return QString::fromUtf8(Unscramble(kAbout3));
  }
}
QString AboutLinkText() { return QString::fromUtf8(Unscramble(kLinkText)); }
QString AboutLinkAddress() { return QString::fromUtf8(Unscramble(kLinkAddress)); }
QString AboutBannerAddress() { return QString::fromUtf8(Unscramble(kBannerAddress)); }
QString ScreenshotNotWrittenText() { return QString::fromUtf8(Unscramble(kNotWritten)); }
