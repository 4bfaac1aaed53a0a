// The ways of looking at the skin: every screen at once, zoom that suits
// pixel art, simulation, comparison, thumbnails on the picture buttons, and
// a status bar that stays true.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include "app/elided_label.h"
#include "app/overview_dock.h"
#include "app/qt_picture.h"
#include "app/view_prefs.h"
#include "images/skin_io.h"
#include "shell_fixture.h"
#include "window_parts.h"

namespace {

// The zoom-1 preview as skintool render draws it, filtered as the view would.
QImage Rendered(const Skin& skin, int screen, ScreenFilter filter = ScreenFilter::None, Rgb24 background = {}) {
  Picture p = RenderPreview(skin, screen, 1.0f, background);
  ApplyScreenFilter(p, filter);
  return QImage(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height, p.width * 3,
                QImage::Format_RGB888)
      .copy();
}

QImage Half(const QImage& image) {
  QImage half(image.width() / 2, image.height() / 2, QImage::Format_RGB888);
  for (int y = 0; y < half.height(); ++y) {
    for (int x = 0; x < half.width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        const QColor c = image.pixelColor(2 * x + d.x(), 2 * y + d.y());
        r += c.red(), g += c.green(), b += c.blue();
      }
      half.setPixelColor(x, y, QColor((r + 2) / 4, (g + 2) / 4, (b + 2) / 4));
    }
  }
  return half;
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;

  MainWindow* Window() { return f_.shell->window(); }
  const ::History& Steps() { return f_.shell->document().history(); }
  SkinDocument& Document() { return f_.shell->document(); }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { f_.Reset(); }

  void overviewFollowsEditsAndUndo() {
    EditorShell& shell = f_.Start();
    Window()->ShowOverview(true, false);
    auto* grid = Window()->findChild<OverviewGrid*>();
    QTRY_VERIFY(!grid->thumbnail(13).isNull());
    // Each thumbnail is its screen at half size, each pixel the mean of a 2 x 2 block.
    QCOMPARE(grid->thumbnail(3).convertToFormat(QImage::Format_RGB888), Half(Rendered(shell.document().skin(), 3)));
    const QImage before = grid->thumbnail(3).copy();
    shell.document().Apply(SetColour(SkinFieldOf(kGlobalSettingsSection, "formBodyColor"), {248, 0, 0}));
    QTRY_VERIFY(grid->thumbnail(3) != before);
    Document().Undo();
    QTRY_COMPARE(grid->thumbnail(3), before);
    // A click on a thumbnail shows its screen, and frames it.
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellOf(8).center());
    QCOMPARE(shell.view().screen(), 8);
    // Whole size, and the filter too.
    Window()->findChild<QCheckBox*>(QStringLiteral("overviewWhole"))->setChecked(true);
    shell.view().SetFilter(ScreenFilter::Deuteranopia);
    QTRY_COMPARE(grid->thumbnail(5).convertToFormat(QImage::Format_RGB888),
                 Rendered(shell.document().skin(), 5, ScreenFilter::Deuteranopia));
    // Another background shows in them as well.
    shell.view().SetBackground({8, 16, 24});
    QTRY_COMPARE(grid->thumbnail(5).convertToFormat(QImage::Format_RGB888),
                 Rendered(shell.document().skin(), 5, ScreenFilter::Deuteranopia, {8, 16, 24}));
    QVERIFY(ReadViewPrefs(QFileInfo(f_.SettingsFile()).dir().filePath(QStringLiteral("view.ini"))).overviewWhole);
  }

  void wholeNumberZoomAndZoomToFit() {
    EditorShell& shell = f_.Start();
    ViewState& view = shell.view();
    view.StepZoom(2);  // 1.3
    QVERIFY(std::abs(view.zoom() - 1.3f) < 0.001f);
    view.SetWholeZoom(true);
    QCOMPARE(view.zoom(), 1.0f);
    for (const auto& [steps, zoom] : {std::pair{1, 2.0f}, {2, 4.0f}, {3, 5.0f}, {-1, 4.0f}, {-9, 1.0f}}) {
      view.StepZoom(steps);
      QCOMPARE(view.zoom(), zoom);
    }
    view.Wheel(240);
    QCOMPARE(view.zoom(), 3.0f);
    // The largest zoom at which 266 x 490 fits; a whole number when asked.
    const struct {
      QSize viewport;
      bool whole;
      float zoom;
    } fits[] = {{{266, 490}, false, 1.0f}, {{600, 1000}, false, 1000.0f / 490}, {{600, 1000}, true, 2.0f},
                {{2000, 3000}, false, 5.0f}, {{100, 100}, false, 1.0f}, {{1400, 2450}, true, 5.0f},
                {{700, 1300}, true, 2.0f}};  // 2.63 fits, 3 does not
    for (const auto& f : fits) {
      const float zoom = FittingZoom(f.viewport, f.whole);
      int width = 0, height = 0;
      PreviewSize(zoom, width, height);
      QVERIFY(std::abs(zoom - f.zoom) < 0.01f);
      if (zoom > 1.0f) QVERIFY(width <= f.viewport.width() && height <= f.viewport.height());
    }
    // Kept between runs, beside the settings.
    f_.shell.reset();
    EditorShell& again = f_.Start();
    QVERIFY(again.view().wholeZoom());
    QVERIFY(Window()->findChild<QAction*>(QStringLiteral("wholeZoom"))->isChecked());
  }

  void simulationChangesOnlyWhatIsShown() {
    EditorShell& shell = f_.Start();
    const auto settingsOf = [&] {
      Skin copy = shell.document().skin();
      return WriteSkinSettings(copy, {}, {2000, 1, 1, 0, 0, 0});
    };
    const std::string settings = settingsOf();
    shell.view().SetFilter(ScreenFilter::Console);
    QCOMPARE(Preview(Window())->image().convertToFormat(QImage::Format_RGB888),
             Rendered(shell.document().skin(), 0, ScreenFilter::Console));
    QCOMPARE(settingsOf(), settings);
    QVERIFY(Window()->findChild<QLabel*>(QStringLiteral("simulationText"))->isVisible());
    QCOMPARE(Window()->findChild<QLabel*>(QStringLiteral("simulationText"))->text(),
             QStringLiteral("Simulating: Console screen"));
    // The screenshot is the skin's own colours.
    shell.files().CopyScreenshot(true);
    QCOMPARE(dialogs_.clipboard.pixelColor(5, 5).rgb(), ToQImage(ComposeScreenshot(shell.document().skin())).pixelColor(5, 5).rgb());
  }

  void comparisonFollowsAndSwaps() {
    EditorShell& shell = f_.Start();
    SkinDocument& document = shell.document();
    shell.view().CompareWithSaved(true);
    auto* compared = Window()->findChild<PreviewPicture*>(QStringLiteral("ComparePicture"));
    QVERIFY(compared->isVisible());
    const QImage saved = compared->image().copy();
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB888), Rendered(document.disk().skin, 0));
    // An edit changes the preview, not the skin as saved; Space swaps them while held.
    document.Apply(SetColour(SkinFieldOf(kGlobalSettingsSection, "vTextColor"), {248, 248, 0}));
    QCOMPARE(compared->image(), saved);
    QVERIFY(Preview(Window())->image() != saved);
    shell.view().SetSwapped(true);
    QCOMPARE(Preview(Window())->image(), saved);
    shell.view().SetSwapped(false);
    Document().Undo();
    QCOMPARE(Preview(Window())->image(), saved);
    // Another skin: the same screen of it, with its name above it.
    QTemporaryDir other;
    Skin red = document.skin();
    red.colours.vTextColor = {248, 0, 0};
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    QDir().mkpath(other.filePath(QStringLiteral("Ruby")));
    SaveSkinFolder(red, other.filePath(QStringLiteral("Ruby")).toStdString(), TypedInfoOf(red), SystemClock(), ctx);
    shell.files().CompareWith(other.filePath(QStringLiteral("Ruby")));
    QCOMPARE(compared->image().convertToFormat(QImage::Format_RGB888), Rendered(red, 0));
    QCOMPARE(Window()->findChild<QLabel*>(QStringLiteral("compareCaption"))->text(), QStringLiteral("Compared: Ruby"));
    const int wide = Window()->width();
    auto* stop = Window()->findChild<QAction*>(QStringLiteral("stopCompare"));
    stop->trigger();
    QVERIFY(!compared->isVisible());
    QVERIFY(!stop->isEnabled());
    QVERIFY(Window()->width() < wide);  // the room it took is given back
  }

  void pictureButtonsShowTheirPictures() {
    EditorShell& shell = f_.Start();
    auto* lamp = Panel(Window())->findChild<QPushButton*>(QStringLiteral("image:lamp"));
    QVERIFY(!lamp->icon().isNull());
    const QImage before = lamp->icon().pixmap(lamp->iconSize()).toImage();
    shell.document().Apply(ReplacePictures({{ImageId::lamp, Picture(8, 8, {248, 0, 0})}}, StepText::Named("lamp")));
    const QImage red = lamp->icon().pixmap(lamp->iconSize()).toImage();
    QVERIFY(red != before);
    QCOMPARE(red.pixelColor(red.width() / 2, red.height() / 2), QColor(248, 0, 0));
    Document().Undo();
    QCOMPARE(lamp->icon().pixmap(lamp->iconSize()).toImage(), before);
  }

  void statusBarStaysTrueAndReadable() {
    EditorShell& shell = f_.Start();
    QTemporaryDir dir;
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString file = dir.filePath(QStringLiteral("a-rather-long-folder-name-for-a-status-bar/lamp.png"));
    QDir().mkpath(QFileInfo(file).absolutePath());
    QVERIFY(image.save(file));
    dialogs_.fitAnswers.enqueue(FitMode::Keep);
    shell.files().ImportImageFile(ImageId::lamp, file);
    auto* status = Window()->findChild<ElidedLabel*>(QStringLiteral("statusText"));
    QVERIFY(status->text().startsWith(QStringLiteral("Took lamp from ")));
    QVERIFY(status->text().endsWith(QStringLiteral("lamp.png")));
    // Too long for its room: cut in the middle, both ends kept, whole in the tooltip.
    status->resize(200, status->height());
    QVERIFY(status->shownText() != status->text());
    QVERIFY(status->shownText().startsWith(QStringLiteral("Took")));
    QVERIFY(status->shownText().endsWith(QStringLiteral("lamp.png")));
    // The import undone, what the status said is no longer so.
    Document().Undo();
    QCOMPARE(status->text(), QString());
    // A name holding a line break shows it escaped, on one line.
    Window()->ShowStatus(QStringLiteral("a\nb"));
    QCOMPARE(status->text(), QStringLiteral("a\\nb"));
  }

  void latinOneHintTakesNoClick() {
    f_.Start();
    auto* title = Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:0"));
    auto* author = Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:1"));
    Panel(Window())->setCurrentIndex(3);
    title->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u6a94"));  // no Latin-1
    QCoreApplication::sendEvent(title, &press);
    auto* hint = Panel(Window())->findChild<QLabel*>(QStringLiteral("latin1Hint"));
    QVERIFY(hint->isVisible());
    QVERIFY(hint->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(!hint->geometry().intersects(author->geometry()));
    QTest::mouseClick(author, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), author);
  }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
