// The palette: every 15-bit colour the skin uses, in its colour fields and
// in the pixels of its pictures, as swatches with their counts, most used
// first, the key colour marked. Resting the pointer on a swatch highlights
// every pixel of the preview in that colour; choosing one lists the fields
// and pictures that use it, each of which leads to its control; and
// "Replace colour..." puts another colour in its place everywhere.
#pragma once

#include <QDockWidget>

#include <vector>

#include "check/problem.h"
#include "images/colour_work.h"

class LanguageTable;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;
class QTreeWidget;
class SkinDocument;
class ViewState;

class PaletteDock : public QDockWidget {
  Q_OBJECT
 public:
  PaletteDock(const LanguageTable& texts, SkinDocument& document, ViewState& view, class QMainWindow* window);

  // The colours as the list shows them now.
  const std::vector<PaletteEntry>& entries() const { return entries_; }
  QListWidget* swatches() const { return swatches_; }
  QTreeWidget* uses() const { return uses_; }

 signals:
  // Replace this colour everywhere (the colour dialog comes first).
  void replaceRequested(Rgb15 colour);
  // Show the control of a field or a picture that uses the colour.
  void revealRequested(const ProblemSubject& subject);
  void shownByUser(bool shown);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Refresh();
  void ShowUses();
  Rgb15 Chosen() const;
  // The palette entry of the chosen swatch, or nothing.
  const PaletteEntry* ChosenEntry() const;

  SkinDocument& document_;
  ViewState& view_;
  QListWidget* swatches_;
  QTreeWidget* uses_;
  QPushButton* replace_;
  QTimer* later_;
  std::vector<PaletteEntry> entries_;
  QString countFormat_, keyText_, usesFormat_;
  int swatchWidth_ = 0;
};
