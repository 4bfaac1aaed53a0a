#include "app/x11_pointer.h"

#include <QGuiApplication>

#ifdef SKIN_HAVE_X11
// Kept in a file of its own: Xlib's macros clash with Qt's names.
#include <X11/Xlib.h>
#endif

std::optional<bool> X11RightButtonDown() {
#ifdef SKIN_HAVE_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask)) {
    return std::nullopt;
  }
  return (mask & Button3Mask) != 0;
#else
  return std::nullopt;
#endif
}
