// Any bytes as a settings file: reading must not fail, and every number and
// colour it leaves in the skin must come back unchanged after a write and a
// second read.
#include <cstdlib>
#include <string_view>

#include "skin/schema.h"
#include "skin/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  Skin skin;
  ResetSkinFieldsToDefaults(skin);
  ReadSkinSettings(skin, std::string_view(reinterpret_cast<const char*>(data), size));

  Skin copy = skin;
  const std::string bytes = WriteSkinSettings(copy, {skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url},
                                              DateTime{2020, 1, 2, 3, 4, 5});
  Skin back;
  ResetSkinFieldsToDefaults(back);
  ReadSkinSettings(back, bytes);
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& f : s.fields) {
      if (f.kind == FieldKind::Number && *f.number(back) != *f.number(skin)) std::abort();
      if (f.kind == FieldKind::Colour && !(*f.colour(back) == *f.colour(skin))) std::abort();
    }
  }
  return 0;
}
