// The archive writer over minizip.
#include "platform/zip_writer.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cstring>

namespace {

// A growing byte buffer that minizip writes into as if it were a file: the
// writer seeks back to fill in each entry's sizes and checksum.
struct MemoryFile {
  std::string bytes;
  std::size_t position = 0;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buf, uLong size) {
  auto* f = static_cast<MemoryFile*>(stream);
  const std::size_t n = std::min<std::size_t>(size, f->bytes.size() - std::min(f->position, f->bytes.size()));
  std::memcpy(buf, f->bytes.data() + f->position, n);
  f->position += n;
  return static_cast<uLong>(n);
}

uLong ZCALLBACK WriteMemory(voidpf, voidpf stream, const void* buf, uLong size) {
  auto* f = static_cast<MemoryFile*>(stream);
  if (f->position + size > f->bytes.size()) f->bytes.resize(f->position + size);
  std::memcpy(f->bytes.data() + f->position, buf, size);
  f->position += size;
  return size;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream) { return static_cast<MemoryFile*>(stream)->position; }

long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* f = static_cast<MemoryFile*>(stream);
  ZPOS64_T base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = f->position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = f->bytes.size();
  if (base + offset > f->bytes.size()) return -1;
  f->position = static_cast<std::size_t>(base + offset);
  return 0;
}

int ZCALLBACK CloseMemory(voidpf, voidpf) { return 0; }
int ZCALLBACK MemoryError(voidpf, voidpf) { return 0; }

constexpr uLong kUtf8Name = 1u << 11;

}  // namespace

std::string EncodeZip(const std::vector<ZipMember>& members) {
  MemoryFile out;
  zlib_filefunc64_def io{OpenMemory, ReadMemory, WriteMemory, TellMemory, SeekMemory, CloseMemory, MemoryError, &out};
  zipFile zip = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &io);
  if (!zip) return {};
  bool ok = true;
  for (const ZipMember& m : members) {
    zip_fileinfo info{};
    info.tmz_date = {static_cast<uInt>(m.second), static_cast<uInt>(m.minute), static_cast<uInt>(m.hour),
                     static_cast<uInt>(m.day),    static_cast<uInt>(m.month - 1), static_cast<uInt>(m.year)};
    ok = ok &&
         zipOpenNewFileInZip4_64(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                 Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                                 m.utf8Name ? kUtf8Name : 0, 0) == ZIP_OK &&
         zipWriteInFileInZip(zip, m.bytes.data(), static_cast<unsigned>(m.bytes.size())) == ZIP_OK &&
         zipCloseFileInZip(zip) == ZIP_OK;
  }
  ok = zipClose(zip, nullptr) == ZIP_OK && ok;
  return ok ? std::move(out.bytes) : std::string();
}
