// The steps of Undo and Redo, and the mark of the saved state among them.
// Consecutive edits with the same merge key become one step, but never a
// step that is the saved state: after a save, the next keystroke in the box
// it was saved with is a step of its own, so Undo goes back to what is saved.
// A step that a merge leaves changing nothing (a text typed and deleted
// again) goes. The pictures the steps hold are kept within a budget: the
// oldest steps go first, and the newest always stays.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "edit/skin_edit.h"

class History {
 public:
  // What Push made of an edit.
  enum class Pushed { Added, Merged, MergedAway };

  // Applies `edit` to `skin` and records it as the newest step (the steps
  // undone before it are dropped), or merges it into the newest step.
  Pushed Push(Skin& skin, SkinEdit edit);
  // Undoes or redoes one step on `skin`; the edit that was undone or redone,
  // or nothing when there is none.
  const SkinEdit* Undo(Skin& skin);
  const SkinEdit* Redo(Skin& skin);

  int index() const { return index_; }  // the steps applied
  int count() const { return static_cast<int>(steps_.size()); }
  bool CanUndo() const { return index_ > 0; }
  bool CanRedo() const { return index_ < count(); }
  const SkinEdit& step(int i) const { return steps_[static_cast<std::size_t>(i)]; }
  // What Undo and Redo would take back or do again.
  std::optional<StepText> UndoText() const;
  std::optional<StepText> RedoText() const;

  // The saved state: the number of steps applied when the skin was as saved,
  // or -1 when no Undo or Redo can reach it any more.
  int cleanIndex() const { return clean_; }
  bool IsClean() const { return clean_ == index_; }
  void SetClean() { clean_ = index_; }
  void ResetClean() { clean_ = -1; }
  // No steps at all; the skin as it is is the saved state.
  void Clear();
  // The steps, the steps applied and the saved state as another history
  // held them (a document carried to another engine): false, and nothing
  // changed, when `index` or `clean` does not fit the steps.
  bool Restore(std::vector<SkinEdit> steps, int index, int clean);

  // Drops the oldest steps until the pictures of all steps fit `budget`
  // bytes; the newest step always stays. Only while no step is undone.
  void KeepWithin(std::size_t budget);
  std::size_t bytes() const;

 private:
  std::vector<SkinEdit> steps_;
  std::vector<std::size_t> bytes_;  // each step's PictureBytes, kept up to date
  int index_ = 0;
  int clean_ = 0;
};
