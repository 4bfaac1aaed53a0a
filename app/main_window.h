// The main window: menu bar, preview viewport with the fourteen screen
// buttons, the editor panel and a status bar with the progress bar. Every
// child is placed by hand, as the layout rule below says.
#pragma once

#include <QMainWindow>

#include <array>

#include "app/app_settings.h"
#include "skin/picture.h"

class EditorPanel;
class EditorShell;
class LanguageTable;
class QAction;
class PreviewPicture;
class QProgressBar;
class QPushButton;
class QScrollArea;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 666;
  static constexpr int kAboveStatusBar = 521;

  MainWindow(EditorShell& shell, const LanguageTable& texts, const AppSettings& settings);

  EditorPanel* panel() const { return panel_; }
  QScrollArea* viewport() const { return viewport_; }
  PreviewPicture* previewPicture() const { return preview_; }
  QProgressBar* progress() const { return progress_; }
  QPushButton* screenButton(int i) const { return screenButtons_[std::size_t(i)]; }
  QAction* screenAction(int i) const { return screenActions_[std::size_t(i)]; }
  QAction* swapAction() const { return swapAction_; }
  QAction* languageAction(int menuPosition) const { return languageActions_[std::size_t(menuPosition)]; }
  int previewX() const { return previewX_; }
  int panelX() const { return panelX_; }

  void ShowPreview(Picture picture);
  // The layout rule: places viewport, buttons and panel for the client size.
  void ApplyLayout();
  // Swapped layout on or off: the viewport and buttons move, the panel moves
  // without changing its height.
  void ApplySwap(bool swapped);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenuBar(const LanguageTable& texts, const AppSettings& settings);
  void BuildStatusBar();
  void BuildCentre(const LanguageTable& texts, const AppSettings& settings);

  EditorShell& shell_;
  QWidget* centre_ = nullptr;
  QScrollArea* viewport_ = nullptr;
  PreviewPicture* preview_ = nullptr;
  EditorPanel* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::array<QPushButton*, 14> screenButtons_{};
  std::array<QAction*, 14> screenActions_{};
  std::array<QAction*, 10> languageActions_{};
  QAction* swapAction_ = nullptr;
  bool swapped_ = false;
  int previewX_ = 3, panelX_ = 272;
};
