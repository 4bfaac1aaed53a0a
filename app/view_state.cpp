#include "app/view_state.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kStep = 0.15f;
constexpr float kLargest = 5.0f;
}  // namespace

float FittingZoom(QSize viewport, bool whole) {
  float zoom = std::min(float(viewport.width()) / kPreviewWidth, float(viewport.height()) / kPreviewHeight);
  // The size a zoom gives is rounded: the largest that still fits may be a
  // hair above the quotient, never below it.
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  while (zoom > 1.0f && (width > viewport.width() || height > viewport.height())) {
    zoom -= 0.001f;
    PreviewSize(zoom, width, height);
  }
  if (whole) zoom = std::floor(zoom);
  return std::clamp(zoom, 1.0f, kLargest);
}

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

void ViewState::StepZoom(int steps) {
  if (wholeZoom_) {
    // A zoom between two whole numbers goes to the next one the way it steps.
    const float from = steps > 0 ? std::floor(zoom_ + 0.001f) : std::ceil(zoom_ - 0.001f);
    SetZoom(std::clamp(from + float(steps), 1.0f, kLargest));
    return;
  }
  float zoom = zoom_;
  for (; steps > 0 && zoom < kLargest; --steps) zoom += kStep;
  for (; steps < 0 && zoom > 1.0f; ++steps) zoom -= kStep;
  SetZoom(zoom);
}

void ViewState::ResetZoom() {
  wheel_ = 0;
  SetZoom(1.0f);
}

void ViewState::ZoomToFit(QSize viewport) { SetZoom(FittingZoom(viewport, wholeZoom_)); }

void ViewState::SetWholeZoom(bool on) {
  if (on == wholeZoom_) return;
  wholeZoom_ = on;
  emit wholeZoomChanged(on);
  // A zoom between two whole numbers would draw uneven pixels.
  if (on) SetZoom(std::clamp(std::round(zoom_), 1.0f, kLargest));
}

void ViewState::Wheel(int delta) {
  // Touchpads and fine wheels send small movements; they add up to steps.
  wheel_ += delta;
  const int steps = wheel_ / 120;
  wheel_ -= steps * 120;
  if (steps != 0) StepZoom(steps);
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
