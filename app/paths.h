// Paths the editor works with: folders as the settings keep them, the name a
// skin is shown by, and where the settings and language files live.
#pragma once

#include <QString>

// A folder path with its trailing separator, as LastPath keeps folders.
QString WithSeparator(const QString& folder);
// The folder part of a file path, with its separator; empty when it has none.
QString FolderOf(const QString& filePath);
// The name a skin is shown by: a folder's base name, an archive's file name
// without ".zip".
QString SkinNameOf(const QString& skinPath);
// Whether a path names a skin archive rather than a folder.
bool IsSkinArchive(const QString& path);

struct ShellPaths {
  QString settingsFile;  // settings.ini
  QString languageDir;
  // The journals of unsaved changes: in the user's data folder, never
  // beside a skin.
  QString recoveryDir;
  // The recently opened skins, in a file of their own beside the settings.
  QString RecentFile() const;
  // The view's own choices (whole-number zoom, the overview), beside the settings.
  QString ViewFile() const;
};

// A start from a folder that has "settings" or "language" in it (the source
// tree, a portable copy) keeps everything there: settings/settings.ini and
// language/. Else (the installed program) the settings go to the user's
// configuration folder and the language files come from beside the program
// or the installed data folder. The journals always go to the user's data
// folder (~/.local/share/skinedit/recovery).
ShellPaths FindShellPaths();
