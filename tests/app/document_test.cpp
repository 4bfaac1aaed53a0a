// One skin document at the centre: every view follows it, Save saves the
// skin where it came from, and unsaved changes outlive an editor that dies.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "platform/archive.h"
#include "images/archive_writer.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "shell_fixture.h"
#include "skin_files.h"
#include "skin/settings_file.h"
#include "window_parts.h"


class DocumentTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;
  FixedClock clock_;
  WorkFolder work_;

  MainWindow* Window() { return f_.shell->window(); }
  QString Work(const char* name) const { return work_(name); }

 private slots:
  void init() {
    f_.Reset();
    work_.Reset();
  }
  void cleanup() { f_.Reset(); }

  void everyViewFollowsTheDocument() {
    EditorShell& shell = f_.Start(QString(), &clock_);
    SkinDocument& document = shell.document();
    const QImage before = Preview(Window())->image().copy();
    const SkinField body = SkinFieldOf(kGlobalSettingsSection, "formBodyColor");
    auto* spin = Panel(Window())->findChild<QSpinBox*>(QStringLiteral("element:7:y"));
    const int y = spin->value();
    // Edits made on the document alone, as a tool makes them.
    document.Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 300));
    document.Apply(SetColour(SkinFieldOf(kGlobalSettingsSection, "formTextColor"), document.skin().colours.formBodyColor));
    document.Apply(SetColour(body, {248, 0, 0}));
    QCOMPARE(spin->value(), 191);  // shown within the field's range
    QVERIFY(Window()->isWindowModified());
    QVERIFY(Preview(Window())->image() != before);
    QTRY_VERIFY(!document.problems().empty());
    QTRY_COMPARE(Problems(Window())->list()->topLevelItemCount(), int(document.problems().size()));
    // Undo reaches every view the same way.
    while (document.history().CanUndo()) document.Undo();
    QCOMPARE(spin->value(), y);
    QVERIFY(!Window()->isWindowModified());
    QCOMPARE(Preview(Window())->image(), before);
    QTRY_VERIFY(document.problems().empty());
    QCOMPARE(Problems(Window())->list()->topLevelItem(0)->text(0), QStringLiteral("No problems found."));
  }

  void saveWritesWhereTheSkinCameFrom() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    EditorShell& shell = f_.Start(folder, &clock_);
    shell.document().Apply(SetText(SkinFieldOf(kSkinInfoSection, "Title"), "Orchard at dusk"));
    QVERIFY(Window()->isWindowModified());
    QVERIFY(shell.files().Save());
    QVERIFY(dialogs_.requests.isEmpty());  // no chooser
    QVERIFY(ReadAll(folder + QStringLiteral("/uisettings.ini")).contains("Title=Orchard at dusk\r\n"));
    QVERIFY(!Window()->isWindowModified());
    QVERIFY(StatusText(Window())->text().startsWith(QStringLiteral("Saved 54 files to ")));
    // The question's Save button saves there too.
    shell.document().Apply(SetText(SkinFieldOf(kSkinInfoSection, "Title"), "Orchard at night"));
    dialogs_.unsavedAnswers.enqueue(UnsavedChoice::Save);
    shell.files().NewSkin();
    QVERIFY(dialogs_.requests.isEmpty());
    QVERIFY(ReadAll(folder + QStringLiteral("/uisettings.ini")).contains("Title=Orchard at night\r\n"));
    // A new skin has nowhere to go yet: Save asks.
    dialogs_.answers.enqueue(QString());
    QVERIFY(!shell.files().Save());
    QCOMPARE(dialogs_.requests.size(), 1);
    QCOMPARE(dialogs_.requests[0].kind, QStringLiteral("folder"));
  }

  void saveWritesAnArchiveBackOnlyWhenItHoldsNothingElse() {
    Skin skin;
    ResetSkinToDefaults(skin);
    std::vector<SkinFile> files = EncodeSkinFiles(skin, TypedInfoOf(skin), clock_.Now());
    const QString only = Work("Only.zip"), more = Work("More.zip");
    // "My Skin" inside Only.zip: a write-back keeps that folder.
    {
      QFile f(only);
      f.open(QIODevice::WriteOnly);
      f.write(QByteArray::fromStdString(EncodeSkinArchive(files, "My Skin", clock_.Now())));
    }
    files.push_back({"notes.txt", "keep me", std::nullopt, false});
    {
      QFile f(more);
      f.open(QIODevice::WriteOnly);
      f.write(QByteArray::fromStdString(EncodeSkinArchive(files, "More", clock_.Now())));
    }
    EditorShell& shell = f_.Start(only, &clock_);
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 123));
    QVERIFY(shell.files().Save());
    QVERIFY(dialogs_.requests.isEmpty());
    std::unique_ptr<SkinArchive> written = SkinArchive::Open(only.toStdString());
    QVERIFY(written);
    QCOMPARE(written->entries().size(), kImageCount + 1);
    QVERIFY(written->Find("My Skin\\uisettings.ini"));
    QVERIFY(!Window()->isWindowModified());

    // Other files in the archive: Save asks where, as Save to folder does.
    shell.files().LoadSkin(more);
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 124));
    dialogs_.answers.enqueue(QString());
    QVERIFY(!shell.files().Save());
    QCOMPARE(dialogs_.requests.size(), 1);
    QCOMPARE(dialogs_.requests[0].kind, QStringLiteral("folder"));
    QVERIFY(SkinArchive::Open(more.toStdString())->Find("More\\notes.txt"));
  }

  void saveToArchiveOffersANameBesideTheFolder() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    EditorShell& shell = f_.Start(folder, &clock_);
    dialogs_.answers.enqueue(QString());
    QVERIFY(!shell.files().SaveToArchive());
    QCOMPARE(dialogs_.requests[0].start, work_("Orchard.zip"));
  }

  void journalFollowsTheUnsavedChanges() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    EditorShell& shell = f_.Start(folder, &clock_);
    RecoveryJournal& journal = shell.recovery();
    QSignalSpy written(&journal, &RecoveryJournal::written);
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 99));
    // Written within two seconds of the edit, never beside the skin.
    QVERIFY2(written.wait(2000), "no journal was written");
    QVERIFY(QFileInfo::exists(journal.ArchivePath()));
    QVERIFY(QFileInfo::exists(journal.ManifestPath()));
    QVERIFY(journal.ArchivePath().startsWith(f_.RecoveryDir()));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 43);  // the settings and 42 pictures, nothing more
    // Undone to what is saved, or saved: nothing left to recover.
    shell.document().Undo();
    QVERIFY(!QFileInfo::exists(journal.ArchivePath()));
    shell.document().Redo();
    journal.WriteNow();
    QVERIFY(QFileInfo::exists(journal.ManifestPath()));
    QVERIFY(shell.files().Save());
    QVERIFY(!QFileInfo::exists(journal.ArchivePath()));
    QVERIFY(!QFileInfo::exists(journal.ManifestPath()));
    // A clean exit leaves none either.
    shell.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 98));
    journal.WriteNow();
    shell.Finish();
    QVERIFY(QDir(f_.RecoveryDir()).entryList(QDir::Files).isEmpty());
  }

  void journalOfAnEditorThatDiedIsRestored() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    EditorShell& before = f_.Start(folder, &clock_);
    before.document().Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 77));
    before.document().Apply(SetText(SkinFieldOf(kSkinInfoSection, "Title"), "Before the crash"));
    before.document().Apply(ReplacePictures({{ImageId::lamp, Picture(3, 2, {8, 16, 24})}}, StepText::Named("lamp")));
    const std::vector<std::string> expected = SavedBytes(before.document().skin());
    before.recovery().WriteNow();
    // As editors that died would leave it: one whose process is gone, one
    // killed a moment ago (a zombie until its parent hears of it), and one
    // whose editor still runs (this test's parent), which stays unasked.
    const pid_t zombie = ::fork();
    if (zombie == 0) {
      ::pause();
      ::_exit(0);
    }
    ::kill(zombie, SIGKILL);
    QTRY_VERIFY(ReadAll(QStringLiteral("/proc/%1/stat").arg(zombie)).contains(") Z "));
    const QDir recovery(f_.RecoveryDir());
    const QString mineZip = before.recovery().ArchivePath(), mineIni = before.recovery().ManifestPath();
    struct Orphan {
      QString owner;
      long long pid;
      const char* time;
    };
    for (const Orphan& o : {Orphan{QStringLiteral("gone"), 999999999LL, "2026-01-02T03:04:05Z"},
                            Orphan{QStringLiteral("zombie"), zombie, "2026-01-02T03:04:06Z"},
                            Orphan{QStringLiteral("alive"), ::getppid(), "2026-01-02T03:04:07Z"}}) {
      const auto& [owner, pid, time] = o;
      QVERIFY(QFile::copy(mineZip, recovery.filePath(owner + ".zip")));
      QStringList lines = QString::fromUtf8(ReadAll(mineIni)).split(QStringLiteral("\r\n"));
      for (QString& line : lines) {
        if (line.startsWith(QLatin1String("pid "))) line = QStringLiteral("pid = %1").arg(pid);
        if (line.startsWith(QLatin1String("started "))) line = QStringLiteral("started = 0");
        if (line.startsWith(QLatin1String("time "))) line = QStringLiteral("time = ") + QLatin1String(time);
      }
      QFile out(recovery.filePath(owner + ".ini"));
      QVERIFY(out.open(QIODevice::WriteOnly));
      out.write(lines.join(QStringLiteral("\r\n")).toUtf8());
    }
    // The editor dies: no clean exit, its own journal goes with it (a new
    // editor is this same process here, and never offers its own).
    f_.shell.reset();
    QFile::remove(mineZip);
    QFile::remove(mineIni);

    // Oldest first: the first restored, the second discarded.
    dialogs_.restoreAnswers.enqueue(true);
    dialogs_.restoreAnswers.enqueue(false);
    EditorShell& after = f_.Start(QString(), &clock_);
    ::waitpid(zombie, nullptr, 0);
    QCOMPARE(dialogs_.questions.size(), 2);
    QVERIFY(dialogs_.questions[0].startsWith(QStringLiteral("Restore the unsaved changes to Orchard from ")));
    QVERIFY(!recovery.exists(QStringLiteral("zombie.ini")));
    QCOMPARE(SavedBytes(after.document().skin()), expected);
    QVERIFY(Window()->isWindowModified());
    QVERIFY(Window()->windowTitle().startsWith(QStringLiteral("Orchard[*]")));
    QVERIFY(!recovery.exists(QStringLiteral("gone.ini")));
    QVERIFY(recovery.exists(QStringLiteral("alive.ini")));
    // Save writes into the skin's own folder, without asking.
    QVERIFY(after.files().Save());
    QVERIFY(dialogs_.requests.isEmpty());
    QVERIFY(ReadAll(folder + QStringLiteral("/uisettings.ini")).contains("Title=Before the crash\r\n"));
    // Undo goes back to the skin as its folder held it.
    QCOMPARE(after.document().history().count(), 1);
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
