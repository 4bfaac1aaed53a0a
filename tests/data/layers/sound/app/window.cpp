#include <QString>
#include <unistd.h>
#include "edit/document.h"
#include "platform/files.h"
