#include "app/modal.h"

#include <QDialog>

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
