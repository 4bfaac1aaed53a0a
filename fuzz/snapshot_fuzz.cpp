// Any bytes as a document's snapshot (its checksum added, so that the
// reader itself is reached): restoring must not fail, read past the bytes
// or allocate past the budgets; a document it takes must make a snapshot
// that restores to the same snapshot again.
#include <cstdlib>
#include <string>
#include <string_view>

#include "edit/document_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  Document doc;
  if (!RestoreDocument(doc, SealSnapshot(std::string_view(reinterpret_cast<const char*>(data), size)))) return 0;
  const std::string once = SnapshotDocument(doc);
  Document again;
  if (!RestoreDocument(again, once) || SnapshotDocument(again) != once) std::abort();
  return 0;
}
