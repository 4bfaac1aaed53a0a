// Read access to a skin archive (.zip) through minizip. The archive is opened
// once and its entries indexed in central-directory order.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SkinArchive {
 public:
  struct Entry {
    std::string name;  // as stored, with every "/" turned into "\"
    std::uint64_t uncompressedSize = 0;
    bool encrypted = false;
  };

  // Members larger than this are not extracted (a zip bomb must not be able
  // to ask for gigabytes).
  static constexpr std::uint64_t kMaxMemberSize = 64ull * 1024 * 1024;

  static std::unique_ptr<SkinArchive> Open(const std::string& path);
  ~SkinArchive();
  SkinArchive(const SkinArchive&) = delete;
  SkinArchive& operator=(const SkinArchive&) = delete;

  const std::vector<Entry>& entries() const { return entries_; }

  // The first entry whose whole name equals `name` ignoring ASCII case,
  // "/" and "\" alike.
  std::optional<std::size_t> Find(std::string_view name) const;

  // The skin's settings entry: the first entry, in central-directory order,
  // named uisettings.ini in any letter case and in any folder.
  std::optional<std::size_t> FindSettings() const;

  // The whole content of an entry; false when it is too large, encrypted,
  // damaged, longer than its recorded size or fails its checksum.
  bool Extract(std::size_t index, std::string& out);

 private:
  explicit SkinArchive(void* handle) : handle_(handle) {}
  void* handle_;
  std::vector<Entry> entries_;
  std::vector<std::uint64_t> positions_;  // offsets of the local headers
  std::vector<std::uint64_t> directoryPositions_;
};

// Compares two archive names ignoring ASCII case, "/" and "\" alike.
bool SameArchiveName(std::string_view a, std::string_view b);

// The skin's root in an archive: the folder part of its settings entry's
// name, with its last "\" ("MySkin\"), or empty at the top.
std::string SkinRootOf(std::string_view settingsEntry);

// The member that holds a file of the skin: the root and the file's path in
// the skin folder ("icon/nds.bmp"), with "\" for "/".
std::string SkinMemberName(std::string_view root, std::string_view file);
