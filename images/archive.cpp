#include "images/archive.h"

#include <minizip/unzip.h>

#include <algorithm>

#include "skin/ascii.h"

namespace {

char Fold(char c) { return c == '/' ? '\\' : AsciiLower(c); }

}  // namespace

bool SameArchiveName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::unique_ptr<SkinArchive> SkinArchive::Open(const std::string& path) {
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return nullptr;
  std::unique_ptr<SkinArchive> archive(new SkinArchive(zip));
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

bool SkinArchive::Extract(std::size_t index, std::string& out) {
  if (index >= entries_.size()) return false;
  const Entry& e = entries_[index];
  if (e.encrypted || e.uncompressedSize > kMaxMemberSize) return false;
  unz64_file_pos pos{positions_[index], directoryPositions_[index]};
  if (unzGoToFilePos64(handle_, &pos) != UNZ_OK) return false;
  if (unzOpenCurrentFile(handle_) != UNZ_OK) return false;
  // The recorded size is a claim: memory is reserved for it only up to a few
  // megabytes, and a member that inflates to more than it recorded is
  // damaged, so reading stops there (a small archive cannot make us inflate
  // gigabytes behind a small recorded size).
  std::string data;
  data.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(e.uncompressedSize, 4u << 20)));
  char buf[65536];
  bool ok = true;
  for (;;) {
    const int n = unzReadCurrentFile(handle_, buf, sizeof buf);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > e.uncompressedSize) {
      ok = false;
      break;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  // Closing checks the CRC of a member read to its end; one that ends short
  // of its recorded size is damaged too.
  if (unzCloseCurrentFile(handle_) != UNZ_OK || data.size() != e.uncompressedSize) ok = false;
  if (!ok) return false;
  out = std::move(data);
  return true;
}
