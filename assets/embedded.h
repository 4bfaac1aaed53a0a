// Files built into the program (default skin pictures, the preview font,
// the hinge, the sample game icon and the about banner).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

struct EmbeddedFile {
  const char* name;  // path below assets/, for example "skin/icon/nds.png"
  const unsigned char* data;
  std::size_t size;
};

const std::vector<EmbeddedFile>& EmbeddedFiles();

// The bytes of the built-in file of that name, or an empty view.
std::string_view EmbeddedFileBytes(std::string_view name);
