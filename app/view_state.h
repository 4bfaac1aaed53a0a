// How the preview is looked at, shared by every view of it: the screen shown,
// the zoom, the colour around the screens, the simulation filter, what the
// preview is compared with, and what is hovered and selected on it. Not part of the skin: nothing here is saved
// with it, nor is it a step of Undo.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

#include "edit/preview_pick.h"
#include "edit/view_zoom.h"
#include "preview/filters.h"
#include "preview/render.h"
#include "skin/colour.h"
#include "skin/skin.h"

class ViewState : public QObject {
  Q_OBJECT
 public:
  int screen() const { return screen_; }
  float zoom() const { return zoom_; }
  Rgb24 background() const { return background_; }
  ScreenFilter filter() const { return filter_; }
  bool wholeZoom() const { return wholeZoom_; }

  // 0 to 13; anything else is ignored.
  void ChooseScreen(int screen);
  void StepScreen(int step);
  // Zoom steps of 0.15 from 1x up to about 5x; with whole-number zoom, 1x,
  // 2x, 3x, 4x, 5x (a zoom between two goes to the next one that way).
  void StepZoom(int steps);
  void ResetZoom();
  // The largest zoom at which the whole preview fits `viewport` (a whole
  // number with whole-number zoom); never below 1x nor above 5x.
  void ZoomToFit(QSize viewport);
  void SetWholeZoom(bool on);
  // The mouse wheel or touchpad: every 120 of movement is one zoom step,
  // however it arrives.
  void Wheel(int delta);
  void SetBackground(Rgb24 colour);
  void SetFilter(ScreenFilter filter);

  // What the preview is compared with: nothing, the skin as last opened or
  // saved, or another skin.
  enum class Compare { Off, Saved, Other };
  Compare compare() const { return compare_; }
  const Skin* other() const { return other_.get(); }
  const QString& otherName() const { return otherName_; }
  void CompareWithSaved(bool on);
  void CompareWith(std::shared_ptr<const Skin> skin, const QString& name);
  // While held (Space over the preview), the preview and the compared skin
  // change places.
  bool swapped() const { return swapped_; }
  void SetSwapped(bool swapped);

  // What the pointer rests on (a panel control, a pixel of the preview, a
  // palette swatch) and what a click selected, shared by the views that
  // mark them on the preview.
  const PreviewTarget& hover() const { return hover_; }
  const PreviewTarget& selection() const { return selection_; }
  void SetHover(const PreviewTarget& target);
  void SetSelection(const PreviewTarget& target);
  // Another skin altogether: nothing of the last one stays marked.
  void ClearMarks();

 signals:
  void screenChanged(int screen);
  void zoomChanged(float zoom);
  void wholeZoomChanged(bool on);
  void filterChanged(ScreenFilter filter);
  void compareChanged();
  void backgroundChanged();
  void hoverChanged();
  void selectionChanged();
  // Anything that changes the preview picture.
  void changed();

 private:
  void SetZoom(float zoom);
  void SetCompare(Compare compare, std::shared_ptr<const Skin> other, const QString& name);

  int screen_ = 0;
  float zoom_ = 1.0f;
  WheelSteps wheel_;  // wheel movement not yet turned into zoom steps
  bool wholeZoom_ = false;
  Rgb24 background_{};
  ScreenFilter filter_ = ScreenFilter::None;
  Compare compare_ = Compare::Off;
  std::shared_ptr<const Skin> other_;
  QString otherName_;
  bool swapped_ = false;
  PreviewTarget hover_, selection_;
};

// The largest zoom at which a preview of kPreviewWidth x kPreviewHeight fits
// `viewport`, within 1x and 5x, a whole number when `whole`.
float FittingZoom(QSize viewport, bool whole);
