#include "app/view_state.h"

#include <algorithm>

void ViewState::ChooseScreen(int screen) {
  if (screen < 0 || screen >= kPreviewScreenCount) return;
  screen_ = screen;
  emit screenChanged(screen);
  emit changed();
}

void ViewState::StepScreen(int step) { ChooseScreen(std::clamp(screen_ + step, 0, kPreviewScreenCount - 1)); }

void ViewState::StepZoom(int steps) {
  bool moved = false;
  for (; steps > 0 && zoom_ < 5.0f; --steps, moved = true) zoom_ += 0.15f;
  for (; steps < 0 && zoom_ > 1.0f; ++steps, moved = true) zoom_ -= 0.15f;
  if (!moved) return;
  emit zoomChanged(zoom_);
  emit changed();
}

void ViewState::ResetZoom() {
  wheel_ = 0;
  zoom_ = 1.0f;
  emit zoomChanged(zoom_);
  emit changed();
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
  emit changed();
}
