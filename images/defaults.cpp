#include "images/defaults.h"

#include <array>
#include <string>

#include "assets/embedded.h"
#include "images/png_codec.h"
#include "skin/schema.h"

namespace {

// A built-in picture that is missing from the program's data would be a
// build fault; a plain picture of the right size keeps the editor usable.
Picture DecodeEmbedded(const std::string& name, int fallbackWidth, int fallbackHeight) {
  Picture pic;
  if (DecodeBuiltinPng(EmbeddedFileBytes(name), pic)) return pic;
  return Picture(fallbackWidth, fallbackHeight, kKeyGreen);
}

const std::array<Picture, kImageCount>& DefaultSkinPictures() {
  static const std::array<Picture, kImageCount> pictures = [] {
    std::array<Picture, kImageCount> out;
    for (const CatalogueEntry& e : ImageCatalogue()) {
      std::string name = "skin/";
      name += e.name;
      name += ".png";
      out[static_cast<std::size_t>(e.id)] = DecodeEmbedded(name, e.builtinWidth, e.builtinHeight);
    }
    return out;
  }();
  return pictures;
}

}  // namespace

void ResetSkinToDefaults(Skin& skin) {
  ResetSkinFieldsToDefaults(skin);
  skin.images = DefaultSkinPictures();
}

const Picture& BuiltinPicture(BuiltinPictureId id) {
  static const std::array<Picture, 3> pictures = {
      DecodeEmbedded("sample_icon.png", 32, 32),
      DecodeEmbedded("hinge.png", 266, 86),
      DecodeEmbedded("about_banner.png", 468, 60),
  };
  return pictures[static_cast<std::size_t>(id)];
}
