#include "app/preview_picture.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "app/paths.h"
#include "app/skin_document.h"
#include "app/view_state.h"

namespace {

constexpr int kBlinkMs = 400;

// The one picture file in a drag; a skin folder or archive is left to the
// window, which opens it.
QString DraggedPicture(const QMimeData* data) {
  if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
  const QString path = data->urls().front().toLocalFile();
  return QFileInfo(path).isFile() && !IsSkinArchive(path) ? path : QString();
}

}  // namespace

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewPicture"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAcceptDrops(true);
  blink_.setInterval(kBlinkMs);
  connect(&blink_, &QTimer::timeout, this, &PreviewPicture::Blink);
}

void PreviewPicture::Follow(const SkinDocument& document, const ViewState& view, Role role) {
  document_ = &document;
  viewState_ = &view;
  role_ = role;
  connect(&document, &SkinDocument::skinChanged, this, &PreviewPicture::Redraw);
  connect(&document, &SkinDocument::diskChanged, this, &PreviewPicture::Redraw);
  connect(&view, &ViewState::changed, this, &PreviewPicture::Redraw);
  connect(&view, &ViewState::hoverChanged, this, &PreviewPicture::ShowMarks);
  connect(&view, &ViewState::selectionChanged, this, &PreviewPicture::ShowMarks);
  Redraw();
}

float PreviewPicture::zoom() const { return viewState_ ? viewState_->zoom() : 1.0f; }

const Skin& PreviewPicture::Shown() const {
  const bool compared = (role_ == Role::Compared) != viewState_->swapped();
  if (!compared || viewState_->compare() == ViewState::Compare::Off) return document_->skin();
  if (viewState_->compare() == ViewState::Compare::Other && viewState_->other()) return *viewState_->other();
  return document_->disk().skin;
}

void PreviewPicture::Redraw() {
  // The compared picture is hidden while nothing is compared: it is drawn
  // again when the comparison starts, not on every edit before.
  if (role_ == Role::Compared && viewState_->compare() == ViewState::Compare::Off) return;
  // Drawn at zoom 1, where the trace answers "what is here?" until the next
  // redraw, then filtered (only what is shown) and scaled.
  // Each redraw draws into the memory of the last one.
  RenderPreview(Shown(), viewState_->screen(), 1.0f, viewState_->background(), work_, unscaled_, &trace_);
  FilteredAtZoom(unscaled_, viewState_->filter(), viewState_->zoom(), work_, picture_);
  ShowPicture();
  counts_ = CountElementPixels(trace_);
  // The marks are made again from the new trace: the mark of a moved
  // element goes along with it.
  ShowMarks();
  emit redrawn();
}

PixelMask PreviewPicture::Mask(const PreviewTarget& target) const {
  if (target.empty() || trace_.tags.empty()) return {};
  if (target.colour) return ColourMask(unscaled_, trace_, *target.colour);
  return TargetMask(trace_, target);
}

PixelMask PreviewPicture::ZoomedMask(const PreviewTarget& target) const { return Zoomed(Mask(target)); }

PixelMask PreviewPicture::Zoomed(const PixelMask& mask) const { return mask.count > 0 ? ZoomMask(mask, zoom()) : PixelMask{}; }

void PreviewPicture::ShowMarks() {
  // The marks are the skin's: the compared picture shows none.
  if (!document_ || Shown().images.data() != document_->skin().images.data()) {
    ShowHover({});
    ShowSelection({});
    return;
  }
  ShowHover(ZoomedMask(viewState_->hover()));
  // The selection's mark goes round what it encloses, not round each hole.
  ShowSelection(Zoomed(WithoutHoles(Mask(viewState_->selection()))));
}

void PreviewPicture::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  ShowPicture();
}

void PreviewPicture::ShowPicture() {
  // Rgb24 is three bytes of red, green and blue: the layout of Format_RGB888.
  static_assert(sizeof(Rgb24) == 3);
  view_ = picture_.empty() ? QImage()
                           : QImage(reinterpret_cast<const uchar*>(picture_.pixels.data()), picture_.width,
                                    picture_.height, picture_.width * 3, QImage::Format_RGB888);
  if (hover_.width != picture_.width || hover_.height != picture_.height) ShowHover({});
  if (selection_.width != picture_.width || selection_.height != picture_.height) ShowSelection({});
  resize(picture_.width, picture_.height);
  update();
}

void PreviewPicture::ShowHover(PixelMask mask) {
  update(HighlightBounds(hover_));
  hover_ = std::move(mask);
  update(HighlightBounds(hover_));
  // Every new hover starts shown inverted.
  inverted_ = true;
  if (hover_.count > 0) blink_.start();
  else blink_.stop();
}

void PreviewPicture::ShowSelection(PixelMask mask) {
  update(HighlightBounds(selection_));
  selection_ = std::move(mask);
  update(HighlightBounds(selection_));
}

void PreviewPicture::Blink() {
  inverted_ = !inverted_;
  update(HighlightBounds(hover_));
}

void PreviewPicture::SetPointerShape(Qt::CursorShape shape) {
  if (cursor().shape() != shape) setCursor(shape);
}

void PreviewPicture::TakeArrowKeysOf(QWidget* control) {
  if (keysOf_) keysOf_->removeEventFilter(this);
  keysOf_ = control;
  if (control) control->installEventFilter(this);
}

void PreviewPicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (view_.isNull()) {
    painter.fillRect(area, Qt::black);
    return;
  }
  painter.drawImage(area.topLeft(), view_, area);
  for (const auto& [mask, style] : {std::pair{&selection_, HighlightStyle::Selection}, {&hover_, HighlightStyle::Hover}}) {
    if (mask->width != view_.width() || mask->height != view_.height()) continue;
    PaintHighlight(painter, area, view_, *mask, style, inverted_);
  }
}

void PreviewPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressAt_ = event->position().toPoint();
  drag_ = Drag::Pressed;
  // The preview has the focus first; the panel's control of what is picked
  // may then take it.
  setFocus(Qt::MouseFocusReason);
  // Escape must reach the drag wherever the keyboard focus is.
  qApp->installEventFilter(this);
  emit pressed(pressAt_);
}

void PreviewPicture::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!(event->buttons() & Qt::LeftButton)) {
    emit pointerMoved(at);
    return;
  }
  if (drag_ == Drag::Pressed) emit dragged(at);
}

void PreviewPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    EndDrag();
    emit released();
  }
  QWidget::mouseReleaseEvent(event);
}

void PreviewPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked(event->position().toPoint());
}

void PreviewPicture::EndDrag() {
  if (drag_ != Drag::None) qApp->removeEventFilter(this);
  drag_ = Drag::None;
}

void PreviewPicture::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && drag_ != Drag::None) return CancelDrag();
  if (!Nudge(*event)) QWidget::keyPressEvent(event);
}

void PreviewPicture::CancelDrag() {
  // The rest of this press moves nothing.
  if (drag_ == Drag::Pressed) emit dragCancelled();
  if (drag_ != Drag::None) drag_ = Drag::Cancelled;
}

bool PreviewPicture::Nudge(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (mods != Qt::NoModifier && mods != Qt::ShiftModifier) return false;
  const int step = mods == Qt::ShiftModifier ? 10 : 1;
  switch (key.key()) {
    case Qt::Key_Left: emit nudged(-step, 0); return true;
    case Qt::Key_Right: emit nudged(step, 0); return true;
    case Qt::Key_Up: emit nudged(0, -step); return true;
    case Qt::Key_Down: emit nudged(0, step); return true;
    default: return false;
  }
}

bool PreviewPicture::eventFilter(QObject* watched, QEvent* event) {
  if (drag_ != Drag::None && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    CancelDrag();
    return true;
  }
  if (watched == keysOf_.data()) {
    if (event->type() == QEvent::KeyPress && Nudge(*static_cast<QKeyEvent*>(event))) return true;
    // Once the user has gone elsewhere, the control's keys are its own again.
    // A menu or another window taking the focus for a while does not count.
    if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) TakeArrowKeysOf(nullptr);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PreviewPicture::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedPicture(event->mimeData()).isEmpty()) event->acceptProposedAction();
  else event->ignore();
}

void PreviewPicture::dragMoveEvent(QDragMoveEvent* event) {
  if (DraggedPicture(event->mimeData()).isEmpty()) return event->ignore();
  event->acceptProposedAction();
  emit fileDraggedOver(event->position().toPoint());
}

void PreviewPicture::dragLeaveEvent(QDragLeaveEvent*) { emit fileDragLeft(); }

void PreviewPicture::dropEvent(QDropEvent* event) {
  const QString path = DraggedPicture(event->mimeData());
  if (path.isEmpty()) return event->ignore();
  event->acceptProposedAction();
  emit fileDragLeft();
  emit fileDropped(event->position().toPoint(), path);
}
