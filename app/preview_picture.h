// The preview picture inside the viewport. It follows the document and the
// view: after every change of the skin, the screen or the zoom it draws the
// preview again (keeping the trace of what drew each pixel), and it shows
// the document's hover and selection over it. It paints only the part that
// is exposed, straight from the picture's pixels: at the largest zoom the
// picture holds ten megabytes, and converting it for display after every
// edit would cost more than drawing it.
//
// It is also the way into the skin: it reports where the user points,
// clicks, drags, nudges with the arrow keys and drops a file, in pixels of
// the picture as shown (zoomed), and shows the pointer shape it is given.
// What those mean is the preview interaction's business.
#pragma once

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "app/preview_highlight.h"
#include "edit/preview_pick.h"
#include "preview/render.h"
#include "preview/trace.h"
#include "skin/picture.h"

class SkinDocument;
class ViewState;

class PreviewPicture : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPicture(QWidget* parent = nullptr);

  // Draws `document` as `view` says (its screen, zoom, background and
  // filter), now and after every change of either. The compared role draws
  // what the view compares the skin with instead (read-only); the two
  // change places while the view says they are swapped.
  enum class Role { Skin, Compared };
  void Follow(const SkinDocument& document, const ViewState& view, Role role = Role::Skin);
  // The skin this picture draws now.
  const Skin& Shown() const;
  // The trace of the picture shown, and how many pixels each element
  // record places in it.
  const TraceMap& trace() const { return trace_; }
  const ElementPixels& elementPixels() const { return counts_; }
  // The pixels the target draws, at the zoom shown.
  PixelMask ZoomedMask(const PreviewTarget& target) const;

  // Takes the picture and resizes the widget to it. Highlights made for
  // another size are dropped.
  void SetPicture(Picture picture);

  // A view of the pixels shown (valid until the next SetPicture).
  const QImage& image() const { return view_; }

  // Highlights over the picture, masks at the picture's size; an empty mask
  // shows none. The hover blinks between inverted and plain, so it shows on
  // any colour; the selection's mark is steady.
  void ShowHover(PixelMask mask);
  void ShowSelection(PixelMask mask);
  const PixelMask& hover() const { return hover_; }
  const PixelMask& selection() const { return selection_; }

  void SetPointerShape(Qt::CursorShape shape);
  float zoom() const;

  // The arrow keys pressed in `control` (the panel's control of what was
  // picked) count as nudges of the preview until it loses the focus.
  void TakeArrowKeysOf(QWidget* control);

 signals:
  void redrawn();                // a new picture and trace are shown
  void pointerMoved(QPoint at);  // no button held
  void pressed(QPoint at);       // the left button
  void dragged(QPoint at);       // held and moved (the core decides when that is a drag)
  void dragCancelled();          // Escape while the button is held
  void released();               // the left button let go
  void doubleClicked(QPoint at);
  void nudged(int dx, int dy);   // arrow keys: one pixel, ten with Shift
  void fileDraggedOver(QPoint at);  // a picture file, not yet dropped
  void fileDragLeft();
  void fileDropped(QPoint at, const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows `picture_` as it is now, the widget resized to it.
  void ShowPicture();
  // The pixels the target draws at zoom 1, and a mask at the zoom shown.
  PixelMask Mask(const PreviewTarget& target) const;
  PixelMask Zoomed(const PixelMask& mask) const;
  void Redraw();
  void ShowMarks();
  bool Nudge(const QKeyEvent& key);
  void EndDrag();
  void CancelDrag();
  void Blink();

  const SkinDocument* document_ = nullptr;
  Role role_ = Role::Skin;
  const ViewState* viewState_ = nullptr;
  TraceMap trace_;
  RenderWorkspace work_;  // the memory redraws draw in
  Picture unscaled_;      // the preview at zoom 1, as the trace maps it
  ElementPixels counts_{};
  Picture picture_;
  QImage view_;
  PixelMask hover_, selection_;
  bool inverted_ = true;
  QTimer blink_;
  enum class Drag { None, Pressed, Cancelled } drag_ = Drag::None;
  QPoint pressAt_;
  QPointer<QWidget> keysOf_;
};
