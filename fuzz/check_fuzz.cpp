// Any bytes as a skin's settings file, as the skin check reads it: the check
// must not fail, every problem it finds must name a line the file has, and
// its text must come out of the templates whole.
#include <cstdlib>
#include <string_view>

#include "check/settings_check.h"
#include "skin/settings_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  int lines = 0;
  ForEachSettingsLine(bytes, [&](std::string_view, int number) { lines = number; });
  for (const Problem& p : CheckSettingsText(bytes)) {
    if (!p.line || *p.line < 1 || *p.line > lines) std::abort();
    if (FormatProblem(p, BuiltInProblemTemplates()) != p.message) std::abort();
  }
  return 0;
}
