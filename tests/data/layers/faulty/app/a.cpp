#include "app/a.h"
#include "app/b.h"
