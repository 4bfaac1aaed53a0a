// The window as a daily tool: keyboard, menus, panel hints, recent skins,
// drag and drop, the command line, and where the settings are kept.
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/colour_dialog.h"
#include "app/commands/command_table.h"
#include "app/commands/register_commands.h"
#include "edit/command_catalogue.h"
#include "app/dialogs.h"
#include "app/editor_panel.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/mnemonics.h"
#include "app/paths.h"
#include "app/recent_skins.h"
#include "app/editor_shell.h"
#include "shell_fixture.h"
#include "when_open.h"
#include "window_parts.h"

namespace {

const QString kArchive = QStringLiteral(SKIN_TEST_DATA "/archives/python_top.zip");

// Drops `path` on `target` as a file manager would.
bool Drop(QWidget* target, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  return true;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;

  EditorShell& Start(const QString& skin = QString()) { return f_.Start(skin); }
  MainWindow* Window() { return f_.shell->window(); }
  QWidget* Control(const QString& name) { return Panel(Window())->findChild<QWidget*>(name); }
  QAction* ActionFor(const QKeySequence& keys) {
    for (QAction* a : Window()->findChildren<QAction*>()) {
      if (a->shortcuts().contains(keys)) return a;
    }
    qFatal("no action for %s", qPrintable(keys.toString()));
  }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { f_.Reset(); }

  // The desktop runs every command of the catalogue both faces share, and
  // takes no command the catalogue lacks.
  void everyCatalogueCommandHasAHandler() {
    EditorShell& shell = Start();
    for (const CommandEntry& c : CommandCatalogue()) {
      const Command* command = shell.commands().Find(QString::fromStdString(c.id));
      QVERIFY2(command && command->run, c.id.c_str());
      QCOMPARE(command->keys.size() >= int(c.chords.size()), true);
      for (const std::string& chord : c.chords) {
        QVERIFY2(command->keys.contains(KeyOf(chord)) && !KeyOf(chord).isEmpty(), chord.c_str());
      }
    }
    CommandTable table;
    bool refused = false;
    try {
      table.Add({QStringLiteral("noSuchCommand"), {}, {}, {}, [](const CommandTarget&) {}, {}, {}});
    } catch (const std::invalid_argument&) {
      refused = true;
    }
    QVERIFY(refused);
    QVERIFY(!table.Find(QStringLiteral("noSuchCommand")));
    // The menus hold the catalogue's entries in its order: the File menu's first.
    QMenu* file = Window()->menuBar()->actions().value(0)->menu();
    QCOMPARE(file->actions().value(0)->objectName(), QStringLiteral("new"));
  }

  void shortcutsAndMnemonics() {
    EditorShell& shell = Start();
    struct Case {
      QKeySequence keys;
      int screen;
    };
    // Ctrl+3 chooses screen 3 (index 2); Page Down and Page Up step.
    for (const Case& c : {Case{QKeySequence(Qt::CTRL | Qt::Key_3), 2}, Case{QKeySequence(Qt::Key_PageDown), 3},
                          Case{QKeySequence(Qt::Key_PageUp), 2}, Case{QKeySequence(Qt::CTRL | Qt::Key_9), 8}}) {
      ActionFor(c.keys)->trigger();
      QCOMPARE(shell.view().screen(), c.screen);
      for (int i = 0; i < 14; ++i) QCOMPARE(ScreenButton(Window(), i)->isChecked(), i == c.screen);
    }
    QCOMPARE(ScreenButton(Window(), 0)->focusPolicy(), Qt::TabFocus);
    // Every menu title and entry has a mnemonic, unique among its siblings.
    for (QMenu* menu : Window()->menuBar()->findChildren<QMenu*>()) {
      QSet<QChar> seen;
      for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const int amp = a->text().indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        QVERIFY2(amp >= 0, qPrintable(a->text()));
        QVERIFY2(!seen.contains(a->text()[amp + 1].toUpper()), qPrintable(a->text()));
        seen.insert(a->text()[amp + 1].toUpper());
      }
    }
    QSet<QChar> taken{QLatin1Char('F')};
    QCOMPARE(WithMnemonic(QStringLiteral("File & more"), taken), QStringLiteral("F&ile && more"));
    QCOMPARE(WithMnemonic(QString::fromUtf8("\u6a94\u6848"), taken), QString::fromUtf8("\u6a94\u6848(&A)"));
    // Zoom from the keyboard.
    ActionFor(QKeySequence(Qt::CTRL | Qt::Key_Equal))->trigger();
    QCOMPARE(shell.view().zoom(), 1.15f);
    ActionFor(QKeySequence(Qt::CTRL | Qt::Key_0))->trigger();
    QCOMPARE(shell.view().zoom(), 1.0f);
  }

  void panelExplainsItself() {
    Start();
    QVERIFY(Control(QStringLiteral("heading:x")) && Control(QStringLiteral("heading:w")));
    // A caption too long for its button ends in "..." and is whole in the tooltip.
    auto* long1 = static_cast<QPushButton*>(Control(QStringLiteral("colour:popSubMenuTextHighLightColor")));
    QVERIFY(long1->text().endsWith(QChar(0x2026)));
    QVERIFY(long1->sizeHint().width() <= 128);
    QVERIFY(long1->toolTip().startsWith(QStringLiteral("popSubMenuTextHighLightColor\n")));
    // Greyed, it says which screen uses it; enabled, it does not need to.
    QVERIFY(!long1->isEnabled());
    QVERIFY(long1->toolTip().contains(QStringLiteral("\"3 - Start menu: file operations\"")));
    f_.shell->view().ChooseScreen(2);
    QVERIFY(!long1->toolTip().contains(QStringLiteral("Start menu")));
    // The swatch shows the colour.
    const QImage swatch = long1->icon().pixmap(12, 12).toImage();
    const Rgb24 c = f_.shell->document().skin().colours.popSubMenuTextHighLightColor;
    QCOMPARE(swatch.pixelColor(6, 6), QColor(c.r, c.g, c.b));
    // A number field without focus ignores the wheel.
    auto* x = static_cast<QSpinBox*>(Control(QStringLiteral("element:13:x")));
    const int before = x->value();
    QWheelEvent wheel(QPointF(5, 5), x->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(x, &wheel);
    QCOMPARE(x->value(), before);
    QCOMPARE(f_.shell->document().history().count(), 0);
  }

  // The panel shows the control of a colour, a picture or an element on its tab.
  void revealsTheControlOfAField() {
    Start();
    EditorPanel* panel = Panel(Window());
    QCOMPARE(panel->RevealImage(ImageId::startbar), Control(QStringLiteral("image:startbar")));
    QCOMPARE(panel->currentIndex(), 1);
    QCOMPARE(panel->RevealField(SkinFieldOf(kGlobalSettingsSection, "formFrameColor")),
             Control(QStringLiteral("colour:formFrameColor")));
    QCOMPARE(panel->currentIndex(), 0);
    // A row with a plain label gives its label; its X field takes the focus.
    QCOMPARE(panel->RevealElement(kStartBarSection), Control(QStringLiteral("element:7")));
    QCOMPARE(panel->currentIndex(), 2);
    QCOMPARE(QApplication::focusWidget(), Control(QStringLiteral("element:7:x")));
    QCOMPARE(panel->RevealElement(kMakerCodeSection), nullptr);
    QCOMPARE(panel->RevealField(SkinFieldOf(kSkinInfoSection, "Title")), Control(QStringLiteral("info:0")));
    QCOMPARE(panel->currentIndex(), 3);
  }

  // After a colour's dialog the keys go to its button again: Ctrl+C copies it.
  void focusComesBackFromTheColourDialog() {
    EditorShell& shell = Start();
    dialogs_.realColourDialog = true;
    auto* button = static_cast<QPushButton*>(Control(QStringLiteral("colour:vTextColor")));
    for (const bool keyboard : {false, true}) {
      QGuiApplication::clipboard()->clear();
      WhenOpen<ColourDialog>(Window(), "the colour dialog", [](ColourDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
      if (keyboard) {
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
      } else {
        QTest::mouseClick(button, Qt::LeftButton);
      }
      QTRY_COMPARE(QApplication::focusWidget(), button);
      QVERIFY(Window()->testAttribute(Qt::WA_KeyboardFocusChange));  // its focus frame shows
      QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
      const Rgb24 c = shell.document().skin().colours.vTextColor;
      QCOMPARE(QGuiApplication::clipboard()->text(), QString::asprintf("#%02x%02x%02x", c.r, c.g, c.b));
    }
    QCOMPARE(shell.document().history().count(), 0);  // Escape changed nothing
  }

  // The question about unsaved changes answered with Alt and a letter, in every language.
  void saveQuestionAnswersFromTheKeyboard() {
    QWidget owner;
    owner.show();
    for (const LanguageEntry& e : LanguageMenu()) {
      LanguageTable texts;
      texts.Load(e.index, QStringLiteral(SKIN_SOURCE_DIR "/language"));
      const std::array<QString, 3> captions = UnsavedChoiceCaptions(texts);
      QSet<QChar> letters;
      for (const QString& caption : captions) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("&([A-Za-z0-9])")).match(caption);
        QVERIFY2(m.hasMatch(), qPrintable(caption));
        letters.insert(m.captured(1).at(0).toUpper());
      }
      QCOMPARE(letters.size(), 3);
      // English answers each way; the others Discard, the one that loses work.
      const QList<UnsavedChoice> choices = e.index == 0 ? QList{UnsavedChoice::Save, UnsavedChoice::Discard, UnsavedChoice::Cancel}
                                                        : QList{UnsavedChoice::Discard};
      for (const UnsavedChoice choice : choices) {
        const QString caption = captions[std::size_t(choice)];
        const QChar letter = caption.at(caption.indexOf(QLatin1Char('&')) + 1).toUpper();
        WhenOpen<QMessageBox>(&owner, "the question", [letter](QMessageBox* box) {
          box->activateWindow();
          QVERIFY(QTest::qWaitForWindowActive(box));  // the keys of a window go to the active one
          QTest::keyClick(box, Qt::Key(letter.unicode()), Qt::AltModifier);
        });
        QCOMPARE(QtDialogs().AskSaveChanges(&owner, QStringLiteral("Save?"), texts), choice);
      }
    }
  }

  void recentSkinsDropsAndTheCommandLine() {
    // A skin named on the command line is opened at start.
    EditorShell& shell = Start(kArchive);
    QVERIFY(Window()->windowTitle().startsWith(QStringLiteral("python_top[*]")));
    QCOMPARE(shell.document().skin().image(ImageId::lamp).width, 2);
    QCOMPARE(shell.recentSkins(), QStringList{QDir::cleanPath(kArchive)});
    QCOMPARE(RecentMenu(Window())->actions().size(), 1);
    shell.Finish();
    // The recent list has a file of its own; settings.ini keeps its form.
    QCOMPARE(ReadRecentSkins(f_.dir.filePath(QStringLiteral("settings/recent.ini"))), QStringList{QDir::cleanPath(kArchive)});
    QVERIFY(!ReadAll(f_.dir.filePath(QStringLiteral("settings/settings.ini"))).contains("python_top"));

    // A folder dropped on the window opens; a picture dropped on its button is imported.
    QTemporaryDir skin;
    QFile settings(skin.filePath(QStringLiteral("uisettings.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[start bar]\r\ny=150\r\n");
    settings.close();
    Start();
    QCOMPARE(f_.shell->recentSkins().size(), 1);
    QVERIFY(!Drop(Window(), QStringLiteral(SKIN_TEST_DATA "/README.md")));
    QVERIFY(Drop(Window(), skin.path()));
    QCOMPARE(f_.shell->document().skin().startBar.y, 150);
    QCOMPARE(f_.shell->recentSkins().value(0), skin.path());
    QVERIFY(Drop(Control(QStringLiteral("image:startbar")), QStringLiteral(SKIN_TEST_DATA "/images/card_rgb8.png")));
    QCOMPARE(f_.shell->document().skin().image(ImageId::startbar).width, 4);
    QCOMPARE(f_.shell->document().history().count(), 1);
    // Open Recent opens the archive again.
    RecentMenu(Window())->actions().at(1)->trigger();
    QCOMPARE(dialogs_.questions.size(), 1);  // the imported picture is not saved: Cancel
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Discard);
    RecentMenu(Window())->actions().at(1)->trigger();
    QVERIFY(Window()->windowTitle().startsWith(QStringLiteral("python_top[*]")));
    // An archive whose settings cannot be extracted read nothing: the skin,
    // its name and its history stay.
    f_.shell->document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 99));
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Discard);
    f_.shell->files().OpenSkin(QStringLiteral(SKIN_TEST_DATA "/archives/encrypted.zip"));
    QVERIFY(Window()->windowTitle().startsWith(QStringLiteral("python_top[*]")));
    QCOMPARE(f_.shell->document().history().count(), 1);
    QCOMPARE(f_.shell->document().skin().startBar.y, 99);
    QCOMPARE(WithRecentSkin({QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("b")),
             (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    // The last eight: a ninth pushes the oldest out.
    QStringList eight;
    for (char c = 'a'; c <= 'h'; ++c) eight << QString(QLatin1Char(c));
    QCOMPARE(WithRecentSkin(eight, QStringLiteral("new")), QStringList{QStringLiteral("new")} + eight.mid(0, 7));
  }

  void languageFilesNotFoundAreSaid() {
    QTemporaryDir languages;
    QDir().mkpath(QFileInfo(f_.SettingsFile()).absolutePath());
    QFile settings(f_.SettingsFile());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[settings]\nLanguage=5\n");
    settings.close();
    EditorShell& shell = f_.Start(QString(), nullptr, languages.path());
    // German asked for and not there: English shown and ticked, and the status bar says why.
    QCOMPARE(StatusText(Window())->text(), QStringLiteral("Language file german.ini not found in %1").arg(languages.path()));
    QCOMPARE(Panel(Window())->tabText(0), QStringLiteral("Colors"));
    QVERIFY(LanguageAction(Window(), 0)->isChecked());
    QVERIFY(!LanguageAction(Window(), 5)->isChecked());
    // Every entry but English greyed, saying where its file is looked for.
    for (int i = 1; i < 10; ++i) {
      QVERIFY(!LanguageAction(Window(), i)->isEnabled());
      QVERIFY(LanguageAction(Window(), i)->toolTip().contains(languages.path()));
    }
    QVERIFY(LanguageAction(Window(), 0)->isEnabled());
    // Asked for all the same, nothing changes but the status text.
    MainWindow* before = Window();
    shell.ChangeLanguage(3);
    QCOMPARE(Window(), before);
    QCOMPARE(StatusText(Window())->text(), QStringLiteral("Language file spanish.ini not found in %1").arg(languages.path()));
    QCOMPARE(shell.settings().language, 5);  // kept for a run that finds the file
    // Once the file is there, it is taken.
    QVERIFY(QFile::copy(QStringLiteral(SKIN_SOURCE_DIR "/language/german.ini"), languages.filePath(QStringLiteral("german.ini"))));
    shell.ChangeLanguage(5);
    QCOMPARE(Panel(Window())->tabText(0), QStringLiteral("Farben"));
    QVERIFY(LanguageAction(Window(), 5)->isEnabled() && LanguageAction(Window(), 5)->isChecked());
    QVERIFY(!LanguageAction(Window(), 3)->isEnabled());
  }

  void settingsLiveBesideAPortableCopyOrInTheUsersConfiguration() {
    QStandardPaths::setTestModeEnabled(true);
    const QString before = QDir::currentPath();
    QTemporaryDir portable, installed;
    QDir(portable.path()).mkdir(QStringLiteral("language"));
    QDir::setCurrent(portable.path());
    ShellPaths p = FindShellPaths();
    QCOMPARE(p.settingsFile, portable.filePath(QStringLiteral("settings/settings.ini")));
    QCOMPARE(p.languageDir, portable.filePath(QStringLiteral("language")));
    QCOMPARE(p.RecentFile(), portable.filePath(QStringLiteral("settings/recent.ini")));
    QDir::setCurrent(installed.path());
    p = FindShellPaths();
    QCOMPARE(QFileInfo(p.settingsFile).absolutePath(),
             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QVERIFY(!p.settingsFile.startsWith(installed.path()));
    // Run from the build folder, the language files are the source tree's.
    QCOMPARE(p.languageDir, QStringLiteral(SKIN_SOURCE_DIR "/language"));
    QDir::setCurrent(before);
    QCOMPARE(SkinNameOf(QStringLiteral("/skins/Night Sky/")), QStringLiteral("Night Sky"));
    QCOMPARE(SkinNameOf(QStringLiteral("/skins/Night.Sky.ZIP")), QStringLiteral("Night.Sky"));
  }

 private:
  static QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
