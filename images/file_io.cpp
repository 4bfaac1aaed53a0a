#include "images/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

#include "skin/ascii.h"

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ReadStatus::CannotOpen;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return ReadStatus::CannotOpen;
  }
  std::string data;
  if (st.st_size > 0) {
    if (static_cast<unsigned long long>(st.st_size) > limit) {
      ::close(fd);
      return ReadStatus::TooLarge;
    }
    data.reserve(static_cast<std::size_t>(st.st_size));
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return ReadStatus::CannotOpen;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > limit) {
      ::close(fd);
      return ReadStatus::TooLarge;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  out = std::move(data);
  return ReadStatus::Ok;
}

namespace {

// A symbolic link is followed to the file it finally names, at most this
// many links deep (the kernel's own limit), so that a loop ends.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that writing to `path` should change: `path` itself, or the end
// of its chain of symbolic links, which need not exist yet. The chain is
// followed once, here, so that the temporary file is made beside the real
// file and the rename replaces that file instead of the link.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(std::max<std::size_t>(static_cast<std::size_t>(st.st_size), 255) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    path = target.front() == '/' ? target : JoinPath(FolderOf(path), target);
  }
  return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The replacement takes the old file's owner, group and mode. Only root may
// give a file away; a user may still keep the group when it is one of theirs.
// Failing here is no reason to fail the save.
void TakeOwnerAndMode(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  (void)::fchmod(fd, old.st_mode & 07777);
}

std::string TemporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

bool FileReplacer::Start(const std::string& path, std::string_view bytes, Pending& p) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return false;
  p.target = *target;
  struct stat old {};
  const bool exists = ::stat(p.target.c_str(), &old) == 0;
  if (exists) {
    if (!S_ISREG(old.st_mode)) return false;                 // a folder, a device, a pipe
    if (::access(p.target.c_str(), W_OK) != 0) return false;  // respect a read-only file
  }
  // A rename would split a file from its other hard links.
  if (!exists || old.st_nlink == 1) {
    p.temp = TemporaryNameFor(p.target);
    // Private until it is complete; it gets the old file's mode before the rename.
    p.fd = ::open(p.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (p.fd < 0) {
      p.temp.clear();
      if (!exists) return false;
    } else if (exists) {
      TakeOwnerAndMode(p.fd, old);
    }
  }
  if (p.fd < 0) {
    // In place: new bytes over the old from the start, then cut to length, so
    // a file that keeps its size is never shorter, even after a failure.
    p.fd = ::open(p.target.c_str(), O_WRONLY | O_CLOEXEC);
    if (p.fd < 0) return false;
  }
  if (!WriteAll(p.fd, bytes)) return false;
  if (p.temp.empty() && ::ftruncate(p.fd, static_cast<off_t>(bytes.size())) != 0) return false;
  // Start writing it out now; Finish waits for it.
  if (sync_ == FileSync::Flush) (void)::sync_file_range(p.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  return true;
}

void FileReplacer::Abandon(Pending& p) {
  if (p.fd >= 0) ::close(p.fd);
  p.fd = -1;
  if (!p.temp.empty()) ::unlink(p.temp.c_str());
  p.temp.clear();
  p.ok = false;
}

bool FileReplacer::Write(const std::string& path, std::string_view bytes) {
  Pending& p = pending_.emplace_back();
  p.ok = Start(path, bytes, p);
  if (!p.ok) Abandon(p);
  return p.ok;
}

std::vector<bool> FileReplacer::Finish() {
  for (Pending& p : pending_) {
    if (p.fd < 0) continue;
    if (sync_ == FileSync::Flush && ::fdatasync(p.fd) != 0) p.ok = false;
    if (::close(p.fd) != 0) p.ok = false;
    p.fd = -1;
  }
  std::vector<bool> done;
  for (Pending& p : pending_) {
    if (p.ok && !p.temp.empty()) {
      if (std::rename(p.temp.c_str(), p.target.c_str()) == 0) p.temp.clear();
      else p.ok = false;
    }
    if (!p.ok) Abandon(p);
    done.push_back(p.ok);
  }
  pending_.clear();
  return done;
}

FileReplacer::~FileReplacer() {
  for (Pending& p : pending_) Abandon(p);
}

bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync) {
  FileReplacer replacer(sync);
  return replacer.Write(path, bytes) && replacer.Finish().front();
}

std::string JoinPath(const std::string& folder, std::string_view relative) {
  std::string out = folder;
  if (!out.empty() && out.back() != '/') out += '/';
  out.append(relative);
  return out;
}

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case. When
// several do (a folder copied between systems may hold LAMP.BMP beside
// lamp.bmp), the first in byte order is taken, not the first that readdir
// returns: readdir's order depends on the file system and on the folder's
// history, and opening and saving must settle on the same file every time,
// so that the file a skin was read from is the file its save replaces.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool ok = false;
  while (const dirent* e = ::readdir(dir)) {
    if (EqualsIgnoringAsciiCase(e->d_name, name) && (!ok || std::string_view(e->d_name) < found)) {
      found = e->d_name;
      ok = true;
    }
  }
  ::closedir(dir);
  return ok;
}

}  // namespace

std::string ResolvePathIgnoringCase(const std::string& folder, std::string_view relative) {
  const std::string exact = JoinPath(folder, relative);
  if (Exists(exact)) return exact;
  std::string current = folder;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = relative.find('/', start);
    const std::string part(relative.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
    std::string next = JoinPath(current, part);
    std::string found;
    if (!Exists(next)) {
      // Found in no case: this component and the rest keep their spelling.
      if (!FindIgnoringCase(current, part, found)) return JoinPath(current, relative.substr(start));
      next = JoinPath(current, found);
    }
    current = std::move(next);
    if (slash == std::string_view::npos) return current;
    start = slash + 1;
  }
}
