#include "check/near_names.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "skin/ascii.h"

int NameDistance(std::string_view a, std::string_view b, int limit) {
  const int la = static_cast<int>(a.size()), lb = static_cast<int>(b.size());
  if (std::abs(la - lb) > limit) return limit + 1;
  // One row of the classic table at a time.
  std::vector<int> row(static_cast<std::size_t>(lb) + 1);
  for (int j = 0; j <= lb; ++j) row[std::size_t(j)] = j;
  for (int i = 1; i <= la; ++i) {
    int diagonal = row[0];
    row[0] = i;
    int best = row[0];
    for (int j = 1; j <= lb; ++j) {
      const int above = row[std::size_t(j)];
      const int cost = AsciiLower(a[std::size_t(i - 1)]) == AsciiLower(b[std::size_t(j - 1)]) ? 0 : 1;
      row[std::size_t(j)] = std::min({above + 1, row[std::size_t(j - 1)] + 1, diagonal + cost});
      diagonal = above;
      best = std::min(best, row[std::size_t(j)]);
    }
    if (best > limit) return limit + 1;
  }
  return std::min(row[std::size_t(lb)], limit + 1);
}
