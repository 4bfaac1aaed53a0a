#include "platform/native/codec.h"
#include "preview/canvas.h"
