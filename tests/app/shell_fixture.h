// An editor shell on scripted dialogs, with its settings in a temporary
// folder that is emptied before each test.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "app/shell.h"
#include "fake_dialogs.h"

struct ShellFixture {
  QTemporaryDir dir;
  FakeDialogs dialogs;
  std::unique_ptr<EditorShell> shell;

  void Reset() {
    shell.reset();
    dialogs = FakeDialogs();
    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
  }
  QString SettingsFile() const { return dir.filePath(QStringLiteral("settings/settings.ini")); }
  EditorShell& Start(const QString& skin = QString(), const Clock* clock = nullptr,
                     const QString& languageDir = QStringLiteral(SKIN_SOURCE_DIR "/language")) {
    shell = std::make_unique<EditorShell>(dialogs, ShellPaths{SettingsFile(), languageDir});
    if (clock) shell->SetClock(clock);
    shell->Start(skin);
    QCoreApplication::processEvents();
    return *shell;
  }
};
