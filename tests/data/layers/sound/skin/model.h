#pragma once
#include "assets/data.h"
