#pragma once
#include "edit/document.h"
