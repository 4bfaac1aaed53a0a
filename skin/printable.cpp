#include "skin/printable.h"

std::size_t Utf8SequenceLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned lead = b(0);
  if (lead < 0x80) return 1;
  // The range of the second byte depends on the first: that rules out the
  // overlong forms, the surrogates and what lies above U+10FFFF.
  std::size_t length = 0;
  unsigned lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead == 0xE0) length = 3, lo = 0xA0;
  else if (lead == 0xED) length = 3, hi = 0x9F;
  else if (lead >= 0xE1 && lead <= 0xEF) length = 3;
  else if (lead == 0xF0) length = 4, lo = 0x90;
  else if (lead == 0xF4) length = 4, hi = 0x8F;
  else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
  else return 0;
  if (s.size() < length || b(1) < lo || b(1) > hi) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  }
  return length;
}

namespace {

// The characters that steer the direction of text (U+061C, U+200E, U+200F,
// U+202A-U+202E, U+2066-U+2069) and the Unicode line and paragraph
// separators (U+2028, U+2029): shown raw, a name could reverse what follows
// it on the line or start a line that a reader splitting on them would take
// for another.
bool IsFormatControl(std::string_view seq) {
  if (seq.size() == 2) return seq == "\xD8\x9C";
  if (seq.size() != 3 || static_cast<unsigned char>(seq[0]) != 0xE2) return false;
  const auto b1 = static_cast<unsigned char>(seq[1]), b2 = static_cast<unsigned char>(seq[2]);
  if (b1 == 0x80) return b2 == 0x8E || b2 == 0x8F || (b2 >= 0xA8 && b2 <= 0xAE);
  return b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9;
}

}  // namespace

std::size_t ControlSequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto b = static_cast<unsigned char>(text[0]);
  if (b < 0x20 || b == 0x7F) return 1;
  if (b < 0x80) return 0;
  const std::size_t n = Utf8SequenceLength(text);
  // U+0080-U+009F are C1 controls, encoded C2 80 to C2 9F.
  const bool c1 = n == 2 && b == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
  return c1 || IsFormatControl(text.substr(0, n)) ? n : 0;
}

std::string PrintableText(std::string_view text, bool escapeHigh) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  const auto hex = [&](unsigned char b) {
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '\n') {
      out += "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b < 0x20 || b == 0x7F || (escapeHigh && b >= 0x80)) {
      hex(b);
    } else if (b >= 0x80) {
      const std::size_t n = Utf8SequenceLength(text.substr(i));
      if (const std::size_t control = ControlSequenceLength(text.substr(i)); control > 0) {
        for (std::size_t k = 0; k < control; ++k) hex(static_cast<unsigned char>(text[i + k]));
        i += control;
        continue;
      } else if (n == 0) {
        hex(b);
      } else {
        out.append(text.substr(i, n));
        i += n;
        continue;
      }
    } else {
      out += static_cast<char>(b);
    }
    ++i;
  }
  return out;
}
