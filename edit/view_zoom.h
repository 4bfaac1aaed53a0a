// How the preview's zoom moves, the same on both faces: in steps of 0.15
// from 1x up to 5x, or through the whole numbers 1x to 5x when whole-number
// zoom is on; a wheel's small movements add up to steps; zoom to fit takes
// the largest zoom at which the whole preview fits its room.
#pragma once

inline constexpr float kZoomStep = 0.15f;
inline constexpr float kLargestZoom = 5.0f;

// `zoom` moved by `steps` (negative: out). With `whole`, a zoom between two
// whole numbers goes to the next one the way it steps.
float SteppedZoom(float zoom, int steps, bool whole);

// The zoom that whole-number zoom makes of `zoom` when it is turned on.
float WholeZoomOf(float zoom);

// The largest zoom at which the preview (as PreviewSize rounds it) fits a
// room of `width` x `height` pixels, whole with `whole`, between 1x and 5x.
float FittingZoom(int width, int height, bool whole);

// A wheel or touchpad's movements (120 a notch) added up: the whole steps
// they make, the rest kept for the next.
class WheelSteps {
 public:
  int Add(int delta);
  void Reset() { rest_ = 0; }

 private:
  int rest_ = 0;
};
