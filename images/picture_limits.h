// How large a decoded picture may be. Every decoder checks a file's claimed
// size against these before it allocates, so no file can ask for gigabytes.
#pragma once

inline constexpr int kMaxImageDimension = 16384;
inline constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;
