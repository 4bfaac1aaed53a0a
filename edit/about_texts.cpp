#include "edit/about_texts.h"

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

}  // namespace

namespace about {

std::string Title() { return Unscramble(kTitle); }

std::string Text(int part) {
  switch (part) {
    case 0: return Unscramble(kAbout0);
    case 1: return Unscramble(kAbout1);
    case 2: return Unscramble(kAbout2);
    default: return Unscramble(kAbout3);
  }
}

std::string LinkText() { return Unscramble(kLinkText); }
std::string LinkAddress() { return Unscramble(kLinkAddress); }
std::string BannerAddress() { return Unscramble(kBannerAddress); }

std::string BoxText() { return Text(0) + "\n\n\n" + Title() + kVersionText + Text(1) + "\n" + Text(2) + "\n\n" + Text(3); }

}  // namespace about
