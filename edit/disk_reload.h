// The skin's files that changed on disk, read again into the document, the
// same on both faces (each finds out in its own way which files changed:
// the desktop watches the folder, the page compares what it sees). What no
// unsaved change of the user stands in the way of is taken at once, as one
// step of Undo, and the disk state follows; a file the user has unsaved
// changes to is held until the user answers (Reload takes the disk's, Keep
// mine keeps the user's, which stay unsaved, so Save writes them). An
// archive is read whole, so it is always held, never taken behind the
// user's back.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edit/document.h"
#include "edit/interface_texts.h"

// What changed since the last look.
struct DiskChanges {
  bool archive = false;         // the skin's .zip
  bool settings = false;        // uisettings.ini
  std::vector<ImageId> images;  // picture files, in catalogue order
  bool listing = false;         // files came or went (the check's stray files)
  bool any() const { return archive || settings || !images.empty() || listing; }
};

class DiskReload {
 public:
  explicit DiskReload(Document& document) : document_(document) {}

  // What one reading or answer did, and what the face shows of it.
  struct Result {
    std::vector<std::string> taken;   // the skin's files read into it ("uisettings.ini", "icon/nds.bmp")
    std::vector<std::string> held;    // those waiting for the user's answer (all that wait, after a reading)
    std::vector<std::string> failed;  // those that gave nothing: perhaps still being written
    std::vector<ImageId> retry;       // pictures to read again at the next change of anything
    bool retryArchive = false;        // the archive, reopened, gave nothing: offered again when it changes
    bool reopened = false;            // the archive was opened again: its messages are to be shown
    std::string status;               // the status bar's line (LANG_STATUS_RELOAD*), empty for none
    bool ask = false;                 // the question is to be asked (Question())
  };

  // The files of a folder skin that changed, as they are now in its folder
  // (or the skin's archive). `texts` are the language's.
  Result Changed(const DiskChanges& changes, const InterfaceTexts& texts);
  // The user's answer to the question: true Reload, false Keep mine.
  // Reopening an archive reports its messages and progress to `ctx`.
  Result Answer(bool reload, const InterfaceTexts& texts, SkinIoContext& ctx);
  // What the question says (LANG_RELOAD_ASK$ or LANG_RELOAD_ASK_ARCHIVE$),
  // or empty when nothing waits for an answer.
  std::string Question(const InterfaceTexts& texts) const;
  bool waiting() const { return pending_.any(); }
  // Opened anew, or saved: what is on disk now is the editor's own, and
  // nothing read before waits for an answer any more.
  void Forget() { pending_ = {}; }
  // Whether the disk state is being changed by a reading or an answer
  // (a face that hears of the document's disk state ignores that).
  bool updating() const { return updating_; }

 private:
  struct ReadAgain;
  struct Pending {
    bool archive = false;
    std::optional<std::string> settings;  // the new bytes of uisettings.ini
    std::vector<std::pair<ImageId, Picture>> pictures;
    bool any() const { return archive || settings || !pictures.empty(); }
  };
  void ReadSettingsAgain(const std::string& folder, ReadAgain& read);
  void ReadPictureAgain(const std::string& folder, ImageId id, const MessageTexts& messageTexts, ReadAgain& read);
  Result ReopenArchive(const InterfaceTexts& texts, SkinIoContext& ctx);
  std::vector<std::string> PendingFiles(const Pending& pending) const;

  Document& document_;
  Pending pending_;
  bool updating_ = false;
};

// The names a status line lists before it only counts the rest:
// "lamp.bmp, btn.bmp, icon/nds.bmp, close.bmp, +3".
std::string ReloadNameList(const std::vector<std::string>& names);
