// The controls of the editor panel as tables, the same on both faces of the
// editor: where each one sits, what it edits, its caption's language key and
// the preview screen whose controls it belongs to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/skin_field.h"
#include "skin/catalogue.h"

struct ColourControl {
  const char* name;  // colour name in [global settings], for example "formFrameColor"
  int row, column, screen;
  std::string key() const { return "LANG_COLOR_" + std::string(name) + "$"; }
  SkinField field() const;
};

struct ImageControl {
  ImageId image;
  int row, column, screen;
  std::string key() const;
  std::string builtinCaption() const;
  std::string baseName() const;  // the file name offered first, without ".bmp"
};

// The ranges of the Elements tab's number fields: X and W 0..255, Y 0..191.
inline constexpr int kElementMaxX = 255, kElementMaxY = 191;

// One row of the Elements tab. The fields are those of one section; a row
// has a check box when it names a flag, and a number field per column it has.
struct ElementControl {
  int row;
  const char* key;  // nullptr: fixed caption
  const char* builtinCaption;
  const char* section;  // "[file name]"
  const char* flag;     // "show", "titleshow", or nullptr: a plain label
  bool x, y, w;         // columns X (0..255), Y (0..191), W (0..255)
  int screen;
  bool checkBox() const { return flag != nullptr; }
};

const std::vector<ColourControl>& ColourControls();
const std::vector<ImageControl>& ImageControls();
const std::vector<ElementControl>& ElementControls();
