// uisettings.ini: the settings file of a skin.
#pragma once

#include <string>
#include <string_view>

#include "skin/clock.h"
#include "skin/skin.h"

// Reads the bytes of a whole settings file into the skin. Never fails: what it
// cannot match is skipped, and fields the file does not set keep their value
// (except [file handle menu] x and y, which become 0).
void ReadSkinSettings(Skin& skin, std::string_view bytes);

// The four texts the user typed in the information fields.
struct TypedInfo {
  std::string Title, Author, eMail, Url;
};

// The four texts as the skin holds them, for a save that writes them unchanged.
inline TypedInfo TypedInfoOf(const Skin& skin) {
  return {skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url};
}

// Stores the typed texts and the LastUpdate stamp of `now` into the skin, then
// returns the bytes of the settings file (243 lines, each ending CR LF).
std::string WriteSkinSettings(Skin& skin, const TypedInfo& typed, const DateTime& now);
