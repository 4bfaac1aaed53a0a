#pragma once
#include "platform/files.h"
#include "assets/data.h"
