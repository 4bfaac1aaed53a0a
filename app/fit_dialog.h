// The question an import asks when a picture's size differs from the one
// the skin expects: Fit, Stretch or Keep, each drawn as the console will
// show it, all three at one zoom, so that their sizes compare truly.
#pragma once

#include <QDialog>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

#include "images/fit.h"

class LanguageTable;

struct FitQuestion {
  QString text;                 // what differs
  QSize expected;               // the size the skin expects
  QImage cover, stretch, keep;  // each way's result as the console shows it
};

// Each way's result for `source` going into a picture of `width` x
// `height`, reduced as the import reduces it, and cut to what the console's
// 256 x 192 screen can show of it, from its top left (a kept photo shows its
// top-left corner, not the whole photo made small).
FitQuestion AskingToFit(const SourcePicture& source, int width, int height, const QString& text);

// The one zoom all three are drawn at: the largest whole number at which
// the largest of them fits `box`; at least 1, as none is larger than the screen.
int FitPreviewZoom(const FitQuestion& question, QSize box);

class FitDialog : public QDialog {
  Q_OBJECT
 public:
  FitDialog(QWidget* owner, const FitQuestion& question, const LanguageTable& texts);
  std::optional<FitMode> answer() const { return answer_; }

 private:
  std::optional<FitMode> answer_;
};

// Modal; nothing when the import is cancelled.
std::optional<FitMode> RunFitDialog(QWidget* owner, const FitQuestion& question, const LanguageTable& texts);
