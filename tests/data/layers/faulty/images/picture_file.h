#pragma once
#include "skin/colour_names.h"
#include "app/window.h"
