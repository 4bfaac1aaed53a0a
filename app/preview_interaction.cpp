#include "app/preview_interaction.h"

#include "app/commands/command_table.h"
#include "app/view_state.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

#include "app/editor_panel.h"
#include "app/language.h"
#include "edit/panel_tables.h"
#include "app/preview_picture.h"
#include "app/qt_text.h"
#include "app/skin_document.h"
#include "edit/skin_edit.h"

namespace {

// The colour or picture of a source as the panel edits it; nothing when the
// panel has no control for it (those the editor leaves as loaded).
std::optional<SkinField> EditableColour(TraceSource source) {
  if (KindOf(source) != SourceKind::Colour) return std::nullopt;
  const SkinField field = SkinFieldOf(ColourSection(source).name, ColourField(source).key);
  const auto& controls = ColourControls();
  const bool has = std::any_of(controls.begin(), controls.end(), [&](const ColourControl& c) { return c.field() == field; });
  return has ? std::optional(field) : std::nullopt;
}

std::optional<ImageId> ImportablePicture(TraceSource source) {
  if (KindOf(source) != SourceKind::Picture) return std::nullopt;
  const ImageId image = ImageOf(source);
  const auto& controls = ImageControls();
  const bool has = std::any_of(controls.begin(), controls.end(), [&](const ImageControl& c) { return c.image == image; });
  return has ? std::optional(image) : std::nullopt;
}

}  // namespace

PreviewInteraction::PreviewInteraction(SkinDocument& document, ViewState& view, const CommandTable& commands,
                                       const LanguageTable& texts, PreviewPicture* preview, EditorPanel* panel,
                                       QObject* parent)
    : QObject(parent),
      document_(document),
      view_(view),
      commands_(commands),
      texts_(texts),
      preview_(preview),
      panel_(panel),
      session_(document, QApplication::startDragDistance()) {
  connect(panel, &EditorPanel::colourHovered, this, [this](const SkinField& field) {
    Hover({FindColourSource(field.section, field.field->key).value_or(TraceSource::None), {}},
          QString::fromStdString(field.Name()));
  });
  connect(panel, &EditorPanel::imageHovered, this, [this](ImageId image) {
    Hover({PictureSource(image), {}}, Latin1(CatalogueEntryOf(image).name));
  });
  connect(panel, &EditorPanel::elementHovered, this, [this](const QString& section) {
    Hover({TraceSource::None, FindElementSection(section.toStdString())}, section);
  });
  connect(panel, &EditorPanel::hoverEnded, this, &PreviewInteraction::EndHover);
  connect(preview, &PreviewPicture::pointerMoved, this, &PreviewInteraction::PointAt);
  connect(preview, &PreviewPicture::pressed, this, &PreviewInteraction::Press);
  connect(preview, &PreviewPicture::dragged, this, &PreviewInteraction::Drag);
  connect(preview, &PreviewPicture::dragCancelled, this, &PreviewInteraction::CancelDrag);
  connect(preview, &PreviewPicture::released, this, [this] { session_.Release(); });
  connect(preview, &PreviewPicture::doubleClicked, this, &PreviewInteraction::DoubleClick);
  connect(preview, &PreviewPicture::nudged, this, &PreviewInteraction::Nudge);
  connect(preview, &PreviewPicture::fileDraggedOver, this, &PreviewInteraction::DragFileOver);
  connect(preview, &PreviewPicture::fileDragLeft, this, &PreviewInteraction::EndHover);
  connect(preview, &PreviewPicture::fileDropped, this, &PreviewInteraction::Drop);
  // What was hovered or selected in an earlier window is forgotten.
  session_.Forget();
  view_.SetHover(session_.hover());
  ShowSelection();
}

void PreviewInteraction::Hover(const PreviewTarget& target, const QString& name) {
  session_.Hover(target);
  view_.SetHover(session_.hover());
  if (preview_ && preview_->ZoomedMask(target).count > 0) return;
  // Nothing to show here: the status bar says where it does show.
  const std::vector<int> screens = ScreensDrawing(document_.skin(), target);
  hinting_ = true;
  if (screens.empty()) {
    emit hint(texts_.Text("LANG_STATUS_NOT_DRAWN$").arg(name));
    return;
  }
  const char* said = screens.size() == 1 ? "LANG_STATUS_NOT_ON_SCREEN_ONE$" : "LANG_STATUS_NOT_ON_SCREEN$";
  emit hint(texts_.Text(said).arg(name, Latin1(ScreenNumbers(screens))));
}

void PreviewInteraction::EndHover() {
  session_.Hover({});
  view_.SetHover(session_.hover());
  if (hinting_) emit hintEnded();
  hinting_ = false;
}

std::optional<PreviewPick> PreviewInteraction::PickAtZoomed(QPoint at) const {
  int x = 0, y = 0;
  if (!preview_ || preview_->trace().tags.empty() || !PreviewPixelAt(preview_->zoom(), at.x(), at.y(), x, y)) {
    return std::nullopt;
  }
  return PickAt(preview_->trace(), preview_->elementPixels(), x, y);
}

void PreviewInteraction::PointAt(QPoint at) {
  switch (CursorFor(PickAtZoomed(at))) {
    case PreviewCursor::Arrow: preview_->SetPointerShape(Qt::ArrowCursor); break;
    case PreviewCursor::Move: preview_->SetPointerShape(Qt::SizeAllCursor); break;
    case PreviewCursor::Point: preview_->SetPointerShape(Qt::PointingHandCursor); break;
  }
}

void PreviewInteraction::ShowSelection() { view_.SetSelection(session_.selection()); }

void PreviewInteraction::Press(QPoint at) {
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  if (!pick || !panel_) {
    session_.Press(std::nullopt, at.x(), at.y());
    return;
  }
  session_.Press(pick, at.x(), at.y());
  revealedRow_ = false;
  ShowSelection();
  hinting_ = false;
  emit status(pick->empty() ? texts_.Text("LANG_STATUS_PIXEL_NONE$") : Latin1(PickName(*pick)));
  Reveal(*pick);
}

QWidget* PreviewInteraction::FocusWidget() const { return preview_ ? preview_->window()->focusWidget() : nullptr; }

void PreviewInteraction::Reveal(const PreviewPick& pick) {
  QWidget* const focusBefore = FocusWidget();
  QWidget* control = nullptr;
  if (const std::optional<SkinField> colour = EditableColour(pick.source)) control = panel_->RevealField(*colour);
  else if (const std::optional<ImageId> image = ImportablePicture(pick.source)) control = panel_->RevealImage(*image);
  if (!control) {
    // The record a drag moves first, then the others, innermost first.
    const ElementPixels& counts = preview_->elementPixels();
    std::vector<std::size_t> sections = pick.elements.Sections();
    std::sort(sections.begin(), sections.end(), [&](std::size_t a, std::size_t b) {
      return std::pair(a != pick.moves, counts[a]) < std::pair(b != pick.moves, counts[b]);
    });
    for (std::size_t s = 0; !control && s < sections.size(); ++s) control = panel_->RevealElement(SectionName(sections[s]));
  }
  FollowArrowKeys(focusBefore);
}

void PreviewInteraction::FollowArrowKeys(QWidget* focusBefore) {
  // Only a control that the reveal has just focused (a greyed one takes no
  // focus, and the preview handles its own keys).
  QWidget* focused = FocusWidget();
  const bool taken = session_.heldRecord() && focused && focused != focusBefore && focused != preview_;
  preview_->TakeArrowKeysOf(taken ? focused : nullptr);
}

void PreviewInteraction::RevealRow(std::size_t section) {
  QWidget* const focusBefore = FocusWidget();
  if (panel_ && panel_->RevealElement(SectionName(section))) FollowArrowKeys(focusBefore);
}

void PreviewInteraction::Drag(QPoint at) {
  const GestureResult moved = session_.Move(at.x(), at.y(), preview_->zoom());
  if (moved.moved && !revealedRow_ && moved.record) {
    // While it moves, the element's fields are in view and follow it.
    revealedRow_ = true;
    RevealRow(*moved.record);
  }
}

void PreviewInteraction::CancelDrag() { session_.Escape(); }

void PreviewInteraction::Nudge(int dx, int dy) { session_.Nudge(dx, dy); }

void PreviewInteraction::DoubleClick(QPoint at) {
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  if (!pick) return;
  CommandTarget target;
  target.field = EditableColour(pick->source);
  target.image = target.field ? std::nullopt : ImportablePicture(pick->source);
  if (target.field) commands_.Run(QStringLiteral("editColour"), target);
  else if (target.image) commands_.Run(QStringLiteral("importPicture"), target);
}

void PreviewInteraction::DragFileOver(QPoint at) {
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  const std::optional<ImageId> image = pick ? ImportablePicture(pick->source) : std::nullopt;
  session_.Hover({image ? PictureSource(*image) : TraceSource::None, {}});
  view_.SetHover(session_.hover());
}

void PreviewInteraction::Drop(QPoint at, const QString& path) {
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  if (const std::optional<ImageId> image = pick ? ImportablePicture(pick->source) : std::nullopt) {
    CommandTarget target;
    target.image = image;
    target.path = path;
    commands_.Run(QStringLiteral("importPictureFile"), target);
    return;
  }
  emit status(texts_.Text("LANG_STATUS_DROP_NO_PICTURE$"));
}
