// One change of the skin as the Undo menu knows it: any number of settings
// fields and pictures, each with its old and new value. The panel's controls,
// a picture import, a drag in the preview (x and y of one record, merged by a
// drag id), reading a skin again from disk or importing a folder of pictures
// are all one SkinEdit each; the shell applies it and records it.
#pragma once

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <vector>

#include "app/skin_field.h"
#include "skin/catalogue.h"
#include "skin/picture.h"

struct FieldChange {
  SkinField field;
  FieldValue before, after;
};

struct PictureChange {
  ImageId image;
  Picture before, after;
};

struct SkinEdit {
  QString name;  // shown in the Undo menu: "Undo formFrameColor"
  std::vector<FieldChange> fields;
  std::vector<PictureChange> pictures;
  // Consecutive edits with the same non-empty key become one undo step (the
  // steps of one number field, the typing in one box, one drag).
  QString mergeKey;

  // Adds a change of `field` to `value`, its old value read from `skin`; a
  // field already in this edit only gets its new value.
  SkinEdit& Set(const Skin& skin, const SkinField& field, FieldValue value);
  SkinEdit& Replace(const Skin& skin, ImageId image, Picture picture);

  // True when applying it would change nothing.
  bool Unchanged() const;
  // Writes the new values (or, undoing, the old ones) into the skin.
  void Apply(Skin& skin, bool undo) const;
  // Takes over an edit made after this one: its new values win, this edit's
  // old values stay.
  void Absorb(const SkinEdit& later);
};

// A SkinEdit on the undo stack. Applying it, either way, is followed by
// `changed` so the window can show the skin as it now is.
class SkinEditCommand : public QUndoCommand {
 public:
  using Changed = std::function<void(const SkinEdit&)>;
  SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed);

  const SkinEdit& edit() const { return edit_; }

  void redo() override;
  void undo() override;
  // Qt merges only commands of one id; the merge key decides among them.
  int id() const override { return edit_.mergeKey.isEmpty() ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  Skin& skin_;
  SkinEdit edit_;
  Changed changed_;
};
