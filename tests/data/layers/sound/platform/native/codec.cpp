#include "platform/files.h"

#include <png.h>
#include <minizip/unzip.h>
#include <unistd.h>

#include "platform/native/reader.h"
