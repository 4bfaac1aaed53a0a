#include "edit/picture_import.h"

#include <algorithm>

#include "preview/canvas.h"

namespace {

// The top-left `width` x `height` of a picture file's pixels.
SourcePicture TopLeft(const SourcePicture& source, int width, int height) {
  width = std::min(width, source.width());
  height = std::min(height, source.height());
  if (width == source.width() && height == source.height()) return source;
  SourcePicture part;
  part.rgb = Picture(width, height);
  part.direct16 = source.direct16;
  if (!source.alpha.empty()) part.alpha.resize(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    std::copy_n(source.rgb.row(y), width, part.rgb.row(y));
    if (!source.alpha.empty()) {
      std::copy_n(source.alpha.begin() + std::ptrdiff_t(y) * source.width(), width,
                  part.alpha.begin() + std::ptrdiff_t(y) * width);
    }
  }
  return part;
}

Picture TopLeftOf(const Picture& picture, int width, int height) {
  width = std::min(width, picture.width);
  height = std::min(height, picture.height);
  if (width == picture.width && height == picture.height) return picture;
  Picture part(width, height);
  for (int y = 0; y < height; ++y) std::copy_n(picture.row(y), width, part.row(y));
  return part;
}

// The skin picture an import makes of `source`, as far as the screen shows
// it. Error diffusion carries each pixel's error one column left on the next
// row, so the screen's part comes out as it does in the whole picture when
// the columns to its right that can reach it are reduced with it.
Picture AsShown(const SourcePicture& source) {
  return TopLeftOf(FinishPicture(TopLeft(source, kScreenWidth + kScreenHeight, kScreenHeight)), kScreenWidth,
                   kScreenHeight);
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += between;
    out += parts[i];
  }
  return out;
}

}  // namespace

FitPreviews FitQuestionPictures(const SourcePicture& source, int width, int height) {
  FitPreviews previews;
  previews.expectedWidth = width;
  previews.expectedHeight = height;
  previews.cover = AsShown(FitPicture(source, width, height, FitMode::Cover));
  previews.stretch = AsShown(FitPicture(source, width, height, FitMode::Stretch));
  previews.keep = AsShown(source);
  return previews;
}

int FitPreviewZoom(const FitPreviews& previews, int boxWidth, int boxHeight) {
  int width = 0, height = 0;
  for (const Picture* p : {&previews.cover, &previews.stretch, &previews.keep}) {
    width = std::max(width, p->width);
    height = std::max(height, p->height);
  }
  if (width <= 0 || height <= 0) return 1;
  return std::max(1, std::min(boxWidth / width, boxHeight / height));
}

std::optional<FolderFitQuestion> FolderFitQuestionOf(const FolderImport& import) {
  const auto differs = [](const FolderImport::Taken& t) {
    return t.picture.width != ExpectedWidth(t.image) || t.picture.height != ExpectedHeight(t.image);
  };
  const auto first = std::find_if(import.pictures.begin(), import.pictures.end(), differs);
  if (first == import.pictures.end()) return std::nullopt;
  return FolderFitQuestion{std::count_if(first, import.pictures.end(), differs), first->image, first->path,
                           first->picture.width, first->picture.height};
}

std::string FolderFitQuestionText(const FolderFitQuestion& q, const InterfaceTexts& texts) {
  return FillArguments(texts.Text("LANG_FIT_ASK_MANY$"),
                       {std::to_string(q.count), std::string(CatalogueEntryOf(q.image).name), std::to_string(q.width),
                        std::to_string(q.height), std::to_string(ExpectedWidth(q.image)),
                        std::to_string(ExpectedHeight(q.image))});
}

std::optional<ReplacePictures> TakeFolderImport(FolderImport& import, std::string_view folderName) {
  if (import.pictures.empty()) return std::nullopt;
  std::vector<std::pair<ImageId, Picture>> pictures;
  for (FolderImport::Taken& t : import.pictures) pictures.emplace_back(t.image, std::move(t.picture));
  return ReplacePictures(std::move(pictures), StepText::Of("LANG_STEP_IMPORT_FOLDER$", {std::string(folderName)}));
}

FolderImportReport ReportFolderImport(const FolderImport& import, std::string_view shownFolder,
                                      const std::vector<std::string>& failures, const std::vector<std::string>& notes,
                                      const InterfaceTexts& texts) {
  FolderImportReport report;
  for (const FolderImport::Taken& t : import.pictures) report.taken.emplace_back(CatalogueEntryOf(t.image).name);
  const std::string count = std::to_string(report.taken.size());
  std::vector<std::string> status{FillArguments(texts.Text("LANG_STATUS_IMPORTED$"), {count, std::string(shownFolder)})};
  status.insert(status.end(), notes.begin(), notes.end());
  report.status = Joined(status, "; ");
  // One box for the whole import: what it took, what it passed over, what
  // it could not read.
  report.lines.push_back(FillArguments(texts.Text("LANG_IMPORT_TAKEN$"), {count, Joined(report.taken, ", ")}));
  if (!import.unmatched.empty()) {
    report.lines.push_back(FillArguments(texts.Text("LANG_IMPORT_UNMATCHED$"), {Joined(import.unmatched, ", ")}));
  }
  for (const FolderImport::PassedOver& p : import.passedOver) {
    report.lines.push_back(FillArguments(texts.Text("LANG_IMPORT_PASSED$"), {p.path, p.taken}));
  }
  report.lines.insert(report.lines.end(), failures.begin(), failures.end());
  report.warning = !failures.empty();
  return report;
}

std::string MessageSummary(const std::vector<std::string>& lines, const InterfaceTexts& texts) {
  const std::size_t shown = std::min(lines.size(), std::size_t(kSummaryLines));
  std::string body = Joined(std::vector<std::string>(lines.begin(), lines.begin() + std::ptrdiff_t(shown)), "\n");
  if (lines.size() > shown) {
    body += "\n\n" + FillArguments(texts.Text("LANG_MESSAGES_MORE$"), {std::to_string(lines.size() - shown)});
  }
  return body;
}

std::string MessageDetails(const std::vector<std::string>& lines) {
  return lines.size() > std::size_t(kSummaryLines) ? Joined(lines, "\n") : std::string();
}
