// The controls of the editor panel as tables: where each one sits, what it
// edits, its caption and the preview screen whose controls it belongs to.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "skin/catalogue.h"
#include "skin/skin.h"

struct ColourControl {
  const char* name;  // colour name, for example "formFrameColor"
  Rgb24 GlobalColours::*colour;
  int row, column, screen;
  QString key() const { return QStringLiteral("LANG_COLOR_%1$").arg(QLatin1String(name)); }
};

struct ImageControl {
  ImageId image;
  int row, column, screen;
  QString key() const;
  QString builtinCaption() const;
  QString baseName() const;  // the file name offered first, without ".bmp"
};

struct ElementControl {
  int row;
  bool checkBox;            // check box at x = 5, or a plain label at x = 20
  const char* key;          // nullptr: fixed caption
  const char* builtinCaption;
  std::int32_t* (*flag)(Skin&);  // the show/titleshow field of a check box
  std::int32_t* (*x)(Skin&);     // column X, range 0..255
  std::int32_t* (*y)(Skin&);     // column Y, range 0..191
  std::int32_t* (*w)(Skin&);     // column W, range 0..255
  int screen;
};

const std::vector<ColourControl>& ColourControls();
const std::vector<ImageControl>& ImageControls();
const std::vector<ElementControl>& ElementControls();
