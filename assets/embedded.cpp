#include "assets/embedded.h"

std::string_view EmbeddedFileBytes(std::string_view name) {
  for (const EmbeddedFile& f : EmbeddedFiles()) {
    if (name == f.name) return {reinterpret_cast<const char*>(f.data), f.size};
  }
  return {};
}
