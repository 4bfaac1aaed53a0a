// How the preview is looked at, shared by every view of it: the screen shown,
// the zoom and the colour around the screens. Not part of the skin: nothing
// here is saved with it, nor is it a step of Undo.
#pragma once

#include <QObject>

#include "preview/render.h"
#include "skin/colour.h"

class ViewState : public QObject {
  Q_OBJECT
 public:
  int screen() const { return screen_; }
  float zoom() const { return zoom_; }
  Rgb24 background() const { return background_; }

  // 0 to 13; anything else is ignored.
  void ChooseScreen(int screen);
  void StepScreen(int step);
  // Zoom steps of 0.15 from 1x up to about 5x.
  void StepZoom(int steps);
  void ResetZoom();
  // The mouse wheel or touchpad: every 120 of movement is one zoom step,
  // however it arrives.
  void Wheel(int delta);
  void SetBackground(Rgb24 colour);

 signals:
  void screenChanged(int screen);
  void zoomChanged(float zoom);
  // Anything that changes the preview picture.
  void changed();

 private:
  int screen_ = 0;
  float zoom_ = 1.0f;
  int wheel_ = 0;  // wheel movement not yet turned into zoom steps
  Rgb24 background_{};
};
