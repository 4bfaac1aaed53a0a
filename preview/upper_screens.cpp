#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/sample_texts.h"
#include "preview/screens.h"

namespace {

// Centred in a field of width w, unless `wholeText` does not fit at all: then
// the fitted text starts at the field's left edge.
std::int64_t CentreOffset(std::int64_t w, const std::string& fitted, const std::string& wholeText) {
  if (MeasureText(wholeText) > w) return 0;
  return (w - MeasureText(fitted)) / 2;
}

}  // namespace

void DrawGameInformation(Canvas& c, const Skin& skin) {
  const GlobalColours& col = skin.colours;
  DrawBackground(c, skin.image(ImageId::upper_screen));

  const FileNameRecord& fn = skin.fileName;
  if (fn.show == 1) {
    ElementScope at(c, fn);
    if (fn.titleshow == 1) PutText(c, fn.x, std::int64_t(fn.y) - 2, sample::FileNameTitle(), col.gameInfoTitleColor);
    const std::string name = sample::FileName();
    const std::string fitted = FitText(name, fn.w);
    PutText(c, fn.x + CentreOffset(fn.w, fitted, name), std::int64_t(fn.y) + 13, fitted, col.fileNameTextColor);
  }
  const PointShowRecord& gn = skin.gameName;
  if (gn.show == 1) {
    ElementScope at(c, gn);
    PutText(c, gn.x, std::int64_t(gn.y) - 2, sample::GameNameTitle(), col.gameInfoTitleColor);
    PutText(c, gn.x, std::int64_t(gn.y) + 13, sample::GameName(), col.gameInfoTextColor);
  }
  const FileTypeRecord& ft = skin.fileType;
  if (ft.show == 1) {
    ElementScope at(c, ft);
    for (int i = 0; i < 3; ++i) {
      PutText(c, ft.x, std::int64_t(ft.y) - 2 + 12 * i, FitText(sample::FileTypeLine(i) + " ", ft.w),
              col.gameInfoTextColor);
    }
  }
  const FolderTextRecord& fo = skin.folderText;
  if (fo.show == 1) {
    ElementScope at(c, fo);
    PutText(c, fo.x, std::int64_t(fo.y) - 2, FitText(sample::FolderPath(), fo.w), col.formTitleTextColor);
  }
  DrawAt(c, BuiltinPicture(BuiltinPictureId::SampleGameIcon), skin.logoInfo, Blit::GreenKey);
  DrawBigClock(c, skin);
}

void DrawFolderInformation(Canvas& c, const Skin& skin) {
  const GlobalColours& col = skin.colours;
  DrawBackground(c, skin.image(ImageId::upper_screen));

  const FileNameRecord& fn = skin.fileName;
  if (fn.show == 1) {
    ElementScope at(c, fn);
    if (fn.titleshow == 1) PutText(c, fn.x, std::int64_t(fn.y) - 2, "Folder", col.gameInfoTitleColor);
    const std::string fitted = FitText(sample::FolderName(), fn.w);
    PutText(c, fn.x + CentreOffset(fn.w, fitted, "NDS"), std::int64_t(fn.y) + 13, fitted, col.fileNameTextColor);
  }
  const PointShowRecord& gn = skin.gameName;
  if (gn.show == 1) {
    ElementScope at(c, gn);
    const std::string summary = sample::FolderSummary();
    PutText(c, gn.x, std::int64_t(gn.y) - 2, summary, col.gameInfoTitleColor);
    PutText(c, gn.x, std::int64_t(gn.y) + 13, summary, col.gameInfoTextColor);
  }
  const FileTypeRecord& ft = skin.fileType;
  if (ft.show == 1) {
    ElementScope at(c, ft);
    PutText(c, ft.x, std::int64_t(ft.y) + 13, sample::FolderTypeLine(), col.gameInfoTextColor);
  }
  const FolderTextRecord& fo = skin.folderText;
  if (fo.show == 1) {
    ElementScope at(c, fo);
    PutText(c, fo.x, std::int64_t(fo.y) - 2, sample::FolderInfoPath(), col.formTitleTextColor);
  }
  DrawAt(c, skin.image(ImageId::icon_pth), skin.logoInfo, Blit::GreenKey);
  DrawBigClock(c, skin);
}
