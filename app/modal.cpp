#include "app/modal.h"

#include <QDialog>
#include <QScreen>

#include <algorithm>

int RunModalOver(QWidget* owner, QDialog& dialog) {
  if (owner) {
    owner->setEnabled(false);
    // A window is not disabled with its owner unless told so; make sure.
    dialog.setEnabled(true);
  }
  const int result = dialog.exec();
  if (owner) owner->setEnabled(true);
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
