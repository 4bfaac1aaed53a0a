// The archive reader of the web build: the archive's bytes go to the
// JavaScript zip library (Module.skinPlatform.zip, web/platform/zip.mjs),
// which lists the entries and inflates them; the names, the member limit
// and the budget are platform/archive.cpp's, as everywhere.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/archive.h"
#include "platform/web/js_block.h"

namespace {

// The whole archive is handed over at once: a skin archive is a few
// megabytes, and the library reads from memory.
constexpr std::size_t kMaxArchiveFile = 512u * 1024 * 1024;

// Opens the archive in JavaScript: its handle (0 when the bytes are no
// archive) and, in a block, its listing: per entry a 32-bit name length, the
// name's bytes and the recorded size as two 32-bit halves, low first.
EM_JS(int, SkinJsZipOpen, (const char* bytes, std::size_t size, void** listing), {
  return skinJsZipOpen(HEAPU8.subarray(bytes, bytes + size), listing);
});

// Inflates entry `index`: the length of what it yields, kept in JavaScript
// for SkinJsZipTake, or -1 when it is damaged. With `whole`, exactly `count`
// bytes matching the entry's checksum or damaged; without, at most the
// first `count`, unchecked. The library inflates no further than `count`, a
// kilobyte of the stream at a time, and holds only what it yields.
EM_JS(double, SkinJsZipInflate, (int handle, std::size_t index, double count, int whole), {
  return skinJsZipInflate(handle, index, count, whole !== 0);
});

// Copies what the last SkinJsZipInflate yielded to `to` (which has room for
// its length) and lets it go; null only lets it go.
EM_JS(void, SkinJsZipTake, (char* to), { skinJsZipTake(to); });

EM_JS(void, SkinJsZipClose, (int handle), { skinJsZipClose(handle); });

std::uint32_t Word(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}

}  // namespace

struct SkinArchive::Reader {
  int handle = 0;
  ~Reader() {
    if (handle) SkinJsZipClose(handle);
  }
};

SkinArchive::SkinArchive(std::unique_ptr<Reader> reader, std::uint64_t budget)
    : reader_(std::move(reader)), inflateLeft_(budget) {}

SkinArchive::~SkinArchive() = default;

std::unique_ptr<SkinArchive> SkinArchive::Open(const std::string& path, ReadStatus* why, std::uint64_t inflateBudget) {
  std::string bytes;
  const ReadStatus read = ReadWholeFile(path, bytes, kMaxArchiveFile);
  if (why) *why = read == ReadStatus::TooLarge ? ReadStatus::NotReadable : read;
  if (read != ReadStatus::Ok) return nullptr;
  void* block = nullptr;
  auto reader = std::make_unique<Reader>();
  reader->handle = SkinJsZipOpen(bytes.data(), bytes.size(), &block);
  const std::string listing = TakeJsBlock(block);
  if (!reader->handle) return nullptr;
  std::unique_ptr<SkinArchive> archive(new SkinArchive(std::move(reader), inflateBudget));
  for (std::size_t at = 0; at + 4 <= listing.size();) {
    const std::uint32_t length = Word(listing, at);
    if (listing.size() - at - 4 < std::size_t(length) + 8) break;
    Entry e;
    // The reader of the desktop build keeps the first 500 bytes of a name.
    e.name = ArchiveEntryName(std::string_view(listing).substr(at + 4, std::min<std::uint32_t>(length, 500)));
    e.uncompressedSize = Word(listing, at + 4 + length) | std::uint64_t(Word(listing, at + 8 + length)) << 32;
    archive->entries_.push_back(std::move(e));
    at += 12 + std::size_t(length);
  }
  return archive;
}

ExtractStatus SkinArchive::Inflate(std::size_t index, std::size_t count, bool whole, std::string& out) {
  const double length = SkinJsZipInflate(reader_->handle, index, double(count), whole ? 1 : 0);
  if (length < 0 || length > double(count) || (whole && length != double(count))) {
    SkinJsZipTake(nullptr);
    return ExtractStatus::Damaged;
  }
  // Made to the length the member yielded and filled in place: no block to
  // copy from, so a member costs its own size once in the module's memory.
  std::string data(static_cast<std::size_t>(length), '\0');
  SkinJsZipTake(data.data());
  out = std::move(data);
  return ExtractStatus::Ok;
}
