#include "app/modal.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScreen>

#include <algorithm>

int RunModalOver(QWidget* owner, QDialog& dialog) {
  // Disabled, the owner loses its keyboard focus: it goes back afterwards
  // to the control that had it (the button that opened the dialog), shown,
  // so that the keys that follow (Ctrl+C on a colour button) reach it.
  const QPointer<QWidget> focus = owner ? QApplication::focusWidget() : nullptr;
  if (owner) {
    owner->setEnabled(false);
    // A window is not disabled with its owner unless told so; make sure.
    dialog.setEnabled(true);
  }
  const int result = dialog.exec();
  if (owner) owner->setEnabled(true);
  if (focus && focus->window() == owner->window() && focus->isEnabled() && focus->isVisible()) {
    focus->window()->activateWindow();
    focus->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    focus->setFocus(Qt::OtherFocusReason);
  }
  return result;
}

void PlaceBesideOwner(QWidget* owner, QWidget& dialog) {
  if (!owner) return;
  dialog.adjustSize();
  const QRect frame = owner->frameGeometry();
  const QScreen* screen = owner->screen();
  const QRect room = screen ? screen->availableGeometry() : QRect();
  const QSize size = dialog.frameGeometry().size();
  constexpr int kGap = 8;
  QPoint at(frame.right() + kGap, frame.top() + 40);
  if (!room.isNull() && at.x() + size.width() > room.right()) {
    at.setX(frame.left() - kGap - size.width());
    if (at.x() < room.left()) at.setX(std::max(room.left(), frame.right() - size.width() - 20));
  }
  dialog.move(at);
}
