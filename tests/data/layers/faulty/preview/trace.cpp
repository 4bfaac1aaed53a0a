#include "preview/trace.h"
#include "preview/canvas.h"
