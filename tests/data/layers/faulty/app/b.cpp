#include "app/b.h"
#include "app/a.h"
