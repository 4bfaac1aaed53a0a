// The editor's state and every action of its window. The window and its
// panel are rebuilt on a language change; the shell and the skin live on.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "app/app_settings.h"
#include "app/dialogs.h"
#include "app/language.h"
#include "app/main_window.h"
#include "skin/catalogue.h"
#include "skin/skin.h"

class MainWindow;
struct ColourControl;
struct SkinIoContext;

struct ShellPaths {
  QString settingsFile = kSettingsPath;
  QString languageDir;  // empty: FindLanguageDir()
};

class EditorShell : public QObject {
  Q_OBJECT
 public:
  EditorShell(Dialogs& dialogs, ShellPaths paths = {});
  ~EditorShell() override;

  // Reads the settings and the language, builds the window in the state of
  // screen 0, puts in the default skin, fills the panel and draws.
  void Start();
  // Writes the settings; called once the event loop has ended.
  void Finish();

  MainWindow* window() const { return window_; }
  Skin& skin() { return *skin_; }
  const AppSettings& settings() const { return settings_; }
  AppSettings& settings() { return settings_; }
  const LanguageTable& texts() const { return texts_; }
  float zoom() const { return zoom_; }
  int currentScreen() const { return currentScreen_; }
  bool quitRequested() const { return quitRequested_; }

  // Menu commands.
  void NewSkin();
  void OpenFolder();
  void OpenArchive();
  void SaveFolder();
  void SaveScreenshot();
  void CopyScreenshot();
  void RequestQuit();
  void ChangeLanguage(int index);
  void EditBackgroundColour();
  void ToggleSwapView();
  void ChooseScreen(int screen);  // screen buttons and screen menu entries
  void ShowAbout();

  // Panel controls.
  void EditColour(const ColourControl& control);
  void ImportImage(ImageId image);
  void NumberEdited(std::int32_t* (*field)(Skin&), int value);

  // The mouse wheel over the preview: exactly +120 or -120 steps the zoom.
  void Wheel(int delta);

  void RedrawPreview();

 signals:
  void quit();

 private:
  void BuildWindow(const QPoint* position);
  void AfterOpen();
  // Runs an open, save or load with the window's message boxes and progress bar.
  void RunCoreOperation(const std::function<void(SkinIoContext&)>& operation);
  QString ChosenFolder(const QString& folder) const;

  Dialogs& dialogs_;
  ShellPaths paths_;
  std::unique_ptr<Skin> skin_;
  AppSettings settings_;
  LanguageTable texts_;
  float zoom_ = 1.0f;
  int currentScreen_ = 0;
  bool quitRequested_ = false;
  QPointer<MainWindow> window_;
};
