// The fields of a skin in the order of uisettings.ini. The reader, the writer
// and the defaults all walk this one table, so a field is added in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "skin/skin.h"

enum class FieldKind { Text, Number, Colour };

struct SchemaField {
  std::string_view key;           // "itemHeight"
  FieldKind kind;
  std::int32_t defaultNumber;     // numbers
  std::string_view defaultColour; // colours: the built-in text, parsed like a file value
  std::string* (*text)(Skin&);
  std::int32_t* (*number)(Skin&);
  Rgb24* (*colour)(Skin&);
};

struct SchemaSection {
  std::string_view name;  // "[start menu]", brackets included
  std::span<const SchemaField> fields;
};

// "[SkinInfo]", "[global settings]" and the 34 element sections, in file order.
std::span<const SchemaSection> SkinSchema();

// Sets every text, colour and number to its built-in default (texts empty).
// Pictures are left alone; ResetSkinToDefaults (images/defaults.h) does both.
void ResetSkinFieldsToDefaults(Skin& skin);
