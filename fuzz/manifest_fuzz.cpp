// Any bytes as a recovery journal's manifest: reading must not fail, and a
// manifest it takes must be written and read back the same.
#include <cstdlib>
#include <string_view>

#include "edit/journal_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::optional<JournalManifest> m =
      ParseJournalManifest(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!m) return 0;
  const std::optional<JournalManifest> back = ParseJournalManifest(FormatJournalManifest(*m));
  if (!back || !(*back == *m)) std::abort();
  return 0;
}
