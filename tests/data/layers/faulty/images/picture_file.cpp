#include "images/picture_file.h"

#include <png.h>
#include <unistd.h>

#include "platform/native/codec.h"
