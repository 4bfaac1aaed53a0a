#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>
