// Saving a skin as one .zip to share: the files a folder save writes, inside
// one folder of the archive.
#pragma once

#include <string>
#include <optional>
#include <string_view>
#include <vector>

#include "images/skin_io.h"

// The bytes of a .zip that holds `files` (EncodeSkinFiles) in the folder
// `folder`, in the order given, deflated, every entry dated `stamp` (dates
// before 1980, which a .zip cannot hold, are written as 1980-01-01 00:00:00).
// Empty pictures are left out. The same files give the same bytes.
std::string EncodeSkinArchive(const std::vector<SkinFile>& files, std::string_view folder, const DateTime& stamp);

// "MySkin" for ".../MySkin.zip": the folder inside the archive. A name that
// holds "..", a backslash or a control character has them taken out, so no
// entry of the archive can point outside its folder.
std::string ArchiveFolderName(const std::string& archivePath);

// Writes `files` (EncodeSkinFiles, dated `stamp`) as a .zip at `archivePath`
// in the folder `folder` (empty: at the top of the archive), replaced whole
// as SaveSkinArchive does. Failures and empty pictures are reported.
void WriteSkinArchive(const std::vector<SkinFile>& files, const std::string& archivePath, std::string_view folder,
                      const DateTime& stamp, SkinIoContext& ctx);

// Whether the archive holds nothing but one skin: every entry lies below the
// skin's root (the folder of its settings entry) and is the settings file,
// a picture of the skin or a folder of them. Saving such an archive again
// loses nothing of it.
bool ArchiveHoldsOnlySkin(const std::string& archivePath);

// Before a skin is written back over the archive it came from, as the
// archive is now (another program may have added to it since it was
// opened): whether it still holds nothing but the skin, the skin's folder
// inside it, and the members that would be lost. A picture the editor could
// not read (empty in `files`) is taken over as the archive holds it, so a
// save does not drop it; a member that cannot be read even as bytes
// (damaged, encrypted, too large) is listed in `lost`.
struct ArchiveResave {
  bool skinFound = false;  // it holds a settings file
  bool holdsOnlySkin = false;
  std::string folder;             // without its last separator ("My Skin", or empty at the top)
  std::vector<std::string> lost;  // members as the archive names them
  bool possible() const { return holdsOnlySkin && lost.empty(); }
};
ArchiveResave PrepareArchiveResave(std::vector<SkinFile>& files, const std::string& archivePath);

// The skin's root folder in an archive, without its last separator ("My
// Skin", or empty at the top); nothing when the archive holds no skin.
std::optional<std::string> ArchiveSkinFolder(const std::string& archivePath);

// Saves the skin as a .zip at `archivePath`: uisettings.ini (LastUpdate
// stamped with the clock's now, which also dates the entries) and the 53
// pictures as 16-bit BMP files, exactly the bytes of a folder save, in one
// folder named after the archive. The archive is written beside the target
// under a temporary name and then renamed over it, so a failure leaves the
// old archive as it was; where that cannot be done (a read-only folder, an
// archive with other hard links) nothing is written and that is reported.
// Failures and empty pictures are reported.
void SaveSkinArchive(Skin& skin, const std::string& archivePath, const TypedInfo& typed, const Clock& clock,
                     SkinIoContext& ctx);
