#include "app/view_state.h"

#include <algorithm>
#include <cmath>

#include "edit/view_zoom.h"

float FittingZoom(QSize viewport, bool whole) { return FittingZoom(viewport.width(), viewport.height(), whole); }

void ViewState::ChooseScreen(int screen) {
  if (screen < 0 || screen >= kPreviewScreenCount) return;
  screen_ = screen;
  emit screenChanged(screen);
  emit changed();
}

void ViewState::StepScreen(int step) { ChooseScreen(std::clamp(screen_ + step, 0, kPreviewScreenCount - 1)); }

void ViewState::SetZoom(float zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  emit zoomChanged(zoom_);
  emit changed();
}

void ViewState::StepZoom(int steps) { SetZoom(SteppedZoom(zoom_, steps, wholeZoom_)); }

void ViewState::ResetZoom() {
  wheel_.Reset();
  SetZoom(1.0f);
}

void ViewState::ZoomToFit(QSize viewport) { SetZoom(FittingZoom(viewport, wholeZoom_)); }

void ViewState::SetWholeZoom(bool on) {
  if (on == wholeZoom_) return;
  wholeZoom_ = on;
  emit wholeZoomChanged(on);
  // A zoom between two whole numbers would draw uneven pixels.
  if (on) SetZoom(WholeZoomOf(zoom_));
}

void ViewState::Wheel(int delta) {
  if (const int steps = wheel_.Add(delta); steps != 0) StepZoom(steps);
}

void ViewState::SetBackground(Rgb24 colour) {
  background_ = colour;
  emit backgroundChanged();
  emit changed();
}

void ViewState::SetFilter(ScreenFilter filter) {
  if (filter == filter_) return;
  filter_ = filter;
  emit filterChanged(filter);
  emit changed();
}

void ViewState::CompareWithSaved(bool on) { SetCompare(on ? Compare::Saved : Compare::Off, nullptr, QString()); }

void ViewState::CompareWith(std::shared_ptr<const Skin> skin, const QString& name) {
  const Compare compare = skin ? Compare::Other : Compare::Off;
  SetCompare(compare, std::move(skin), name);
}

void ViewState::SetCompare(Compare compare, std::shared_ptr<const Skin> other, const QString& name) {
  compare_ = compare;
  other_ = std::move(other);
  otherName_ = name;
  swapped_ = false;
  emit compareChanged();
  emit changed();
}

void ViewState::SetSwapped(bool swapped) {
  if (compare_ == Compare::Off) swapped = false;
  if (swapped == swapped_) return;
  swapped_ = swapped;
  emit changed();
}

void ViewState::SetHover(const PreviewTarget& target) {
  if (target == hover_) return;
  hover_ = target;
  emit hoverChanged();
}

void ViewState::SetSelection(const PreviewTarget& target) {
  selection_ = target;
  emit selectionChanged();
}

void ViewState::ClearMarks() {
  hover_ = selection_ = {};
  emit hoverChanged();
  emit selectionChanged();
}
