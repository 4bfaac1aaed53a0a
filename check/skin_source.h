// The raw files of a skin folder or archive, as the check reads them: the
// settings file's bytes, the names of the files in the skin, and what kind of
// file each picture is. Opening the skin (images/skin_io.h) is separate: this
// only looks, and changes nothing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "skin/catalogue.h"

struct SkinSource {
  std::string path;            // the folder or archive as given
  bool settingsFound = false;  // the skin's uisettings.ini was found and read
  std::string settings;        // its bytes
  // Every file in the skin's folder and in its "icon" sub-folder, relative to
  // the skin's root with "/" ("lamp.bmp", "icon/nds.bmp", "notes.txt"):
  // sorted by name in a folder, in central-directory order in an archive.
  std::vector<std::string> files;
  // For each picture whose file is in the skin: where it is (a path, or an
  // archive member), and what it is when it is not a 16-bit BMP that opening
  // reads directly ("PNG", "JPEG", "24-bit BMP", "16-bit BMP with bit
  // fields"); empty for a 16-bit BMP, a missing file or an unknown format.
  std::array<bool, kImageCount> pictureFound{};
  std::array<std::string, kImageCount> picturePath;
  std::array<std::string, kImageCount> pictureKind;
};

// A folder is read as a folder, anything else as a .zip, as skintool's
// --skin does. Never fails: what cannot be read is left out (settingsFound
// false for a path that is no skin at all).
SkinSource ReadSkinSource(const std::string& path);
