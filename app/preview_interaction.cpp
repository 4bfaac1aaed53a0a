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

// One per press, for the whole run: the merge keys of a drag and of the
// nudges after it, which no other press may share.
int NextSerial() {
  static int serial = 0;
  return ++serial;
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
      panel_(panel) {
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
  connect(preview, &PreviewPicture::doubleClicked, this, &PreviewInteraction::DoubleClick);
  connect(preview, &PreviewPicture::nudged, this, &PreviewInteraction::Nudge);
  connect(preview, &PreviewPicture::fileDraggedOver, this, &PreviewInteraction::DragFileOver);
  connect(preview, &PreviewPicture::fileDragLeft, this, &PreviewInteraction::EndHover);
  connect(preview, &PreviewPicture::fileDropped, this, &PreviewInteraction::Drop);
  // What was hovered or selected in an earlier window is forgotten.
  view_.SetHover({});
  view_.SetSelection({});
}

void PreviewInteraction::Hover(const PreviewTarget& target, const QString& name) {
  view_.SetHover(target);
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
  view_.SetHover({});
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
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  // A move cursor where a drag would move an element, a hand where a click
  // selects something without moving it.
  const Qt::CursorShape shape = !pick || pick->empty() ? Qt::ArrowCursor
                                : pick->moves        ? Qt::SizeAllCursor
                                                     : Qt::PointingHandCursor;
  preview_->SetPointerShape(shape);
}

void PreviewInteraction::Press(QPoint at) {
  const std::optional<PreviewPick> pick = PickAtZoomed(at);
  if (!pick || !panel_) return;
  serial_ = NextSerial();
  pressAt_ = at;
  dragMoved_ = false;
  moving_ = pick->moves;
  if (moving_) {
    const SkinField x = SkinFieldOf(SectionName(*moving_), "x"), y = SkinFieldOf(SectionName(*moving_), "y");
    startX_ = std::get<std::int32_t>(ReadField(document_.skin(), x));
    startY_ = std::get<std::int32_t>(ReadField(document_.skin(), y));
  }
  // The mark shows what drew the pixel: its source, or the record that
  // places it when no skin field is its source (the sample game icon).
  view_.SetSelection({pick->source, pick->source == TraceSource::None && !pick->elements.empty()
                                            ? std::optional(pick->moves.value_or(pick->elements.Sections().back()))
                                            : std::nullopt});
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
  const bool taken = moving_ && focused && focused != focusBefore && focused != preview_;
  preview_->TakeArrowKeysOf(taken ? focused : nullptr);
}

void PreviewInteraction::RevealRow(std::size_t section) {
  QWidget* const focusBefore = FocusWidget();
  if (panel_ && panel_->RevealElement(SectionName(section))) FollowArrowKeys(focusBefore);
}

void PreviewInteraction::MoveRecord(std::size_t section, std::int32_t x, std::int32_t y, const QString& mergeKey) {
  document_.Apply(MoveElement(SectionName(section), x, y, mergeKey.toStdString()));
}

void PreviewInteraction::Drag(QPoint at) {
  if (!moving_) return;
  if (!dragMoved_) {
    // While it moves, the element's fields are in view and follow it.
    dragMoved_ = true;
    RevealRow(*moving_);
  }
  const float zoom = preview_->zoom();
  const int dx = PreviewDistance(at.x() - pressAt_.x(), zoom), dy = PreviewDistance(at.y() - pressAt_.y(), zoom);
  MoveRecord(*moving_, MovedValue(startX_, dx, kElementMaxX), MovedValue(startY_, dy, kElementMaxY),
             QStringLiteral("drag %1").arg(serial_));
}

void PreviewInteraction::CancelDrag() {
  // Back to where it was, merged into the drag's own step: the step goes.
  if (moving_ && dragMoved_) MoveRecord(*moving_, startX_, startY_, QStringLiteral("drag %1").arg(serial_));
}

void PreviewInteraction::Nudge(int dx, int dy) {
  if (!moving_) return;
  const std::string name = SectionName(*moving_);
  const auto x = std::get<std::int32_t>(ReadField(document_.skin(), SkinFieldOf(name, "x")));
  const auto y = std::get<std::int32_t>(ReadField(document_.skin(), SkinFieldOf(name, "y")));
  MoveRecord(*moving_, MovedValue(x, dx, kElementMaxX), MovedValue(y, dy, kElementMaxY),
             QStringLiteral("nudge %1").arg(serial_));
}

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
  view_.SetHover({image ? PictureSource(*image) : TraceSource::None, {}});
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
