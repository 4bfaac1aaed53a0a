#include "edit/document.h"
