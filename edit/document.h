// The skin being edited, at the centre of both faces of the editor: the
// skin, its history, where it came from and where Save writes, the skin as
// its origin holds it on disk, and the problems the check found. Every
// change goes through here; observers hear what changed, and the views and
// tools of a face follow them.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/check.h"
#include "check/skin_source.h"
#include "edit/changes.h"
#include "edit/history.h"
#include "images/feedback.h"
#include "images/skin_io.h"
#include "skin/budgets.h"
#include "skin/skin.h"

// What one change touched: fields and pictures, or the whole skin (opened,
// new, restored, a preview).
struct SkinChange {
  std::vector<SkinField> fields;
  std::vector<ImageId> pictures;
  bool whole = false;
  bool Touches(ImageId image) const;
  bool Touches(const SkinField& field) const;
};

// Where the skin came from, and where Save writes it.
struct SkinOrigin {
  enum class Kind { BuiltIn, Folder, Archive };
  Kind kind = Kind::BuiltIn;
  std::string path;  // the folder or archive, absolute; empty for the built-in skin
  // Where Save writes without asking: the folder itself, the archive when it
  // holds nothing but this skin; empty when Save must ask (the built-in
  // skin, an archive that holds other files too).
  std::string saveTarget;
  friend bool operator==(const SkinOrigin&, const SkinOrigin&) = default;
};

// The skin as its folder or archive holds it, kept beside the skin being
// edited. Comparing the two tells an unsaved change from a change on disk,
// and which pictures were replaced since opening; the check also reads the
// raw files and the opening messages kept here.
struct DiskSkin {
  std::string path;               // the folder or archive; empty for the built-in skin
  Skin skin;                      // as last opened, saved or read again
  SkinSource source;              // its raw files, for the check
  std::vector<Message> messages;  // the messages of opening that still stand
  SkinStamps stamps;              // its files as last read or written, to tell a change by another program
};

// What a face hears of the document. Each call comes after the change.
class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  virtual void SkinChanged(const SkinChange&) {}
  virtual void Replaced() {}        // another skin altogether (new, opened), before SkinChanged
  virtual void HistoryChanged() {}  // a step done, undone, redone, merged or dropped
  virtual void CleanChanged(bool /*clean*/) {}
  virtual void OriginChanged() {}
  virtual void DiskChanged() {}
  virtual void ProblemsChanged() {}
};

class Document {
 public:
  Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  const Skin& skin() const { return *skin_; }
  const History& history() const { return history_; }
  bool modified() const { return !history_.IsClean(); }
  const SkinOrigin& origin() const { return origin_; }
  const DiskSkin& disk() const { return disk_; }
  const std::vector<Problem>& problems() const { return problems_; }

  // One change, one step of Undo (or merged into the last); false when it
  // changes nothing. A preview on show is ended first.
  bool Apply(Change&& change) { return Apply(change); }
  bool Apply(Change& change);
  bool Apply(SkinEdit edit);
  void Undo();
  void Redo();

  // Another skin altogether (New, Open): the history starts anew and the
  // skin is as its origin holds it.
  void Replace(Skin skin, SkinOrigin origin, DiskSkin disk);
  // Everything a document held, carried over from another one
  // (edit/document_snapshot.h): its skin, its whole history, its origin,
  // its disk state and its undo budget. A preview on show goes; the
  // problems are the check's, which follows the change as after an open.
  void Restore(Skin skin, History history, SkinOrigin origin, DiskSkin disk, std::size_t undoBudget);
  // Saved, every file written, to `origin`: what is there now is the skin.
  void MarkSaved(SkinOrigin origin, DiskSkin disk);
  // The same skin, now known to come from, or to be saved to, elsewhere.
  void MoveOrigin(SkinOrigin origin);
  // The skin as its origin holds it is the skin now: nothing is unsaved.
  void MarkCleanIfSameAsDisk();
  // The saved state cannot be reached by Undo any more (a restored journal).
  void MarkUnsaved();
  // What a save writes now: LastUpdate is stamped with `now` (not a step of
  // Undo: nobody edits it), and the files are the settings file and the
  // pictures as EncodeSkinFiles makes them.
  std::vector<SkinFile> StampForSave(const DateTime& now);

  // What reading the skin's files again found (live reload, a reopened
  // archive): the disk state follows, the skin does not.
  void ReadDiskSettings(std::string_view settings);
  void ReadDiskPicture(ImageId image, Picture picture);
  void ReplaceDiskMessages(std::optional<ImageId> image, const std::vector<Message>& now);
  void ReadDiskSource(SkinSource source);
  void RestampDiskFile(std::string_view file);
  void ReadDisk(DiskSkin disk);

  // A change shown while a dialog is open, not a step of Undo: the views
  // show the skin with it, the history and the journal do not. A later
  // preview replaces it; EndPreview takes it away.
  void Preview(Change& change);
  void Preview(Change&& change) { Preview(change); }
  void EndPreview();
  bool previewing() const { return preview_.has_value(); }
  // The skin as the history holds it: without what a preview shows.
  Skin CommittedSkin() const;

  void SetProblems(std::vector<Problem> problems);
  // The memory the pictures of the history may hold.
  void SetUndoBudget(std::size_t bytes) { undoBudget_ = bytes; }
  std::size_t undoBudget() const { return undoBudget_; }

  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);

 private:
  template <typename F>
  void Tell(F&& f) {
    for (DocumentObserver* o : std::vector<DocumentObserver*>(observers_)) f(*o);
  }
  void Changed(const SkinEdit& edit);
  void ChangedWhole();
  void AfterHistory(bool wasClean);

  std::unique_ptr<Skin> skin_;
  History history_;
  SkinOrigin origin_;
  DiskSkin disk_;
  std::vector<Problem> problems_;
  std::size_t undoBudget_ = kUndoPictureBudget;
  std::optional<SkinEdit> preview_;
  std::vector<DocumentObserver*> observers_;
};

// Whether two skins differ in a settings field the user edits. LastUpdate is
// left out: saving stamps it, nobody edits it.
bool SettingsDiffer(const Skin& a, const Skin& b);
bool SameSkin(const Skin& a, const Skin& b);

// The check's input: the messages that still stand (not those of a picture
// replaced since), the raw files, and which pictures were replaced.
CheckInput CheckInputOf(const DiskSkin& disk, const Skin& current);

// The messages about one picture (or, without one, about the settings file)
// give way to those of reading it again.
void ReplaceMessages(std::vector<Message>& messages, std::optional<ImageId> image, const std::vector<Message>& now);
