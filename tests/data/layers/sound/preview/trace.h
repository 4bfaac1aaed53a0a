#pragma once
#include "skin/model.h"
