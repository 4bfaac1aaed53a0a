// The room the main window makes for what it shows beside its hand-placed
// centre (the Problems list below it, the palette and the overview beside
// it, the compared skin within it), always within the screen it is on.
//
// Not maximised, the window grows by what a dock or the comparison needs,
// moving left or up first where it would cross the screen's edge and growing
// only as far as the screen allows; it gives that room back when they go.
// Maximised, the docks share what the centre does not need. Either way the
// centre keeps its wanted height where the screen has room for it beside the
// docks' least sizes, and the window's minimum covers every widget's minimum,
// so that nothing is ever drawn over a dock (a window smaller than its
// layout's minimum has its docks and centre laid over each other) and the
// minimum never exceeds the screen.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

class QDockWidget;
class QMainWindow;

class WindowRoom : public QObject {
 public:
  // `least`: the window's own least size (its size at start-up).
  WindowRoom(QMainWindow* window, QSize least);

  // Makes room for `dock` whenever it is shown, hidden, docked or floated.
  void Watch(QDockWidget* dock);
  // The centre's wanted size: its size at start-up, wider while comparing.
  void SetCentreWanted(QSize wanted);
  // Makes room now; a dock's change makes it a moment later, once the
  // window's layout has moved the dock.
  void Fit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Later();
  // The most client area the window can have on its screen.
  QSize Room() const;
  QSize LayoutMinimum() const;
  void FitMinimum(QSize room);
  // What the docks just shown would like beyond what they have: their
  // preferred height below the centre, width beside it.
  QSize Wish() const;
  // Gives the docks just shown their preferred size, as far as the centre's
  // minimum leaves room.
  void SizeFreshDocks();
  void KeepOnScreen();

  QMainWindow* window_;
  QSize least_;
  QSize wanted_;
  QSize grown_{0, 0};  // what the window grew by for the docks and the comparison
  QList<QPointer<QDockWidget>> fresh_;  // docks shown or docked since the last fit
  bool pending_ = false;
};
