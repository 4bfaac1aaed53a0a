// What an import of pictures asks and tells, the same on both faces: the
// question of a picture whose size differs from the skin's, drawn each way
// as the console will show it; the one question a folder import asks for
// all its pictures of another size; the step it makes; and what it says
// when it is done (the status bar's line and the report's lines).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edit/changes.h"
#include "edit/interface_texts.h"
#include "images/fit.h"
#include "images/import_folder.h"

// Each way's result for a picture file going into a picture of the skin,
// reduced as the import reduces it, and cut to what the console's 256 x 192
// screen shows of it, from its top left: a photo kept as it is shows its
// top-left corner, not the whole photo made small.
struct FitPreviews {
  int expectedWidth = 0, expectedHeight = 0;  // the size the skin expects
  Picture cover, stretch, keep;
};
FitPreviews FitQuestionPictures(const SourcePicture& source, int width, int height);

// The one zoom the three are drawn at, so that their sizes compare truly:
// the largest whole number at which the largest of them fits a box of
// `boxWidth` x `boxHeight`; at least 1, as none is larger than the screen.
int FitPreviewZoom(const FitPreviews& previews, int boxWidth, int boxHeight);

// The question a folder import asks once for all the pictures it took whose
// size differs from the skin's: how many, and the first of them in the
// catalogue's order, whose file the question draws.
struct FolderFitQuestion {
  long long count = 0;
  ImageId image{};
  std::string path;       // its file
  int width = 0, height = 0;  // its size
};
// Nothing when every picture has the size the skin expects: nothing to ask.
std::optional<FolderFitQuestion> FolderFitQuestionOf(const FolderImport& import);
// LANG_FIT_ASK_MANY$ filled in.
std::string FolderFitQuestionText(const FolderFitQuestion& question, const InterfaceTexts& texts);

// Every picture the folder import took, as one step of Undo named after the
// folder (its name, not its path); nothing when it took none. The pictures
// are moved out of `import`.
std::optional<ReplacePictures> TakeFolderImport(FolderImport& import, std::string_view folderName);

// What a folder import tells when it is done. `shownFolder` is the folder as
// the face names it; `failures` and `notes` the texts of what reading the
// folder reported (files that could not be read) and noted (half-transparent
// pixels), in order.
struct FolderImportReport {
  std::vector<std::string> taken;  // the pictures' names, in catalogue order
  std::string status;              // LANG_STATUS_IMPORTED$, the notes after it
  // The report's lines: what it took, the files that name no picture, those
  // passed over for another file of the same picture, then the failures.
  std::vector<std::string> lines;
  bool warning = false;  // a file could not be read: shown as a warning, not a plain report
};
FolderImportReport ReportFolderImport(const FolderImport& import, std::string_view shownFolder,
                                      const std::vector<std::string>& failures, const std::vector<std::string>& notes,
                                      const InterfaceTexts& texts);

// The body of the one box that shows the messages of an operation: its
// first kSummaryLines lines, and a line saying how many more the details
// hold (LANG_MESSAGES_MORE$). The details are every line, when there are more.
inline constexpr int kSummaryLines = 5;
std::string MessageSummary(const std::vector<std::string>& lines, const InterfaceTexts& texts);
std::string MessageDetails(const std::vector<std::string>& lines);
