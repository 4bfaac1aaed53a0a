#include "edit/changes.h"

#include "skin/colour.h"

SkinEdit SetFieldValue::Make(const Skin& skin) {
  SkinEdit edit;
  edit.name = StepText::Named(field_.Name());
  if (mergeAs_) edit.mergeKey = std::string(mergeAs_) + ' ' + field_.Name();
  return std::move(edit.Set(skin, field_, std::move(value_)));
}

SkinEdit MoveElement::Make(const Skin& skin) {
  SkinEdit edit;
  edit.name = StepText::Named(section_);
  edit.mergeKey = gesture_;
  edit.Set(skin, SkinFieldOf(section_, "x"), x_).Set(skin, SkinFieldOf(section_, "y"), y_);
  return edit;
}

ReplacePictures::ReplacePictures(ImageId image, Picture picture)
    : name_(StepText::Named(std::string(CatalogueEntryOf(image).name))) {
  pictures_.emplace_back(image, std::move(picture));
}

SkinEdit ReplacePictures::Make(const Skin& skin) {
  SkinEdit edit;
  edit.name = std::move(name_);
  for (auto& [image, picture] : pictures_) edit.Replace(skin, image, std::move(picture));
  pictures_.clear();
  return edit;
}

SkinEdit ReplaceColour::Make(const Skin& skin) {
  Skin replaced = skin;
  ReplaceColours(replaced, {{from_, to_}});
  return EditTowards(skin, replaced,
                     StepText::Of("LANG_STEP_REPLACE_COLOR$",
                                  {FormatSkinColour(Rgb15ToRgb24(from_)), FormatSkinColour(Rgb15ToRgb24(to_))}));
}

SkinEdit RecolourSkinChange::Make(const Skin& skin) {
  Skin recoloured = skin;
  RecolourSkin(recoloured, shift_, scope_);
  return EditTowards(skin, recoloured, StepText::Of("LANG_STEP_RECOLOR$"));
}

SkinEdit BecomeSkin::Make(const Skin& skin) { return EditTowards(skin, target_, std::move(name_)); }

std::optional<std::string> SettingsText(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b == '\n' || b == '\r') return std::nullopt;
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      // U+0080 to U+00FF: two bytes in UTF-8, one in Latin-1.
      out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    } else {
      return std::nullopt;
    }
  }
  return out;
}
