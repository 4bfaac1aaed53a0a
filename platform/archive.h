// Read access to a skin archive (.zip). The archive is opened once and its
// entries indexed in central-directory order. Opening and inflating are the
// platform's (platform/native/zip_reader.cpp over minizip); the name rules,
// the member limit and the inflate budget are the same everywhere
// (platform/archive.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "skin/budgets.h"

// Why an entry gave no bytes.
enum class ExtractStatus {
  Ok,
  Encrypted,   // needs a password
  TooLarge,    // records more than a member may have
  OverBudget,  // the open has inflated all it may
  Damaged,     // does not inflate, or not to its recorded size and checksum
};

class SkinArchive {
 public:
  struct Entry {
    std::string name;  // as stored, with every "/" turned into "\"
    std::uint64_t uncompressedSize = 0;
    bool encrypted = false;
  };

  // Only a regular file is opened (a pipe or a device is refused at once);
  // nothing when it is not a .zip, with `why` telling NotFound, NotReadable
  // or NotRegular apart from a file that is simply no archive (Ok). What
  // this archive's entries inflate to, all together, stays within
  // `inflateBudget`.
  static std::unique_ptr<SkinArchive> Open(const std::string& path, ReadStatus* why = nullptr,
                                           std::uint64_t inflateBudget = kMaxArchiveInflate);
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

  // The whole content of an entry, inflated to exactly its recorded size
  // (and no further) and checked against its checksum.
  ExtractStatus Extract(std::size_t index, std::string& out);
  // Its first `count` bytes (fewer when it is shorter), without the checksum.
  ExtractStatus ExtractHead(std::size_t index, std::size_t count, std::string& out);

 private:
  struct Reader;  // the platform's own
  SkinArchive(std::unique_ptr<Reader> reader, std::uint64_t budget);
  // Counts `count` bytes against the budget, then inflates them.
  ExtractStatus Take(std::size_t index, std::size_t count, bool whole, std::string& out);
  // The platform's inflating: with `whole`, exactly `count` bytes (the
  // recorded size), checked against the entry's checksum, and Damaged when
  // it inflates to more or fewer; without, its first `count` bytes, or fewer
  // when it is shorter. Allocates `count` bytes at most.
  ExtractStatus Inflate(std::size_t index, std::size_t count, bool whole, std::string& out);

  std::unique_ptr<Reader> reader_;
  std::uint64_t inflateLeft_;
  std::vector<Entry> entries_;
};

// An entry's name as SkinArchive::Entry keeps it: the name the archive
// stores, up to a NUL, with every "/" turned into "\".
std::string ArchiveEntryName(std::string_view stored);

// Compares two archive names ignoring ASCII case, "/" and "\" alike.
bool SameArchiveName(std::string_view a, std::string_view b);

// The skin's root in an archive: the folder part of its settings entry's
// name, with its last "\" ("MySkin\"), or empty at the top.
std::string SkinRootOf(std::string_view settingsEntry);

// The member that holds a file of the skin: the root and the file's path in
// the skin folder ("icon/nds.bmp"), with "\" for "/".
std::string SkinMemberName(std::string_view root, std::string_view file);
