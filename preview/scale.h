// Nearest-neighbour scaling of the preview picture.
#pragma once

#include "skin/picture.h"

// Every target pixel repeats one source pixel: target (x, y) shows source
// (x * sourceWidth / width, y * sourceHeight / height). Never blended.
Picture ScaleNearest(const Picture& source, int width, int height);
