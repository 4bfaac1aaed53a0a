// Importing every picture of a folder by its file name at once.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "images/skin_io.h"

struct FolderImport {
  struct Taken {
    ImageId image;
    std::string path;  // the file it came from
    Picture picture;   // decoded and reduced as an import reduces
  };
  struct PassedOver {
    std::string path;   // a second file for a picture already taken
    ImageId image;
    std::string taken;  // the file taken instead
  };
  bool folderFound = false;
  std::vector<Taken> pictures;          // in catalogue order
  std::vector<PassedOver> passedOver;   // several files for one picture
  std::vector<std::string> unmatched;   // picture-like files that name no picture
};

// The extensions of the picture files an import takes, in lower case, in
// the order a folder import prefers them; any letter case is taken.
inline constexpr std::array<std::string_view, 4> kPictureExtensions = {".bmp", ".png", ".jpg", ".jpeg"};

// Reads every file of `folder` (the 42 pictures of the skin's top folder)
// and of its "icon" sub-folder (the 11 icons) whose name is a picture's file
// name, or its base name with ".bmp", ".png", ".jpg" or ".jpeg", in any
// letter case. Each is decoded by the rules of an import (ReadSkinImageFile):
// reduced to 15-bit colour unless it is a 16-bit BMP; a file that cannot be
// read is reported and left out, so the skin keeps its old picture. Files
// with a picture extension that name no picture are listed in `unmatched`.
// The skin is not touched: apply the result with ApplyFolderImport, or as
// one undo step of the editor. A missing folder is reported as not found.
// The pictures taken, with those of `base` they do not replace, stay within
// the skin's pixel budget; a picture that would pass it is refused. Each
// picture is fitted to its expected size by `fit` (ReadSkinImageFile), and
// the budget counts the fitted pictures.
FolderImport ReadPictureFolder(const std::string& folder, SkinIoContext& ctx, const Skin& base,
                               FitMode fit = FitMode::Keep);

// Gives each taken picture to the skin.
void ApplyFolderImport(Skin& skin, const FolderImport& import);
