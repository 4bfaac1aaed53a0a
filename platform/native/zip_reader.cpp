#include "platform/archive.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "skin/ascii.h"

namespace {

char Fold(char c) { return c == '/' ? '\\' : AsciiLower(c); }

// minizip's own file functions, but opening only a regular file, without
// blocking: fopen of a pipe would wait for a writer forever.
struct OpenResult {
  ReadStatus status = ReadStatus::Ok;
};

voidpf ZCALLBACK OpenRegularFile(voidpf opaque, const void* filename, int) {
  auto* result = static_cast<OpenResult*>(opaque);
  const char* path = static_cast<const char*>(filename);
  struct stat st {};
  if (::stat(path, &st) != 0) {
    result->status = errno == ENOENT || errno == ENOTDIR ? ReadStatus::NotFound : ReadStatus::NotReadable;
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    result->status = ReadStatus::NotRegular;
    return nullptr;
  }
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    result->status = errno == ENOENT ? ReadStatus::NotFound : ReadStatus::NotReadable;
    return nullptr;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    result->status = ReadStatus::NotRegular;
    return nullptr;
  }
  FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    ::close(fd);
    result->status = ReadStatus::NotReadable;
  }
  return file;
}

}  // namespace

bool SameArchiveName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::unique_ptr<SkinArchive> SkinArchive::Open(const std::string& path, ReadStatus* why, std::uint64_t inflateBudget) {
  OpenResult opened;
  zlib_filefunc64_def io{};
  fill_fopen64_filefunc(&io);
  io.zopen64_file = OpenRegularFile;
  io.opaque = &opened;
  unzFile zip = unzOpen2_64(path.c_str(), &io);
  if (why) *why = opened.status;
  if (!zip) return nullptr;
  std::unique_ptr<SkinArchive> archive(new SkinArchive(zip, inflateBudget));
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(zip, &global) != UNZ_OK) return nullptr;
  // The entry count comes from the file: do not reserve by it.
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[501] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    unz64_file_pos pos{};
    if (unzGetFilePos64(zip, &pos) != UNZ_OK) break;
    Entry e;
    e.name.assign(name, std::min<std::size_t>(info.size_filename, sizeof name - 1));
    e.name.resize(std::char_traits<char>::length(e.name.c_str()));
    for (char& c : e.name) {
      if (c == '/') c = '\\';
    }
    e.uncompressedSize = info.uncompressed_size;
    e.encrypted = (info.flag & 1) != 0;
    archive->entries_.push_back(std::move(e));
    archive->positions_.push_back(pos.pos_in_zip_directory);
    archive->directoryPositions_.push_back(pos.num_of_file);
  }
  return archive;
}

SkinArchive::~SkinArchive() { unzClose(handle_); }

std::optional<std::size_t> SkinArchive::Find(std::string_view name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (SameArchiveName(entries_[i].name, name)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> SkinArchive::FindSettings() const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view name = entries_[i].name;
    if (EqualsIgnoringAsciiCase(name.substr(name.rfind('\\') + 1), "uisettings.ini")) return i;
  }
  return std::nullopt;
}

std::string SkinRootOf(std::string_view settingsEntry) {
  return std::string(settingsEntry.substr(0, settingsEntry.rfind('\\') + 1));
}

std::string SkinMemberName(std::string_view root, std::string_view file) {
  std::string member(root);
  for (char c : file) member += c == '/' ? '\\' : c;
  return member;
}

ExtractStatus SkinArchive::Extract(std::size_t index, std::string& out) {
  if (index >= entries_.size()) return ExtractStatus::Damaged;
  const Entry& e = entries_[index];
  if (e.uncompressedSize > kMaxArchiveMemberSize) return ExtractStatus::TooLarge;
  return Inflate(index, static_cast<std::size_t>(e.uncompressedSize), true, out);
}

ExtractStatus SkinArchive::ExtractHead(std::size_t index, std::size_t count, std::string& out) {
  if (index >= entries_.size()) return ExtractStatus::Damaged;
  return Inflate(index, static_cast<std::size_t>(std::min<std::uint64_t>(count, entries_[index].uncompressedSize)),
                 false, out);
}

ExtractStatus SkinArchive::Inflate(std::size_t index, std::size_t count, bool whole, std::string& out) {
  const Entry& e = entries_[index];
  if (e.encrypted) return ExtractStatus::Encrypted;
  // What an open inflates is counted by the sizes entries record: a member
  // cannot inflate past its own (reading stops there), so the sum of the
  // records bounds the work.
  if (count > inflateLeft_) return ExtractStatus::OverBudget;
  inflateLeft_ -= count;
  unz64_file_pos pos{positions_[index], directoryPositions_[index]};
  if (unzGoToFilePos64(handle_, &pos) != UNZ_OK) return ExtractStatus::Damaged;
  if (unzOpenCurrentFile(handle_) != UNZ_OK) return ExtractStatus::Damaged;
  // The recorded size is within the member limit and the budget: the bytes
  // are reserved once, so a member costs its own size and no more.
  std::string data;
  data.reserve(count);
  bool ok = true;
  while (data.size() < count) {
    char buf[65536];
    const unsigned want = static_cast<unsigned>(std::min<std::size_t>(sizeof buf, count - data.size()));
    const int n = unzReadCurrentFile(handle_, buf, want);
    if (n <= 0) {
      ok = n == 0 && !whole;
      break;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  if (whole && ok) {
    // A member that inflates to more than it recorded is damaged; closing
    // checks the CRC of a member read to its end.
    char extra = 0;
    if (unzReadCurrentFile(handle_, &extra, 1) != 0) ok = false;
  }
  const int closed = unzCloseCurrentFile(handle_);
  if (whole && closed != UNZ_OK) ok = false;
  if (!ok) return ExtractStatus::Damaged;
  out = std::move(data);
  return ExtractStatus::Ok;
}
