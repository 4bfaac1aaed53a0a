// Lists the members of .zip files as minizip reads them, one line a member:
// name (escaped), general purpose flags, method, date, size, CRC-32, and
// whether the member reads back whole against its CRC, with a hash of its
// bytes. The web tests compare the archives of both builds with it.
#include <minizip/unzip.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string Escaped(const char* name) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (*p < 0x20 || *p >= 0x7F || *p == '\\') {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", *p);
      out += hex;
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

// FNV-1a, 64 bits: enough to tell two members' bytes apart in a test.
std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (const unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

int List(const char* path) {
  unzFile zip = unzOpen64(path);
  if (!zip) {
    std::printf("%s: no archive\n", path);
    return 1;
  }
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[1024] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    std::string bytes;
    bool whole = unzOpenCurrentFile(zip) == UNZ_OK;
    if (whole) {
      char buf[65536];
      int n;
      while ((n = unzReadCurrentFile(zip, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<std::size_t>(n));
      whole = n == 0;
      whole = unzCloseCurrentFile(zip) == UNZ_OK && whole;
    }
    const tm_unz& t = info.tmu_date;
    std::printf("%s flags=%04lx method=%lu date=%04u-%02u-%02u %02u:%02u:%02u size=%llu crc=%08lx %s %016llx\n",
                Escaped(name).c_str(), info.flag, info.compression_method, t.tm_year, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec, static_cast<unsigned long long>(info.uncompressed_size), info.crc,
                whole ? "whole" : "damaged", static_cast<unsigned long long>(Hash(bytes)));
  }
  unzClose(zip);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int rc = 0;
  for (int i = 1; i < argc; ++i) rc |= List(argv[i]);
  return rc;
}
