// Bytes handed over from JavaScript: the JavaScript side of the platform
// (web/platform/) allocates a block in the module's memory, a 32-bit length
// followed by the bytes, and the C++ side takes it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/picture_codecs.h"

// The bytes of the block at `block` (nothing for a null block), which is
// freed.
std::string TakeJsBlock(void* block);

// A picture the JavaScript decoder left in the platform's picture slot,
// `size` its width and height, handed to `sink` a row at a time as `layout`
// says (which the sink has begun); Damaged when the decoder made another
// size than the file's header said.
CodecStatus HandJsPictureRows(const RowLayout& layout, const std::uint32_t size[2], RowSink& sink);
