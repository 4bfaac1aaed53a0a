// The main window: menu bar, preview viewport with the fourteen screen
// buttons, the editor panel and a status bar with the progress bar. Every
// child is placed by hand, as the layout rule below says. Its views (panel,
// preview, Problems list, title) follow the document and the view state
// themselves; its menus are laid out from the editor's command table, and
// what the user asks for (a menu entry, a button, a drop, a close) runs a
// command. It hands out no widget: what happens to the skin goes through
// the document.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

#include "app/app_settings.h"
#include "app/view_prefs.h"
#include "edit/skin_field.h"
#include "check/problem.h"
#include "edit/command_catalogue.h"
#include "edit/editor_session.h"
#include "preview/filters.h"
#include "preview/render.h"
#include "skin/catalogue.h"

class CommandTable;
class EditorPanel;
class ElidedLabel;
class LanguageTable;
class OverviewDock;
class PaletteDock;
class PreviewInteraction;
class PreviewPicture;
class ProblemsDock;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollArea;
class ReloadBar;
class SkinDocument;
class ViewState;
class WindowRoom;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The views follow `document` and `view`; the Edit menu's Undo and Redo
  // follow the document's history.
  // `choices`: what the window remembers of its docks and of being maximised.
  MainWindow(const LanguageTable& texts, const AppSettings& settings, SkinDocument& document, ViewState& view,
             const CommandTable& commands, ViewChoices& choices);

  // What the commands and tools have to say.
  void ShowProgress(int value);
  void ShowStatus(const QString& text);
  void ShowRecent(const QStringList& skins);
  // The reload bar over the preview asks; reloadAnswered tells the answer.
  void AskReload(const QString& question);
  void HideReloadQuestion();
  void ShowProblemsList(bool shown);
  void ShowPalette(bool shown);
  void ShowOverview(bool shown, bool whole);
  // Brings the panel's control that the core chose for a problem into view.
  void RevealFocus(const PanelFocus& focus);
  // The layout rule: places viewport, buttons and panel for the client size.
  void ApplyLayout();
  // Swapped layout on or off: the viewport and buttons move, the panel moves
  // without changing its height.
  void ApplySwap(bool swapped);
  // From now on a close request closes the window: the shell has decided to end.
  void AllowClose() { closeAllowed_ = true; }
  // The docks: shown or hidden as the user asks (remembered as the user's choice).
  enum class Dock { Overview, Problems, Palette };
  bool DockShown(Dock dock) const;
  void ShowDockByUser(Dock dock, bool shown);
  // The room the preview has: what zoom to fit fits into.
  QSize PreviewRoom() const;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenuBar(const LanguageTable& texts);
  // The catalogue's entries `items` added to `menu`.
  void AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items, const LanguageTable& texts);
  void OpenSkin(const QString& path) const;
  void BuildStatusBar();
  void BuildCentre(const LanguageTable& texts, const AppSettings& settings);
  void FollowDocument(const LanguageTable& texts);
  void ShowScreen(int screen);
  void ShowZoom(float zoom);
  void ShowTitle();
  void ShowFilter();
  // The compared skin beside the preview, or not: the window grows by its
  // width for it, and gives it back.
  void ShowCompare();

  SkinDocument& document_;
  ViewState& view_;
  const CommandTable& commands_;
  ViewChoices& choices_;
  QString newSkinName_;
  PreviewInteraction* interaction_ = nullptr;
  // The status text a hint over the preview covers, shown again after it.
  std::optional<QString> beforeHint_;

  QWidget* centre_ = nullptr;
  QScrollArea* viewport_ = nullptr;
  PreviewPicture* preview_ = nullptr;
  EditorPanel* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  ElidedLabel* status_ = nullptr;
  int statusStep_ = 0;  // the history's index when the status text was shown
  QLabel* simulation_ = nullptr;
  QString simulationFormat_;
  QStringList filterNames_;
  QScrollArea* compareViewport_ = nullptr;
  PreviewPicture* comparePicture_ = nullptr;
  QLabel* compareCaption_ = nullptr;
  QString comparedSaved_, comparedOther_;
  WindowRoom* room_ = nullptr;
  OverviewDock* overview_ = nullptr;
  QLabel* zoom_ = nullptr;
  QString zoomFormat_;
  std::array<QPushButton*, kPreviewScreenCount> screenButtons_{};
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QMenu* recent_ = nullptr;
  ProblemsDock* problems_ = nullptr;
  PaletteDock* palette_ = nullptr;
  ReloadBar* reloadBar_ = nullptr;
  bool swapped_ = false;
  bool closeAllowed_ = false;
  int previewX_ = 0, panelX_ = 0;
};
