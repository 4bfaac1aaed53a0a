#include "edit/skin_edit.h"

#include <algorithm>

#include "skin/schema.h"

SkinEdit& SkinEdit::Set(const Skin& skin, const SkinField& field, FieldValue value) {
  for (FieldChange& c : fields) {
    if (c.field == field) {
      c.after = std::move(value);
      return *this;
    }
  }
  fields.push_back({field, ReadField(skin, field), std::move(value)});
  return *this;
}

SkinEdit& SkinEdit::Replace(const Skin& skin, ImageId image, Picture picture) {
  for (PictureChange& c : pictures) {
    if (c.image == image) {
      c.after = std::move(picture);
      return *this;
    }
  }
  pictures.push_back({image, skin.image(image), std::move(picture)});
  return *this;
}

bool SkinEdit::Unchanged() const {
  return std::all_of(fields.begin(), fields.end(), [](const FieldChange& c) { return c.before == c.after; }) &&
         std::all_of(pictures.begin(), pictures.end(), [](const PictureChange& c) { return c.before == c.after; });
}

void SkinEdit::Apply(Skin& skin, bool undo) const {
  for (const FieldChange& c : fields) WriteField(skin, c.field, undo ? c.before : c.after);
  for (const PictureChange& c : pictures) skin.image(c.image) = undo ? c.before : c.after;
}

void SkinEdit::Absorb(const SkinEdit& later) {
  for (const FieldChange& c : later.fields) {
    auto mine = std::find_if(fields.begin(), fields.end(), [&](const FieldChange& f) { return f.field == c.field; });
    if (mine != fields.end()) mine->after = c.after;
    else fields.push_back(c);
  }
  for (const PictureChange& c : later.pictures) {
    auto mine = std::find_if(pictures.begin(), pictures.end(),
                             [&](const PictureChange& p) { return p.image == c.image; });
    if (mine != pictures.end()) mine->after = c.after;
    else pictures.push_back(c);
  }
}

std::size_t SkinEdit::PictureBytes() const {
  std::size_t bytes = 0;
  for (const PictureChange& c : pictures) {
    bytes += (c.before.pixels.capacity() + c.after.pixels.capacity()) * sizeof(Rgb24);
  }
  return bytes;
}

SkinEdit EditTowards(const Skin& from, const Skin& to, StepText name) {
  SkinEdit edit;
  edit.name = std::move(name);
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& field : s.fields) {
      const SkinField f{s.name, &field};
      FieldValue after = ReadField(to, f);
      if (!(ReadField(from, f) == after)) edit.Set(from, f, std::move(after));
    }
  }
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!(from.image(e.id) == to.image(e.id))) edit.Replace(from, e.id, to.image(e.id));
  }
  return edit;
}
