// One field of the skin, named by its section and key in uisettings.ini, and
// the value it holds. Edits, the panel and the Undo menu all name fields so.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "skin/schema.h"
#include "skin/skin.h"

using FieldValue = std::variant<std::int32_t, Rgb24, std::string>;

struct SkinField {
  std::string_view section;  // "[start bar]", brackets included
  const SchemaField* field = nullptr;

  // What the Undo menu calls it: the key alone for the information texts and
  // the global colours ("Title", "formFrameColor"), else "[start bar] y".
  std::string Name() const;
  friend bool operator==(const SkinField& a, const SkinField& b) { return a.field == b.field; }
};

// The field of that section and key (both exactly as the schema spells them),
// or nothing.
std::optional<SkinField> FindSkinField(std::string_view section, std::string_view key);
// For the built-in tables, whose names are known to exist.
SkinField SkinFieldOf(std::string_view section, std::string_view key);

FieldValue ReadField(const Skin& skin, const SkinField& field);
void WriteField(Skin& skin, const SkinField& field, const FieldValue& value);
