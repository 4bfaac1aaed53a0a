// Opening and saving skins, and loading single pictures.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "skin/catalogue.h"
#include "images/feedback.h"
#include "images/file_io.h"
#include "skin/clock.h"
#include "skin/settings_file.h"
#include "skin/skin.h"

// What an operation needs from its caller besides the skin.
struct SkinIoContext {
  Feedback& feedback;
  const MessageTexts& texts;
};

// Picture files larger than this are refused as too large.
inline constexpr std::size_t kMaxPictureFileSize = 512u * 1024 * 1024;

// Opening: gives the picture `id` the content of the file at `path`, reduced
// to 15-bit colour unless it is a 16-bit BMP. A missing file leaves the
// picture as it was; one that holds no picture (unknown, damaged, too large)
// empties it. Both are reported.
void LoadSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx);

// Import: the picture of the file at `path` for picture `id` (reduced as
// above), or nothing when the file is missing or cannot be decoded, which is
// reported. The skin is not touched, so a failed import loses nothing.
std::optional<Picture> ReadSkinImageFile(ImageId id, const std::string& path, SkinIoContext& ctx);

// Import into the skin: picture `id` is replaced only when the file gives a
// picture; on failure (reported) it stays as it was. True when replaced.
bool ImportSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx);

// Opens the skin in a folder over the current one: settings first, then the
// 53 pictures in catalogue order.
void OpenSkinFolder(Skin& skin, const std::string& folder, SkinIoContext& ctx);

// Opens the skin inside a .zip: the first entry named uisettings.ini (in any
// folder) fixes the skin's root; pictures come from below that root and are
// kept as decoded.
void OpenSkinArchive(Skin& skin, const std::string& archivePath, SkinIoContext& ctx);

// One file of a saved skin: its path inside the skin folder ("uisettings.ini",
// "icon/nds.bmp"), its bytes, and the picture it holds.
struct SkinFile {
  std::string path;
  std::string bytes;
  std::optional<ImageId> image;  // unset for uisettings.ini
  bool empty = false;            // an empty picture: there is nothing to write
};

// The files a save writes, in the order it writes them: uisettings.ini (its
// LastUpdate stamped with `now`), then the 53 pictures in catalogue order.
std::vector<SkinFile> EncodeSkinFiles(Skin& skin, const TypedInfo& typed, const DateTime& now);

// Writes the files of EncodeSkinFiles into an existing folder (creating its
// "icon" sub-folder), each through ReplaceFile: links, modes, owners and hard
// links of the files there are kept, and a name the folder already holds in
// another letter case is written under that name. An empty picture is left
// out and reported. `sync` is FileSync::Flush but when measuring.
void WriteSkinFiles(const std::vector<SkinFile>& files, const std::string& folder, SkinIoContext& ctx,
                    FileSync sync = FileSync::Flush);

// Writes uisettings.ini and the 53 pictures as 16-bit BMP files into an
// existing folder, as WriteSkinFiles does.
void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx);
