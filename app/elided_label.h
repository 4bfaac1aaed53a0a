// A one-line text that does not fit is shown cut in the middle ("/home/…/
// myskin/uisettings.ini"), so that both ends of a path stay readable; the
// whole text is in its tooltip. text() is always the whole text.
#pragma once

#include <QLabel>

class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  // Its text is shown as it is, never as markup: it names files.
  explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) { setTextFormat(Qt::PlainText); }
  // What is shown now (the text, or the text cut in the middle).
  QString shownText() const;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
