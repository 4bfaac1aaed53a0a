// Any bytes as a whole skin archive, checked as skintool check does: the check
// must not fail, no problem's subject or text may hold a control character
// (a name from the archive must not forge a line), at most one more problem
// than the limit of each code is listed, and the JSON is valid UTF-8.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check/check.h"
#include "check/problem_json.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "skin/printable.h"

namespace {

bool HasControl(const std::string& s) {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool ValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(std::string_view(s).substr(i));
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::string path = "/tmp/skin_check_fuzz_" + std::to_string(::getpid()) + ".zip";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector messages;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{messages, texts, SkinBudget{4 << 20, 1u << 20}};
  OpenSkinArchive(skin, path, ctx);
  CheckInput input;
  input.messages = std::move(messages.messages);
  input.sources.push_back(ReadSkinSource(path));
  const std::vector<Problem> problems = CheckSkin(skin, input);
  std::array<std::size_t, kProblemCodeCount> perCode{};
  for (const Problem& p : problems) {
    if (HasControl(p.subject) || HasControl(p.message)) std::abort();
    if (++perCode[static_cast<std::size_t>(p.code)] > kMaxProblemsPerCode + 1) std::abort();
  }
  if (!ValidUtf8(ProblemsJson(problems))) std::abort();
  return 0;
}
