// The preview as the way into the skin, on the shell's side. It keeps the
// trace of the last redraw and turns what the user does on the preview and
// over the panel into highlights, selections and status texts, and into
// edits that go through the shell like every other change: a drag is one
// undo step, a series of arrow-key nudges after one selection is one more.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>

#include "app/preview_pick.h"
#include "app/skin_field.h"
#include "preview/trace.h"
#include "skin/catalogue.h"

class EditorShell;
class MainWindow;
class QWidget;

class PreviewInteraction : public QObject {
  Q_OBJECT
 public:
  explicit PreviewInteraction(EditorShell& shell);

  // Follows a new window's preview and panel; what was hovered or selected
  // in an old window is forgotten.
  void Attach(MainWindow* window);
  // The redraw just shown, with its trace: the highlights are made again
  // from it, so the mark of a moved element goes along with it.
  void Redrawn(TraceMap trace);

  const TraceMap& trace() const { return trace_; }
  const PreviewTarget& selection() const { return selected_; }

 private:
  void Hover(const PreviewTarget& target, const QString& name);
  void EndHover();

  void PointAt(QPoint at);
  void Press(QPoint at);
  void Drag(QPoint at);
  void CancelDrag();
  void DoubleClick(QPoint at);
  void Nudge(int dx, int dy);
  // A picture file dragged over the preview: the picture it would replace is
  // highlighted as a hover would.
  void DragFileOver(QPoint at);
  void Drop(QPoint at, const QString& path);

  // What the zoomed preview shows at `at`; none outside the picture.
  std::optional<PreviewPick> PickAtZoomed(QPoint at) const;
  // Shows the panel's control of what was picked; the arrow keys pressed in
  // it then nudge the record a drag would move.
  void Reveal(const PreviewPick& pick);
  void RevealRow(std::size_t section);
  // The arrow keys of the control focused since `focusBefore` nudge.
  void FollowArrowKeys(QWidget* focusBefore);
  void MoveRecord(std::size_t section, std::int32_t x, std::int32_t y, const QString& mergeKey);
  PixelMask ZoomedMask(const PreviewTarget& target) const;
  void ShowStatus(const QString& text);

  EditorShell& shell_;
  QPointer<MainWindow> window_;
  TraceMap trace_;
  ElementPixels counts_{};
  PreviewTarget hovered_, selected_;
  std::optional<std::size_t> moving_;  // the record of the selection that drags and nudges move
  QPoint pressAt_;
  std::int32_t startX_ = 0, startY_ = 0;
  bool dragMoved_ = false;
  int serial_ = 0;  // one per press: the merge keys of its drag and of the nudges after it
  std::optional<QString> statusBeforeHover_;
};
