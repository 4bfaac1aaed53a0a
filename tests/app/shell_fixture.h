// An editor shell on scripted dialogs, with its settings in a temporary
// folder that is emptied before each test.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "app/commands/editor_commands.h"
#include "app/commands/file_commands.h"
#include "app/live_reload.h"
#include "app/recovery_journal.h"
#include "app/editor_shell.h"
#include "app/skin_checker.h"
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
  QString RecoveryDir() const { return dir.filePath(QStringLiteral("recovery")); }
  EditorShell& Start(const QString& skin = QString(), const Clock* clock = nullptr,
                     const QString& languageDir = QStringLiteral(SKIN_SOURCE_DIR "/language")) {
    shell = std::make_unique<EditorShell>(dialogs, ShellPaths{SettingsFile(), languageDir, RecoveryDir()});
    if (clock) shell->SetClock(clock);
    shell->Start(skin);
    QCoreApplication::processEvents();
    return *shell;
  }
};

// A folder for a test's own skins, emptied before each test.
struct WorkFolder {
  QTemporaryDir dir;
  void Reset() const {
    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
  }
  QString operator()(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QString path() const { return dir.path(); }
};
