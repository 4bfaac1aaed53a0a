// skinedit: the skin editor's window. "skinedit [SKIN]" opens a skin folder
// or .zip at once, as "Open with" from a file manager does.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPixmap>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QFile>

#include "app/dialogs.h"
#include "app/editor_shell.h"
#include "assets/embedded.h"

namespace {

// Without a display Qt would abort with a long plugin message; say what is
// wrong and how to work without a window instead.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs("skinedit: no display found (DISPLAY is not set); to work without a window use skintool, "
               "for example: build/cli/skintool render --screen 0 --zoom 2 --out preview.png\n",
               stderr);
    return 1;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0')) {
    std::fputs("usage: skinedit [SKIN]   (a skin folder or a .zip that holds one)\n", stderr);
    return argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) ? 0 : 2;
  }
  QApplication app(argc, argv);
  // The name of the folder of the user's settings, ~/.config/skinedit.
  QApplication::setApplicationName(QStringLiteral("skinedit"));
  QApplication::setQuitOnLastWindowClosed(false);
  // The panel's buttons are 128 by 20 pixels; a compact font keeps their
  // captions readable.
  QFont font = QApplication::font();
  font.setPointSizeF(std::min<qreal>(font.pointSizeF(), 8.0));
  QApplication::setFont(font);
  // The icon keeps its alpha, so Qt reads it rather than the skin decoder.
  const std::string_view icon = EmbeddedFileBytes("app_icon.png");
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(
      QImage::fromData(reinterpret_cast<const uchar*>(icon.data()), static_cast<int>(icon.size()), "PNG"))));
  EditorShell shell(QtDialogs(), FindShellPaths());
  QObject::connect(&shell, &EditorShell::quit, &app, &QApplication::quit, Qt::QueuedConnection);
  shell.Start(argc == 2 ? QFile::decodeName(argv[1]) : QString());
  app.exec();
  shell.Finish();
  return 0;
}
