#pragma once
#include "check/report.h"
