// The editor window driven as a user would, with scripted dialogs.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "edit/panel_tables.h"
#include "app/preview_picture.h"
#include "app/editor_shell.h"
#include "edit/skin_edit.h"
#include "shell_fixture.h"
#include "window_parts.h"
#include "images/defaults.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The number of enabled controls of each kind on the panel.
struct Enabled {
  int colours = 0, images = 0;
  QList<int> rows;
};

Enabled EnabledControls(MainWindow* w) {
  Enabled e;
  for (QPushButton* b : Panel(w)->findChildren<QPushButton*>()) {
    if (!b->isEnabled()) continue;
    if (b->objectName().startsWith(QLatin1String("colour:"))) ++e.colours;
    if (b->objectName().startsWith(QLatin1String("image:"))) ++e.images;
  }
  for (QWidget* wdg : Panel(w)->findChildren<QWidget*>()) {
    const QStringList parts = wdg->objectName().split(QLatin1Char(':'));
    if (parts.size() == 2 && parts[0] == QLatin1String("element") && wdg->isEnabled()) e.rows << parts[1].toInt();
  }
  std::sort(e.rows.begin(), e.rows.end());
  return e;
}

QList<int> Range(int from, int to) {
  QList<int> r;
  for (int i = from; i <= to; ++i) r << i;
  return r;
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  QTemporaryDir& dir_ = f_.dir;
  FakeDialogs& dialogs_ = f_.dialogs;
  std::unique_ptr<EditorShell>& shell_ = f_.shell;

  QString SettingsFile() const { return f_.SettingsFile(); }
  EditorShell& StartShell() { return f_.Start(); }
  MainWindow* Window() { return shell_->window(); }
  // The centre as the layout places it: the panel as tall as the centre at
  // one side, the viewport beside it without overlap, the fourteen screen
  // buttons in order in one row above the viewport and within its width.
  static void CheckLayout(MainWindow* w, bool swapped) {
    const QRect centre = w->centralWidget()->rect(), panel = Panel(w)->geometry(), view = Viewport(w)->geometry();
    // What shows the preview: the viewport's inside, in the centre's terms.
    const QWidget* inside = Viewport(w)->viewport();
    const QRect shown(inside->mapTo(w->centralWidget(), QPoint(0, 0)), inside->size());
    QVERIFY(centre.contains(panel) && centre.contains(view));
    QCOMPARE(panel.height(), centre.height());
    // Swapped, the viewport starts over the panel's last three columns.
    if (swapped) QVERIFY(panel.left() < view.left() && panel.right() - view.left() < 3);
    else QVERIFY(shown.right() < panel.left());
    for (int i = 0; i < 14; ++i) {
      const QRect b = ScreenButton(w, i)->geometry();
      QVERIFY(centre.contains(b) && b.bottom() < view.top() && b.left() >= view.left() && !b.intersects(panel));
      if (i == 0) continue;
      const QRect before = ScreenButton(w, i - 1)->geometry();
      QCOMPARE(b.top(), before.top());
      QCOMPARE(b.width(), before.width());
      QCOMPARE(b.left(), before.right() + 1);
    }
  }
  QImage Preview() { return ::Preview(Window())->image().copy(); }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { shell_.reset(); }

  void startUpWithoutSettings() {
    EditorShell& shell = StartShell();
    MainWindow* w = Window();
    QCOMPARE(w->windowTitle(), QStringLiteral("New skin[*] - Skin Editor v0.100603"));
    QVERIFY(!w->isWindowModified());
    QCOMPARE(w->centralWidget()->size(), QSize(666, 521));
    QCOMPARE(w->minimumSize(), w->size());
    QCOMPARE(shell.view().zoom(), 1.0f);
    QCOMPARE(ZoomText(w)->text(), QStringLiteral("Zoom 100%"));
    QCOMPARE(shell.settings().bgColor, 0);
    QCOMPARE(shell.view().screen(), 0);
    // Preview on the left, panel on the right, the whole preview in view.
    CheckLayout(w, false);
    QVERIFY(Viewport(w)->viewport()->width() >= 266 && Viewport(w)->viewport()->height() >= 490);
    QCOMPARE(Panel(w)->tabText(0), QStringLiteral("Colors"));
    QCOMPARE(Progress(w)->maximum(), 53);
    QCOMPARE(Progress(w)->value(), 0);
    QVERIFY(ScreenAction(w, 0)->isChecked());
    QVERIFY(ScreenButton(w, 0)->isChecked());
    QVERIFY(LanguageAction(w, 0)->isChecked());
    QCOMPARE(Preview().size(), QSize(266, 490));
    QCOMPARE(Preview().pixelColor(0, 0), QColor(0, 0, 0));
  }

  void startUpWithSettings() {
    WriteAll(SettingsFile(), "[settings]\nSwapView=7\nBGColor = 255\nLanguage=5\nLastPath=/skins/\n");
    EditorShell& shell = StartShell();
    MainWindow* w = Window();
    QCOMPARE(shell.settings().swapView, 1);
    QCOMPARE(Panel(w)->geometry(), QRect(3, 0, 392, 521));
    QCOMPARE(Viewport(w)->geometry(), QRect(392, 28, 274, 490));
    QVERIFY(SwapAction(w)->isChecked());
    QCOMPARE(Preview().pixelColor(0, 0), QColor(255, 0, 0));  // 255 is red
    QCOMPARE(Panel(w)->tabText(0), QStringLiteral("Farben"));
    QVERIFY(LanguageAction(w, 5)->isChecked());
    shell.Finish();
    const QByteArray written = ReadAll(SettingsFile());
    QCOMPARE(written, QByteArray("\xEF\xBB\xBF\r\n[settings]\r\nLastPath = /skins/\r\nLanguage = 5\r\n"
                                 "BGColor = 255\r\nSwapView = 1\r\n"));
  }

  void oddSettingsValues() {
    WriteAll(SettingsFile(), "\xEF\xBB\xBF[Settings]\r\nlanguage = -1\r\nbgcolor=16711680\r\n[settings]\r\nSwapView=1\r\n");
    EditorShell& shell = StartShell();
    QCOMPARE(shell.settings().language, -1);
    QCOMPARE(shell.settings().swapView, 0);  // only the first group of a name counts
    for (int i = 0; i < 10; ++i) QVERIFY(!LanguageAction(Window(), i)->isChecked());
    QCOMPARE(Panel(Window())->tabText(0), QStringLiteral("Colors"));
    QCOMPARE(Preview().pixelColor(0, 0), QColor(0, 0, 255));
    shell.Finish();
    QVERIFY(ReadAll(SettingsFile()).contains("Language = -1\r\nBGColor = 16711680\r\nSwapView = 0\r\n"));
    // The settings folder is made again when it is gone.
    QDir(dir_.filePath(QStringLiteral("settings"))).removeRecursively();
    shell.Finish();
    QVERIFY(QFileInfo::exists(SettingsFile()));
  }

  void swapLayout() {
    EditorShell& shell = StartShell();
    MainWindow* w = Window();
    const QRect panel = Panel(w)->geometry(), viewport = Viewport(w)->geometry();
    shell.ToggleSwapView();
    CheckLayout(w, true);
    // In the window of 666 pixels: the panel at the left margin, the viewport
    // from 392 with 274 pixels, the buttons 19 pixels wide from 395.
    QCOMPARE(Panel(w)->x(), 3);
    QCOMPARE(Viewport(w)->geometry().left(), 392);
    QCOMPARE(Viewport(w)->width(), 274);
    QCOMPARE(ScreenButton(w, 0)->geometry(), QRect(395, 3, 19, 20));
    QCOMPARE(Panel(w)->size(), panel.size());
    QVERIFY(SwapAction(w)->isChecked());
    shell.ToggleSwapView();
    CheckLayout(w, false);
    QCOMPARE(Viewport(w)->geometry(), viewport);
    QCOMPARE(Panel(w)->geometry(), panel);
    QVERIFY(!SwapAction(w)->isChecked());

    // A larger window: the viewport takes all that is more, the panel keeps
    // its width at the right edge, the buttons share the viewport's width.
    const QSize centre = w->centralWidget()->size();
    w->resize(w->width() + 334, w->height() + 100);
    QCoreApplication::processEvents();
    CheckLayout(w, false);
    const QSize grown = w->centralWidget()->size() - centre;
    QCOMPARE(Viewport(w)->size(), viewport.size() + grown);
    QCOMPARE(Panel(w)->width(), panel.width());
    QCOMPARE(Panel(w)->height(), panel.height() + grown.height());
  }

  void wheelZoom() {
    EditorShell& shell = StartShell();
    shell.view().Wheel(-120);
    QCOMPARE(shell.view().zoom(), 1.0f);
    // Movements add up, whatever size they come in: +240 is two steps, two
    // times -60 one step back.
    shell.view().Wheel(240);
    QCOMPARE(shell.view().zoom(), 1.0f + 0.15f + 0.15f);
    QCOMPARE(ZoomText(Window())->text(), QStringLiteral("Zoom 130%"));
    shell.view().Wheel(-60);
    QCOMPARE(shell.view().zoom(), 1.0f + 0.15f + 0.15f);
    shell.view().Wheel(-60);
    QCOMPARE(shell.view().zoom(), 1.0f + 0.15f + 0.15f - 0.15f);
    for (int i = 0; i < 40; ++i) shell.view().Wheel(-15);  // a touchpad: many small movements
    QVERIFY(shell.view().zoom() <= 1.0f);
    shell.view().ResetZoom();
    QCOMPARE(shell.view().zoom(), 1.0f);
    float expected = 1.0f;
    for (int i = 0; i < 27; ++i) {
      shell.view().Wheel(120);
      expected += 0.15f;
    }
    QCOMPARE(shell.view().zoom(), expected);
    QVERIFY(expected > 5.0f);
    shell.view().Wheel(120);  // the 28th notch does nothing
    QCOMPARE(shell.view().zoom(), expected);
    QCOMPARE(Preview().width(), int(std::nearbyint(266.0f * expected)));
    QCOMPARE(Preview().height(), int(std::nearbyint(490.0f * expected)));
    // A real wheel event over the preview.
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Viewport(Window())->viewport(), &down);
    QCOMPARE(shell.view().zoom(), expected - 0.15f);
    // Over the panel the wheel does not zoom.
    QCoreApplication::sendEvent(Panel(Window()), &down);
    QCOMPARE(shell.view().zoom(), expected - 0.15f);
  }

  void enabledControlsPerScreen() {
    EditorShell& shell = StartShell();
    struct Expect {
      int colours, images;
      QList<int> rows;
    };
    const QList<Expect> expected = {
        {7, 20, Range(0, 11)}, {2, 2, {12}},   {5, 6, {13, 14}}, {5, 4, {}},  {0, 1, {15}},
        {0, 0, {}},            {0, 1, {16}},   {0, 0, {}},       {0, 0, {17, 18}}, {0, 0, {19}},
        {0, 2, {}},            {0, 0, {}},     {7, 4, {}},       {3, 10, Range(20, 23)},
    };
    Enabled e = EnabledControls(Window());
    QCOMPARE(e.colours, 7);
    QCOMPARE(e.images, 20);
    QCOMPARE(e.rows, Range(0, 11));
    for (int s = 0; s < 14; ++s) {
      // By button and by menu entry alike; the check mark follows.
      if (s % 2) ScreenButton(Window(), s)->click();
      else ScreenAction(Window(), s)->trigger();
      QCOMPARE(shell.view().screen(), s);
      for (int k = 0; k < 14; ++k) QCOMPARE(ScreenAction(Window(), k)->isChecked(), k == s);
      e = EnabledControls(Window());
      QCOMPARE(e.colours, expected[s].colours);
      QCOMPARE(e.images, expected[s].images);
      QCOMPARE(e.rows, expected[s].rows);
    }
    // The information boxes are always enabled.
    QVERIFY(Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:0"))->isEnabled());
  }

  void controlEditsReachSkinAndPreview() {
    EditorShell& shell = StartShell();
    const QImage before = Preview();
    auto* fileNameShow = Panel(Window())->findChild<QCheckBox*>(QStringLiteral("element:2"));
    QVERIFY(fileNameShow && fileNameShow->isChecked());
    fileNameShow->click();
    QCOMPARE(shell.document().skin().fileName.show, 0);
    QCOMPARE(shell.document().skin().fileName.titleshow, 1);  // independent of it
    QVERIFY(Preview() != before);

    auto* startBarY = Panel(Window())->findChild<QSpinBox*>(QStringLiteral("element:7:y"));
    QVERIFY(startBarY);
    QCOMPARE(startBarY->maximum(), 191);
    startBarY->setValue(100);
    QCOMPARE(shell.document().skin().startBar.y, 100);

    // A loaded value out of range is shown limited and kept until edited.
    SkinEdit outOfRange;
    outOfRange.Set(shell.document().skin(), SkinFieldOf(kStartMenuSection, "x"), 300).Set(shell.document().skin(), SkinFieldOf(kFileTypeSection, "w"), -5);
    shell.document().Apply(outOfRange);
    auto* menuX = Panel(Window())->findChild<QSpinBox*>(QStringLiteral("element:13:x"));
    QCOMPARE(menuX->value(), 255);
    QCOMPARE(shell.document().skin().startMenu.x, 300);
    QCOMPARE(shell.document().skin().fileType.w, -5);
    shell.view().ChooseScreen(2);
    menuX->setValue(254);
    QCOMPARE(shell.document().skin().startMenu.x, 254);

    // A colour button stores what the colour dialog returns.
    dialogs_.colourAnswers.enqueue({8, 16, 24});
    Panel(Window())->findChild<QPushButton*>(QStringLiteral("colour:formFrameColor"))->click();
    QCOMPARE(shell.document().skin().colours.formFrameColor, (Rgb24{8, 16, 24}));
  }

  void newAndOpen() {
    EditorShell& shell = StartShell();
    QTemporaryDir skinDir;
    WriteAll(skinDir.filePath(QStringLiteral("uisettings.ini")), "[SkinInfo]\r\nTitle=Opened\r\n[start bar]\r\ny=150\r\n");
    auto* title = Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:0"));
    QTest::keyClicks(title, QStringLiteral("typed, not saved"));
    shell.view().ChooseScreen(5);
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Discard);
    dialogs_.answers.enqueue(skinDir.path());
    shell.files().OpenFolder();
    QCOMPARE(dialogs_.questions.size(), 1);
    QCOMPARE(dialogs_.requests.back().title, QStringLiteral("Choose a skin folder"));
    QCOMPARE(shell.settings().lastPath, skinDir.path() + QLatin1Char('/'));
    QCOMPARE(shell.view().screen(), 0);
    QCOMPARE(shell.document().skin().startBar.y, 150);
    QCOMPARE(title->text(), QStringLiteral("Opened"));
    // No pictures in the folder: one message box lists all 53.
    QCOMPARE(dialogs_.messages.size(), 1);
    QCOMPARE(dialogs_.messages[0].first, QStringLiteral("Error"));
    QVERIFY(dialogs_.messages[0].second.startsWith(skinDir.path() + QStringLiteral("/active.bmp : File not found\n")));
    QVERIFY(dialogs_.messages[0].second.endsWith(QStringLiteral("... and 48 more: see the details")));
    QCOMPARE(dialogs_.details[0].split(QLatin1Char('\n')).size(), 53);
    QVERIFY(Window()->windowTitle().startsWith(QFileInfo(skinDir.path()).fileName() + QStringLiteral("[*]")));
    QVERIFY(!Window()->isWindowModified());
    QCOMPARE(Progress(Window())->value(), 0);

    // Cancelled: nothing changes, LastPath included.
    dialogs_.answers.enqueue(QString());
    shell.files().OpenFolder();
    QCOMPARE(shell.settings().lastPath, skinDir.path() + QLatin1Char('/'));

    // An archive: LastPath becomes the archive's folder.
    dialogs_.messages.clear();
    dialogs_.answers.enqueue(QStringLiteral(SKIN_TEST_DATA "/archives/python_top.zip"));
    shell.files().OpenArchive();
    // The archive chooser starts in LastPath, its name field empty, and shows ZIP files.
    QCOMPARE(dialogs_.requests.back().start, skinDir.path() + QLatin1Char('/'));
    QCOMPARE(dialogs_.requests.back().filters.size(), 1);
    QCOMPARE(dialogs_.requests.back().filters[0].label, QStringLiteral("ZIP"));
    QCOMPARE(dialogs_.requests.back().filters[0].patterns, QStringLiteral("*.zip;*.ZIP"));
    QCOMPARE(shell.settings().lastPath, QStringLiteral(SKIN_TEST_DATA "/archives/"));
    QCOMPARE(shell.document().skin().image(ImageId::lamp).width, 2);

    shell.files().NewSkin();
    QCOMPARE(shell.document().skin().startBar.y, 172);
    QCOMPARE(title->text(), QString());
  }

  void saveTakesTypedTexts() {
    EditorShell& shell = StartShell();
    QTemporaryDir target;
    auto* author = Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:1"));
    QTest::keyClicks(author, QStringLiteral("Ann "));
    QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"));
    QCoreApplication::sendEvent(author, &eAcute);
    dialogs_.answers.enqueue(target.path());
    shell.files().SaveAs();
    QCOMPARE(dialogs_.requests.back().title, QStringLiteral("Choose the folder to save the skin in"));
    QCOMPARE(shell.document().skin().info.Author, std::string("Ann \xE9"));
    QVERIFY(ReadAll(target.filePath(QStringLiteral("uisettings.ini"))).contains("\r\nAuthor=Ann \xE9\r\n"));
    QVERIFY(QFileInfo::exists(target.filePath(QStringLiteral("icon/nds.bmp"))));
    QVERIFY(dialogs_.messages.isEmpty());
    QCOMPARE(StatusText(Window())->text(), QStringLiteral("Saved 54 files to ") + QDir::toNativeSeparators(target.path()));
    QCOMPARE(Panel(Window())->findChild<QLineEdit*>(QStringLiteral("info:4"))->text(),
             QString::fromLatin1(shell.document().skin().info.LastUpdate.c_str()));
    QVERIFY(!shell.document().skin().info.LastUpdate.empty());
  }

  void importStartsAtLastPathWithTheBaseName() {
    EditorShell& shell = StartShell();
    shell.settings().lastPath = QStringLiteral("/pictures/");
    dialogs_.answers.enqueue(QStringLiteral(SKIN_TEST_DATA "/images/card_rgb8.png"));
    Panel(Window())->findChild<QPushButton*>(QStringLiteral("image:cheat"))->click();
    const FakeDialogs::Request r = dialogs_.requests.back();
    QCOMPARE(r.start, QStringLiteral("/pictures/cheat.bmp"));
    QCOMPARE(r.title, QStringLiteral("Open file"));
    QCOMPARE(r.filters.size(), 4);
    QCOMPARE(r.selected, 0);
    // The filter chosen first shows every file the import takes, named in
    // either letter case (a chooser may match it exactly), and no other.
    const auto shows = [&r](int filter, const QString& name) {
      for (const QString& p : r.filters[filter].patterns.split(QLatin1Char(';'))) {
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(p)).match(name).hasMatch()) return true;
      }
      return false;
    };
    for (const char* name : {"photo.jpeg", "PHOTO.JPEG", "photo.jpg", "SHOT.JPG", "card.png", "CARD.PNG", "lamp.bmp", "LAMP.BMP"}) {
      QVERIFY2(shows(0, QString::fromLatin1(name)), name);
    }
    for (const char* name : {"notes.txt", "photo.jpeg.txt", "skin.zip", "jpeg"}) QVERIFY2(!shows(0, QString::fromLatin1(name)), name);
    QVERIFY(shows(3, QStringLiteral("photo.jpeg")) && shows(3, QStringLiteral("SHOT.JPG")));
    QVERIFY(!shows(3, QStringLiteral("card.png")));
    QCOMPARE(shell.document().skin().image(ImageId::icon_cheat).width, 4);  // kept at its own size
    QCOMPARE(shell.settings().lastPath, QStringLiteral("/pictures/"));
    shell.view().ChooseScreen(13);
    dialogs_.answers.enqueue(QString());
    Panel(Window())->findChild<QPushButton*>(QStringLiteral("image:startbar"))->click();  // disabled: nothing
    Panel(Window())->findChild<QPushButton*>(QStringLiteral("image:pitchon"))->click();
    QCOMPARE(dialogs_.requests.back().start, QStringLiteral("/pictures/pitchon.bmp"));
  }

  void screenshotsShowScreenZero() {
    EditorShell& shell = StartShell();
    shell.view().ChooseScreen(5);
    QTemporaryDir out;
    const QString base = out.filePath(QStringLiteral("shot"));
    struct Case {
      QString name;
      int filter;
      QString written;  // empty: nothing
    };
    const QList<Case> cases = {
        {base, 0, base + QStringLiteral(".png")},
        {base + QStringLiteral(".png"), 1, base + QStringLiteral(".png.bmp")},
        {base + QStringLiteral(".jpg"), 2, base + QStringLiteral(".jpg")},
        {base + QStringLiteral(".PNG"), 0, QString()},
        {base + QStringLiteral(".jpeg"), 2, QString()},
    };
    for (const Case& c : cases) {
      const int before = QDir(out.path()).entryList(QDir::Files).size();
      dialogs_.messages.clear();
      dialogs_.answers.enqueue(c.name);
      dialogs_.filterAnswers.enqueue(c.filter);
      shell.files().SaveScreenshot();
      if (c.written.isEmpty()) {
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), before);
        QCOMPARE(dialogs_.messages.size(), 1);  // the user is told that nothing was written
      } else {
        QVERIFY2(QFileInfo::exists(c.written), qPrintable(c.written));
        QVERIFY(dialogs_.messages.isEmpty());
      }
    }
    QCOMPARE(shell.settings().lastPath, out.path() + QLatin1Char('/'));
    QCOMPARE(QFileInfo(base + QStringLiteral(".png.bmp")).size(), 294966);
    const QImage png(base + QStringLiteral(".png"));
    QCOMPARE(png.size(), QSize(256, 384));
    shell.files().CopyScreenshot();
    QCOMPARE(dialogs_.clipboard.size(), QSize(256, 384));
    QCOMPARE(dialogs_.clipboard.convertToFormat(QImage::Format_RGB888), png.convertToFormat(QImage::Format_RGB888));
    QCOMPARE(shell.view().screen(), 5);
  }

  void languageChangeKeepsState() {
    EditorShell& shell = StartShell();
    shell.view().Wheel(120);
    shell.ToggleSwapView();
    dialogs_.colourAnswers.enqueue({0, 0, 248});
    shell.commands().Run(QStringLiteral("backgroundColour"));
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 99));
    shell.view().ChooseScreen(7);
    const QPoint position = Window()->frameGeometry().topLeft();
    MainWindow* old = Window();
    LanguageAction(Window(), 8)->trigger();  // 日本語: japanese.ini, index 9
    QCoreApplication::processEvents();
    QVERIFY(Window() != old);
    QCOMPARE(shell.settings().language, 9);
    QCOMPARE(Window()->frameGeometry().topLeft(), position);
    QCOMPARE(shell.view().screen(), 0);
    QVERIFY(ScreenAction(Window(), 0)->isChecked());
    QCOMPARE(shell.view().zoom(), 1.15f);
    QCOMPARE(shell.settings().swapView, 1);
    QCOMPARE(Panel(Window())->x(), 3);
    QCOMPARE(shell.settings().bgColor, 0xF80000);
    QCOMPARE(shell.document().skin().startBar.y, 99);
    QCOMPARE(Panel(Window())->findChild<QSpinBox*>(QStringLiteral("element:7:y"))->value(), 99);
    QVERIFY(LanguageAction(Window(), 8)->isChecked());
    QVERIFY(Panel(Window())->tabText(0) != QStringLiteral("Colors"));
    // Back to the built-in texts.
    LanguageAction(Window(), 0)->trigger();
    QCOMPARE(Panel(Window())->tabText(0), QStringLiteral("Colors"));
    QCOMPARE(Panel(Window())->findChild<QPushButton*>(QStringLiteral("colour:formFrameColor"))->text(),
             QStringLiteral("formFrameColor"));
  }

  void closeRequestEndsTheProgram() {
    EditorShell& shell = StartShell();
    QSignalSpy quit(&shell, &EditorShell::quit);
    Window()->close();
    QCOMPARE(quit.count(), 1);
    QVERIFY(shell.quitRequested());
    // The shell has decided: the window now closes, and no second quit follows.
    QVERIFY(Window()->close());
    QCOMPARE(quit.count(), 1);
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
