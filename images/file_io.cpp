#include "images/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    if (::access(path.c_str(), W_OK) != 0) return false;  // respect a read-only file
  }
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
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

// The first entry of `folder` whose name equals `name` ignoring ASCII case.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool ok = false;
  while (const dirent* e = ::readdir(dir)) {
    if (EqualsIgnoringAsciiCase(e->d_name, name)) {
      found = e->d_name;
      ok = true;
      break;
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
  while (start <= relative.size()) {
    const std::size_t slash = relative.find('/', start);
    const std::string part(relative.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
    std::string next = JoinPath(current, part);
    if (!Exists(next)) {
      std::string found;
      if (!FindIgnoringCase(current, part, found)) return exact;
      next = JoinPath(current, found);
    }
    current = std::move(next);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return current;
}
