// What the editor's commands and tools share besides the document: the
// dialogs, the interface texts, the editor's settings, the clock that stamps
// saves, the window that parents their dialogs, and where their status
// texts and progress go. The composition root fills it in and points it at
// each new window.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "app/app_settings.h"
#include "app/dialogs.h"
#include "app/language.h"
#include "app/operation_feedback.h"
#include "skin/clock.h"

struct SkinIoContext;

struct EditorContext {
  Dialogs& dialogs;
  const LanguageTable& texts;
  AppSettings& settings;
  const Clock* clock = nullptr;
  QPointer<QWidget> window;
  std::function<void(const QString&)> status;
  std::function<void(int)> progress;

  void ShowStatus(const QString& text) const {
    if (status) status(text);
  }
  // Runs an open, save or import with the progress bar; its messages are
  // collected, to be shown in one message box once the window shows the result.
  OperationFeedback Run(const std::function<void(SkinIoContext&)>& operation) const;
  // One message box for the whole operation, however many files failed.
  void ShowMessages(const OperationFeedback& feedback) const;
  void ShowMessages(const QStringList& lines, const QString& title) const;
};
