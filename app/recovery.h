// Nothing lost when the editor dies. While the document holds unsaved
// changes, the skin as a save would write it goes into a journal of this
// editor's own, a moment after the last edit: one archive of the skin's
// files and a small manifest (where the skin came from, where Save writes,
// the time, this process), in a recovery folder of the user's data folder,
// never beside the skin. Each write replaces the last one whole. The
// archive is made in a worker thread, so typing never waits for it. A save,
// Discard, Undo back to the saved state and a clean exit remove it; the next
// start offers the journal of an editor that is gone.
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
#include "skin/skin.h"

// A journal on disk: the skin's files in an archive, and its manifest.
struct Journal {
  QString archive, manifest;
  long long pid = 0;
  QDateTime time;        // of the last edit it holds
  SkinOrigin origin;
  QString lastUpdate;    // the skin's own LastUpdate (the archive's is the journal's)

  // The skin as it was journalled: opened from the archive over the default
  // skin; nothing when the archive cannot be read.
  std::optional<Skin> Read() const;
  // Removes both files.
  void Remove() const;
};

class RecoveryJournal : public QObject {
  Q_OBJECT
 public:
  // `folder`: where journals are kept (made when needed).
  RecoveryJournal(SkinDocument& document, QString folder, QObject* parent = nullptr);
  ~RecoveryJournal() override;

  // The journals of editors that no longer run, oldest first; never this
  // editor's own, nor one of an editor that still runs.
  std::vector<Journal> Orphans() const;
  // This editor's journal files.
  QString ArchivePath() const;
  QString ManifestPath() const;
  // Writes the journal now (on this thread), or removes it when nothing is
  // unsaved; for a clean exit and for measuring.
  void WriteNow();
  void Remove();
  // The quiet time after an edit before the journal is written (tests shorten it).
  void SetDelay(int ms) { delay_.setInterval(ms); }

 signals:
  // A journal write has reached the disk.
  void written();

 private:
  struct Job {
    std::shared_ptr<Skin> skin;
    QByteArray manifest;
  };
  void Schedule();
  void Post();
  Job MakeJob() const;
  void Write(Job& job) const;
  void Work();

  SkinDocument& document_;
  QString folder_;
  QTimer delay_;
  QDateTime firstPending_;  // the oldest edit not journalled yet

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::optional<Job> queued_;
  bool busy_ = false, stop_ = false;
  std::thread worker_;
};
