#include "app/dock_room.h"

#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>

DockRoom::DockRoom(QDockWidget* dock, QMainWindow* window, Qt::Orientation along, int centreExtent)
    : QObject(dock), dock_(dock), window_(window), along_(along), centreExtent_(centreExtent) {
  // The layout moves the dock only once the event loop runs again.
  connect(dock, &QDockWidget::visibilityChanged, this, &DockRoom::Later);
  connect(dock, &QDockWidget::topLevelChanged, this, &DockRoom::Later);
  // Shown while the window was maximised, the dock took the centre's room;
  // restored, the window grows for it.
  window->installEventFilter(this);
}

void DockRoom::Later() { QMetaObject::invokeMethod(this, &DockRoom::Fit, Qt::QueuedConnection); }

bool DockRoom::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::WindowStateChange) Later();
  return QObject::eventFilter(watched, event);
}

void DockRoom::Fit() {
  QWidget* centre = window_->centralWidget();
  if (!centre || window_->isMaximized() || window_->isFullScreen() || window_->isMinimized()) return;
  const bool vertical = along_ == Qt::Vertical;
  const auto extent = [vertical](const QWidget* w) { return vertical ? w->height() : w->width(); };
  const auto minimum = [vertical](const QWidget* w) { return vertical ? w->minimumHeight() : w->minimumWidth(); };
  const auto setMinimum = [vertical](QWidget* w, int v) {
    if (vertical) w->setMinimumHeight(v);
    else w->setMinimumWidth(v);
  };
  const auto grow = [this, vertical](int by) {
    if (vertical) window_->resize(window_->width(), window_->height() + by);
    else window_->resize(window_->width() + by, window_->height());
  };
  if (!dock_->isHidden() && !dock_->isFloating()) {
    window_->layout()->activate();
    const int need = centreExtent_ - extent(centre);
    if (need > 0) {
      const int target = extent(window_) + need;
      grown_ += need;
      // A larger minimum may already have grown the window.
      setMinimum(window_, minimum(window_) + need);
      if (extent(window_) < target) grow(target - extent(window_));
    }
    // Nor can the separator between them take the centre's room.
    setMinimum(centre, centreExtent_);
  } else if (grown_ > 0) {
    setMinimum(centre, 0);
    setMinimum(window_, minimum(window_) - grown_);
    grow(-grown_);
    grown_ = 0;
  }
}
