// What the import decode makes of picture files, one line a file:
//
//   picture_dump FILE...
//
//   NAME<TAB>WxH HASH alpha|opaque   the picture: its size, the 64-bit FNV-1a
//                                    hash (hex) of its RGB bytes followed by
//                                    its alpha plane, and whether it has one
//   NAME<TAB>Unreadable              the decoder's refusal (Unreadable,
//                                    TooLarge or OverBudget)
//   NAME<TAB>NoFile                  a file that could not be read
//
// Built both as a desktop program and in WebAssembly with the web build's
// codecs, so that the two builds' decoding can be compared file by file.
// Exits 0 whatever the files hold.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

#include "images/decode.h"
#include "platform/file_io.h"
#include "skin/budgets.h"

namespace {

struct Fnv1a {
  std::uint64_t value = 0xcbf29ce484222325ull;
  void Add(std::uint8_t byte) {
    value ^= byte;
    value *= 0x100000001b3ull;
  }
};

const char* KindName(DecodeResult::Kind kind) {
  switch (kind) {
    case DecodeResult::Ok: return "Ok";
    case DecodeResult::Unreadable: return "Unreadable";
    case DecodeResult::TooLarge: return "TooLarge";
    case DecodeResult::OverBudget: return "OverBudget";
  }
  return "Unknown";
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* name = argv[i];
    std::string bytes;
    if (ReadWholeFile(name, bytes, kMaxPictureFileSize) != ReadStatus::Ok) {
      std::printf("%s\tNoFile\n", name);
      continue;
    }
    SourcePicture picture;
    const DecodeResult result = DecodeSource(bytes, picture);
    if (!result) {
      std::printf("%s\t%s\n", name, KindName(result.kind));
      continue;
    }
    Fnv1a hash;
    for (const Rgb24& p : picture.rgb.pixels) {
      hash.Add(p.r);
      hash.Add(p.g);
      hash.Add(p.b);
    }
    for (std::uint8_t a : picture.alpha) hash.Add(a);
    std::printf("%s\t%dx%d %016" PRIx64 " %s\n", name, picture.width(), picture.height(), hash.value,
                picture.alpha.empty() ? "opaque" : "alpha");
  }
  return 0;
}
