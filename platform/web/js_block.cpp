#include "platform/web/js_block.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

std::string TakeJsBlock(void* block) {
  if (!block) return {};
  std::uint32_t size = 0;
  std::memcpy(&size, block, sizeof size);
  std::string bytes(static_cast<const char*>(block) + sizeof size, size);
  std::free(block);
  return bytes;
}
