// A dock that adds its own room to the window: docked below (or beside) the
// window's centre, it makes the window taller (or wider) instead of taking
// the height (or width) that the centre's hand-placed layout needs, and it
// gives that room back when it goes. Floating, or in a maximised window, it
// changes nothing.
#pragma once

#include <QObject>

class QDockWidget;
class QMainWindow;

class DockRoom : public QObject {
 public:
  // `centreExtent`: the centre's height (Qt::Vertical, a dock below it) or
  // width (Qt::Horizontal, a dock beside it) while the dock is docked.
  DockRoom(QDockWidget* dock, QMainWindow* window, Qt::Orientation along, int centreExtent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fit();
  void Later();

  QDockWidget* dock_;
  QMainWindow* window_;
  Qt::Orientation along_;
  int centreExtent_;
  int grown_ = 0;  // what the window grew by for the dock
};
