// The editor's state and every action of its window. The window and its
// panel are rebuilt on a language change; the shell, the skin and its undo
// history live on. Every change of the skin is a SkinEdit that the shell
// applies and records; after each, it tells the window what to show.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "app/dialogs.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/operation_feedback.h"
#include "app/paths.h"
#include "app/skin_edit.h"
#include "check/problem.h"
#include "skin/catalogue.h"
#include "skin/clock.h"
#include "skin/budgets.h"
#include "skin/skin.h"

struct DiskChanges;
struct ShellWorkflow;
class SkinWatcher;
struct SkinIoContext;
class PreviewInteraction;

class EditorShell : public QObject {
  Q_OBJECT
 public:
  // Empty paths: FindShellPaths().
  EditorShell(Dialogs& dialogs, ShellPaths paths = {});
  ~EditorShell() override;

  // Reads the settings and the language, builds the window in the state of
  // screen 0, puts in the default skin, fills the panel and draws; then opens
  // `skin` (a folder or a .zip) when one is given.
  void Start(const QString& skin = QString());
  // Writes the settings and the recent skins; called once the event loop has ended.
  void Finish();

  MainWindow* window() const { return window_; }
  const Skin& skin() const { return *skin_; }
  QUndoStack& history() { return history_; }
  const AppSettings& settings() const { return settings_; }
  AppSettings& settings() { return settings_; }
  const LanguageTable& texts() const { return texts_; }
  const QStringList& recentSkins() const { return recent_; }
  QString skinName() const;
  QString saveFolder() const { return saveFolder_; }
  float zoom() const { return zoom_; }
  // Clicks, drags, nudges, drops and highlights on the preview.
  PreviewInteraction& preview() { return *preview_; }
  int currentScreen() const { return currentScreen_; }
  bool quitRequested() const { return quitRequested_; }
  // The clock that stamps LastUpdate when saving (tests set a fixed one).
  void SetClock(const Clock* clock) { clock_ = clock; }
  // The memory the pictures of the undo history may hold (tests make it small).
  void SetUndoBudget(std::size_t bytes) { undoBudget_ = bytes; }

  // Menu commands.
  void NewSkin();
  void OpenFolder();
  void OpenArchive();
  // A folder or .zip from Open Recent, the command line or a drop; asks about
  // unsaved changes first.
  void OpenSkin(const QString& path);
  // Save writes again into the folder of the last save; before there is one
  // it is SaveAs, which asks for a folder. Both return whether every file was
  // written.
  bool Save();
  bool SaveAs();
  void SaveScreenshot();
  void CopyScreenshot();
  // Ends the program, after asking about unsaved changes.
  void RequestQuit();
  void ChangeLanguage(int index);
  void EditBackgroundColour();
  void ToggleSwapView();
  void ChooseScreen(int screen);  // screen buttons and screen menu entries
  void StepScreen(int step);
  void ShowAbout();

  // Edits of the skin, each one undo step.
  void ApplyEdit(SkinEdit edit);
  void EditNumber(const SkinField& field, int value);  // steps of one field merge
  void EditFlag(const SkinField& field, bool on);
  void EditText(const SkinField& field, const QString& text);  // typing in one box merges
  void EditColour(const SkinField& field);                     // opens the colour dialog
  void ImportImage(ImageId image);                             // opens the file chooser
  void ImportImageFile(ImageId image, const QString& path);
  void ReplacePictures(std::vector<std::pair<ImageId, Picture>> pictures, const QString& name);

  // The mouse wheel or touchpad over the preview: every 120 of movement is
  // one zoom step, however it arrives.
  void Wheel(int delta);
  void StepZoom(int steps);
  void ResetZoom();

  void RedrawPreview();

  // The designer's workflow (shell_workflow.cpp). File > Import pictures
  // from folder: every file named after a picture, as one undo step.
  void ImportPictureFolder();
  // File > Save to archive: a .zip to share. The skin's folder stays where
  // Save writes, so the unsaved state is not changed; returns whether the
  // archive was written.
  bool SaveToArchive();
  // What the skin check finds, checked again shortly after every change.
  const std::vector<Problem>& problems() const;
  void CheckSkinNow();
  // A problem chosen in the list: its screen and the control concerned.
  void ShowProblem(int index);
  // Live reload: the files of the open skin that changed on disk are read
  // again, or, where they hold unsaved changes, the reload bar asks.
  SkinWatcher& watcher();
  void ReloadFromDisk(const DiskChanges& changes);
  void AnswerReload(bool reload);

 signals:
  void quit();

 private:
  void BuildWindow(const QPoint* position);
  void ShowAll();
  void UpdateTitle();
  void SkinChanged();
  // Asks whether to save unsaved changes; true when the caller may go on.
  bool MaybeSave();
  // Opens a folder or archive chosen by the user (no question asked).
  void LoadSkin(const QString& path);
  bool SaveInto(const QString& folder);
  void AddRecent(const QString& path);
  // Runs an open, save or import with the progress bar; its messages are
  // collected, to be shown in one message box once the window shows the result.
  OperationFeedback RunCoreOperation(const std::function<void(SkinIoContext&)>& operation);
  void ShowMessages(const OperationFeedback& feedback);
  // The workflow's part of starting, building the window, opening and saving.
  void SetUpWorkflow();
  void ConnectWorkflow(MainWindow* w);
  void ShowWorkflow();
  void ScheduleCheck();
  void SkinOpened(const QString& path, const std::vector<Message>& messages);
  void SkinSaved(const QString& folder, bool complete);
  void ReloadFolderFiles(const DiskChanges& changes);
  void ReopenArchive();
  void AskAboutPendingReload();

  Dialogs& dialogs_;
  ShellPaths paths_;
  std::unique_ptr<Skin> skin_;
  QUndoStack history_;
  AppSettings settings_;
  LanguageTable texts_;
  QStringList recent_, recentRead_;
  QString skinPath_;    // the folder or archive the skin came from; empty for the built-in skin
  QString saveFolder_;  // where Save writes; empty until the first save
  SystemClock systemClock_;
  const Clock* clock_ = &systemClock_;
  std::size_t undoBudget_ = kUndoPictureBudget;
  float zoom_ = 1.0f;
  int wheel_ = 0;  // wheel movement not yet turned into zoom steps
  int currentScreen_ = 0;
  bool quitRequested_ = false;
  QPointer<MainWindow> window_;
  std::unique_ptr<PreviewInteraction> preview_;
  std::unique_ptr<ShellWorkflow> workflow_;
};
