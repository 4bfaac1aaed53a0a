// The question about files changed on disk while the editor holds unsaved
// changes to them: a bar across the top of the preview, not a modal box, so
// the user can look at the preview, go on editing and answer when ready.
// It lies over the top of the viewport, which keeps its place and size.
#pragma once

#include <QFrame>

class LanguageTable;
class QBoxLayout;
class QLabel;
class QPushButton;

class ReloadBar : public QFrame {
  Q_OBJECT
 public:
  // Hidden; shown by Ask over the top of `area`, as wide as it.
  ReloadBar(const LanguageTable& texts, QWidget* area);

  void Ask(const QString& question);
  QLabel* question() const { return question_; }
  QPushButton* reloadButton() const { return reload_; }
  QPushButton* keepButton() const { return keep_; }

 signals:
  void answered(bool reload);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();

  QLabel* question_;
  QPushButton* reload_;
  QPushButton* keep_;
  QBoxLayout* buttons_;
};
