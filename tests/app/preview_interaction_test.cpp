// The preview as the way into the skin: a click selects, a drag moves, a
// hover highlights, a drop imports.
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <cstring>
#include <functional>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/preview_highlight.h"
#include "app/preview_interaction.h"
#include "edit/preview_pick.h"
#include "app/preview_picture.h"
#include "app/editor_shell.h"
#include "shell_fixture.h"
#include "window_parts.h"

namespace {

const QString kPicture = QStringLiteral(SKIN_TEST_DATA "/images/card_rgb8.png");

// The first zoom-1 preview pixel that `in` accepts.
QPoint FirstPixel(const TraceMap& map, const std::function<bool(const PixelTag&, ElementSet)>& in) {
  for (int y = 0; y < kPreviewHeight; ++y) {
    for (int x = 0; x < kPreviewWidth; ++x) {
      if (in(map.at(x, y), map.ElementsAt(x, y))) return {x, y};
    }
  }
  qFatal("no such pixel");
}

QPoint SourcePixel(const TraceMap& map, TraceSource source) {
  return FirstPixel(map, [source](const PixelTag& t, ElementSet) { return t.source == source; });
}

QPoint SectionPixel(const TraceMap& map, std::string_view section) {
  const std::size_t s = FindElementSection(section).value();
  return FirstPixel(map, [s](const PixelTag&, ElementSet e) { return e.Has(s); });
}

// The first pixel on which a drag moves `section`.
QPoint MovedPixel(const TraceMap& map, std::string_view section) {
  const std::size_t s = FindElementSection(section).value();
  const ElementPixels counts = CountElementPixels(map);
  return FirstPixel(map, [&](const PixelTag& t, ElementSet e) {
    const std::size_t i = std::size_t(&t - map.tags.data());
    return e.Has(s) && PickAt(map, counts, int(i % kPreviewWidth), int(i / kPreviewWidth)).moves == s;
  });
}

// The pixel of the zoomed picture at the top left of zoom-1 pixel `p`.
QPoint Zoomed(QPoint p, float zoom) {
  int w = 0, h = 0;
  PreviewSize(zoom, w, h);
  return {(p.x() * w + kPreviewWidth - 1) / kPreviewWidth, (p.y() * h + kPreviewHeight - 1) / kPreviewHeight};
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

// A mask drawn in rows of '#' (set) and '.' (clear).
PixelMask MaskOf(std::initializer_list<const char*> rows) {
  PixelMask m;
  m.width = int(std::strlen(*rows.begin()));
  m.height = int(rows.size());
  m.left = m.width, m.top = m.height;
  int y = 0;
  for (const char* row : rows) {
    for (int x = 0; x < m.width; ++x) {
      m.pixels.push_back(row[x] == '#');
      if (row[x] != '#') continue;
      ++m.count;
      m.left = std::min(m.left, x), m.right = std::max(m.right, x);
      m.top = std::min(m.top, y), m.bottom = std::max(m.bottom, y);
    }
    ++y;
  }
  return m;
}

void Hover(QWidget* control, bool enter) {
  if (enter) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(control->mapToGlobal(QPoint(2, 2))));
    QCoreApplication::sendEvent(control, &e);
  } else {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(control, &e);
  }
}

}  // namespace

class PreviewInteractionTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;

  EditorShell& Shell() { return *f_.shell; }
  MainWindow* Window() { return f_.shell->window(); }
  PreviewPicture* Preview() { return ::Preview(Window()); }
  const TraceMap& Trace() { return ::Preview(Window())->trace(); }
  QWidget* Control(const QString& name) {
    QWidget* c = Panel(Window())->findChild<QWidget*>(name);
    if (!c) qFatal("no control %s", qPrintable(name));
    return c;
  }
  void ZoomSteps(int steps) {
    Shell().view().ResetZoom();
    Shell().view().StepZoom(steps);
  }
  void Click(QPoint at) {
    Mouse(Preview(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(Preview(), QEvent::MouseButtonRelease, at, Qt::NoButton);
  }

 private slots:
  void init() {
    f_.Reset();
    f_.Start();
  }
  void cleanup() { f_.Reset(); }

  void clickSelectsWhatDrewThePixel() {
    struct Case {
      int screen;
      std::function<QPoint(const TraceMap&)> pixel;
      const char* control;  // focused afterwards; nullptr: the panel stays as it was
      int tab;
      QString status;
    };
    const QList<Case> cases = {
        {2, [](const TraceMap& m) { return SourcePixel(m, *FindColourSource(kGlobalSettingsSection, "formFrameColor")); },
         "colour:formFrameColor", 0, QStringLiteral("formFrameColor, [start menu], [file handle menu]")},
        {0, [](const TraceMap& m) { return SourcePixel(m, PictureSource(ImageId::startbar)); }, "image:startbar", 1,
         QStringLiteral("startbar, [start bar]")},
        // The sample game icon has no source; its record's X field takes the focus.
        {0, [](const TraceMap& m) { return SectionPixel(m, kLogoInfoSection); }, "element:0:x", 2,
         QStringLiteral("[logo info]")},
        // The status names the source and every record; the colour's button
        // is shown, greyed on this screen.
        {8, [](const TraceMap& m) { return SectionPixel(m, kListTypeMenuSection); }, nullptr, 0,
         QStringLiteral("formFrameColor, [start menu], [Syset menu], [List type menu]")},
        {0, [](const TraceMap&) { return QPoint(130, 240); }, nullptr, 0, QStringLiteral("Nothing of the skin draws this pixel")},
    };
    for (const Case& c : cases) {
      Shell().view().ChooseScreen(c.screen);
      const QPoint at = c.pixel(Trace());
      Click(at);
      if (c.control) QCOMPARE(Window()->focusWidget(), Control(QString::fromLatin1(c.control)));
      QCOMPARE(Panel(Window())->currentIndex(), c.tab);
      if (!c.status.isEmpty()) QCOMPARE(StatusText(Window())->text(), c.status);
      // The selection stays marked: the mark is made of what drew the pixel.
      if (c.control) QVERIFY(Preview()->selection().count > 0);
    }
    QVERIFY(StatusText(Window())->text().startsWith(QStringLiteral("Nothing")));
    QCOMPARE(Preview()->selection().count, 0);

    // A double click opens the colour dialog of a colour, the import of a picture.
    Shell().view().ChooseScreen(3);
    f_.dialogs.colourAnswers.enqueue({8, 16, 24});
    const QPoint frame = SourcePixel(Trace(), *FindColourSource(kGlobalSettingsSection, "formFrameColor"));
    Mouse(Preview(), QEvent::MouseButtonDblClick, frame, Qt::LeftButton);
    QCOMPARE(Shell().document().skin().colours.formFrameColor, (Rgb24{8, 16, 24}));
    f_.dialogs.answers.enqueue(kPicture);
    Mouse(Preview(), QEvent::MouseButtonDblClick, SourcePixel(Trace(), PictureSource(ImageId::title_bg)), Qt::LeftButton);
    QCOMPARE(Shell().document().skin().image(ImageId::title_bg).width, 4);
    QCOMPARE(Shell().document().history().count(), 2);
  }

  void selectedBackgroundKeepsItsTextsReadable() {
    // The holes of a selection are filled; a gap open to the outside is none.
    const struct {
      const char* what;
      PixelMask mask, filled;
    } shapes[] = {
        {"a ring with an island",
         MaskOf({".......", ".#####.", ".#...#.", ".#.#.#.", ".#...#.", ".#####.", "......."}),
         MaskOf({".......", ".#####.", ".#####.", ".#####.", ".#####.", ".#####.", "......."})},
        {"a ring at the picture's edges", MaskOf({"#####", "#...#", "#####"}), MaskOf({"#####", "#####", "#####"})},
        {"a U open at the top", MaskOf({".#.#.", ".#.#.", ".###."}), MaskOf({".#.#.", ".#.#.", ".###."})},
        {"two squares apart", MaskOf({"##.##", "##.##"}), MaskOf({"##.##", "##.##"})},
        {"a hole one pixel from the bounds", MaskOf({"###", "#.#", "#.#", "#.#", "###"}),
         MaskOf({"###", "###", "###", "###", "###"})},
    };
    for (const auto& s : shapes) {
      const PixelMask got = WithoutHoles(s.mask);
      QVERIFY2(got.pixels == s.filled.pixels, s.what);
      QCOMPARE(got.count, s.filled.count);
    }

    // A click on the upper screen's picture: its mark goes round the screen,
    // and every text drawn over it shows as it is.
    for (const int steps : {0, 7}) {
      ZoomSteps(steps);
      const QImage plain = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      Click(Zoomed(SourcePixel(Trace(), PictureSource(ImageId::upper_screen)), Shell().view().zoom()));
      const PixelMask upper = ZoomMask(SourceMask(Trace(), PictureSource(ImageId::upper_screen)), Shell().view().zoom());
      const QRect bounds(QPoint(upper.left, upper.top), QPoint(upper.right, upper.bottom));
      const QImage marked = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      int outline = 0;
      for (int y = 0; y < marked.height(); ++y) {
        for (int x = 0; x < marked.width(); ++x) {
          if (marked.pixel(x, y) == plain.pixel(x, y)) continue;
          QVERIFY2(!bounds.contains(x, y), qPrintable(QStringLiteral("marked inside the screen at %1,%2").arg(x).arg(y)));
          ++outline;
        }
      }
      QVERIFY(outline > 0);
      Click(QPoint(0, 0));  // the margin: nothing selected
    }
  }

  void dragMovesTheElementByThePointerOverTheZoom() {
    struct Case {
      int zoomSteps;
      int screen;
      const char* section;
      QPoint by;  // on the zoomed picture
      QPoint moved;
    };
    // Zoom 2.5 after ten steps: 31 / 2.5 rounds to 12, -20 / 2.5 is -8.
    const QList<Case> cases = {{0, 0, "[start bar]", {7, -9}, {7, -9}},
                               {10, 0, "[start bar]", {31, -20}, {12, -8}},
                               // The panel's ranges: x and y stop at 0.
                               {0, 8, "[List type menu]", {-30, 40}, {-2, 40}},
                               {0, 0, "[reback btn]", {5, -400}, {5, -174}}};
    for (const Case& c : cases) {
      ZoomSteps(c.zoomSteps);
      Shell().view().ChooseScreen(c.screen);
      const SkinField x = SkinFieldOf(c.section, "x"), y = SkinFieldOf(c.section, "y");
      const auto read = [&](const SkinField& f) { return std::get<std::int32_t>(ReadField(Shell().document().skin(), f)); };
      const QPoint before(read(x), read(y));
      const QPoint from = Zoomed(MovedPixel(Trace(), c.section), Shell().view().zoom());
      QCOMPARE(Preview()->cursor().shape(), Qt::ArrowCursor);
      Mouse(Preview(), QEvent::MouseMove, from, Qt::NoButton);
      QCOMPARE(Preview()->cursor().shape(), Qt::SizeAllCursor);
      Mouse(Preview(), QEvent::MouseButtonPress, from, Qt::LeftButton);
      for (int step = 1; step <= 4; ++step) Mouse(Preview(), QEvent::MouseMove, from + c.by * step / 4, Qt::LeftButton);
      Mouse(Preview(), QEvent::MouseButtonRelease, from + c.by, Qt::NoButton);
      QCOMPARE(QPoint(read(x), read(y)), before + c.moved);
      // The fields follow, and the whole drag is one step.
      const QString row = Panel(Window())->ElementRowControls(c.section).value(1)->objectName();
      QCOMPARE(static_cast<QSpinBox*>(Control(row))->value(), read(x));
      QCOMPARE(Shell().document().history().count(), 1);
      Shell().document().Undo();
      QCOMPARE(QPoint(read(x), read(y)), before);
      Mouse(Preview(), QEvent::MouseMove, QPoint(0, 0), Qt::NoButton);
    }

    // Escape during a drag puts the element back and leaves no step.
    ZoomSteps(0);
    Shell().view().ChooseScreen(0);
    const int startBarY = Shell().document().skin().startBar.y;
    const QPoint from = MovedPixel(Trace(), kStartBarSection);
    Mouse(Preview(), QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(Preview(), QEvent::MouseMove, from - QPoint(0, 30), Qt::LeftButton);
    QCOMPARE(Shell().document().skin().startBar.y, startBarY - 30);
    QTest::keyClick(Preview(), Qt::Key_Escape);
    Mouse(Preview(), QEvent::MouseMove, from - QPoint(0, 40), Qt::LeftButton);
    Mouse(Preview(), QEvent::MouseButtonRelease, from - QPoint(0, 40), Qt::NoButton);
    QCOMPARE(Shell().document().skin().startBar.y, startBarY);
    QCOMPARE(Shell().document().history().count(), 0);

    // Arrow keys nudge the selected element, in the panel's field too; one
    // series after a selection is one step.
    Click(from);
    QWidget* focused = Window()->focusWidget();
    QVERIFY(focused && focused != Preview());
    for (int i = 0; i < 3; ++i) QTest::keyClick(focused, Qt::Key_Right);
    QTest::keyClick(focused, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(Shell().document().skin().startBar.y, startBarY - 10);
    QCOMPARE(Shell().document().history().count(), 1);
    Click(from + QPoint(3, -10));
    QTest::keyClick(Window()->focusWidget(), Qt::Key_Left);
    QCOMPARE(Shell().document().history().count(), 2);
    QCOMPARE(Shell().document().skin().startBar.x, 2);
  }

  void hoverHighlightsExactlyWhatTheControlDraws() {
    struct Case {
      int zoomSteps;
      const char* control;
      std::function<PixelMask(const TraceMap&)> mask;
    };
    const QList<Case> cases = {
        {0, "colour:gameInfoTextColor",
         [](const TraceMap& m) { return SourceMask(m, *FindColourSource(kGlobalSettingsSection, "gameInfoTextColor")); }},
        {7, "image:cardFrame0", [](const TraceMap& m) { return SourceMask(m, PictureSource(ImageId::cardFrame0)); }},
        {7, "element:7", [](const TraceMap& m) { return ElementMask(m, *FindElementSection(kStartBarSection)); }},
    };
    for (const Case& c : cases) {
      ZoomSteps(c.zoomSteps);
      const QImage plain = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      const PixelMask mask = ZoomMask(c.mask(Trace()), Shell().view().zoom());
      QVERIFY(mask.count > 0);
      Hover(Control(QString::fromLatin1(c.control)), true);
      const QImage lit = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      QCOMPARE(lit.size(), QSize(mask.width, mask.height));
      for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
          const QRgb was = plain.pixel(x, y), now = lit.pixel(x, y);
          if (mask.pixels[std::size_t(y) * mask.width + x]) {
            QVERIFY2(now == qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was)), c.control);  // inverted
          } else if (now != was) {
            QVERIFY2(now == qRgb(0, 0, 0) || now == qRgb(255, 255, 255), c.control);  // the outline
          }
        }
      }
      Hover(Control(QString::fromLatin1(c.control)), false);
      QCOMPARE(Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32), plain);
    }

    // Nothing to show on this screen: the status bar says where it shows.
    ZoomSteps(0);
    Window()->ShowStatus(QStringLiteral("before"));
    struct Absent {
      const char* control;
      QString status;
    };
    for (const Absent& a : {Absent{"image:title_bg", QStringLiteral("title_bg: only on screens 4, 6, 8, 12")},
                            Absent{"colour:cheatListTextColor", QStringLiteral("cheatListTextColor: only on screen 14")},
                            Absent{"colour:formFrameColor", QStringLiteral("formFrameColor: only on screens 3-10, 12")},
                            Absent{"element:6", QStringLiteral("[folder text]: on no screen, as the skin is now")}}) {
      Hover(Control(QString::fromLatin1(a.control)), true);
      QCOMPARE(Preview()->hover().count, 0);
      QCOMPARE(StatusText(Window())->text(), a.status);
      Hover(Control(QString::fromLatin1(a.control)), false);
      QCOMPARE(StatusText(Window())->text(), QStringLiteral("before"));
    }
  }

  void droppedPictureGoesIntoThePictureUnderIt() {
    int litWhileOver = 0;  // the highlight while the file is held over the preview
    const auto drop = [&](QPoint at, const QString& file) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(file)});
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(Preview(), &enter);
      if (!enter.isAccepted()) return false;
      QDragMoveEvent over(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(Preview(), &over);
      litWhileOver = Preview()->hover().count;
      QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(Preview(), &dropped);
      return true;
    };
    const Picture startbar = Shell().document().skin().image(ImageId::startbar);
    const QPoint at = SourcePixel(Trace(), PictureSource(ImageId::startbar));
    // A file that is not a picture fails: nothing changes.
    QVERIFY(drop(at, QStringLiteral(SKIN_TEST_DATA "/README.md")));
    QCOMPARE(Shell().document().skin().image(ImageId::startbar), startbar);
    QCOMPARE(f_.dialogs.messages.size(), 1);
    // Where no picture is drawn, the status bar says so.
    QVERIFY(drop(QPoint(130, 240), kPicture));
    QCOMPARE(Shell().document().history().count(), 0);
    QVERIFY(StatusText(Window())->text().startsWith(QStringLiteral("No skin picture")));
    QCOMPARE(litWhileOver, 0);
    const int startbarPixels = SourceMask(Trace(), PictureSource(ImageId::startbar)).count;
    QVERIFY(drop(at, kPicture));
    QCOMPARE(litWhileOver, startbarPixels);
    QCOMPARE(Preview()->hover().count, 0);
    QCOMPARE(Shell().document().skin().image(ImageId::startbar).width, 4);
    QCOMPARE(Shell().document().history().count(), 1);
  }
};

QTEST_MAIN(PreviewInteractionTest)
#include "preview_interaction_test.moc"
