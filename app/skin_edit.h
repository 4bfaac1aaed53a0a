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
  // The memory its pictures hold, before and after.
  std::size_t PictureBytes() const;
};

// A SkinEdit on the undo stack. Applying it, either way, is followed by
// `changed` so the window can show the skin as it now is.
class SkinEditCommand : public QUndoCommand {
 public:
  using Changed = std::function<void(const SkinEdit&)>;
  SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed);

  const SkinEdit& edit() const { return edit_; }
  std::size_t bytes() const { return bytes_; }

  // Drops the oldest steps of `history` (made of SkinEditCommands, with its
  // last step current) until the pictures its steps hold fit `budget`; the
  // newest step always stays. A reload of a large picture every few seconds
  // would otherwise keep every version of it until memory runs out. The
  // saved state stays where it was, or, when its step went, can no longer
  // be reached by Undo.
  static void KeepWithin(QUndoStack& history, std::size_t budget);

  void redo() override;
  void undo() override;
  // Qt merges only commands of one id; the merge key decides among them.
  int id() const override { return edit_.mergeKey.isEmpty() ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  // A step put back on a history that is being trimmed: it is applied
  // already, and merges with nothing on the way in.
  struct Restored {};
  SkinEditCommand(Skin& skin, SkinEdit edit, Changed changed, Restored);

  Skin& skin_;
  SkinEdit edit_;
  Changed changed_;
  std::size_t bytes_ = 0;
  bool restored_ = false;
  bool skipRedo_ = false;
};
