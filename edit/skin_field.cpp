#include "edit/skin_field.h"

#include <cstdlib>

std::string SkinField::Name() const {
  const std::string key(field->key);
  if (section == kSkinInfoSection || section == kGlobalSettingsSection) return key;
  return std::string(section) + ' ' + key;
}

std::optional<SkinField> FindSkinField(std::string_view section, std::string_view key) {
  for (const SchemaSection& s : SkinSchema()) {
    if (s.name != section) continue;
    for (const SchemaField& f : s.fields) {
      if (f.key == key) return SkinField{s.name, &f};
    }
  }
  return std::nullopt;
}

SkinField SkinFieldOf(std::string_view section, std::string_view key) {
  const std::optional<SkinField> f = FindSkinField(section, key);
  if (!f) std::abort();  // a misspelt name in a built-in table
  return *f;
}

FieldValue ReadField(const Skin& constSkin, const SkinField& f) {
  // The schema's accessors hand out pointers into a skin; nothing is written here.
  Skin& skin = const_cast<Skin&>(constSkin);
  switch (f.field->kind) {
    case FieldKind::Number: return *f.field->number(skin);
    case FieldKind::Colour: return *f.field->colour(skin);
    case FieldKind::Text: break;
  }
  return *f.field->text(skin);
}

void WriteField(Skin& skin, const SkinField& f, const FieldValue& value) {
  switch (f.field->kind) {
    case FieldKind::Number:
      if (const auto* v = std::get_if<std::int32_t>(&value)) *f.field->number(skin) = *v;
      return;
    case FieldKind::Colour:
      if (const auto* v = std::get_if<Rgb24>(&value)) *f.field->colour(skin) = *v;
      return;
    case FieldKind::Text:
      if (const auto* v = std::get_if<std::string>(&value)) *f.field->text(skin) = *v;
      return;
  }
}
