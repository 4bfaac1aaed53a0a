#include "platform/web/js_block.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Copies row `y` of the picture in the slot (`length` bytes) to `to`.
EM_JS(void, SkinJsPictureRow, (std::uint32_t y, std::uint8_t* to, std::size_t length), {
  skinJsPictureRow(y, to, length);
});

EM_JS(void, SkinJsPictureDrop, (), { skinJsPictureDrop(); });

}  // namespace

std::string TakeJsBlock(void* block) {
  if (!block) return {};
  std::uint32_t size = 0;
  std::memcpy(&size, block, sizeof size);
  std::string bytes(static_cast<const char*>(block) + sizeof size, size);
  std::free(block);
  return bytes;
}

CodecStatus HandJsPictureRows(const RowLayout& layout, const std::uint32_t size[2], RowSink& sink) {
  if (size[0] != layout.width || size[1] != layout.height) {
    SkinJsPictureDrop();
    return CodecStatus::Damaged;
  }
  std::vector<std::uint8_t> row(layout.RowBytes());
  for (std::uint32_t y = 0; y < layout.height; ++y) {
    SkinJsPictureRow(y, row.data(), row.size());
    sink.Row(y, 0, 1, layout.width, row.data());
  }
  SkinJsPictureDrop();
  return CodecStatus::Ok;
}
