// Bytes handed over from JavaScript: the JavaScript side of the platform
// (web/platform/) allocates a block in the module's memory, a 32-bit length
// followed by the bytes, and the C++ side takes it.
#pragma once

#include <string>

// The bytes of the block at `block` (nothing for a null block), which is
// freed.
std::string TakeJsBlock(void* block);
