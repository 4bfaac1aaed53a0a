// The archive writer of the web build: the JavaScript zip library
// (Module.skinPlatform.zip, web/platform/zip.mjs) deflates and lays out the
// members it is handed.
#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "platform/web/js_block.h"
#include "platform/zip_writer.h"

namespace {

// `members`: per member a 32-bit name length, the name (UTF-8), a 32-bit
// byte count, the bytes, and seven 32-bit words: year, month, day, hour,
// minute, second, and 1 when the name is marked as UTF-8. The archive's
// bytes come back in a block; nothing when it could not be made.
EM_JS(void*, SkinJsZipEncode, (const char* members, std::size_t size), {
  return skinJsZipEncode(HEAPU8.subarray(members, members + size));
});

void Put(std::string& out, std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); }

}  // namespace

std::string EncodeZip(const std::vector<ZipMember>& members) {
  std::string packed;
  for (const ZipMember& m : members) {
    Put(packed, std::uint32_t(m.name.size()));
    packed += m.name;
    Put(packed, std::uint32_t(m.bytes.size()));
    packed += m.bytes;
    for (int v : {m.year, m.month, m.day, m.hour, m.minute, m.second}) Put(packed, std::uint32_t(v));
    Put(packed, m.utf8Name ? 1 : 0);
  }
  return TakeJsBlock(SkinJsZipEncode(packed.data(), packed.size()));
}
