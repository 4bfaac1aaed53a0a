// The editor as the benchmarks drive it: one application on the offscreen
// platform (unless QT_QPA_PLATFORM says otherwise), made on first use since
// the benchmarks' own main makes none, and an editor whose settings live in
// a temporary folder.
#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include "app/dialogs.h"
#include "app/editor_shell.h"

inline void MakeBenchApplication() {
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  (void)app;
}

struct BenchEditor {
  QTemporaryDir dir;
  EditorShell shell{QtDialogs(), ShellPaths{dir.filePath(QStringLiteral("settings.ini")),
                                            QStringLiteral(SKIN_SOURCE_DIR "/language"), dir.filePath(QStringLiteral("recovery"))}};
  BenchEditor() { shell.Start(); }
};
