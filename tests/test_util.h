// Helpers shared by the core tests.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "images/feedback.h"
#include "skin/picture.h"

namespace testutil {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Data(const std::string& relative) { return std::string(SKIN_TEST_DATA) + "/" + relative; }

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/skintest-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

inline std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(path.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
  }
  return names;
}

struct RecordingFeedback : Feedback {
  std::vector<std::string> messages;
  std::vector<int> progress;
  void ShowError(const std::string& body) override { messages.push_back(body); }
  void SetProgress(int value) override { progress.push_back(value); }
};

inline void Put16(std::string& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 255);
  b[at + 1] = static_cast<char>((v >> 8) & 255);
}
inline void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xffff);
  Put16(b, at + 2, v >> 16);
}

// A 16-bit BMP with a 40-byte header; rows are given top to bottom and
// stored bottom-up (or top-down with a negative height).
inline std::string MakeBmp16(int w, const std::vector<std::vector<std::uint16_t>>& rows, std::uint32_t compression = 0,
                             bool topDown = false) {
  const int h = static_cast<int>(rows.size());
  const std::size_t stride = (std::size_t(w) * 2 + 3) & ~std::size_t(3);
  std::string b(54 + stride * std::size_t(h), '\0');
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(w));
  Put32(b, 22, static_cast<std::uint32_t>(topDown ? -h : h));
  Put16(b, 26, 1);
  Put16(b, 28, 16);
  Put32(b, 30, compression);
  for (int r = 0; r < h; ++r) {
    const auto& src = rows[static_cast<std::size_t>(topDown ? r : h - 1 - r)];
    for (int x = 0; x < w; ++x) Put16(b, 54 + stride * std::size_t(r) + std::size_t(x) * 2, src[std::size_t(x)]);
  }
  return b;
}

inline Picture MakePicture(int w, int h, std::uint32_t seed) {
  Picture p(w, h);
  for (Rgb24& px : p.pixels) {
    seed = seed * 1664525u + 1013904223u;
    px = {static_cast<std::uint8_t>(seed >> 24), static_cast<std::uint8_t>(seed >> 16),
          static_cast<std::uint8_t>(seed >> 8)};
  }
  return p;
}

}  // namespace testutil
