#include "app/overview_dock.h"

#include "preview/scale.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>

#include "app/language.h"
#include "app/qt_picture.h"
#include "app/skin_document.h"
#include "app/view_state.h"

namespace {

constexpr int kColumns = 2;
constexpr int kGap = 6;  // between thumbnails, room for the frame of the current one

}  // namespace

OverviewGrid::OverviewGrid(const SkinDocument& document, ViewState& view, QWidget* parent)
    : QWidget(parent), document_(document), view_(view) {
  setObjectName(QStringLiteral("overviewGrid"));
  later_ = new QTimer(this);
  later_->setSingleShot(true);
  later_->setInterval(0);
  connect(later_, &QTimer::timeout, this, &OverviewGrid::Redraw);
  const auto soon = [this] {
    if (isVisible()) later_->start();
  };
  // Only what the thumbnails show draws them again; another screen chosen
  // only moves the frame.
  connect(&document, &SkinDocument::skinChanged, this, soon);
  connect(&view, &ViewState::filterChanged, this, soon);
  connect(&view, &ViewState::backgroundChanged, this, soon);
  connect(&view, &ViewState::screenChanged, this, qOverload<>(&QWidget::update));
}

QSize OverviewGrid::Cell() const {
  return whole_ ? QSize(kPreviewWidth, kPreviewHeight) : QSize(kPreviewWidth / 2, kPreviewHeight / 2);
}

QRect OverviewGrid::CellOf(int screen) const {
  const QSize cell = Cell();
  return {kGap + (screen % kColumns) * (cell.width() + kGap), kGap + (screen / kColumns) * (cell.height() + kGap),
          cell.width(), cell.height()};
}

QSize OverviewGrid::sizeHint() const {
  const QRect last = CellOf(kPreviewScreenCount - 1);
  return {CellOf(1).right() + kGap + 1, last.bottom() + kGap + 1};
}

void OverviewGrid::SetWhole(bool whole) {
  whole_ = whole;
  resize(sizeHint());
  updateGeometry();
  Redraw();
}

void OverviewGrid::Redraw() {
  for (int s = 0; s < kPreviewScreenCount; ++s) {
    // The skin itself, as the view filters it; the marks of the preview are not drawn here.
    // Drawn in the memory of the last screen and of the last redraw.
    RenderPreview(document_.skin(), s, 1.0f, view_.background(), work_, shot_);
    ApplyScreenFilter(shot_, view_.filter());
    thumbnails_[std::size_t(s)] = ToQImage(whole_ ? shot_ : HalfSizePicture(shot_));
  }
  update();
}

void OverviewGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  for (int s = 0; s < kPreviewScreenCount; ++s) {
    const QRect cell = CellOf(s);
    if (!thumbnails_[std::size_t(s)].isNull()) painter.drawImage(cell.topLeft(), thumbnails_[std::size_t(s)]);
    if (s == view_.screen()) {
      painter.setPen(QPen(palette().highlight(), 3));
      painter.drawRect(cell.adjusted(-2, -2, 1, 1));
    }
  }
}

void OverviewGrid::mousePressEvent(QMouseEvent* event) {
  for (int s = 0; s < kPreviewScreenCount; ++s) {
    if (CellOf(s).contains(event->position().toPoint())) view_.ChooseScreen(s);
  }
}

OverviewDock::OverviewDock(const LanguageTable& texts, const SkinDocument& document, ViewState& view,
                           QMainWindow* window)
    : QDockWidget(texts.Text("LANG_VIEW_OVERVIEW$"), window) {
  setObjectName(QStringLiteral("OverviewDock"));
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(2, 2, 2, 2);
  whole_ = new QCheckBox(texts.Text("LANG_OVERVIEW_WHOLE$"));
  whole_->setObjectName(QStringLiteral("overviewWhole"));
  grid_ = new OverviewGrid(document, view, nullptr);
  auto* scroll = new QScrollArea;
  scroll->setWidget(grid_);
  scroll->setFrameShape(QFrame::NoFrame);
  layout->addWidget(whole_);
  layout->addWidget(scroll, 1);
  setWidget(body);
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  setFeatures(DockWidgetClosable | DockWidgetFloatable | DockWidgetMovable);
  connect(toggleViewAction(), &QAction::triggered, this, &OverviewDock::shownByUser);
  connect(whole_, &QCheckBox::toggled, this, [this](bool whole) {
    grid_->SetWhole(whole);
    emit wholeChosen(whole);
  });
  connect(this, &QDockWidget::visibilityChanged, grid_, [this](bool visible) {
    if (visible) grid_->Redraw();
  });
  grid_->SetWhole(false);
  // Two half-size screens side by side, and room for the scroll bar.
  setMinimumWidth(grid_->sizeHint().width() + 24);
  hide();
}

void OverviewDock::SetWhole(bool whole) { whole_->setChecked(whole); }

void OverviewDock::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  emit shownByUser(false);
}
