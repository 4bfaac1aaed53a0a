#include "edit/mnemonics.h"

#include "skin/ascii.h"

namespace {

bool Usable(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

Mnemonic TakeMnemonic(std::string_view text, std::string& taken) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char upper = AsciiUpper(c);
    if (!Usable(c) || taken.find(upper) != std::string::npos) continue;
    taken += upper;
    return {std::string(text.substr(0, i)), std::string(1, c), std::string(text.substr(i + 1))};
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (taken.find(letter) != std::string::npos) continue;
    taken += letter;
    return {std::string(text) + "(", std::string(1, letter), ")"};
  }
  return {std::string(text), {}, {}};
}

std::vector<Mnemonic> AssignMnemonics(const std::vector<std::string>& texts) {
  std::string taken;
  std::vector<Mnemonic> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(t.empty() ? Mnemonic{} : TakeMnemonic(t, taken));
  return out;
}
