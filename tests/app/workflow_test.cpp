// The designer's workflow: the Problems list follows the skin, files changed
// on disk come back into the editor, a folder of pictures is one import, and
// an archive to share opens back to the same skin.
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

#include "edit/document.h"
#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/preview_picture.h"
#include "app/problems_dock.h"
#include "app/reload_bar.h"
#include "app/editor_shell.h"
#include "app/skin_watcher.h"
#include "app/window_geometry.h"
#include "images/archive_writer.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "shell_fixture.h"
#include "window_parts.h"

namespace {

struct FixedClock : Clock {
  DateTime Now() const override { return {2010, 6, 3, 9, 5, 7}; }
};

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Bmp(const Picture& picture) { return QByteArray::fromStdString(EncodeBmp16(picture)); }

// The skin as 16-bit BMP files hold its pictures: five bits a channel.
Skin As16Bit(Skin skin) {
  for (Picture& p : skin.images) {
    for (Rgb24& c : p.pixels) c = {std::uint8_t(c.r & 0xF8), std::uint8_t(c.g & 0xF8), std::uint8_t(c.b & 0xF8)};
  }
  return skin;
}

bool HasProblem(EditorShell& shell, ProblemCode code, const std::string& subject) {
  for (const Problem& p : shell.document().problems()) {
    if (p.code == code && p.subject == subject) return true;
  }
  return false;
}

}  // namespace

class WorkflowTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;
  FixedClock clock_;
  QTemporaryDir skinDir_;

  MainWindow* Window() { return f_.shell->window(); }
  const ::History& Steps() { return f_.shell->document().history(); }
  SkinDocument& Document() { return f_.shell->document(); }
  QImage Preview() { return ::Preview(Window())->image().copy(); }
  QString SkinFile(const char* name) { return skinDir_.filePath(QString::fromLatin1(name)); }

  // The default skin saved into a folder, which the editor then watches.
  EditorShell& StartWatched() {
    EditorShell& shell = f_.Start(QString(), &clock_);
    shell.reload().watcher().SetSettleTime(10);
    dialogs_.answers.enqueue(skinDir_.path());
    if (!shell.files().SaveAs()) qFatal("the skin was not saved");
    return shell;
  }

 private slots:
  void init() {
    f_.Reset();
    QDir(skinDir_.path()).removeRecursively();
    QDir().mkpath(skinDir_.path());
  }
  void cleanup() { f_.Reset(); }

  void problemsFollowEditsAndLeadToTheControl() {
    EditorShell& shell = f_.Start();
    ProblemsDock* dock = Problems(Window());
    QVERIFY(shell.document().problems().empty());
    QVERIFY(dock->count()->toolTip().startsWith(QStringLiteral("Errors: 0, warnings: 0")));
    struct Case {
      const char* name;
      std::function<void()> edit;
      ProblemCode code;
      std::string subject;
      int screen;        // shown by a double click
      QString control;   // focused by it
      QString says = {};  // the start of its description
    };
    const QList<Case> cases = {
        {"text on its own background",
         [&] {
           dialogs_.colourAnswers.enqueue(shell.document().skin().colours.formBodyColor);
           shell.editor().EditColour(SkinFieldOf(kGlobalSettingsSection, "formTextColor"));
         },
         ProblemCode::LowContrast, "[global settings] formTextColor", 3, QStringLiteral("colour:formTextColor"),
         // The screen as its button numbers it, and as skintool check says it.
         QStringLiteral("hard to read on preview screen 4:")},
        {"a picture of the wrong size",
         [&] { shell.document().Apply(ReplacePictures({{ImageId::icon_nds, Picture(40, 40)}}, StepText::Named("icon/nds"))); },
         ProblemCode::PictureSize, "icon/nds", 0, QStringLiteral("image:nds")},
        {"an element off the screen", [&] { shell.document().Apply(SetNumber(SkinFieldOf(kStartMenuSection, "y"), 400)); },
         ProblemCode::OffScreen, "[start menu]", 2, QStringLiteral("element:13:x")},
    };
    for (const Case& c : cases) {
      c.edit();
      QTRY_VERIFY2(HasProblem(shell, c.code, c.subject), c.name);
      QTRY_COMPARE(dock->list()->topLevelItemCount(), static_cast<int>(shell.document().problems().size()));
      QCOMPARE(dock->errorCount()->text(), QStringLiteral("0"));
      QCOMPARE(dock->warningCount()->text(), QStringLiteral("1"));
      QVERIFY(dock->list()->topLevelItem(0)->text(2).startsWith(c.says));
      // A double click shows the screen and puts the focus on the control.
      dock->setVisible(true);
      QTreeWidgetItem* item = dock->list()->topLevelItem(0);
      QTRY_VERIFY(dock->list()->viewport()->rect().contains(dock->list()->visualItemRect(item).center()));
      const QRect row = dock->list()->visualItemRect(item);
      QTest::mouseClick(dock->list()->viewport(), Qt::LeftButton, {}, row.center());
      QTest::mouseDClick(dock->list()->viewport(), Qt::LeftButton, {}, row.center());
      QCOMPARE(shell.view().screen(), c.screen);
      QCOMPARE(QApplication::focusWidget(), Panel(Window())->findChild<QWidget*>(c.control));
      Document().Undo();
      QTRY_VERIFY2(shell.document().problems().empty(), c.name);
      QCOMPARE(dock->list()->topLevelItem(0)->text(0), QStringLiteral("No problems found."));
    }
  }

  void shownProblemsListKeepsTheWindowsLayout() {
    f_.Start();
    MainWindow* w = Window();
    const QSize size = w->size();
    Problems(w)->warningCount()->click();
    QTRY_VERIFY(w->height() > size.height());
    QCOMPARE(w->centralWidget()->height(), window_geometry::kAboveStatusBar);
    QVERIFY(Problems(w)->isVisible());
    // It stays open across a change of language, and gives its height back.
    f_.shell->ChangeLanguage(5);
    QVERIFY(Problems(Window())->isVisible());
    Problems(Window())->errorCount()->click();
    QTRY_COMPARE(Window()->size(), size);
  }

  void watchedPictureReloadsIntoThePreview() {
    EditorShell& shell = StartWatched();
    std::vector<DiskChanges> heard;
    QObject listening;
    connect(&shell.reload().watcher(), &SkinWatcher::changed, &listening, [&](const DiskChanges& c) { heard.push_back(c); });
    const QImage before = Preview();
    const Picture red(256, 192, {248, 0, 0});
    const QByteArray bytes = Bmp(red);
    // Half written, the file gives no picture, and the skin keeps its own.
    WriteAll(SkinFile("upper_screen.bmp"), bytes.left(bytes.size() / 2));
    // The first change heard is this one: the editor's own save just before
    // it was no change on disk.
    QTRY_VERIFY2(!heard.empty(), "the watcher never told of the half-written picture");
    QVERIFY(!heard[0].settings && !heard[0].listing);
    QCOMPARE(heard[0].images, std::vector<ImageId>{ImageId::upper_screen});
    QTRY_VERIFY(StatusText(Window())->text().startsWith(QStringLiteral("Could not read upper_screen.bmp")));
    QCOMPARE(Preview(), before);
    WriteAll(SkinFile("upper_screen.bmp"), bytes);
    QTRY_VERIFY(shell.document().skin().image(ImageId::upper_screen) == red);
    const QImage after = Preview();
    QVERIFY(after != before);
    QCOMPARE(after.pixelColor(after.width() / 2, 10), QColor(248, 0, 0));
    QCOMPARE(StatusText(Window())->text(), QStringLiteral("Read again from disk: upper_screen.bmp"));
    // One step, and the skin is what its folder holds: nothing unsaved.
    QCOMPARE(Steps().count(), 1);
    QVERIFY(!Window()->isWindowModified());
    Document().Undo();
    QCOMPARE(Preview(), before);
  }

  void reloadFollowsTheFolderWhenItGoesAndComesBack() {
    EditorShell& shell = StartWatched();
    const QString away = skinDir_.path() + QStringLiteral(".away");
    QDir().rename(skinDir_.path(), away);
    QTRY_VERIFY(HasProblem(shell, ProblemCode::MissingSettings, "uisettings.ini"));
    QVERIFY(HasProblem(shell, ProblemCode::MissingPicture, "lamp"));
    // Renamed back into its place: the files are there again, and so is the watch.
    QDir().rename(away, skinDir_.path());
    QTRY_VERIFY(shell.document().problems().empty());
    // Deleted and made again, with one picture changed.
    QDir(skinDir_.path()).removeRecursively();
    QTRY_VERIFY(HasProblem(shell, ProblemCode::MissingSettings, "uisettings.ini"));
    Skin saved = shell.document().skin();
    const Picture red(256, 192, {248, 0, 0});
    saved.image(ImageId::upper_screen) = red;
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    const QString made = skinDir_.path() + QStringLiteral(".new");
    QDir().mkpath(made);
    SaveSkinFolder(saved, made.toStdString(), TypedInfoOf(saved), clock_, ctx);
    QDir().rename(made, skinDir_.path());
    QTRY_VERIFY(shell.document().skin().image(ImageId::upper_screen) == red);
    QTRY_VERIFY(shell.document().problems().empty());
    // Then a change of one file is seen as before.
    WriteAll(SkinFile("upper_screen.bmp"), Bmp(Picture(256, 192, {0, 0, 248})));
    QTRY_VERIFY(shell.document().skin().image(ImageId::upper_screen).at(0, 0) == (Rgb24{0, 0, 248}));
  }

  void reloadBarAsksAboutUnsavedChanges() {
    struct Case {
      const char* name;
      const char* file;
      std::function<void(EditorShell&)> mine;  // the unsaved change
      std::function<QByteArray()> onDisk;      // the file's new bytes
      std::function<bool(const Skin&)> isMine, isDisk;
    };
    const Picture blue(256, 192, {0, 0, 248});
    const QList<Case> cases = {
        {"picture", "upper_screen.bmp",
         [](EditorShell& s) { s.document().Apply(ReplacePictures({{ImageId::upper_screen, Picture(256, 192, {0, 248, 0})}}, StepText::Named("mine"))); },
         [&] { return Bmp(blue); },
         [](const Skin& s) { return s.image(ImageId::upper_screen).at(0, 0) == Rgb24{0, 248, 0}; },
         [&](const Skin& s) { return s.image(ImageId::upper_screen) == blue; }},
        {"settings", "uisettings.ini", [](EditorShell& s) { s.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 100)); },
         [&] {
           QFile f(SkinFile("uisettings.ini"));
           f.open(QIODevice::ReadOnly);
           return f.readAll().replace("[start bar]\r\nx=0\r\ny=172", "[start bar]\r\nx=0\r\ny=150");
         },
         [](const Skin& s) { return s.startBar.y == 100; }, [](const Skin& s) { return s.startBar.y == 150; }},
    };
    for (const Case& c : cases) {
      for (const bool reload : {false, true}) {
        EditorShell& shell = StartWatched();
        ReloadBar* bar = ReloadQuestion(Window());
        c.mine(shell);
        const QByteArray bytes = c.onDisk();
        QVERIFY2(!bytes.isEmpty(), c.name);
        WriteAll(SkinFile(c.file), bytes);
        QTRY_VERIFY2(bar->isVisible(), c.name);
        QVERIFY(bar->question()->text().contains(QString::fromLatin1(c.file)));
        QVERIFY2(c.isMine(shell.document().skin()), c.name);  // asked, not taken
        // The status bar says so, not what an earlier reading said.
        QCOMPARE(StatusText(Window())->text(), QStringLiteral("Not reloaded: %1").arg(QLatin1String(c.file)));
        // The bar and its buttons whole over the preview, narrow as it may be.
        QWidget* area = bar->parentWidget();
        const QSize was = area->size();
        for (const int width : {was.width(), 150}) {
          area->resize(width, was.height());
          QVERIFY2(area->rect().contains(bar->geometry()), c.name);
          for (QWidget* button : {static_cast<QWidget*>(bar->reloadButton()), static_cast<QWidget*>(bar->keepButton())}) {
            QVERIFY2(bar->contentsRect().contains(button->geometry()), qPrintable(button->objectName()));
            QVERIFY(button->width() >= button->sizeHint().width());
          }
        }
        area->resize(was);
        (reload ? bar->reloadButton() : bar->keepButton())->click();
        QVERIFY(!bar->isVisible());
        QCOMPARE(StatusText(Window())->text(), (reload ? QStringLiteral("Read again from disk: %1")
                                                       : QStringLiteral("Kept your %1"))
                                                   .arg(QLatin1String(c.file)));
        if (reload) {
          QVERIFY2(c.isDisk(shell.document().skin()), c.name);
          QCOMPARE(Steps().count(), 2);  // one step for the reload
          QVERIFY(!Window()->isWindowModified());
          Document().Undo();
        }
        QVERIFY2(c.isMine(shell.document().skin()), c.name);
        QVERIFY(Window()->isWindowModified());
        f_.Reset();
        init();
      }
    }
  }

  void changedArchiveIsOfferedForReopening() {
    const QString zip = skinDir_.filePath(QStringLiteral("Ember.zip"));
    Skin skin;
    ResetSkinToDefaults(skin);
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    SaveSkinArchive(skin, zip.toStdString(), {}, clock_, ctx);
    EditorShell& shell = f_.Start(zip, &clock_);
    shell.reload().watcher().SetSettleTime(10);
    skin.startBar.y = 120;
    SaveSkinArchive(skin, zip.toStdString(), {}, clock_, ctx);
    QTRY_VERIFY(ReloadQuestion(Window())->isVisible());
    QCOMPARE(ReloadQuestion(Window())->question()->text(), QStringLiteral("Ember.zip changed on disk."));
    ReloadQuestion(Window())->reloadButton()->click();
    QCOMPARE(shell.document().skin().startBar.y, 120);
    QCOMPARE(Steps().count(), 1);
    QVERIFY(!Window()->isWindowModified());
  }

  void importFolderIsOneStep() {
    EditorShell& shell = f_.Start();
    QTemporaryDir art;
    QDir().mkpath(art.filePath(QStringLiteral("icon")));
    WriteAll(art.filePath(QStringLiteral("LAMP.BMP")), Bmp(Picture(6, 6, {248, 0, 0})));
    WriteAll(art.filePath(QStringLiteral("btn.bmp")), Bmp(Picture(30, 18, {0, 248, 0})));
    WriteAll(art.filePath(QStringLiteral("icon/nds.bmp")), Bmp(Picture(16, 16, {0, 0, 248})));
    WriteAll(art.filePath(QStringLiteral("sketch.png")), Bmp(Picture(2, 2)));
    WriteAll(art.filePath(QStringLiteral("broken.bmp")), "BM");
    WriteAll(art.filePath(QStringLiteral("close.bmp")), "not a picture");
    const Skin before = shell.document().skin();
    dialogs_.answers.enqueue(art.path());
    shell.files().ImportPictureFolder();
    QCOMPARE(Steps().count(), 1);
    QCOMPARE(shell.document().skin().image(ImageId::lamp).at(0, 0), (Rgb24{248, 0, 0}));
    QCOMPARE(shell.document().skin().image(ImageId::icon_nds).width, 16);
    QCOMPARE(shell.document().skin().image(ImageId::close), before.image(ImageId::close));
    QVERIFY(StatusText(Window())->text().startsWith(QStringLiteral("Took 3 pictures from ")));
    // One box: what was taken, what named no picture, what could not be read.
    QCOMPARE(dialogs_.messages.size(), 1);
    const QString report = dialogs_.messages[0].second;
    QVERIFY(report.contains(QStringLiteral("Took 3 pictures: btn, lamp, icon/nds")));
    QVERIFY(report.contains(QStringLiteral("broken.bmp")) && report.contains(QStringLiteral("sketch.png")));
    QVERIFY(report.contains(QStringLiteral("close.bmp: Unknown file format")));
    Document().Undo();
    QVERIFY(SameSkin(shell.document().skin(), before));
  }

  void archiveToShareOpensBackToTheSameSkin() {
    EditorShell& shell = f_.Start(QString(), &clock_);
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 99));
    shell.document().Apply(ReplacePictures({{ImageId::lamp, Picture(6, 6, {8, 16, 24})}}, StepText::Named("lamp")));
    dialogs_.answers.enqueue(skinDir_.filePath(QStringLiteral("Ember")));  // ".zip" is added
    QVERIFY(shell.files().SaveToArchive());
    const QString zip = skinDir_.filePath(QStringLiteral("Ember.zip"));
    QCOMPARE(dialogs_.requests.back().filters.front().patterns, QStringLiteral("*.zip"));
    QCOMPARE(StatusText(Window())->text(), QStringLiteral("Saved 54 files to %1").arg(zip));
    // A copy to share: the skin's own changes are still unsaved.
    QVERIFY(Window()->isWindowModified());
    const Skin saved = shell.document().skin();
    f_.Reset();
    EditorShell& again = f_.Start(zip);
    QVERIFY(dialogs_.messages.isEmpty());
    QVERIFY(SameSkin(again.document().skin(), As16Bit(saved)));
    QCOMPARE(again.document().skin().info.LastUpdate, saved.info.LastUpdate);
  }
};

QTEST_MAIN(WorkflowTest)
#include "workflow_test.moc"
