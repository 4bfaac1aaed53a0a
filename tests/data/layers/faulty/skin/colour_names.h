// A header of the bottom layer that reaches up.
#pragma once
#include "images/picture_file.h"
