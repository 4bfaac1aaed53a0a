// All fourteen screens at once: a dock of live thumbnails, drawn again after
// every change of the skin or the view (with the view's background and
// filter), the current screen framed; a click shows that screen. Each is at
// half size, or whole when the user chooses.
#pragma once

#include <QDockWidget>
#include <QImage>
#include <QWidget>

#include <array>

#include "preview/render.h"

class LanguageTable;
class QCheckBox;
class QMainWindow;
class QTimer;
class SkinDocument;
class ViewState;

// The thumbnails themselves.
class OverviewGrid : public QWidget {
  Q_OBJECT
 public:
  OverviewGrid(const SkinDocument& document, ViewState& view, QWidget* parent);
  void SetWhole(bool whole);
  bool whole() const { return whole_; }
  const QImage& thumbnail(int screen) const { return thumbnails_[std::size_t(screen)]; }
  // Where a screen's thumbnail lies.
  QRect CellOf(int screen) const;
  // Draws all fourteen again now (a change draws them a moment later).
  void Redraw();
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QSize Cell() const;

  const SkinDocument& document_;
  ViewState& view_;
  bool whole_ = false;
  std::array<QImage, kPreviewScreenCount> thumbnails_;
  RenderWorkspace work_;  // the memory each screen of a redraw draws in
  Picture shot_;
  QTimer* later_;
};

class OverviewDock : public QDockWidget {
  Q_OBJECT
 public:
  OverviewDock(const LanguageTable& texts, const SkinDocument& document, ViewState& view, QMainWindow* window);
  OverviewGrid* grid() const { return grid_; }
  void SetWhole(bool whole);

 signals:
  void shownByUser(bool shown);
  void wholeChosen(bool whole);

 protected:
  void closeEvent(class QCloseEvent* event) override;

 private:
  OverviewGrid* grid_;
  QCheckBox* whole_;
};
