#include "local.h"
