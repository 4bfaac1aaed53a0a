// One step of the history: any number of settings fields and pictures, each
// with its value before and after. Every kind of change (edit/changes.h)
// becomes one of these against the skin as it is; the history applies it,
// undoes and redoes it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "edit/skin_field.h"
#include "edit/step_text.h"
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
  StepText name;  // "Undo formFrameColor"
  std::vector<FieldChange> fields;
  std::vector<PictureChange> pictures;
  // Consecutive edits with the same non-empty key become one undo step (the
  // steps of one number field, the typing in one box, one drag).
  std::string mergeKey;

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

// The edit that turns `from` into `to`: every settings field and every
// picture that differs.
SkinEdit EditTowards(const Skin& from, const Skin& to, StepText name);
