#pragma once
#include "preview/canvas.h"
