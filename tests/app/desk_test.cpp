// The window on a real desk: a 1280 x 720 and a 1600 x 1000 screen (ctest
// runs this program once for each, the offscreen platform configured with
// the screen's size). With every dock shown, in a window that is maximised
// or not, nothing covers a dock's title or first item, the window's frame
// stays on the screen, and the preview keeps its height; closed again, the
// docks give their room back. The maximised state survives a restart.
#include <QCheckBox>
#include <QDockWidget>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>

#include "app/overview_dock.h"
#include "app/palette_dock.h"
#include "app/view_prefs.h"
#include "app/window_geometry.h"
#include "shell_fixture.h"
#include "window_parts.h"

namespace {

// Where a widget lies in the window's coordinates.
QRect InWindow(const QWidget* widget, const QWidget* window) {
  return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// An item of a view, or a part of a widget, in the window's coordinates.
QRect InWindow(const QWidget* widget, const QRect& part, const QWidget* window) {
  return QRect(widget->mapTo(window, part.topLeft()), part.size());
}

// A dock's title bar: the strip above its contents.
QRect TitleOf(const QDockWidget* dock, const QWidget* window) {
  return {InWindow(dock, window).topLeft(), QSize(dock->width(), dock->widget()->y())};
}

// Lets the window make its room (a moment after a dock shows) until its
// size holds still; two seconds at most.
void Settle(const QWidget* window) {
  QSize before;
  for (int i = 0; i < 40 && before != window->size(); ++i) {
    before = window->size();
    QTest::qWait(50);
  }
}

struct Shown {
  QString what;
  const QDockWidget* dock;
  QRect rect;
};

}  // namespace

class DeskTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;

  MainWindow* Window() { return f_.shell->window(); }
  static QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

  // The docks, shown by their keys in the order F10, F9, F8.
  QList<QDockWidget*> ShowEveryDock() {
    QList<QDockWidget*> docks;
    for (const char* name : {"OverviewDock", "PaletteDock", "ProblemsDock"}) {
      auto* dock = Part<QDockWidget>(Window(), QLatin1String(name));
      dock->toggleViewAction()->trigger();
      docks << dock;
    }
    return docks;
  }

  // What a user reads first in each dock: its title, the first problem row,
  // the first swatch, the "Whole size" box and the first thumbnail.
  QList<Shown> FirstThings(const QList<QDockWidget*>& docks) {
    MainWindow* w = Window();
    QList<Shown> shown;
    for (const QDockWidget* dock : docks) shown.push_back({dock->objectName() + QStringLiteral(" title"), dock, TitleOf(dock, w)});
    QTreeWidget* problems = Problems(w)->list();
    auto* palette = w->findChild<PaletteDock*>();
    auto* overview = w->findChild<OverviewDock*>();
    QListWidget* swatches = palette->swatches();
    shown.push_back({QStringLiteral("first problem"), Problems(w),
                     InWindow(problems->viewport(), problems->visualItemRect(problems->topLevelItem(0)), w)});
    shown.push_back({QStringLiteral("first swatch"), palette,
                     InWindow(swatches->viewport(), swatches->visualItemRect(swatches->item(0)), w)});
    shown.push_back({QStringLiteral("whole size"), overview,
                     InWindow(overview->findChild<QCheckBox*>(QStringLiteral("overviewWhole")), w)});
    // A thumbnail may be taller than the room it scrolls in: its top, whole in width.
    const QRect thumbnail = InWindow(overview->grid(), overview->grid()->CellOf(0), w);
    const QWidget* scrolled = overview->grid()->parentWidget();
    shown.push_back({QStringLiteral("first thumbnail"), overview,
                     thumbnail.intersected(InWindow(scrolled, w)).topLeft() == thumbnail.topLeft()
                         ? thumbnail.intersected(InWindow(scrolled, w))
                         : QRect()});
    return shown;
  }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { f_.Reset(); }

  void theScreenIsTheOneAskedFor() {
    // ctest names the screen; without it this program tests the default one.
    const QByteArray asked = qgetenv("DESK_SCREEN");
    if (asked.isEmpty()) QSKIP("DESK_SCREEN not set");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()), QString::fromLatin1(asked));
  }

  void everyDockReadable_data() {
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
  }

  void everyDockReadable() {
    QFETCH(bool, maximised);
    f_.Start();
    MainWindow* w = Window();
    const QSize start = w->size();
    if (maximised) {
      w->showMaximized();
      QTRY_VERIFY(w->isMaximized());
    }
    const QList<QDockWidget*> docks = ShowEveryDock();
    Settle(w);

    // The frame on the screen, the whole preview above the status bar.
    QVERIFY(Available().contains(w->frameGeometry()));
    QVERIFY(w->centralWidget()->height() >= window_geometry::kAboveStatusBar);
    QVERIFY(Viewport(w)->height() >= kPreviewHeight);

    // Each dock's first things whole within it, and nothing else over them.
    for (const Shown& s : FirstThings(docks)) {
      QVERIFY2(!s.rect.isEmpty() && InWindow(s.dock, w).contains(s.rect), qPrintable(s.what));
      QList<QPair<QString, QRect>> others = {{QStringLiteral("centre"), InWindow(w->centralWidget(), w)},
                                             {QStringLiteral("menu bar"), InWindow(w->menuBar(), w)},
                                             {QStringLiteral("status bar"), InWindow(w->statusBar(), w)}};
      for (const QDockWidget* dock : docks) {
        if (dock != s.dock) others.push_back({dock->objectName(), InWindow(dock, w)});
      }
      for (const auto& [other, rect] : others) {
        QVERIFY2(!rect.intersects(s.rect), qPrintable(s.what + QStringLiteral(" under the ") + other));
      }
    }

    // Closed again, a window that grew for them goes back to its size.
    for (QDockWidget* dock : docks) dock->toggleViewAction()->trigger();
    if (maximised) {
      QTRY_COMPARE(w->frameGeometry(), Available());
    } else {
      QTRY_COMPARE(w->size(), start);
    }
  }

  void maximisedSurvivesARestart() {
    f_.Start();
    Window()->showMaximized();
    QTRY_VERIFY(Window()->isMaximized());
    f_.shell->Finish();
    f_.shell.reset();
    f_.Start();
    QTRY_VERIFY(Window()->isMaximized());
    QTRY_COMPARE(Window()->frameGeometry(), Available());
    // Restored, it starts at its usual size the next time.
    Window()->showNormal();
    QTRY_VERIFY(!Window()->isMaximized());
    QVERIFY(!ReadViewPrefs(QFileInfo(f_.SettingsFile()).dir().filePath(QStringLiteral("view.ini"))).maximised);
    f_.shell.reset();
    f_.Start();
    QVERIFY(!Window()->isMaximized());
  }
};

QTEST_MAIN(DeskTest)
#include "desk_test.moc"
