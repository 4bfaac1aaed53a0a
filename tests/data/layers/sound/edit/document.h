#pragma once
#include "check/check.h"
#include "skin/model.h"
