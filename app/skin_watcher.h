// Watches the folder or archive of the open skin and says which of its files
// changed on disk, once they have settled. A paint program writes a picture
// in pieces (or writes a new file and renames it over the old one), so a
// change is reported only when the files have stopped moving: no event for
// one settle interval, and the same sizes and times at two looks in a row.
// What changed is decided by comparing the files' sizes, times and inodes
// with what the watcher last knew, so the editor's own save, followed by
// Resync, never comes back as a change on disk.
// What changed since the last report (or Watch, or Resync) is the core's
// DiskChanges (edit/disk_reload.h).
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/disk_reload.h"
#include "skin/catalogue.h"

class SkinWatcher : public QObject {
  Q_OBJECT
 public:
  explicit SkinWatcher(QObject* parent = nullptr);

  // Watches a skin folder (and its icon folder) or a .zip; what is there now
  // is the state changes are measured from. An empty path stops watching.
  void Watch(const QString& path);
  const QString& path() const { return path_; }
  bool archive() const { return archive_; }

  // The files are as the editor itself has just written them: that is the
  // new state, not a change.
  void Resync();
  // A picture whose change could not be taken (it did not decode, being
  // still half written): it is reported again at the next change of anything
  // watched.
  void Retry(ImageId image);
  void RetryArchive();

  // The quiet time that makes a change settled (tests shorten it).
  void SetSettleTime(int ms) { timer_.setInterval(ms); }

 signals:
  void changed(const DiskChanges& changes);

 private:
  // One file as the watcher knows it; a missing file is all zeros.
  struct FileState {
    std::uint64_t inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;  // nanoseconds
    bool exists = false;
    bool operator==(const FileState&) const = default;
  };
  struct Snapshot {
    FileState archive, settings;
    std::array<FileState, kImageCount> images{};
    std::vector<std::string> listing;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() const;
  void Rewatch();
  void Touched();
  void Settle();

  QFileSystemWatcher watcher_;
  QTimer timer_;
  QString path_;
  bool archive_ = false;
  Snapshot known_, probe_;
  bool probing_ = false;
};
