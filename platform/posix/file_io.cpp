#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstdlib>

#include "skin/ascii.h"

namespace {

// Opens a regular file for reading, or says why not. The path is looked at
// before it is opened, so that a device is never opened at all; the open
// itself does not block (a pipe without a writer would hold it forever), and
// what was opened is looked at again, in case the name changed in between.
ReadStatus OpenRegular(const std::string& path, int& fd, struct stat& st) {
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? ReadStatus::NotFound : ReadStatus::NotReadable;
  if (!S_ISREG(st.st_mode)) return ReadStatus::NotRegular;
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? ReadStatus::NotFound : ReadStatus::NotReadable;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadStatus::NotRegular;
  }
  return ReadStatus::Ok;
}

// Reads from `offset` up to `limit` bytes; with `cut`, what lies beyond is
// left unread, without it a file holding more is TooLarge.
ReadStatus ReadFrom(int fd, std::size_t expected, std::size_t limit, bool cut, std::string& out) {
  std::string data;
  data.reserve(std::min(expected, limit));
  char buf[65536];
  for (;;) {
    const std::size_t room = cut ? std::min(sizeof buf, limit - data.size()) : sizeof buf;
    if (room == 0) break;
    const ssize_t n = ::pread(fd, buf, room, static_cast<off_t>(data.size()));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ReadStatus::NotReadable;
    }
    if (n == 0) break;
    // A file that grows while it is read is stopped at the limit all the same.
    if (data.size() + static_cast<std::size_t>(n) > limit) return ReadStatus::TooLarge;
    data.append(buf, static_cast<std::size_t>(n));
  }
  out = std::move(data);
  return ReadStatus::Ok;
}

}  // namespace

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

ReadStatus RegularFile::Open(const std::string& path) {
  struct stat st {};
  const ReadStatus s = OpenRegular(path, fd_, st);
  if (s != ReadStatus::Ok) fd_ = -1;
  size_ = static_cast<unsigned long long>(std::max<off_t>(st.st_size, 0));
  return s;
}

ReadStatus RegularFile::ReadHead(std::size_t count, std::string& out) {
  if (fd_ < 0) return ReadStatus::NotReadable;
  return ReadFrom(fd_, count, count, true, out);
}

ReadStatus RegularFile::ReadAll(std::size_t limit, std::string& out) {
  if (fd_ < 0) return ReadStatus::NotReadable;
  // The size is checked before anything is read.
  if (size_ > limit) return ReadStatus::TooLarge;
  return ReadFrom(fd_, static_cast<std::size_t>(size_), limit, false, out);
}

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit) {
  RegularFile file;
  const ReadStatus s = file.Open(path);
  return s == ReadStatus::Ok ? file.ReadAll(limit, out) : s;
}

ReadStatus ReadFileHead(const std::string& path, std::string& out, std::size_t count) {
  RegularFile file;
  const ReadStatus s = file.Open(path);
  return s == ReadStatus::Ok ? file.ReadHead(count, out) : s;
}

namespace {

// A symbolic link is followed to the file it finally names, at most this
// many links deep (the kernel's own limit), so that a loop ends.
constexpr int kMaxLinkHops = 40;

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
    path = target.front() == '/' ? target : JoinPath(FolderOfPath(path), target);
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

// The process id of a temporary file of ours ("name.~PID-N"), or 0.
pid_t TemporaryOwner(std::string_view name) {
  const std::size_t mark = name.rfind(".~");
  if (mark == std::string_view::npos || mark == 0) return 0;
  const std::string_view rest = name.substr(mark + 2);
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size() || dash > 9) return 0;
  const auto digits = [](std::string_view d) { return d.find_first_not_of("0123456789") == std::string_view::npos; };
  if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return 0;
  return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

}  // namespace

std::string FolderOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool RemoveEmptyFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

std::string TemporaryNameFor(const std::string& target) {
#if defined(__EMSCRIPTEN__)
  // Every WebAssembly process has the same id (42): the numbers start at a
  // random one instead, so that two of them saving into one folder do not
  // take the same names.
  static std::atomic<unsigned> counter{[] {
    unsigned start = 0;
    (void)::getentropy(&start, sizeof start);
    return start % 1000000000u;
  }()};
#else
  static std::atomic<unsigned> counter{0};
#endif
  return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

int SweepStaleTemporaries(const std::string& folder) {
  int removed = 0;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  std::vector<std::string> stale;
  while (const dirent* e = ::readdir(dir)) {
    const pid_t owner = TemporaryOwner(e->d_name);
    if (owner > 0 && owner != ::getpid() && !ProcessRuns(owner)) stale.emplace_back(e->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) {
    const std::string path = JoinPath(folder, name);
    struct stat st {};
    // Only files: a folder of that name is nobody's temporary file of ours.
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

namespace {

bool NoRoom(int error) { return error == ENOSPC || error == EDQUOT; }

std::string RealPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string out(real);
  std::free(real);
  return out;
}

// The real path of a folder, links resolved; one that does not exist yet is
// placed by the nearest folder above it that does. Empty when that cannot
// be told (a ".." below a missing folder).
std::string RealFolder(std::string folder) {
  std::string rest;
  for (int depth = 0; depth < 256; ++depth) {
    if (std::string real = RealPath(folder); !real.empty()) return rest.empty() ? real : JoinPath(real, rest);
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash == 0) return {};
    const std::string part = folder.substr(slash + 1);
    if (part == "..") return {};
    if (!part.empty() && part != ".") rest = rest.empty() ? part : part + "/" + rest;
    folder.resize(slash);
  }
  return {};
}

bool WithinFolder(const std::string& realFolder, const std::string& realPath) {
  if (realFolder.empty() || realPath.empty()) return false;
  if (realFolder == "/") return true;
  return realPath == realFolder ||
         (realPath.size() > realFolder.size() && realPath.compare(0, realFolder.size(), realFolder) == 0 &&
          realPath[realFolder.size()] == '/');
}

// Reserves room for `size` bytes of an open file without changing what it
// holds, so that writing them over the old ones cannot run out of room half
// way. Where the file system reserves nothing, the free room must hold them.
bool Reserve(int fd, unsigned long long size, int& error) {
#if defined(FALLOC_FL_KEEP_SIZE) && !defined(__EMSCRIPTEN__)  // declared there, not implemented
  if (size == 0) return true;
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return true;
  if (errno != EOPNOTSUPP && errno != ENOSYS) {
    error = errno;
    return false;
  }
#endif
  struct statvfs fs {};
  struct stat st {};
  if (::fstatvfs(fd, &fs) != 0 || ::fstat(fd, &st) != 0) return true;  // nothing known: try
  const unsigned long long held = static_cast<unsigned long long>(std::max<off_t>(st.st_size, 0));
  const unsigned long long free = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
  if (size > held && size - held > free) {
    error = ENOSPC;
    return false;
  }
  return true;
}

bool ReadOld(int fd, std::string& out) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  out.resize(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAt0(int fd, std::string_view bytes) {
  return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

WriteOutcome FailureOf(int error) { return NoRoom(error) ? WriteOutcome::DiskFull : WriteOutcome::Failed; }

}  // namespace

void FileReplacer::ConfineTo(const std::string& folder, OutsideLinks links) {
  confinedTo_ = RealFolder(folder);
  if (confinedTo_.empty()) confinedTo_ = "/nonexistent/";  // nothing lies inside a folder that is not there
  links_ = links;
}

bool FileReplacer::Inside(const std::string& target) const {
  if (confinedTo_.empty() || links_ == OutsideLinks::Follow) return true;
  const std::string folder = RealFolder(FolderOfPath(target));
  return WithinFolder(confinedTo_, folder);
}

bool FileReplacer::Start(const std::string& path, std::string_view bytes, Pending& p) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return false;
  p.target = *target;
  if (!Inside(p.target)) {
    p.outcome = WriteOutcome::LinkOutside;
    return false;
  }
  if (const std::string folder = FolderOfPath(p.target);
      std::find(swept_.begin(), swept_.end(), folder) == swept_.end()) {
    SweepStaleTemporaries(folder);
    swept_.push_back(folder);
  }
  struct stat old {};
  const bool exists = ::stat(p.target.c_str(), &old) == 0;
  if (exists) {
    if (!S_ISREG(old.st_mode)) return false;                 // a folder, a device, a pipe
    if (::access(p.target.c_str(), W_OK) != 0) return false;  // respect a read-only file
  }
  // A rename would split a file from its other hard links.
  if (exists && old.st_nlink > 1 && whole_ == Whole::Always) {
    refusal_ = WriteRefusal::HardLinks;
    return false;
  }
  if (!exists || old.st_nlink == 1) {
    p.temp = TemporaryNameFor(p.target);
    // Private until it is complete; it gets the old file's mode before the rename.
    p.fd = ::open(p.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (p.fd < 0) {
      const int error = errno;
      p.temp.clear();
      if (whole_ == Whole::Always) refusal_ = error == EACCES || error == EROFS ? WriteRefusal::FolderReadOnly : WriteRefusal::Other;
      if (!exists || whole_ == Whole::Always) {
        p.outcome = FailureOf(error);
        return false;
      }
    } else {
      if (exists) TakeOwnerAndMode(p.fd, old);
      if (!WriteAll(p.fd, bytes)) {
        p.outcome = FailureOf(errno);
        return false;
      }
#if defined(SYNC_FILE_RANGE_WRITE) && !defined(__EMSCRIPTEN__)
      // Start writing it out now; Finish waits for it.
      if (sync_ == FileSync::Flush) (void)::sync_file_range(p.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
      return true;
    }
  }
  // In place: nothing is changed before Finish knows that everything else
  // was written.
  p.fd = ::open(p.target.c_str(), O_RDWR | O_CLOEXEC);
  if (p.fd < 0) {
    p.outcome = FailureOf(errno);
    return false;
  }
  p.bytes.assign(bytes);
  return true;
}

void FileReplacer::Abandon(Pending& p) {
  if (p.fd >= 0) ::close(p.fd);
  p.fd = -1;
  if (!p.temp.empty()) ::unlink(p.temp.c_str());
  p.temp.clear();
  if (p.outcome == WriteOutcome::Written) p.outcome = WriteOutcome::Abandoned;
}

bool FileReplacer::Write(const std::string& path, std::string_view bytes) {
  refusal_ = WriteRefusal::None;
  Pending& p = pending_.emplace_back();
  if (!Start(path, bytes, p)) {
    if (p.outcome == WriteOutcome::Written) p.outcome = WriteOutcome::Failed;
    Abandon(p);
    return false;
  }
  return true;
}

bool FileReplacer::WriteInPlace(Pending& p) {
  // The room first: what the new bytes need beyond the old is reserved, so
  // the write cannot stop half way for want of it.
  int error = 0;
  if (!Reserve(p.fd, p.bytes.size(), error) || !ReadOld(p.fd, p.old)) {
    p.outcome = FailureOf(error ? error : errno);
    return false;
  }
  p.written = true;  // from here on the old bytes may be gone
  if (!WriteAt0(p.fd, p.bytes) || (sync_ == FileSync::Flush && ::fdatasync(p.fd) != 0)) {
    p.outcome = FailureOf(errno);
    return false;
  }
  return true;
}

void FileReplacer::PutBack(Pending& p) {
  // The old bytes fit where they were, so this needs no new room.
  if (p.written && p.fd >= 0 && WriteAt0(p.fd, p.old)) (void)::fdatasync(p.fd);
  p.written = false;
}

std::vector<WriteOutcome> FileReplacer::Finish() {
  bool ok = std::all_of(pending_.begin(), pending_.end(), [](const Pending& p) { return p.fd >= 0; });
  // Every new file flushed, while the old ones are all still there.
  for (Pending& p : pending_) {
    if (!ok) break;
    if (p.temp.empty()) continue;
    if ((sync_ == FileSync::Flush && ::fdatasync(p.fd) != 0) || ::close(p.fd) != 0) {
      p.outcome = FailureOf(errno);
      ok = false;
    }
    p.fd = -1;
  }
  // Then the files that must be written in place; a failure puts back what
  // was written so far.
  for (Pending& p : pending_) {
    if (!ok) break;
    if (!p.temp.empty()) continue;
    ok = WriteInPlace(p);
  }
  if (!ok) {
    for (Pending& p : pending_) {
      PutBack(p);
      Abandon(p);
    }
  } else {
    for (Pending& p : pending_) {
      if (p.temp.empty()) {
        if (::close(p.fd) != 0 && p.outcome == WriteOutcome::Written) p.outcome = WriteOutcome::Failed;
        p.fd = -1;
      } else if (std::rename(p.temp.c_str(), p.target.c_str()) == 0) {
        p.temp.clear();
      } else {
        // With every file written and flushed beside its old one, a rename
        // that fails is all but unheard of; the rest still go in place.
        p.outcome = FailureOf(errno);
        Abandon(p);
      }
    }
  }
  std::vector<WriteOutcome> done;
  for (const Pending& p : pending_) done.push_back(p.outcome);
  pending_.clear();
  return done;
}

FileReplacer::~FileReplacer() {
  for (Pending& p : pending_) {
    PutBack(p);
    Abandon(p);
  }
}

bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync, Whole whole, WriteRefusal* refusal) {
  FileReplacer replacer(sync, whole);
  const bool written = replacer.Write(path, bytes);
  if (refusal) *refusal = replacer.refusal();
  return replacer.Finish().front() == WriteOutcome::Written && written;
}

bool LeadsOutside(const std::string& folder, const std::string& path) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return true;  // a loop of links: nothing can be written through it
  return !WithinFolder(RealFolder(folder), RealFolder(FolderOfPath(*target)));
}

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, static_cast<unsigned long long>(std::max<off_t>(st.st_size, 0)),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
          static_cast<unsigned long long>(st.st_ino), static_cast<unsigned long long>(st.st_dev)};
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
