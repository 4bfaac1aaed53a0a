#include "preview/canvas.h"
#include "preview/trace.h"
