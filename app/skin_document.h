// The skin being edited, at the centre of the editor. The document owns the
// skin, its undo history, where it came from and where Save writes, the
// skin as its origin holds it on disk, the hover and selection of the
// preview, and the problems the check found. Every edit is a command applied
// here; the document then says what changed, and the views (panel, preview,
// Problems list, title) and tools (preview interaction, live reload, the
// check, the recovery journal) that follow it take it from there.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/disk_skin.h"
#include "app/preview_pick.h"
#include "app/skin_edit.h"
#include "check/problem.h"
#include "skin/budgets.h"
#include "skin/skin.h"

// What one change touched: fields and pictures, or the whole skin (opened,
// new, restored).
struct SkinChange {
  std::vector<SkinField> fields;
  std::vector<ImageId> pictures;
  bool whole = false;
  bool Touches(ImageId image) const;
};

// Where the skin came from, and where Save writes it.
struct SkinOrigin {
  enum class Kind { BuiltIn, Folder, Archive };
  Kind kind = Kind::BuiltIn;
  QString path;        // the folder or archive, absolute; empty for the built-in skin
  // Where Save writes without asking: the folder itself, the archive when it
  // holds nothing but this skin; empty when Save must ask (the built-in
  // skin, an archive that holds other files too).
  QString saveTarget;
  friend bool operator==(const SkinOrigin&, const SkinOrigin&) = default;
};

class SkinDocument : public QObject {
  Q_OBJECT
 public:
  SkinDocument();
  ~SkinDocument() override;

  const Skin& skin() const { return *skin_; }
  QUndoStack& history() { return history_; }
  const QUndoStack& history() const { return history_; }
  bool modified() const { return !history_.isClean(); }
  const SkinOrigin& origin() const { return origin_; }
  // The skin as its folder or archive holds it, its raw files and the
  // messages of opening it; for live reload and the check.
  const DiskSkin& disk() const { return disk_; }

  // Edits, each one step of Undo.
  void Apply(SkinEdit edit);
  void EditNumber(const SkinField& field, int value);  // the steps of one field merge
  void EditFlag(const SkinField& field, bool on);
  void EditText(const SkinField& field, const QString& text);  // the typing in one box merges
  void SetColour(const SkinField& field, Rgb24 colour);
  void ReplacePictures(std::vector<std::pair<ImageId, Picture>> pictures, const QString& name);

  // Another skin altogether (New, Open): the history starts anew and the
  // skin is as its origin holds it.
  void Replace(Skin skin, SkinOrigin origin, DiskSkin disk);
  // Saved, every file written, to `origin`: what is there now is the skin.
  void MarkSaved(SkinOrigin origin, DiskSkin disk);
  // The same skin, now known to come from, or to be saved to, elsewhere.
  void MoveOrigin(SkinOrigin origin);
  // The files on disk changed (read again, or partly saved).
  template <typename F>
  void UpdateDisk(F&& change) {
    change(disk_);
    emit diskChanged();
  }
  // The skin as its origin holds it is the skin now: nothing is unsaved.
  void MarkCleanIfSameAsDisk();
  // The saved state cannot be reached by Undo any more (a restored journal).
  void MarkUnsaved() { history_.resetClean(); }
  // Stamps the typed texts and LastUpdate into the skin, as saving does;
  // not a step of Undo (nobody edits LastUpdate).
  template <typename F>
  void Stamp(F&& stamp) {
    stamp(*skin_);
    SkinChange change;
    change.fields.push_back(SkinFieldOf(kSkinInfoSection, "LastUpdate"));
    emit skinChanged(change);
  }

  // A change shown while a dialog is open, not yet a step of Undo: the skin
  // as it was before the first preview, with `change` made to it, is what
  // the views show. `pictures`: the change touches pictures (they are kept
  // aside once, for the rest of the preview). EndPreview puts the skin back
  // as it was; the dialog's result is then applied, or not, as one step.
  void Preview(const std::function<void(Skin&)>& change, bool pictures = false);
  void EndPreview();
  bool previewing() const { return previewing_; }
  // The skin as the history holds it: without what a preview shows.
  Skin CommittedSkin() const;

  // The preview's hover and selection, shared by the views that show them.
  const PreviewTarget& hover() const { return hover_; }
  const PreviewTarget& selection() const { return selection_; }
  void SetHover(const PreviewTarget& target);
  void SetSelection(const PreviewTarget& target);

  // What the skin check found last.
  const std::vector<Problem>& problems() const { return problems_; }
  void SetProblems(std::vector<Problem> problems);

  // The memory the pictures of the undo history may hold.
  void SetUndoBudget(std::size_t bytes) { undoBudget_ = bytes; }

 signals:
  void skinChanged(const SkinChange& change);
  void hoverChanged();
  void selectionChanged();
  void problemsChanged();
  void cleanChanged(bool clean);
  void originChanged();
  void diskChanged();

 private:
  void Changed(const SkinEdit& edit);
  void RestorePreviewBase();

  std::unique_ptr<Skin> skin_;
  QUndoStack history_;
  SkinOrigin origin_;
  DiskSkin disk_;
  PreviewTarget hover_, selection_;
  std::vector<Problem> problems_;
  std::size_t undoBudget_ = kUndoPictureBudget;
  bool previewing_ = false;
  std::unique_ptr<Skin> previewBase_;  // the skin before the preview: its settings, and its pictures once saved
  bool picturesSaved_ = false;
};
