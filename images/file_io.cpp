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

bool Flush(int fd, FileSync sync) { return sync == FileSync::NoFlush || ::fdatasync(fd) == 0; }

// New bytes over the old from the start, then the file cut to their length:
// a file that keeps its size (a picture saved again) is never shorter than
// before, even when the write fails half way.
bool WriteInPlace(const std::string& path, std::string_view bytes, FileSync sync) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && Flush(fd, sync);
  if (::close(fd) != 0) ok = false;
  return ok;
}

// The replacement takes the old file's owner, group and mode. Only root may
// give a file away; a user may still keep the group when it is one of theirs.
// Failing here is no reason to fail the save.
void TakeOwnerAndMode(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  (void)::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return false;
  struct stat old {};
  const bool exists = ::stat(target->c_str(), &old) == 0;
  if (exists) {
    if (!S_ISREG(old.st_mode)) return false;                    // a folder, a device, a pipe
    if (::access(target->c_str(), W_OK) != 0) return false;     // respect a read-only file
    if (old.st_nlink > 1) return WriteInPlace(*target, bytes, sync);  // a rename would split the links
  }
  static std::atomic<unsigned> counter{0};
  const std::string temp = *target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  // Private until it is complete; it gets the old file's mode before the rename.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
  if (fd < 0) return exists && WriteInPlace(*target, bytes, sync);
  if (exists) TakeOwnerAndMode(fd, old);
  bool ok = WriteAll(fd, bytes) && Flush(fd, sync);
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), target->c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
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
