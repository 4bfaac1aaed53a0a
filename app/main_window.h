// The main window: menu bar, preview viewport with the fourteen screen
// buttons, the editor panel and a status bar with the progress bar. Every
// child is placed by hand, as the layout rule below says. The window reports
// what the user asked for through its signals and shows what the shell hands
// it; it neither reads nor writes the skin itself.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <array>

#include "app/app_settings.h"
#include "skin/catalogue.h"
#include "skin/picture.h"
#include "skin/skin.h"

class EditorPanel;
class LanguageTable;
class QAction;
class QLabel;
class QMenu;
class PreviewPicture;
class ProblemsDock;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QUndoStack;
class ReloadBar;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 666;
  static constexpr int kAboveStatusBar = 521;

  // The Edit menu's Undo and Redo follow `history`.
  MainWindow(const LanguageTable& texts, const AppSettings& settings, QUndoStack& history);

  EditorPanel* panel() const { return panel_; }
  QScrollArea* viewport() const { return viewport_; }
  PreviewPicture* previewPicture() const { return preview_; }
  QProgressBar* progress() const { return progress_; }
  QLabel* statusText() const { return status_; }
  QLabel* zoomText() const { return zoom_; }
  QPushButton* screenButton(int i) const { return screenButtons_[std::size_t(i)]; }
  QAction* screenAction(int i) const { return screenActions_[std::size_t(i)]; }
  QAction* swapAction() const { return swapAction_; }
  QAction* languageAction(int menuPosition) const { return languageActions_[std::size_t(menuPosition)]; }
  QAction* undoAction() const { return undo_; }
  QAction* redoAction() const { return redo_; }
  QMenu* recentMenu() const { return recent_; }
  ProblemsDock* problemsDock() const { return problems_; }
  ReloadBar* reloadBar() const { return reloadBar_; }
  int previewX() const { return previewX_; }
  int panelX() const { return panelX_; }

  // What the shell shows.
  void ShowPreview(Picture picture);
  void ShowSkin(const Skin& skin);
  // The controls, menu entry and button of `screen`.
  void ShowScreen(int screen);
  // "<skin>[*] - <program> v0.100603", with Qt's modified marker.
  void ShowTitle(const QString& skinName, bool modified);
  void ShowZoom(float zoom);
  void ShowProgress(int value);
  void ShowStatus(const QString& text);
  void ShowRecent(const QStringList& skins);
  // The layout rule: places viewport, buttons and panel for the client size.
  void ApplyLayout();
  // Swapped layout on or off: the viewport and buttons move, the panel moves
  // without changing its height.
  void ApplySwap(bool swapped);
  // From now on a close request closes the window: the shell has decided to end.
  void AllowClose() { closeAllowed_ = true; }

 signals:
  void newRequested();
  void openFolderRequested();
  void openArchiveRequested();
  void openRecentRequested(const QString& skin);
  void skinDropped(const QString& skin);
  void saveRequested();
  void saveAsRequested();
  void saveArchiveRequested();
  void importFolderRequested();
  void screenshotFileRequested();
  void screenshotClipboardRequested();
  void quitRequested();  // the Exit command or a close request
  void languageRequested(int index);
  void backgroundColourRequested();
  void swapViewRequested();
  void screenRequested(int screen);
  void screenStepRequested(int step);  // -1 previous, +1 next
  void zoomStepRequested(int steps);
  void zoomResetRequested();
  void wheelTurned(int delta);  // over the preview
  void aboutRequested();
  void resized();
  // What the user does with the panel's controls, its own signals report.

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenuBar(const LanguageTable& texts, const AppSettings& settings, QUndoStack& history);
  void BuildFileMenu(const LanguageTable& texts);
  void BuildEditMenu(const LanguageTable& texts, QUndoStack& history);
  void BuildScreenMenu(const LanguageTable& texts);
  void BuildStatusBar();
  void BuildCentre(const LanguageTable& texts, const AppSettings& settings);

  QWidget* centre_ = nullptr;
  QScrollArea* viewport_ = nullptr;
  PreviewPicture* preview_ = nullptr;
  EditorPanel* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* zoom_ = nullptr;
  QString zoomFormat_;
  std::array<QPushButton*, 14> screenButtons_{};
  std::array<QAction*, 14> screenActions_{};
  std::array<QAction*, 10> languageActions_{};
  QAction* swapAction_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QMenu* recent_ = nullptr;
  ProblemsDock* problems_ = nullptr;
  ReloadBar* reloadBar_ = nullptr;
  bool swapped_ = false;
  bool closeAllowed_ = false;
  int previewX_ = 3, panelX_ = 272;
};
