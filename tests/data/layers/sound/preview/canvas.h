#pragma once
#include "images/picture.h"
