// Opening and saving skins, and loading single pictures.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "skin/catalogue.h"
#include "images/feedback.h"
#include "platform/file_io.h"
#include "images/fit.h"
#include "skin/budgets.h"
#include "skin/clock.h"
#include "skin/settings_file.h"
#include "skin/skin.h"

// What an operation needs from its caller besides the skin.
struct SkinIoContext {
  Feedback& feedback;
  const MessageTexts& texts;
  SkinBudget budget = {};
};

// How many pixels picture `id` may have, so that the skin's pictures stay
// within the budget together: the budget less what the others hold.
long long PixelAllowance(const Skin& skin, ImageId id, const SkinBudget& budget);

// The message that tells why a file's bytes could not be read; `settings`
// for uisettings.ini (too large has its own text there).
MessageKind ReadFailure(ReadStatus status, bool settings);

// Reads a skin's uisettings.ini with the settings file's own limit.
ReadStatus ReadSettingsFile(const std::string& path, std::string& out);

// Opening: gives the picture `id` the content of the file at `path`, reduced
// to 15-bit colour unless it is a 16-bit BMP. A missing file (or one that
// cannot be read, or is no regular file) leaves the picture as it was; one
// that holds no picture (unknown, damaged, too large, more than the skin
// has room for) empties it. Both are reported.
void LoadSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx);

// Import: the picture of the file at `path` for picture `id` (reduced as
// above), or nothing when the file is missing or cannot be decoded, which is
// reported. The skin is not touched, so a failed import loses nothing. A
// picture of more than `allowance` pixels (PixelAllowance) is refused.
std::optional<Picture> ReadSkinImageFile(ImageId id, const std::string& path, SkinIoContext& ctx,
                                         long long allowance = kMaxImagePixels, FitMode fit = FitMode::Keep);

// Import in two parts, for a caller that fits the picture to size first (the
// editor shows each way before it asks). The decoded file, within the limits
// of one picture (the skin's budget is applied to what it becomes); nothing,
// reported, when it is missing or cannot be decoded.
std::optional<SourcePicture> ReadSourceFile(const std::string& path, SkinIoContext& ctx);

// The picture `id` gets from a decoded file: fitted to the picture's expected
// size (its built-in picture's) by `fit`, transparent pixels made the key
// green and reduced to 15-bit colour (FinishPicture). Half-transparent
// pixels, when there are any, are noted (Feedback::Note, HalfTransparent,
// shown as `shownPath`). Nothing, reported as OverBudget, when the result
// has more than `allowance` pixels.
std::optional<Picture> FinishImport(ImageId id, SourcePicture source, FitMode fit, long long allowance,
                                    const std::string& shownPath, SkinIoContext& ctx);

// The size a picture is expected to have: that of its built-in picture.
int ExpectedWidth(ImageId id);
int ExpectedHeight(ImageId id);

// Import into the skin: picture `id` is replaced only when the file gives a
// picture; on failure (reported) it stays as it was. True when replaced.
bool ImportSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx,
                         FitMode fit = FitMode::Keep);

// Opens the skin in a folder over the current one: settings first, then the
// 53 pictures in catalogue order, each within what the skin's pixel budget
// still allows. A settings file that cannot be read (missing, too large,
// not a file, no permission) opens nothing.
void OpenSkinFolder(Skin& skin, const std::string& folder, SkinIoContext& ctx);

// Opens the skin inside a .zip: the first entry named uisettings.ini (in any
// folder) fixes the skin's root; pictures come from below that root and are
// kept as decoded. What the open inflates stays within the budget too. A
// file that is no archive at all is reported as damaged (CannotExtract, the
// archive's path its subject), one without a settings entry as missing it.
void OpenSkinArchive(Skin& skin, const std::string& archivePath, SkinIoContext& ctx);

// One file of a saved skin: its path inside the skin folder ("uisettings.ini",
// "icon/nds.bmp"), its bytes, and the picture it holds.
struct SkinFile {
  std::string path;
  std::string bytes;
  std::optional<ImageId> image;  // unset for uisettings.ini
  bool empty = false;            // an empty picture: there is nothing to write
  bool carried = false;          // the bytes its old file held, written again unread
};

// The files a save writes, in the order it writes them: uisettings.ini (its
// LastUpdate stamped with `now`), then the 53 pictures in catalogue order.
std::vector<SkinFile> EncodeSkinFiles(Skin& skin, const TypedInfo& typed, const DateTime& now);

// Writes the files of EncodeSkinFiles into an existing folder (creating its
// "icon" sub-folder), all or nothing (FileReplacer): a failure, a full disk
// among them, leaves every old file as it was, and is reported with one
// SaveAbandoned message besides the file's own. Links, modes, owners and
// hard links of the files there are kept, and a name the folder already
// holds in another letter case is written under that name. A file that is a
// link to a file outside the folder is written only with OutsideLinks::Follow
// (LinksLeavingFolder tells which first). An empty picture is left out and
// reported. `sync` is FileSync::Flush but when measuring.
void WriteSkinFiles(const std::vector<SkinFile>& files, const std::string& folder, SkinIoContext& ctx,
                    FileSync sync = FileSync::Flush, OutsideLinks links = OutsideLinks::Refuse);

// The files a save of `skin` writes, by their paths in the skin folder:
// uisettings.ini and every picture that is not empty.
std::vector<std::string> SavedFileNames(const Skin& skin);

// Those of `files` (paths in the skin folder) that, saved into `folder`,
// would be written through links (their own, or a folder's on the way)
// leading out of it, as the folder names them ("uisettings.ini").
std::vector<std::string> LinksLeavingFolder(const std::vector<std::string>& files, const std::string& folder);

// Writes uisettings.ini and the 53 pictures as 16-bit BMP files into an
// existing folder, as WriteSkinFiles does.
void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx, OutsideLinks links = OutsideLinks::Refuse);

// What the files of a skin looked like on disk when it was opened or saved:
// the settings file and the 53 pictures of a folder (present or not), or the
// archive. Comparing them with the disk later tells whether another program
// changed them since.
struct SkinStamps {
  std::string path;  // the folder or archive; empty: nothing to compare
  bool archive = false;
  std::vector<std::pair<std::string, FileStamp>> files;  // as shown, with their stamps
};
SkinStamps StampSkin(const std::string& path, bool archive);
// The files whose stamp differs now, as shown.
std::vector<std::string> ChangedOnDisk(const SkinStamps& stamps);
// The same stamps with one file's taken again (read again from disk).
void RestampFile(SkinStamps& stamps, std::string_view file);
