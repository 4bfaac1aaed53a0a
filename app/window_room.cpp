#include "app/window_room.h"

#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>

#include <algorithm>
#include <utility>

#include "app/window_geometry.h"

namespace {

// How much the frame adds around the client area on each side.
QMargins FrameMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry(), client = window->geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

// Grows `size` along one axis by what the centre needs, within `room`, or
// gives back what it grew by when the centre has more than it needs.
void Share(int& size, int& grown, int need, int room) {
  if (need > 0) {
    const int to = std::max(size, std::min(size + need, room));
    grown += to - size;
    size = to;
  } else if (need < 0 && grown > 0) {
    const int give = std::min(-need, grown);
    size -= give;
    grown -= give;
  }
}

}  // namespace

WindowRoom::WindowRoom(QMainWindow* window, QSize least)
    : QObject(window),
      window_(window),
      least_(least),
      wanted_(window_geometry::kClientWidth, window_geometry::kAboveStatusBar) {
  // Restored from maximised, the window makes room for the docks shown meanwhile.
  window->installEventFilter(this);
}

void WindowRoom::Watch(QDockWidget* dock) {
  // The layout moves the dock only once the event loop runs again.
  const auto changed = [this, dock] {
    if (!dock->isHidden() && !dock->isFloating() && !fresh_.contains(dock)) fresh_ << dock;
    Later();
  };
  connect(dock, &QDockWidget::visibilityChanged, this, changed);
  connect(dock, &QDockWidget::topLevelChanged, this, changed);
  connect(dock, &QDockWidget::dockLocationChanged, this, changed);
}

void WindowRoom::SetCentreWanted(QSize wanted) { wanted_ = wanted; }

void WindowRoom::Later() {
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(this, &WindowRoom::Fit, Qt::QueuedConnection);
}

bool WindowRoom::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::WindowStateChange) Later();
  return QObject::eventFilter(watched, event);
}

QSize WindowRoom::Room() const {
  const QScreen* screen = window_->screen();
  if (!screen) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
  const QMargins frame = FrameMargins(window_);
  return screen->availableGeometry().size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

// The least size of the window's layout, with the menu bar that
// QLayout::minimumSize leaves out.
QSize WindowRoom::LayoutMinimum() const {
  QSize least = window_->layout()->minimumSize();
  if (const QWidget* menu = window_->menuWidget(); menu && !menu->isHidden()) {
    least.rheight() += menu->hasHeightForWidth() ? menu->heightForWidth(least.width()) : menu->sizeHint().height();
  }
  return least;
}

void WindowRoom::FitMinimum(QSize room) {
  using namespace window_geometry;
  QWidget* centre = window_->centralWidget();
  QLayout* layout = window_->layout();
  // The centre keeps its wanted height and the start-up width where the
  // screen has room for them beside what everything else needs at least
  // (menu bar, status bar, the docks shown); else it gives up what the
  // screen lacks. Docks beside it do not add to its height, nor docks below
  // to its width, so the layout is asked with the centre at its full size.
  centre->setMinimumSize(kClientWidth, wanted_.height());
  layout->invalidate();
  const QSize over = LayoutMinimum() - room;
  centre->setMinimumSize(over.width() > 0 ? std::max(kClientWidth - over.width(), kPanelBeside) : kClientWidth,
                         over.height() > 0 ? std::max(wanted_.height() - over.height(), kLeastCentreHeight)
                                           : wanted_.height());
  layout->invalidate();
  // Never smaller than the layout's minimum: a window that is has its docks
  // and its centre drawn over each other. Never larger than the screen.
  window_->setMinimumSize(least_.expandedTo(LayoutMinimum()).boundedTo(room));
}

QSize WindowRoom::Wish() const {
  QSize wish(0, 0);
  for (const QPointer<QDockWidget>& dock : fresh_) {
    if (!dock || dock->isHidden() || dock->isFloating()) continue;
    const Qt::DockWidgetArea area = window_->dockWidgetArea(dock);
    if (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea) {
      wish.setHeight(std::max(wish.height(), dock->sizeHint().height() - dock->height()));
    } else {
      wish.setWidth(std::max(wish.width(), dock->sizeHint().width() - dock->width()));
    }
  }
  return wish;
}

void WindowRoom::SizeFreshDocks() {
  for (const QPointer<QDockWidget>& dock : std::exchange(fresh_, {})) {
    if (!dock || dock->isHidden() || dock->isFloating()) continue;
    const Qt::DockWidgetArea area = window_->dockWidgetArea(dock);
    const bool below = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    window_->resizeDocks({dock.data()}, {below ? dock->sizeHint().height() : dock->sizeHint().width()},
                         below ? Qt::Vertical : Qt::Horizontal);
  }
}

void WindowRoom::Fit() {
  pending_ = false;
  QWidget* centre = window_->centralWidget();
  if (!centre || window_->isMinimized()) return;
  const QSize room = Room();
  const QSize before = window_->size();
  FitMinimum(room);
  // A larger minimum grows the window at once: that is room made too.
  grown_ += (window_->size() - before).expandedTo({0, 0});
  window_->layout()->activate();
  // Maximised, the window manager gives the size: the centre's minimum keeps
  // its height, the docks share the rest.
  if (window_->isMaximized() || window_->isFullScreen()) {
    SizeFreshDocks();
    return;
  }
  // The centre's wanted size, and the room a dock just shown would like.
  const QSize need = wanted_ - centre->size() + Wish();
  int width = window_->width(), height = window_->height();
  int grownWidth = grown_.width(), grownHeight = grown_.height();
  Share(width, grownWidth, need.width(), room.width());
  Share(height, grownHeight, need.height(), room.height());
  grown_ = {grownWidth, grownHeight};
  const QSize size = QSize(width, height).expandedTo(window_->minimumSize());
  if (size != window_->size()) window_->resize(size);
  window_->layout()->activate();
  SizeFreshDocks();
  KeepOnScreen();
}

void WindowRoom::KeepOnScreen() {
  const QScreen* screen = window_->screen();
  if (!screen || !window_->isVisible()) return;
  const QRect available = screen->availableGeometry();
  const QMargins m = FrameMargins(window_);
  // The frame as it is after the last resize: the window's position is its frame's.
  const QRect frame(window_->pos(), window_->size().grownBy(m));
  QPoint to = frame.topLeft();
  if (frame.right() > available.right()) to.rx() -= frame.right() - available.right();
  if (frame.bottom() > available.bottom()) to.ry() -= frame.bottom() - available.bottom();
  to.setX(std::max(to.x(), available.left()));
  to.setY(std::max(to.y(), available.top()));
  if (to != frame.topLeft()) window_->move(to);
}
