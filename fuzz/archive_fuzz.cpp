// Any bytes as a skin archive: opening must report, never crash, and never
// take more than the member limit.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "images/defaults.h"
#include "images/skin_io.h"

namespace {
struct NullFeedback : Feedback {
  void ShowError(const std::string&) override {}
  void SetProgress(int) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::string path = "/tmp/archive_fuzz_" + std::to_string(::getpid()) + ".zip";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static Skin skin;
  static bool ready = false;
  if (!ready) ResetSkinToDefaults(skin), ready = true;
  NullFeedback fb;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{fb, texts};
  OpenSkinArchive(skin, path, ctx);
  return 0;
}
