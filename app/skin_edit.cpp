#include "app/skin_edit.h"

#include <algorithm>

#include <QUndoStack>

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

SkinEditCommand::SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed)
    : skin_(skin), edit_(std::move(edit)), changed_(std::move(changed)), bytes_(edit_.PictureBytes()) {
  setText(edit_.name);
}

SkinEditCommand::SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed, Restored)
    : SkinEditCommand(skin, std::move(edit), std::move(changed)) {
  restored_ = skipRedo_ = true;
}

void SkinEditCommand::redo() {
  if (skipRedo_) {
    skipRedo_ = false;  // applied already: only the redos after an undo apply it
    return;
  }
  edit_.Apply(skin_, false);
  if (changed_) changed_(edit_);
}

void SkinEditCommand::undo() {
  edit_.Apply(skin_, true);
  if (changed_) changed_(edit_);
}

bool SkinEditCommand::mergeWith(const QUndoCommand* other) {
  const auto* later = dynamic_cast<const SkinEditCommand*>(other);
  if (!later || later->edit_.mergeKey != edit_.mergeKey || edit_.mergeKey.isEmpty() || later->restored_) return false;
  edit_.Absorb(later->edit_);
  bytes_ = edit_.PictureBytes();
  // Typing a text and deleting it again leaves nothing to undo.
  setObsolete(edit_.Unchanged());
  return true;
}

void SkinEditCommand::KeepWithin(QUndoStack& history, std::size_t budget) {
  const int count = history.count();
  if (count == 0 || history.index() != count) return;
  std::vector<SkinEditCommand*> steps;
  std::size_t total = 0;
  for (int i = 0; i < count; ++i) {
    // Every step of the editor's history is one of these; the cast only
    // lets the steps that stay be taken over without copying their pictures.
    steps.push_back(const_cast<SkinEditCommand*>(static_cast<const SkinEditCommand*>(history.command(i))));
    total += steps.back()->bytes_;
  }
  int first = 0;
  for (; total > budget && first < count - 1; ++first) total -= steps[std::size_t(first)]->bytes_;
  if (first == 0) return;
  struct Kept {
    Skin* skin;
    SkinEdit edit;
    Changed changed;
  };
  std::vector<Kept> kept;
  for (int i = first; i < count; ++i) {
    SkinEditCommand& s = *steps[std::size_t(i)];
    kept.push_back({&s.skin_, std::move(s.edit_), std::move(s.changed_)});
  }
  const int clean = history.cleanIndex();
  history.clear();
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (clean == first + int(i)) history.setClean();
    history.push(new SkinEditCommand(*kept[i].skin, std::move(kept[i].edit), std::move(kept[i].changed), Restored{}));
  }
  if (clean == count) history.setClean();
  else if (clean < first) history.resetClean();
}
