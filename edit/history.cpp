#include "edit/history.h"

#include <numeric>

History::Pushed History::Push(Skin& skin, SkinEdit edit) {
  edit.Apply(skin, false);
  if (index_ < count()) {
    // The steps undone are gone; so is a saved state among them.
    steps_.resize(static_cast<std::size_t>(index_));
    bytes_.resize(static_cast<std::size_t>(index_));
    if (clean_ > index_) clean_ = -1;
  }
  if (!edit.mergeKey.empty() && index_ > 0 && clean_ != index_ && steps_.back().mergeKey == edit.mergeKey) {
    steps_.back().Absorb(edit);
    if (steps_.back().Unchanged()) {
      steps_.pop_back();
      bytes_.pop_back();
      --index_;
      return Pushed::MergedAway;
    }
    bytes_.back() = steps_.back().PictureBytes();
    return Pushed::Merged;
  }
  bytes_.push_back(edit.PictureBytes());
  steps_.push_back(std::move(edit));
  ++index_;
  return Pushed::Added;
}

const SkinEdit* History::Undo(Skin& skin) {
  if (!CanUndo()) return nullptr;
  --index_;
  const SkinEdit& edit = steps_[static_cast<std::size_t>(index_)];
  edit.Apply(skin, true);
  return &edit;
}

const SkinEdit* History::Redo(Skin& skin) {
  if (!CanRedo()) return nullptr;
  const SkinEdit& edit = steps_[static_cast<std::size_t>(index_)];
  ++index_;
  edit.Apply(skin, false);
  return &edit;
}

std::optional<StepText> History::UndoText() const {
  if (!CanUndo()) return std::nullopt;
  return step(index_ - 1).name;
}

std::optional<StepText> History::RedoText() const {
  if (!CanRedo()) return std::nullopt;
  return step(index_).name;
}

void History::Clear() {
  steps_.clear();
  bytes_.clear();
  index_ = clean_ = 0;
}

bool History::Restore(std::vector<SkinEdit> steps, int index, int clean) {
  const auto count = static_cast<long long>(steps.size());
  if (index < 0 || index > count || clean < -1 || clean > count) return false;
  bytes_.clear();
  for (const SkinEdit& s : steps) bytes_.push_back(s.PictureBytes());
  steps_ = std::move(steps);
  index_ = index;
  clean_ = clean;
  return true;
}

std::size_t History::bytes() const { return std::accumulate(bytes_.begin(), bytes_.end(), std::size_t(0)); }

void History::KeepWithin(std::size_t budget) {
  if (steps_.empty() || index_ != count()) return;
  std::size_t total = bytes();
  int first = 0;
  for (; total > budget && first < count() - 1; ++first) total -= bytes_[static_cast<std::size_t>(first)];
  if (first == 0) return;
  steps_.erase(steps_.begin(), steps_.begin() + first);
  bytes_.erase(bytes_.begin(), bytes_.begin() + first);
  index_ -= first;
  // A saved state among the steps that went can no longer be reached.
  clean_ = clean_ < first ? -1 : clean_ - first;
}
