// Nothing lost, nothing written where it does not belong: the recovery
// journal under a process id used again, a live preview, two editors after
// one crash and hostile files; Save over an archive that changed, through
// links out of the skin, over files another program just wrote; names shown
// as they are.
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/recolour_dialog.h"
#include "app/recovery_journal.h"
#include "platform/archive.h"
#include "images/archive_writer.h"
#include "platform/archive.h"
#include "shell_fixture.h"
#include "skin/settings_file.h"
#include "skin_files.h"
#include "when_open.h"
#include "window_parts.h"

namespace {

SkinField Body() { return SkinFieldOf(kGlobalSettingsSection, "formBodyColor"); }
SkinField StartBarY() { return SkinFieldOf(kStartBarSection, "y"); }

// The skin a journal's archive holds, opened over the default skin.
Skin JournalledSkin(const QString& archive) {
  Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector quiet;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{quiet, texts};
  OpenSkinArchive(skin, archive.toStdString(), ctx);
  return skin;
}

// A skin as an archive: `files` as a save encodes them, plus `extra` members.
void WriteArchive(const QString& path, std::vector<SkinFile> files, const std::vector<SkinFile>& extra = {}) {
  files.insert(files.end(), extra.begin(), extra.end());
  const std::string bytes = EncodeSkinArchive(files, "Orchard", {2020, 1, 1, 0, 0, 0});
  WriteAll(path, QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::vector<SkinFile> DefaultFiles() {
  Skin skin;
  ResetSkinToDefaults(skin);
  return EncodeSkinFiles(skin, TypedInfoOf(skin), FixedClock().Now());
}

}  // namespace

class SafetyTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;
  FixedClock clock_;
  WorkFolder work_;

  QString Work(const char* name) const { return work_(name); }
  QDir Recovery() const { return QDir(f_.RecoveryDir()); }
  // The editor dies: its journal stays, as a crash leaves it.
  void Die() { f_.shell.reset(); }
  // An editor that journalled an edit to a skin folder, then died.
  QString CrashWithJournal(const QString& folder, int y = 77) {
    SaveDefault(folder);
    EditorShell& before = f_.Start(folder, &clock_);
    before.document().Apply(SetNumber(StartBarY(), y));
    if (!before.recovery().WriteNow()) qFatal("no journal written");
    const QString manifest = before.recovery().ManifestPath();
    Die();
    return manifest;
  }

 private slots:
  void init() {
    f_.Reset();
    work_.Reset();
  }
  void cleanup() { f_.Reset(); }

  void aProcessIdUsedAgainIsNoLiveEditor() {
    // An editor of this very process id that died (a container's first
    // process, or ids that wrapped): its journal is offered, not deleted.
    CrashWithJournal(Work("Orchard"));
    EditorShell& after = f_.Start(QString(), &clock_);
    QCOMPARE(dialogs_.questions.size(), 1);
    QCOMPARE(after.document().skin().startBar.y, 77);
    // A journal of the earlier form (named by the process id, no lock file)
    // from another start of this process id is offered too.
    after.recovery().WriteNow();
    const QString pid = QString::number(::getpid());
    QVERIFY(QFile::copy(after.recovery().ArchivePath(), Recovery().filePath(pid + ".zip")));
    WriteAll(Recovery().filePath(pid + ".ini"),
             "[journal]\r\npid = " + pid.toLatin1() + "\r\nstarted = 1\r\ntime = 2026-01-02T03:04:05Z\r\n"
             "kind = built-in\r\norigin = \r\nsaveTarget = \r\nlastUpdate = \r\n");
    Die();
    dialogs_.restoreAnswers.enqueue(false);
    dialogs_.restoreAnswers.enqueue(false);
    f_.Start(QString(), &clock_);
    QCOMPARE(dialogs_.questions.size(), 3);
  }

  void aRunningEditorsJournalIsNeitherOfferedNorTouched() {
    // Two editors on one recovery folder (two sandboxes, one process id).
    SaveDefault(Work("Orchard"));
    EditorShell& first = f_.Start(Work("Orchard"), &clock_);
    first.document().Apply(SetNumber(StartBarY(), 55));
    QVERIFY(first.recovery().WriteNow());
    const QByteArray firstManifest = ReadAll(first.recovery().ManifestPath());
    FakeDialogs otherDialogs;
    QTemporaryDir otherSettings;
    EditorShell second(otherDialogs, ShellPaths{otherSettings.filePath(QStringLiteral("settings.ini")),
                                                QStringLiteral(SKIN_SOURCE_DIR "/language"), f_.RecoveryDir()});
    second.Start();
    QVERIFY(otherDialogs.questions.isEmpty());
    second.document().Apply(SetNumber(StartBarY(), 66));
    QVERIFY(second.recovery().WriteNow());
    second.Finish();
    QCOMPARE(ReadAll(first.recovery().ManifestPath()), firstManifest);
    QCOMPARE(JournalledSkin(first.recovery().ArchivePath()).startBar.y, 55);
  }

  void onlyWhatTheHistoryHoldsIsJournalled() {
    EditorShell& shell = f_.Start(QString(), &clock_);
    shell.document().Apply(SetNumber(StartBarY(), 44));
    const Skin committed = shell.document().skin();
    // A recolour and a colour tried in the dialogs, journalled while they
    // show, then cancelled: the journal never holds them.
    int written = 0;
    dialogs_.whileOpen = [&] {
      QVERIFY(SavedBytes(shell.document().skin()) != SavedBytes(committed));  // the preview shows
      QVERIFY(shell.recovery().WriteNow());
      const Skin journalled = JournalledSkin(shell.recovery().ArchivePath());
      QCOMPARE(SavedBytes(journalled), SavedBytes(committed));
      ++written;
    };
    dialogs_.recolourPreviews = {RecolourChoice{{90, 0, 0}, RecolourScope::Everything}};
    shell.commands().Run(QStringLiteral("recolour"));
    dialogs_.colourPreviews = {Rgb24{248, 248, 248}};
    shell.editor().EditColour(Body());
    QCOMPARE(written, 2);
  }

  void twoEditorsNeverOfferOneJournalAndItsTimeIsTheLastEdit() {
    SaveDefault(Work("Orchard"));
    EditorShell& shell = f_.Start(Work("Orchard"), &clock_);
    shell.document().Apply(SetNumber(StartBarY(), 33));
    const QDateTime edited = QDateTime::currentDateTimeUtc();
    QTest::qWait(1100);  // the journal is written in a later second
    QVERIFY(shell.recovery().WriteNow());
    Die();
    SkinDocument a, b;
    RecoveryJournal first(a, f_.RecoveryDir()), second(b, f_.RecoveryDir());
    {
      const std::vector<Journal> offered = first.Orphans();
      QCOMPARE(offered.size(), std::size_t(1));
      QVERIFY(offered[0].time <= edited);
      QVERIFY(offered[0].time.secsTo(edited) < 2);
      // While the first offers it, the second does not.
      QVERIFY(second.Orphans().empty());
    }
    QCOMPARE(second.Orphans().size(), std::size_t(1));
  }

  void aJournalThatCannotBeRestoredIsKept() {
    const QString manifest = CrashWithJournal(Work("Orchard"));
    const QString archive = QFileInfo(manifest).path() + QLatin1Char('/') + QFileInfo(manifest).completeBaseName() + ".zip";
    WriteAll(archive, "damaged");
    WriteAll(Recovery().filePath(QStringLiteral("unreadable.ini")), "[journal]\r\npid = x\r\n");
    f_.Start(QString(), &clock_);
    // Restored first (Enter), it fails: both said, both kept aside, none deleted.
    QCOMPARE(dialogs_.messages.size(), 2);
    const QDir aside(Recovery().filePath(QStringLiteral("not-restored")));
    QCOMPARE(aside.entryList(QDir::Files).size(), 3);
    for (const auto& [title, body] : dialogs_.messages) {
      QVERIFY2(body.contains(QDir::toNativeSeparators(aside.path())), qPrintable(body));
    }
    QVERIFY(dialogs_.messages[0].second.contains(QStringLiteral("unreadable.ini")));
    QVERIFY(dialogs_.messages[1].second.startsWith(QStringLiteral("The unsaved changes to Orchard could not")));
  }

  void aJournalThatCannotBeWrittenIsSaid() {
    QDir().mkpath(QFileInfo(f_.RecoveryDir()).path());
    WriteAll(f_.RecoveryDir(), "a file where the folder goes");
    EditorShell& shell = f_.Start(QString(), &clock_);
    QSignalSpy failing(&shell.recovery(), &RecoveryJournal::failingChanged);
    shell.document().Apply(SetNumber(StartBarY(), 12));
    QVERIFY(failing.wait(3000));
    QCOMPARE(failing.takeFirst().at(0).toBool(), true);
    QVERIFY(StatusText(shell.window())->text().contains(QStringLiteral("not protected")));
    // Once it can be written again, that is said too.
    QFile::remove(f_.RecoveryDir());
    QVERIFY(shell.recovery().WriteNow());
    QCOMPARE(failing.takeFirst().at(0).toBool(), false);
  }

  void aJournalWhoseSkinIsGoneAsksWhereToSave() {
    CrashWithJournal(Work("Orchard"));
    // The folder holds no skin any more: Save must not fill it with one.
    QFile::remove(Work("Orchard") + QStringLiteral("/uisettings.ini"));
    const QStringList before = QDir(Work("Orchard")).entryList(QDir::Files);
    EditorShell& after = f_.Start(QString(), &clock_);
    QCOMPARE(after.document().skin().startBar.y, 77);
    QVERIFY(after.document().origin().saveTarget.empty());
    QVERIFY(!after.files().Save());
    QCOMPARE(dialogs_.requests.size(), 1);
    QCOMPARE(dialogs_.requests[0].kind, QStringLiteral("folder"));
    QCOMPARE(QDir(Work("Orchard")).entryList(QDir::Files), before);
  }

  void filesThatAreNoFilesNeitherHangNorStopTheStart() {
    QDir().mkpath(f_.RecoveryDir());
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), Recovery().filePath(QStringLiteral("zero.ini"))));
    QVERIFY(::mkfifo(Recovery().filePath(QStringLiteral("pipe.ini")).toLocal8Bit().constData(), 0600) == 0);
    QDir().mkpath(QFileInfo(f_.SettingsFile()).path());
    for (const char* name : {"settings.ini", "view.ini", "recent.ini"}) {
      const QString path = QFileInfo(f_.SettingsFile()).dir().filePath(QString::fromLatin1(name));
      QVERIFY(::mkfifo(path.toLocal8Bit().constData(), 0600) == 0);
    }
    f_.Start(QString(), &clock_);  // a start that hangs fails by the test's time-out
    QVERIFY(dialogs_.questions.isEmpty());
    QVERIFY(f_.shell->window()->isVisible());
  }

  void saveIntoAnArchiveLosesNothing() {
    // A picture the editor cannot read (GIF bytes under a BMP name) stays
    // in the archive as it was.
    std::vector<SkinFile> files = DefaultFiles();
    const std::string gif = "GIF89a\1\0\1\0\200\0\0\0\0\0\377\377\377!\371\4\1\0\0\0\0,\0\0\0\0";
    files[1 + std::size_t(ImageId::startbar)].bytes = gif;
    const QString zip = Work("Orchard.zip");
    WriteArchive(zip, files);
    EditorShell& shell = f_.Start(zip, &clock_);
    QCOMPARE(dialogs_.messages.size(), 1);  // the unreadable picture
    shell.document().Apply(SetNumber(StartBarY(), 21));
    QVERIFY(shell.files().Save());
    std::unique_ptr<SkinArchive> saved = SkinArchive::Open(zip.toStdString());
    QVERIFY(saved);
    std::string bytes;
    QCOMPARE(saved->Extract(*saved->Find("Orchard/startbar.bmp"), bytes), ExtractStatus::Ok);
    QCOMPARE(bytes, gif);
    QVERIFY(!f_.shell->window()->isWindowModified());

    // Another program adds a file to the archive while it is open: Save
    // asks for a folder instead of writing the archive without it.
    WriteArchive(zip, files, {{"README.txt", "notes", std::nullopt, false}});
    const QByteArray withReadme = ReadAll(zip);
    shell.document().Apply(SetNumber(StartBarY(), 22));
    const std::string lastUpdate = shell.document().skin().info.LastUpdate;
    QVERIFY(!shell.files().Save());
    QCOMPARE(dialogs_.questions.size(), 0);
    QCOMPARE(shell.document().skin().info.LastUpdate, lastUpdate);
    QCOMPARE(dialogs_.requests.last().kind, QStringLiteral("folder"));
    QCOMPARE(ReadAll(zip), withReadme);
    QVERIFY(f_.shell->window()->isWindowModified());
  }

  void linksOutOfTheSkinAreWrittenOnlyWhenAgreed() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    const QString outside = Work("dotfile");
    WriteAll(outside, "the user's own file\n");
    QFile::remove(folder + QStringLiteral("/uisettings.ini"));
    QFile::copy(Work("Orchard/lamp.bmp"), Work("lamp-copy"));
    QVERIFY(QFile::link(QStringLiteral("../dotfile"), folder + QStringLiteral("/uisettings.ini")));
    EditorShell& shell = f_.Start(folder, &clock_);
    shell.document().Apply(SetNumber(StartBarY(), 19));
    const std::string lastUpdate = shell.document().skin().info.LastUpdate;
    QVERIFY(!shell.files().Save());  // asked, and cancelled
    QCOMPARE(dialogs_.questions.size(), 1);
    QCOMPARE(shell.document().skin().info.LastUpdate, lastUpdate);
    QVERIFY(dialogs_.questions[0].contains(QStringLiteral("uisettings.ini")));
    QVERIFY(dialogs_.proceedDetails[0].contains(QFileInfo(outside).canonicalFilePath()));
    QCOMPARE(ReadAll(outside), QByteArray("the user's own file\n"));
    QCOMPARE(ReadAll(Work("Orchard/lamp.bmp")), ReadAll(Work("lamp-copy")));
    QVERIFY(shell.window()->isWindowModified());
    dialogs_.proceedAnswers.enqueue(true);
    QVERIFY(shell.files().Save());
    QVERIFY(ReadAll(outside).contains("[start bar]"));
    QVERIFY(QFileInfo(folder + QStringLiteral("/uisettings.ini")).isSymLink());
  }

  void filesChangedJustBeforeSaveAreNotOverwrittenUnasked() {
    const QString folder = Work("Orchard");
    SaveDefault(folder);
    EditorShell& shell = f_.Start(folder, &clock_);
    shell.document().Apply(SetNumber(StartBarY(), 18));
    // A paint program writes lamp.bmp a moment before Ctrl+S.
    const QByteArray theirs = ReadAll(folder + QStringLiteral("/btn.bmp"));
    WriteAll(folder + QStringLiteral("/lamp.bmp"), theirs);
    QVERIFY(!shell.files().Save());
    QCOMPARE(dialogs_.questions.size(), 1);
    QVERIFY(dialogs_.questions[0].contains(QStringLiteral("lamp.bmp")));
    QCOMPARE(ReadAll(folder + QStringLiteral("/lamp.bmp")), theirs);
    dialogs_.proceedAnswers.enqueue(true);
    QVERIFY(shell.files().Save());
    QVERIFY(ReadAll(folder + QStringLiteral("/lamp.bmp")) != theirs);
    // What the editor wrote itself is no change by another program.
    shell.document().Apply(SetNumber(StartBarY(), 17));
    QVERIFY(shell.files().Save());
    QCOMPARE(dialogs_.questions.size(), 2);
  }

  void namesAreNeverMarkup() {
    f_.Start(QString(), &clock_);
    const QString name = QStringLiteral("<font size=7 color=red>FAKE: all files deleted<br><img width=30000 height=30000>");
    bool seen = false;
    WhenOpen<QMessageBox>(f_.shell->window(), "the message box", [&](QMessageBox* box) {
      QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      QVERIFY(label);
      QCOMPARE(label->textFormat(), Qt::PlainText);
      QVERIFY(label->text().contains(QStringLiteral("<br>")));
      QVERIFY(box->sizeHint().height() < 2000);
      seen = true;
      box->done(QMessageBox::Ok);
    });
    QtDialogs().ShowMessage(f_.shell->window(), QStringLiteral("Error"), name + QStringLiteral(" : File not found"));
    QVERIFY(seen);
    f_.shell->window()->ShowStatus(name);
    QCOMPARE(StatusText(f_.shell->window())->textFormat(), Qt::PlainText);
    QVERIFY(StatusText(f_.shell->window())->sizeHint().height() < 100);
  }
};

QTEST_MAIN(SafetyTest)
#include "safety_test.moc"
