// The one edit path: every change of the skin is an undo step, and the
// window shows whether the skin has unsaved changes.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/preview_picture.h"
#include "app/editor_shell.h"
#include "edit/skin_edit.h"
#include "shell_fixture.h"
#include "window_parts.h"
#include "skin/colour.h"
#include "skin/settings_file.h"

namespace {

struct FixedClock : Clock {
  DateTime Now() const override { return {2010, 6, 3, 9, 5, 7}; }
};

// What an edit can change: the settings file's bytes, the pictures, and the
// preview's pixels.
struct Snapshot {
  std::string settings;
  std::array<Picture, kImageCount> pictures;
  QImage preview;
  bool operator==(const Snapshot&) const = default;
};

// Typed character by character, as a keyboard with any layout would send it.
void Type(QWidget* box, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(box, &press);
  }
}

}  // namespace

class EditTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;
  FixedClock clock_;

  EditorShell& Start() { return f_.Start(QString(), &clock_); }
  MainWindow* Window() { return f_.shell->window(); }
  template <typename T>
  T* Control(const QString& name) {
    T* c = Panel(Window())->findChild<T*>(name);
    if (!c) qFatal("no control %s", qPrintable(name));
    return c;
  }
  Snapshot Take() {
    Skin copy = f_.shell->document().skin();
    const TypedInfo typed = TypedInfoOf(copy);
    return {WriteSkinSettings(copy, typed, clock_.Now()), copy.images,
            Preview(Window())->image().copy()};
  }
  const ::History& Steps() { return f_.shell->document().history(); }
  SkinDocument& Document() { return f_.shell->document(); }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { f_.Reset(); }

  void everyEditUndoesAndRedoes() {
    Start();
    struct Case {
      const char* name;
      std::function<void()> edit;
      QString undoText;
    };
    const QList<Case> cases = {
        {"number", [&] { Control<QSpinBox>(QStringLiteral("element:7:y"))->setValue(100); }, QStringLiteral("[start bar] y")},
        {"check box", [&] { Control<QCheckBox>(QStringLiteral("element:2"))->click(); }, QStringLiteral("[file name] show")},
        {"colour",
         [&] {
           dialogs_.colourAnswers.enqueue({8, 16, 24});
           Control<QPushButton>(QStringLiteral("colour:gameInfoTextColor"))->click();
         },
         QStringLiteral("gameInfoTextColor")},
        {"text", [&] { QTest::keyClicks(Control<QLineEdit>(QStringLiteral("info:0")), QStringLiteral("Gear")); },
         QStringLiteral("Title")},
        {"picture",
         [&] {
           dialogs_.answers.enqueue(QStringLiteral(SKIN_TEST_DATA "/images/card_rgb8.png"));
           Control<QPushButton>(QStringLiteral("image:upper_screen"))->click();
         },
         QStringLiteral("upper_screen")},
    };
    for (const Case& c : cases) {
      const Snapshot before = Take();
      const int steps = Steps().count();
      c.edit();
      const Snapshot after = Take();
      QVERIFY2(!(after == before), c.name);
      QCOMPARE(Steps().count(), steps + 1);
      QCOMPARE(UndoAction(Window())->text().remove(QLatin1Char('&')), QStringLiteral("Undo ") + c.undoText);
      QVERIFY(Window()->isWindowModified());
      UndoAction(Window())->trigger();
      QVERIFY2(Take() == before, c.name);
      RedoAction(Window())->trigger();
      QVERIFY2(Take() == after, c.name);
    }
    // Undone all the way back to the skin as started: nothing is unsaved.
    while (Steps().CanUndo()) Document().Undo();
    QVERIFY(!Window()->isWindowModified());
  }

  void stepsOfOneControlMerge() {
    EditorShell& shell = Start();
    auto* y = Control<QSpinBox>(QStringLiteral("element:7:y"));
    const int original = y->value();
    for (int v : {10, 11, 12, 13}) y->setValue(v);
    QCOMPARE(Steps().count(), 1);
    Control<QSpinBox>(QStringLiteral("element:7:x"))->setValue(5);
    y->setValue(50);  // another field came between: a step of its own
    QCOMPARE(Steps().count(), 3);
    Document().Undo();
    Document().Undo();
    Document().Undo();
    QCOMPARE(shell.document().skin().startBar.y, original);
    QCOMPARE(y->value(), original);

    // Typing in one box is one step; typed and deleted again, it is none.
    auto* author = Control<QLineEdit>(QStringLiteral("info:1"));
    QTest::keyClicks(author, QStringLiteral("Ann"));
    QCOMPARE(Steps().count(), 1);
    QCOMPARE(shell.document().skin().info.Author, std::string("Ann"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(author, Qt::Key_Backspace);
    QCOMPARE(Steps().count(), 0);
    QVERIFY(!Window()->isWindowModified());

    // An edit of several fields with a merge key (a drag of x and y) and a
    // change of several pictures are one step each.
    const Picture close = shell.document().skin().image(ImageId::close);
    for (int x : {20, 21, 22}) shell.document().Apply(MoveElement(kStartBarSection, x, x + 1, "drag 1"));
    shell.document().Apply(ReplacePictures({{ImageId::lamp, Picture(3, 3)}, {ImageId::close, Picture(4, 4)}}, StepText::Named("lamp")));
    QCOMPARE(Steps().count(), 2);
    QCOMPARE(shell.document().skin().startBar.x, 22);
    Document().Undo();
    QVERIFY(shell.document().skin().image(ImageId::close) == close);
    Document().Undo();
    QCOMPARE(shell.document().skin().startBar.y, original);
  }

  void historyKeepsItsPicturesWithinTheBudget() {
    EditorShell& shell = Start();
    // Room for the pictures of two steps of one 100 x 100 picture (before
    // and after, 60 000 bytes a step), not three.
    shell.document().SetUndoBudget(2 * 2 * 100 * 100 * sizeof(Rgb24));
    const ::History& history = shell.document().history();
    const auto picture = [](std::uint8_t v) { return Picture(100, 100, {v, v, v}); };
    // A history that starts with the picture in place.
    Skin started = shell.document().skin();
    started.image(ImageId::upper_screen) = picture(0);
    shell.document().Replace(started, shell.document().origin(), shell.document().disk());
    shell.document().Apply(ReplacePictures({{ImageId::upper_screen, picture(8)}}, StepText::Named("first")));
    shell.document().MarkSaved(shell.document().origin(), shell.document().disk());
    shell.document().Apply(ReplacePictures({{ImageId::upper_screen, picture(16)}}, StepText::Named("second")));
    const std::int32_t y = shell.document().skin().startBar.y;
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 100));  // holds no picture: it costs nothing
    QCOMPARE(history.count(), 3);
    QCOMPARE(history.cleanIndex(), 1);
    shell.document().Apply(ReplacePictures({{ImageId::upper_screen, picture(24)}}, StepText::Named("third")));
    // The oldest step went; the saved state moved along with its step.
    QCOMPARE(history.count(), 3);
    QCOMPARE(history.step(0).name, StepText::Named("second"));
    QCOMPARE(history.cleanIndex(), 0);
    QVERIFY(Window()->isWindowModified());
    // What stayed undoes and redoes as it did.
    shell.document().Undo();
    shell.document().Undo();
    QCOMPARE(shell.document().skin().startBar.y, y);
    QCOMPARE(shell.document().skin().image(ImageId::upper_screen), picture(16));
    shell.document().Undo();
    QCOMPARE(shell.document().skin().image(ImageId::upper_screen), picture(8));
    QVERIFY(!history.CanUndo());
    QVERIFY(!Window()->isWindowModified());
    shell.document().Redo();
    shell.document().Redo();
    shell.document().Redo();
    QCOMPARE(shell.document().skin().image(ImageId::upper_screen), picture(24));
    QCOMPARE(shell.document().skin().startBar.y, 100);
    // A step larger than the budget on its own still stays, alone; the
    // saved state is then out of reach.
    shell.document().SetUndoBudget(1);
    shell.document().Apply(ReplacePictures({{ImageId::upper_screen, picture(32)}}, StepText::Named("fourth")));
    QCOMPARE(history.count(), 1);
    QCOMPARE(history.cleanIndex(), -1);
    // Typing that a trim has just put back still merges with what follows.
    const std::string title = shell.document().skin().info.Title;
    shell.document().Apply(SetText(SkinFieldOf(kSkinInfoSection, "Title"), "A"));
    QCOMPARE(history.count(), 1);
    QCOMPARE(history.step(0).name, StepText::Named("Title"));
    shell.document().Apply(SetText(SkinFieldOf(kSkinInfoSection, "Title"), "Ab"));
    QCOMPARE(history.count(), 1);
    shell.document().Undo();
    QCOMPARE(shell.document().skin().info.Title, title);
  }

  void colourDialogShowsEachColourLiveAndOkIsOneStep() {
    EditorShell& shell = Start();
    const SkinField field = SkinFieldOf(kGlobalSettingsSection, "formBodyColor");
    const Rgb24 before = shell.document().skin().colours.formBodyColor;
    shell.view().ChooseScreen(3);  // a dialog: its body is drawn there
    const QImage original = Preview(Window())->image().copy();
    // While the dialog is open, what it shows is what the preview shows.
    QList<Rgb24> seen;
    QList<QImage> previews;
    dialogs_.colourPreviews = {{248, 0, 0}, {0, 0, 248}};
    dialogs_.whileOpen = [&] {
      seen << shell.document().skin().colours.formBodyColor;
      previews << Preview(Window())->image().copy();
    };
    for (const bool ok : {false, true}) {
      if (ok) dialogs_.colourAnswers.enqueue({0, 0, 248});  // none: cancelled
      seen.clear();
      previews.clear();
      shell.editor().EditColour(field);
      QCOMPARE(seen, (QList<Rgb24>{{0, 0, 248}}));
      QVERIFY(previews[0] != original);
      QCOMPARE(Steps().count(), ok ? 1 : 0);
      QCOMPARE(shell.document().skin().colours.formBodyColor, ok ? Rgb24({0, 0, 248}) : before);
      QCOMPARE(Preview(Window())->image() == original, !ok);
    }
    QCOMPARE(dialogs_.requests.back().title, QStringLiteral("formBodyColor"));
    Document().Undo();
    QCOMPARE(Preview(Window())->image(), original);
    // Two colours chosen one after the other are two steps.
    dialogs_.colourAnswers.enqueue({248, 248, 0});
    shell.editor().EditColour(field);
    dialogs_.colourAnswers.enqueue({0, 248, 248});
    shell.editor().EditColour(field);
    Document().Undo();
    QCOMPARE(shell.document().skin().colours.formBodyColor, Rgb24({248, 248, 0}));
  }

  void coloursCopyAndPaste() {
    EditorShell& shell = Start();
    auto* from = Control<QPushButton>(QStringLiteral("colour:formTextColor"));
    auto* to = Control<QPushButton>(QStringLiteral("colour:formBodyColor"));
    shell.view().ChooseScreen(3);  // both buttons enabled there
    from->setFocus();
    QTest::keyClick(from, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromStdString(FormatHexColour(shell.document().skin().colours.formTextColor)));
    to->setFocus();
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shell.document().skin().colours.formBodyColor, shell.document().skin().colours.formTextColor);
    QCOMPARE(Steps().count(), 1);
    // Any of the three forms pastes; what is no colour pastes nothing.
    for (const auto& [text, colour] : {std::pair{"0x001f", Rgb24{248, 0, 0}}, {" #0010F8 ", Rgb24{0, 16, 248}}}) {
      QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
      QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(shell.document().skin().colours.formBodyColor, colour);
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("pink"));
    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Steps().count(), 3);
    Document().Undo();
    QCOMPARE(shell.document().skin().colours.formBodyColor, (Rgb24{248, 0, 0}));
  }

  void savingMarksTheCleanState() {
    EditorShell& shell = Start();
    QTemporaryDir target;
    QCOMPARE(Window()->windowTitle(), QStringLiteral("New skin[*] - Skin Editor v0.100603"));
    Control<QCheckBox>(QStringLiteral("element:1"))->click();
    QVERIFY(Window()->isWindowModified());
    // The first Save asks for a folder; the next one writes there again.
    dialogs_.answers.enqueue(target.path());
    QVERIFY(shell.files().Save());
    QCOMPARE(dialogs_.requests.size(), 1);
    QVERIFY(!Window()->isWindowModified());
    const QString name = QFileInfo(target.path()).fileName();
    QCOMPARE(Window()->windowTitle(), name + QStringLiteral("[*] - Skin Editor v0.100603"));
    QCOMPARE(shell.recentSkins().value(0), target.path());
    Document().Undo();
    QVERIFY(Window()->isWindowModified());
    Document().Redo();
    QVERIFY(!Window()->isWindowModified());
    Control<QCheckBox>(QStringLiteral("element:1"))->click();
    QVERIFY(shell.files().Save());
    QCOMPARE(dialogs_.requests.size(), 1);
    QVERIFY(!Window()->isWindowModified());
    QVERIFY(dialogs_.messages.isEmpty());
  }

  void unsavedChangesAreAskedAboutOnlyWhenThereAreSome() {
    EditorShell& shell = Start();
    QSignalSpy quit(&shell, &EditorShell::quit);
    shell.files().NewSkin();
    QVERIFY(dialogs_.questions.isEmpty());

    dialogs_.colourAnswers.enqueue({8, 8, 8});
    Control<QPushButton>(QStringLiteral("colour:vTextColor"))->click();
    const Snapshot edited = Take();
    // Cancel keeps everything: the skin, its history and the window.
    for (const std::function<void()>& command : QList<std::function<void()>>{
             [&] { Window()->close(); }, [&] { shell.files().NewSkin(); }, [&] { shell.files().OpenFolder(); },
             [&] { shell.files().OpenSkin(QStringLiteral(SKIN_TEST_DATA "/archives/python_top.zip")); }}) {
      dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Cancel);
      command();
      QCOMPARE(Take(), edited);
      QCOMPARE(Steps().count(), 1);
    }
    QCOMPARE(dialogs_.questions.size(), 4);
    QVERIFY(dialogs_.questions[0].contains(QStringLiteral("\"New skin\"")));
    QVERIFY(dialogs_.requests.size() == 1);  // only the colour dialog: no chooser was opened
    QCOMPARE(quit.count(), 0);
    QVERIFY(Window()->isVisible());

    // Save: the chooser, then the program ends.
    QTemporaryDir target;
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Save);
    dialogs_.answers.enqueue(target.path());
    Window()->close();
    QCOMPARE(quit.count(), 1);
    QVERIFY(QFileInfo::exists(target.filePath(QStringLiteral("uisettings.ini"))));

    // Discard: New goes ahead with a fresh history.
    Start();
    Control<QCheckBox>(QStringLiteral("element:1"))->click();
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Discard);
    f_.shell->files().NewSkin();
    QCOMPARE(Steps().count(), 0);
    QCOMPARE(f_.shell->document().skin().fileType.show, 1);
  }

  void languageSwitchKeepsTextsAndHistory() {
    EditorShell& shell = Start();
    QTest::keyClicks(Control<QLineEdit>(QStringLiteral("info:2")), QStringLiteral("ann@example.org"));
    Control<QSpinBox>(QStringLiteral("element:0:x"))->setValue(3);
    LanguageAction(Window(), 5)->trigger();  // Deutsch
    QCoreApplication::processEvents();
    QCOMPARE(Control<QLineEdit>(QStringLiteral("info:2"))->text(), QStringLiteral("ann@example.org"));
    QCOMPARE(Steps().count(), 2);
    QVERIFY(Window()->isWindowModified());
    QVERIFY(UndoAction(Window())->isEnabled());
    QVERIFY(UndoAction(Window())->text().remove(QLatin1Char('&')).endsWith(QStringLiteral(" [logo info] x")));
    UndoAction(Window())->trigger();
    UndoAction(Window())->trigger();
    QCOMPARE(Control<QLineEdit>(QStringLiteral("info:2"))->text(), QString());
    QCOMPARE(shell.document().skin().info.eMail, std::string());
    QVERIFY(!Window()->isWindowModified());
  }

  void failedImportChangesNothing() {
    EditorShell& shell = Start();
    const Picture lamp = shell.document().skin().image(ImageId::lamp);
    for (const QString& file : {f_.dir.filePath(QStringLiteral("missing.png")), QStringLiteral(SKIN_TEST_DATA "/README.md")}) {
      dialogs_.messages.clear();
      shell.files().ImportImageFile(ImageId::lamp, file);
      QCOMPARE(shell.document().skin().image(ImageId::lamp), lamp);
      QCOMPARE(Steps().count(), 0);
      QCOMPARE(dialogs_.messages.size(), 1);
    }
  }

  void informationBoxesRefuseWhatTheFileCannotHold() {
    EditorShell& shell = Start();
    auto* title = Control<QLineEdit>(QStringLiteral("info:0"));
    Type(title, QString::fromUtf8("a\u20acb\u03a9\u00e9"));
    QCOMPARE(title->text(), QString::fromUtf8("ab\u00e9"));
    QCOMPARE(shell.document().skin().info.Title, std::string("ab\xE9"));
  }
};

QTEST_MAIN(EditTest)
#include "edit_test.moc"
