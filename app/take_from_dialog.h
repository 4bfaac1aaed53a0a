// Skin > Take from skin: what another skin has, in the groups of the core's
// table (edit/take_from.h), each item with a check box beside what the
// skin being edited has now: colours as swatches, pictures as thumbnails
// grouped by the screens of the Images tab, the numbers of each element
// record, the information texts. A group's own check box chooses all of
// it. A picture the other skin lacks or could not read is listed, saying
// so, and has no check box. Every choice is previewed (once per turn of the
// event loop); OK takes it as one step.
#pragma once

#include <QDialog>

#include "edit/take_from.h"

class LanguageTable;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TakeFromDialog : public QDialog {
  Q_OBJECT
 public:
  // `current`: the skin being edited, as it was before the dialog; `compared`:
  // the name of the skin shown beside the preview, empty when there is none.
  TakeFromDialog(QWidget* owner, const LanguageTable& texts, const Skin& current, const QString& compared);

  // The skin to take from now, `shown` as its path; what was chosen of
  // another goes. `source` must stay while the dialog shows it.
  void SetSource(const TakeSource* source, const QString& shown);
  const TakeSource* source() const { return source_; }
  TakeChoice choice() const;
  // The row of an item, for the tests: nullptr when it is not listed.
  QTreeWidgetItem* RowOf(TakeGroup group, const QString& name) const;
  QTreeWidgetItem* GroupRow(TakeGroup group) const;

 signals:
  void folderWanted();
  void archiveWanted();
  void comparedWanted();
  void previewed(const TakeChoice& choice);

 private:
  void Fill();
  void Changed(QTreeWidgetItem* row);
  QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const TakeItem& item, int index);

  const LanguageTable& texts_;
  const Skin& current_;
  const TakeSource* source_ = nullptr;
  QLabel* from_;
  QTreeWidget* tree_;
  QPushButton* ok_;
  QTimer* later_;
  bool settling_ = false;  // the boxes of a group and its rows follow each other
};
