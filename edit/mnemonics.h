// Keyboard mnemonics for menus and buttons whose texts come from language
// files, the same on both faces: each entry gets the first ASCII letter or
// digit of its text that no sibling has taken ("File", "Edit": F, E); a
// text without a free one (a CJK text, say) gets a free letter appended in
// parentheses ("ファイル(A)").
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A text with its mnemonic: shown as before + letter + after, the letter
// marked; letter empty when no letter was free.
struct Mnemonic {
  std::string before, letter, after;
};

// The mnemonic of `text` (UTF-8) among siblings that took `taken` (upper-case
// letters and digits), which it adds to.
Mnemonic TakeMnemonic(std::string_view text, std::string& taken);

// The mnemonics of one menu's entries, in order (empty texts get none).
std::vector<Mnemonic> AssignMnemonics(const std::vector<std::string>& texts);
