#include "app/elided_label.h"

#include <QPainter>
#include <QStyle>

#include "app/qt_text.h"

QString ElidedLabel::shownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

QSize ElidedLabel::minimumSizeHint() const {
  // Any width will do: the text is cut to fit.
  return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QString shown = shownText();
  setToolTip(shown == text() ? QString() : PlainToolTip(text()));
  style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
