// The program's own texts that no language file changes: its title and
// version, and what the about box says, the same on both faces.
#pragma once

#include <string>

inline constexpr const char* kVersionText = "v0.100603";

namespace about {

// The window title's text; the version follows it directly.
std::string Title();

// The about box: its four text blocks, the link's text and the two web
// addresses (the link's and the banner's).
std::string Text(int part);  // 0..3
std::string LinkText();
std::string LinkAddress();
std::string BannerAddress();

// The text of the about box's text area: the four blocks and the title line
// with the version, joined with the line feeds that separate them.
std::string BoxText();

}  // namespace about
