// Built-in texts are kept scrambled in the program's data and unscrambled
// when they are needed, so that they are not lying about in the binary as
// plain strings.
//
//   constexpr auto kTitle = ScrambleText("Skin Editor ");
//   std::string title = Unscramble(kTitle);
#pragma once

#include <array>
#include <cstddef>
#include <string>

template <std::size_t N>
struct ScrambledText {
  std::array<unsigned char, N> bytes{};  // N - 1 text bytes and a scrambled terminator
};

namespace scramble_detail {
constexpr unsigned char KeyAt(std::size_t i) {
  return static_cast<unsigned char>((0xA7u + 61u * i + ((i * i) >> 3)) & 0xFFu);
}
}  // namespace scramble_detail

template <std::size_t N>
consteval ScrambledText<N> ScrambleText(const char (&text)[N]) {
  ScrambledText<N> out;
  for (std::size_t i = 0; i < N; ++i) {
    out.bytes[i] = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) ^ scramble_detail::KeyAt(i));
  }
  return out;
}

template <std::size_t N>
std::string Unscramble(const ScrambledText<N>& s) {
  std::string out(N - 1, '\0');
  for (std::size_t i = 0; i + 1 < N; ++i) {
    out[i] = static_cast<char>(s.bytes[i] ^ scramble_detail::KeyAt(i));
  }
  return out;
}
