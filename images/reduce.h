// Reduction to the console's 15-bit colour.
#pragma once

#include "skin/picture.h"

// Floyd-Steinberg error diffusion to 5 bits per channel in integer
// arithmetic. Errors are never negative, so a picture whose channels are all
// multiples of 8 comes out unchanged.
void ReduceTo15Bit(Picture& picture);
