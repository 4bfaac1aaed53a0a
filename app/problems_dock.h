// The Problems list: what the skin check finds, one row a problem (severity
// icon, code, subject, text in the interface language), in a dock below the
// preview and the panel. It is hidden at start-up, so the window keeps its
// fixed layout; the View menu (F8) and the count in the status bar show it.
// Docked, the window makes room for it (window_room.h).
#pragma once

#include <QDockWidget>
#include <QString>

#include <vector>

#include "check/problem.h"

class LanguageTable;
class QMainWindow;
class SkinDocument;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class ProblemsDock : public QDockWidget {
  Q_OBJECT
 public:
  ProblemsDock(const LanguageTable& texts, QMainWindow* window);

  // Shows the document's problems, now and whenever they change.
  void Follow(const SkinDocument& document);
  // Shows the problems in the order given; the selected problem stays
  // selected when it is still there.
  void ShowProblems(const std::vector<Problem>& problems);

  QTreeWidget* list() const { return list_; }
  // The count of errors and warnings, for the status bar; a click on either
  // shows or hides the list. Its tooltip says it in words.
  QWidget* count() const { return count_; }
  QToolButton* errorCount() const { return errors_; }
  QToolButton* warningCount() const { return warnings_; }

 signals:
  // A double click or Enter on a problem: its index in the list given.
  void problemActivated(int index);
  // The user showed or hid the list (View menu, the count, the close button).
  void shownByUser(bool shown);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildList(const LanguageTable& texts);
  void BuildCount();
  void Activated(QTreeWidgetItem* item);
  QTreeWidget* list_ = nullptr;
  QWidget* count_ = nullptr;
  QToolButton* errors_ = nullptr;
  QToolButton* warnings_ = nullptr;
  ProblemTemplates templates_;
  QString none_, error_, warning_, countFormat_;
};
