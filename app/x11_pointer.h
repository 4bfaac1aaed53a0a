// The right mouse button as the X server sees it, wherever the pointer is.
#pragma once

#include <optional>

// Nothing when the program does not run on X11 (or was built without it).
std::optional<bool> X11RightButtonDown();
