// The question an import asks when a picture's size differs from the one
// the skin expects: Fit, Stretch or Keep, each shown as it would come out.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <optional>

#include "images/fit.h"

class LanguageTable;

struct FitQuestion {
  QString text;                // what differs
  QImage cover, stretch, keep;  // each way's result, as the skin would hold it
};

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
