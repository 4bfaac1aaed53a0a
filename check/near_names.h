// How far apart two names are, for "did you mean" hints and stray files.
#pragma once

#include <string_view>

// The number of single-letter insertions, deletions and substitutions that
// turn one name into the other, ignoring ASCII case; anything above `limit`
// is reported as limit + 1 (names are short, and only near ones matter).
int NameDistance(std::string_view a, std::string_view b, int limit);
