// The editor put together: the document, the view state, the tools that
// work on the document (file commands, live reload, the skin check, the
// recovery journal) and the window, wired to each other; and the commands
// of the menus that are not about files. The window is built again on a
// language change; the document, its history and the tools live on.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

#include "app/app_settings.h"
#include "app/commands/command_table.h"
#include "app/dialogs.h"
#include "app/editor_context.h"
#include "app/language.h"
#include "app/paths.h"
#include "app/skin_document.h"
#include "edit/skin_field.h"
#include "app/view_prefs.h"
#include "app/view_state.h"
#include "skin/clock.h"

class EditorCommands;
class FileCommands;
class LiveReload;
class MainWindow;
class RecoveryJournal;
class SkinChecker;

class EditorShell : public QObject {
  Q_OBJECT
 public:
  // Empty paths: FindShellPaths().
  EditorShell(Dialogs& dialogs, ShellPaths paths = {});
  ~EditorShell() override;

  // Reads the settings and the language, puts in the default skin and
  // builds the window in the state of screen 0; offers what editors that
  // died left unsaved; then opens `skin` (a folder or a .zip) when one is given.
  void Start(const QString& skin = QString());
  // Writes the settings; the journal goes, as nothing is lost by a clean
  // exit. Called once the event loop has ended.
  void Finish();

  MainWindow* window() const;
  SkinDocument& document() { return document_; }
  ViewState& view() { return view_; }
  FileCommands& files() { return *files_; }
  LiveReload& reload() { return *reload_; }
  RecoveryJournal& recovery() { return *recovery_; }
  SkinChecker& checker() { return *checker_; }
  const AppSettings& settings() const { return settings_; }
  AppSettings& settings() { return settings_; }
  const LanguageTable& texts() const { return texts_; }
  const QStringList& recentSkins() const;
  bool quitRequested() const { return quitRequested_; }
  // The clock that stamps LastUpdate when saving (tests set a fixed one).
  void SetClock(const Clock* clock) { context_.clock = clock; }

  // The editor's commands, by id (app/commands/register_commands.cpp), and
  // those that are not about files.
  const CommandTable& commands() const { return commands_; }
  EditorCommands& editor() { return *editor_; }
  // Ends the program, after asking about unsaved changes.
  void RequestQuit();
  void ChangeLanguage(int index);
  void ToggleSwapView();
  // Offers, one after the other, the journals of editors that are gone.
  void OfferRecovery();

 signals:
  void quit();

 private:
  void BuildWindow(const QPoint* position);
  // The status text for a language whose file is not in the language folder.
  QString LanguageMissing(int index) const;
  // Opens a journal as unsaved changes against the skin's origin.
  void Restore(const struct Journal& journal, const QString& name);
  // A journal that cannot be restored is kept aside, and the user told where.
  void KeepUnrestored(const struct Journal& journal, const QString& name);
  // The journal could not be written (or can again): the status bar says so.
  void ShowJournalState(bool failing);

  Dialogs& dialogs_;
  ShellPaths paths_;
  AppSettings settings_;
  LanguageTable texts_;
  SystemClock systemClock_;
  EditorContext context_;
  SkinDocument document_;
  ViewState view_;
  std::unique_ptr<FileCommands> files_;
  std::unique_ptr<EditorCommands> editor_;
  CommandTable commands_;
  std::unique_ptr<LiveReload> reload_;
  std::unique_ptr<SkinChecker> checker_;
  std::unique_ptr<RecoveryJournal> recovery_;
  QPointer<MainWindow> window_;
  ViewChoices choices_;
  bool quitRequested_ = false;
};
