// Every kind of change a designer makes, one small class each. A change
// knows what it does to a skin, what the Undo menu calls it and which of its
// kind merge into one step; the document turns it into an edit against the
// skin as it is and records that. Both faces of the editor make their
// changes from these classes, so a rule written here holds on both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "edit/skin_edit.h"
#include "images/colour_work.h"

class Change {
 public:
  virtual ~Change() = default;
  // The edit that makes this change to `skin`, with its undo text and merge
  // key. Called once: a change may give its pictures away.
  virtual SkinEdit Make(const Skin& skin) = 0;
};

// A field set to a value; the edits of one field merge when `mergeAs`
// names their kind ("number", "text"), as a spin box's steps or a box's
// typing do.
class SetFieldValue : public Change {
 public:
  SkinEdit Make(const Skin& skin) override;

 protected:
  SetFieldValue(SkinField field, FieldValue value, const char* mergeAs)
      : field_(field), value_(std::move(value)), mergeAs_(mergeAs) {}

 private:
  SkinField field_;
  FieldValue value_;
  const char* mergeAs_;
};

// A number of an element record ("[start bar] y"), within the field's
// range as the panel offers it; the steps of one field merge.
class SetNumber final : public SetFieldValue {
 public:
  SetNumber(SkinField field, std::int32_t value) : SetFieldValue(field, value, "number") {}
};

// A check box of an element record (show, titleshow): 1 or 0.
class SetFlag final : public SetFieldValue {
 public:
  SetFlag(SkinField field, bool on) : SetFieldValue(field, std::int32_t(on ? 1 : 0), nullptr) {}
};

// An information text, as uisettings.ini holds it (SettingsText); the
// typing in one box merges.
class SetText final : public SetFieldValue {
 public:
  SetText(SkinField field, std::string latin1) : SetFieldValue(field, std::move(latin1), "text") {}
};

// A colour field, from the colour dialog or pasted.
class SetColour final : public SetFieldValue {
 public:
  SetColour(SkinField field, Rgb24 colour) : SetFieldValue(field, colour, nullptr) {}
};

// An element placed elsewhere: x and y of one record, by a drag or by the
// arrow keys. The moves of one gesture (one drag, the nudges after one
// click; `gesture` names it) merge into one step.
class MoveElement final : public Change {
 public:
  MoveElement(std::string section, std::int32_t x, std::int32_t y, std::string gesture)
      : section_(std::move(section)), x_(x), y_(y), gesture_(std::move(gesture)) {}
  SkinEdit Make(const Skin& skin) override;

 private:
  std::string section_;
  std::int32_t x_, y_;
  std::string gesture_;
};

// Pictures replaced: one imported (fitted or not), or a folder of them.
class ReplacePictures final : public Change {
 public:
  ReplacePictures(std::vector<std::pair<ImageId, Picture>> pictures, StepText name)
      : pictures_(std::move(pictures)), name_(std::move(name)) {}
  // One picture imported: the step is named after it.
  ReplacePictures(ImageId image, Picture picture);
  SkinEdit Make(const Skin& skin) override;

 private:
  std::vector<std::pair<ImageId, Picture>> pictures_;
  StepText name_;
};

// One 15-bit colour made another, in every field and every pixel that holds
// it (the palette's Replace colour). No pixel turns into the key green.
class ReplaceColour final : public Change {
 public:
  ReplaceColour(Rgb15 from, Rgb15 to) : from_(from), to_(to) {}
  SkinEdit Make(const Skin& skin) override;

 private:
  Rgb15 from_, to_;
};

// The skin's colours shifted in hue, saturation and lightness.
class RecolourSkinChange final : public Change {
 public:
  RecolourSkinChange(HslShift shift, RecolourScope scope) : shift_(shift), scope_(scope) {}
  SkinEdit Make(const Skin& skin) override;

 private:
  HslShift shift_;
  RecolourScope scope_;
};

// The skin made what `target` holds, as one step named `name`: unsaved
// changes restored from a journal, files read again from disk.
class BecomeSkin final : public Change {
 public:
  BecomeSkin(Skin target, StepText name) : target_(std::move(target)), name_(std::move(name)) {}
  static BecomeSkin Restore(Skin target) { return {std::move(target), StepText::Of("LANG_STEP_RESTORE$")}; }
  static BecomeSkin Reload(Skin target) { return {std::move(target), StepText::Of("LANG_STEP_RELOAD$")}; }
  SkinEdit Make(const Skin& skin) override;

 private:
  Skin target_;
  StepText name_;
};

// What uisettings.ini can hold of a text typed (UTF-8): its Latin-1 bytes,
// on one line; nothing when it holds a character outside Latin-1 or a line
// break.
std::optional<std::string> SettingsText(std::string_view utf8);
