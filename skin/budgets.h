// What one skin may cost. Every reader checks a file's claims against these
// before it allocates, so that no skin, archive, settings file or reload can
// exhaust memory or hang the program: a file over a budget is refused with a
// message that says so, and the rest of the skin is read as usual.
#pragma once

#include <cstddef>
#include <cstdint>

// One picture. The firmware's largest picture is a 256 x 192 screen; these
// leave room for any drawing a designer starts from, and a picture at the
// limit still decodes in well under a second.
inline constexpr int kMaxImageDimension = 16384;
inline constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

// The pictures of one skin together. The default skin holds about 300 000
// pixels; 64 M pixels (192 MB as the editor holds them) is hundreds of
// real skins, and keeps a whole skin, its saved bytes and the file being
// decoded under the 600 MB any command of skintool may take.
inline constexpr long long kMaxSkinPixels = 64LL * 1024 * 1024;

// One picture file. The largest picture the limits allow, as a 32-bit BMP,
// is 256 MB; a file larger than that holds no picture we would take.
inline constexpr std::size_t kMaxPictureFileSize = 257u * 1024 * 1024;

// uisettings.ini. A real one is about 6 KB (243 lines); 1 MB is room for
// any comments a designer keeps in it, and the reader and the skin check
// stay fast and small on it.
inline constexpr std::size_t kMaxSettingsFileSize = 1024u * 1024;

// An archive: no member inflates past its recorded size nor past 64 MB (a
// 16-bit BMP of 32 M pixels), and one open inflates at most 256 MB in all,
// so that a small archive cannot keep the program inflating for minutes.
inline constexpr std::uint64_t kMaxArchiveMemberSize = 64ull * 1024 * 1024;
inline constexpr std::uint64_t kMaxArchiveInflate = 256ull * 1024 * 1024;

// The editor's undo history. Pictures held by undo steps stay within this;
// the oldest steps are dropped beyond it. A step that replaces a full screen
// holds about 300 KB, so this is thousands of ordinary steps, and at least a
// few of the largest pictures.
inline constexpr std::size_t kUndoPictureBudget = 512u * 1024 * 1024;

// The skin check lists at most this many problems of one code, then says
// how many more there are: a settings file of ten thousand stray lines is
// one problem to mend, not ten thousand lines to read.
inline constexpr std::size_t kMaxProblemsPerCode = 100;

// What an open or an import may still take: tests give smaller budgets to
// reach the limits with small files.
struct SkinBudget {
  long long pixels = kMaxSkinPixels;
  std::uint64_t archiveInflate = kMaxArchiveInflate;
};
