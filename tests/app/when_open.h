// Runs a check on a modal dialog once it is open, for tests that start the
// dialog's own event loop. Bounded both ways: a dialog that never opens
// fails the test with a message saying so, and one the check leaves open is
// ended, so that no regression can hold the test run.
#pragma once

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Looks for the dialog among `owner`'s children every 5 ms for `seconds` at
// most, then runs `check` on it; `check` must end the dialog, or it is ended
// (`done(QDialog::Rejected)`) after three seconds more.
template <typename Dialog>
void WhenOpen(QWidget* owner, const char* what, std::function<void(Dialog*)> check, int seconds = 5) {
  auto attempt = std::make_shared<std::function<void()>>();
  auto tries = std::make_shared<int>(0);
  const int most = seconds * 200;
  *attempt = [owner, what, check, attempt, tries, most] {
    Dialog* dialog = owner->findChild<Dialog*>();
    if (!dialog || !dialog->isVisible()) {
      if (++*tries > most) qFatal("%s never opened", what);
      QTimer::singleShot(5, *attempt);
      return;
    }
    check(dialog);
    QTimer::singleShot(3000, dialog, [dialog] {
      if (dialog->isVisible()) dialog->done(QDialog::Rejected);
    });
  };
  QTimer::singleShot(0, *attempt);
}
