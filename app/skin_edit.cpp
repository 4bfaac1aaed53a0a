#include "app/skin_edit.h"

#include <algorithm>

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

SkinEditCommand::SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed)
    : skin_(skin), edit_(std::move(edit)), changed_(std::move(changed)) {
  setText(edit_.name);
}

void SkinEditCommand::redo() {
  edit_.Apply(skin_, false);
  if (changed_) changed_(edit_);
}

void SkinEditCommand::undo() {
  edit_.Apply(skin_, true);
  if (changed_) changed_(edit_);
}

bool SkinEditCommand::mergeWith(const QUndoCommand* other) {
  const auto* later = dynamic_cast<const SkinEditCommand*>(other);
  if (!later || later->edit_.mergeKey != edit_.mergeKey || edit_.mergeKey.isEmpty()) return false;
  edit_.Absorb(later->edit_);
  // Typing a text and deleting it again leaves nothing to undo.
  setObsolete(edit_.Unchanged());
  return true;
}
