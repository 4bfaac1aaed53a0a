// The preview as the way into the skin. It turns what the user does on the
// preview and over the panel into the document's hover and selection, hints
// for the status bar, and edits that go through the document like every
// other change: a drag is one undo step, a series of arrow-key nudges after
// one selection is one more. A double click or a dropped file asks for the
// colour dialog or an import, which are commands of their own.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>

#include "edit/editor_session.h"
#include "edit/preview_pick.h"
#include "edit/skin_field.h"
#include "skin/catalogue.h"

class EditorPanel;
class LanguageTable;
class PreviewPicture;
class SkinDocument;
class ViewState;
class CommandTable;
class QWidget;

class PreviewInteraction : public QObject {
  Q_OBJECT
 public:
  // Follows the preview picture and the panel of one window.
  // A double click on a colour or a picture, and a file dropped on a
  // picture, run the editor's commands about it.
  PreviewInteraction(SkinDocument& document, ViewState& view, const CommandTable& commands, const LanguageTable& texts,
                     PreviewPicture* preview, EditorPanel* panel, QObject* parent);

 signals:
  // A text for the status bar while the pointer rests on something, and
  // its end (the status bar then shows what it showed before).
  void hint(const QString& text);
  void hintEnded();
  // What a click names, for the status bar.
  void status(const QString& text);

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
  QWidget* FocusWidget() const;
  // The selection of the session, shown by the view.
  void ShowSelection();

  SkinDocument& document_;
  ViewState& view_;
  const CommandTable& commands_;
  const LanguageTable& texts_;
  QPointer<PreviewPicture> preview_;
  QPointer<EditorPanel> panel_;
  // The core's rules of selecting, dragging and nudging.
  EditorSession session_;
  bool revealedRow_ = false;  // the fields of the record a drag moves are in view
  bool hinting_ = false;
};
