// Any bytes as a whole skin archive, opened over the default skin under small
// budgets, so that a few kilobytes reach every limit: opening must report,
// never crash, and the skin's pictures must end within the pixel budget.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "check/check.h"
#include "images/defaults.h"
#include "images/skin_io.h"

namespace {

long long Pixels(const Skin& skin) {
  long long n = 0;
  for (const Picture& p : skin.images) n += static_cast<long long>(p.pixels.size());
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::string path = "/tmp/skin_open_fuzz_" + std::to_string(::getpid()) + ".zip";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static Skin skin;
  ResetSkinToDefaults(skin);
  // Room for the default skin and 128 K pixels more; 1 MB inflated in all.
  const SkinBudget budget{Pixels(skin) + 128 * 1024, 1u << 20};
  MessageCollector messages;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{messages, texts, budget};
  OpenSkinArchive(skin, path, ctx);
  if (Pixels(skin) > budget.pixels) std::abort();
  for (const Message& m : messages.messages) {
    if (FormatMessage(m, texts).find_first_of("\n\r\x1b") != std::string::npos) std::abort();
  }
  return 0;
}
