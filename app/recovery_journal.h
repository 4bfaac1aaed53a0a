// Nothing lost when the editor dies. While the document holds unsaved
// changes, the skin as a save would write it goes into a journal of this
// editor's own, a moment after the last edit: one archive of the skin's
// files and a small manifest (where the skin came from, where Save writes,
// the time of the last edit, this process), in a recovery folder of the
// user's data folder, never beside the skin. Each write replaces the last
// one whole. The archive is made in a worker thread, so typing never waits
// for it. A save, Discard, Undo back to the saved state and a clean exit
// remove it; the next start offers the journal of an editor that is gone.
//
// What a dialog shows live (a colour tried, a recolour not yet accepted) is
// never journalled: only the skin as the history holds it.
//
// Each editor's journal has a name of its own (its process id and a random
// part, so that a process id used again, or the same one in two sandboxes,
// names another journal), and a lock file that the editor holds for as long
// as the journal is there. A journal whose lock nobody holds is an orphan;
// the editor that offers it takes its lock first, so that two editors
// started after one crash never both offer it.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/skin_document.h"
#include "edit/journal_manifest.h"
#include "skin/skin.h"

// The lock on a journal: held while the object lives.
class JournalLock {
 public:
  // Takes the lock file at `path` (made when missing) without waiting;
  // nothing when another editor holds it. `fresh` tells that no lock file
  // was there before (a journal of an editor that kept none).
  static std::unique_ptr<JournalLock> Take(const QString& path, bool* fresh = nullptr);
  ~JournalLock();
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;
  // Removes the lock file, still holding the lock.
  void Remove();

 private:
  JournalLock(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  QString path_;
};

// A journal on disk: the skin's files in an archive, and its manifest.
struct Journal {
  QString archive, manifestFile, lockFile;
  JournalManifest manifest;
  QDateTime time;        // of the last edit it holds
  SkinOrigin origin;
  bool damaged = false;  // its manifest cannot be read: nothing can be offered
  std::shared_ptr<JournalLock> claim;  // held while this editor offers it

  // The skin as it was journalled: opened from the archive over the default
  // skin; nothing when the archive cannot be read.
  std::optional<Skin> Read() const;
  // Removes its files.
  void Remove() const;
  // Moves its files into the folder `aside` (made when needed), where they
  // are kept; returns where the manifest went, or empty when they could not
  // be moved.
  QString MoveAside(const QString& aside) const;
};

class RecoveryJournal : public QObject {
  Q_OBJECT
 public:
  // `folder`: where journals are kept (made when needed).
  RecoveryJournal(SkinDocument& document, QString folder, QObject* parent = nullptr);
  ~RecoveryJournal() override;

  // The journals of editors that no longer run, oldest first, each claimed
  // for this editor; never this editor's own, nor one of an editor that
  // still runs or that another editor has claimed.
  std::vector<Journal> Orphans() const;
  // Where journals that could not be restored are kept.
  QString DamagedFolder() const;
  // This editor's journal files.
  QString ArchivePath() const;
  QString ManifestPath() const;
  // Writes the journal now (on this thread), or removes it when nothing is
  // unsaved; for a clean exit and for measuring. False when it could not be written.
  bool WriteNow();
  void Remove();
  // Whether the last write failed: the unsaved changes are not protected.
  bool failing() const { return failing_; }

 signals:
  // A journal write has reached the disk.
  void written();
  // The journal could not be written (true), or can again (false).
  void failingChanged(bool failing);

 private:
  struct Job {
    std::shared_ptr<Skin> skin;
    QByteArray manifest;
  };
  void Edited();
  void Schedule();
  void Post();
  Job MakeJob() const;
  bool Write(Job& job);
  void Work();
  void Report(bool ok);
  QString PathOf(const char* suffix) const;

  SkinDocument& document_;
  QString folder_;
  QString id_;  // the journal's name: this process and a random part
  QTimer delay_;
  QDateTime firstPending_;  // the oldest edit not journalled yet
  QDateTime lastEdit_;      // the time the manifest gives
  bool failing_ = false;

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::optional<Job> queued_;
  bool busy_ = false, stop_ = false;
  std::unique_ptr<JournalLock> lock_;  // taken by the first write, given up with the journal
  std::thread worker_;
};
