// The archive reader over minizip.
#include "platform/archive.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

struct SkinArchive::Reader {
  unzFile zip = nullptr;
  std::vector<std::uint64_t> positions;  // offsets of the local headers
  std::vector<std::uint64_t> directoryPositions;
  ~Reader() {
    if (zip) unzClose(zip);
  }
};

SkinArchive::SkinArchive(std::unique_ptr<Reader> reader, std::uint64_t budget)
    : reader_(std::move(reader)), inflateLeft_(budget) {}

SkinArchive::~SkinArchive() = default;

namespace {

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

std::unique_ptr<SkinArchive> SkinArchive::Open(const std::string& path, ReadStatus* why, std::uint64_t inflateBudget) {
  OpenResult opened;
  zlib_filefunc64_def io{};
  fill_fopen64_filefunc(&io);
  io.zopen64_file = OpenRegularFile;
  io.opaque = &opened;
  auto reader = std::make_unique<Reader>();
  reader->zip = unzOpen2_64(path.c_str(), &io);
  if (why) *why = opened.status;
  if (!reader->zip) return nullptr;
  unzFile zip = reader->zip;
  std::unique_ptr<SkinArchive> archive(new SkinArchive(std::move(reader), inflateBudget));
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
    e.name = ArchiveEntryName(std::string_view(name, std::min<std::size_t>(info.size_filename, sizeof name - 1)));
    e.uncompressedSize = info.uncompressed_size;
    e.encrypted = (info.flag & 1) != 0;
    archive->entries_.push_back(std::move(e));
    archive->reader_->positions.push_back(pos.pos_in_zip_directory);
    archive->reader_->directoryPositions.push_back(pos.num_of_file);
  }
  return archive;
}

ExtractStatus SkinArchive::Inflate(std::size_t index, std::size_t count, bool whole, std::string& out) {
  unzFile zip = reader_->zip;
  unz64_file_pos pos{reader_->positions[index], reader_->directoryPositions[index]};
  if (unzGoToFilePos64(zip, &pos) != UNZ_OK) return ExtractStatus::Damaged;
  if (unzOpenCurrentFile(zip) != UNZ_OK) return ExtractStatus::Damaged;
  // The recorded size is within the member limit and the budget: the bytes
  // are reserved once, so a member costs its own size and no more.
  std::string data;
  data.reserve(count);
  bool ok = true;
  while (data.size() < count) {
    char buf[65536];
    const unsigned want = static_cast<unsigned>(std::min<std::size_t>(sizeof buf, count - data.size()));
    const int n = unzReadCurrentFile(zip, buf, want);
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
    if (unzReadCurrentFile(zip, &extra, 1) != 0) ok = false;
  }
  const int closed = unzCloseCurrentFile(zip);
  if (whole && closed != UNZ_OK) ok = false;
  if (!ok) return ExtractStatus::Damaged;
  out = std::move(data);
  return ExtractStatus::Ok;
}
