#include "app/skin_watcher.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <limits>

#include "app/paths.h"
#include "app/qt_text.h"
#include "platform/file_io.h"
#include "platform/folder_list.h"

namespace {

// Two looks this far apart, with no event between them, make a change settled.
constexpr int kSettleMs = 150;

std::string IconFolder(const std::string& folder) { return ResolvePathIgnoringCase(folder, "icon"); }

// The nearest folder above `path` that exists. A watch on a folder ends
// when the folder goes; the one above it sees the folder made again, or
// another renamed into its place, and the watch is then set up anew.
QString ExistingFolderAbove(const QString& path) {
  QFileInfo up(QFileInfo(path).absolutePath());
  while (!up.isDir() && !up.isRoot()) up = QFileInfo(up.absolutePath());
  return up.absoluteFilePath();
}

}  // namespace

SkinWatcher::SkinWatcher(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setInterval(kSettleMs);
  connect(&timer_, &QTimer::timeout, this, &SkinWatcher::Settle);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SkinWatcher::Touched);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SkinWatcher::Touched);
}

void SkinWatcher::Watch(const QString& path) {
  path_ = path;
  archive_ = !path.isEmpty() && IsSkinArchive(path) && !QFileInfo(path).isDir();
  Resync();
}

SkinWatcher::Snapshot SkinWatcher::Take() const {
  const auto stateOf = [](const std::string& file) {
    FileState f;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return f;
    f.exists = true;
    f.inode = st.st_ino;
    f.size = static_cast<std::uint64_t>(st.st_size);
    f.modified = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    f.changed = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return f;
  };
  Snapshot s;
  if (path_.isEmpty()) return s;
  const std::string root = Local(path_);
  if (archive_) {
    s.archive = stateOf(root);
    return s;
  }
  // Found whatever their letter case, as opening finds them.
  s.settings = stateOf(ResolvePathIgnoringCase(root, "uisettings.ini"));
  for (const CatalogueEntry& e : ImageCatalogue()) {
    s.images[static_cast<std::size_t>(e.id)] = stateOf(ResolvePathIgnoringCase(root, e.file));
  }
  s.listing = RegularFilesIn(root);
  for (const std::string& f : RegularFilesIn(IconFolder(root))) s.listing.push_back("icon/" + f);
  return s;
}

void SkinWatcher::Rewatch() {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  if (path_.isEmpty()) return;
  // Folders see files replaced by a rename; the files themselves see writes
  // in place. A file replaced drops out of the watch, so after every look
  // the watch is set up again.
  QStringList paths;
  const std::string root = Local(path_);
  paths << ExistingFolderAbove(path_);
  if (archive_) {
    paths << path_;
  } else {
    if (IsExistingFolder(root)) paths << path_;
    const std::string icons = IconFolder(root);
    if (IsExistingFolder(icons)) paths << FromLocal(icons);
    if (known_.settings.exists) paths << FromLocal(ResolvePathIgnoringCase(root, "uisettings.ini"));
    for (const CatalogueEntry& e : ImageCatalogue()) {
      if (known_.images[static_cast<std::size_t>(e.id)].exists) paths << FromLocal(ResolvePathIgnoringCase(root, e.file));
    }
  }
  watcher_.addPaths(paths);
}

void SkinWatcher::Resync() {
  timer_.stop();
  probing_ = false;
  known_ = Take();
  Rewatch();
}

void SkinWatcher::Retry(ImageId image) {
  // A state no file has: the next look finds the file changed.
  known_.images[static_cast<std::size_t>(image)].modified = std::numeric_limits<std::int64_t>::min();
}

void SkinWatcher::RetryArchive() { known_.archive.modified = std::numeric_limits<std::int64_t>::min(); }

void SkinWatcher::Touched() {
  if (path_.isEmpty()) return;
  probing_ = false;
  timer_.start();
}

void SkinWatcher::Settle() {
  // A chooser or the colour dialog is open: the skin must not change under
  // it, so the look waits until it is closed.
  if (QApplication::activeModalWidget()) {
    timer_.start();
    return;
  }
  const Snapshot now = Take();
  if (!probing_ || !(now == probe_)) {
    // Still moving, or the first look: look again after another quiet interval.
    probe_ = now;
    probing_ = true;
    timer_.start();
    return;
  }
  probing_ = false;
  DiskChanges c;
  c.archive = archive_ && !(now.archive == known_.archive);
  c.settings = !(now.settings == known_.settings);
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const auto i = static_cast<std::size_t>(e.id);
    if (!(now.images[i] == known_.images[i])) c.images.push_back(e.id);
  }
  c.listing = now.listing != known_.listing;
  known_ = now;
  Rewatch();
  if (c.any()) emit changed(c);
}
