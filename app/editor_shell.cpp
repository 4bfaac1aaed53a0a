#include "app/editor_shell.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/commands/editor_commands.h"
#include "app/commands/file_commands.h"
#include "app/commands/register_commands.h"
#include "app/live_reload.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/recent_skins.h"
#include "app/recovery_journal.h"
#include "app/skin_checker.h"
#include "check/skin_source.h"
#include "edit/document_files.h"
#include "edit/editor_session.h"
#include "images/defaults.h"


EditorShell::EditorShell(Dialogs& dialogs, ShellPaths paths)
    : dialogs_(dialogs), paths_(std::move(paths)), context_{dialogs_, texts_, settings_, &systemClock_, {}, {}, {}} {
  const ShellPaths found = FindShellPaths();
  if (paths_.settingsFile.isEmpty()) paths_.settingsFile = found.settingsFile;
  if (paths_.languageDir.isEmpty()) paths_.languageDir = found.languageDir;
  if (paths_.recoveryDir.isEmpty()) paths_.recoveryDir = found.recoveryDir;
  // Another skin altogether: nothing of the last one stays marked.
  connect(&document_, &SkinDocument::replaced, &view_, &ViewState::ClearMarks);
  context_.status = [this](const QString& text) {
    if (window_) window_->ShowStatus(text);
  };
  context_.progress = [this](int value) {
    if (window_) window_->ShowProgress(value);
  };
  files_ = std::make_unique<FileCommands>(document_, view_, context_, paths_.RecentFile());
  editor_ = std::make_unique<EditorCommands>(document_, view_, context_, [this] { return window(); });
  reload_ = std::make_unique<LiveReload>(document_, context_);
  checker_ = std::make_unique<SkinChecker>(document_);
  recovery_ = std::make_unique<RecoveryJournal>(document_, paths_.recoveryDir);
  connect(recovery_.get(), &RecoveryJournal::failingChanged, this, &EditorShell::ShowJournalState);
}

EditorShell::~EditorShell() {
  // The tools go before the document they follow, the window with them.
  delete window_.data();
  recovery_.reset();
  checker_.reset();
  reload_.reset();
  editor_.reset();
  files_.reset();
}

MainWindow* EditorShell::window() const { return window_; }
const QStringList& EditorShell::recentSkins() const { return files_->recentSkins(); }

void EditorShell::Start(const QString& skin) {
  settings_ = ReadAppSettings(paths_.settingsFile);
  texts_.Load(settings_.language, paths_.languageDir);
  view_.SetBackground(UnpackRgb24(std::uint32_t(settings_.bgColor)));
  // The view's own choices, in a file of their own: settings.ini keeps its four keys.
  choices_.file = paths_.ViewFile();
  choices_.prefs = ReadViewPrefs(choices_.file);
  view_.SetWholeZoom(choices_.prefs.wholeZoom);
  connect(&view_, &ViewState::wholeZoomChanged, this, [this](bool on) {
    choices_.prefs.wholeZoom = on;
    choices_.Save();
  });
  ResetToBuiltInSkin(document_);
  BuildWindow(nullptr);
  if (texts_.index() != settings_.language && LanguageEntryOf(settings_.language)) {
    window_->ShowStatus(LanguageMissing(settings_.language));
  }
  checker_->CheckNow();
  OfferRecovery();
  // The keys go to the window again once the question is answered.
  window_->activateWindow();
  if (!skin.isEmpty()) files_->OpenSkin(skin);
}

void EditorShell::Finish() {
  WriteAppSettings(settings_, paths_.settingsFile);
  // A clean exit: whatever was not saved, the user chose not to save.
  recovery_->Remove();
}

void EditorShell::BuildWindow(const QPoint* position) {
  // The commands in the language of the new window.
  commands_.Clear();
  RegisterCommands(commands_, {texts_, document_, view_, *files_, *editor_, *reload_, [this] { return window(); },
                               [this] { RequestQuit(); }, [this](int index) { ChangeLanguage(index); },
                               [this] { return texts_.index(); }, [this] { ToggleSwapView(); },
                               [this] { return settings_.swapView == 1; }, paths_.languageDir});
  auto* w = new MainWindow(texts_, settings_, document_, view_, commands_, choices_);
  connect(reload_.get(), &LiveReload::askReload, w, &MainWindow::AskReload);
  connect(reload_.get(), &LiveReload::questionDone, w, &MainWindow::HideReloadQuestion);
  connect(files_.get(), &FileCommands::recentChanged, w, &MainWindow::ShowRecent);
  if (position) w->move(*position);
  MainWindow* old = window_;
  window_ = w;
  context_.window = w;
  w->ShowRecent(files_->recentSkins());
  w->ShowProblemsList(choices_.problemsShown);
  w->ShowPalette(choices_.paletteShown);
  w->ShowOverview(choices_.prefs.overviewShown, choices_.prefs.overviewWhole);
  if (old) {
    old->hide();
    old->deleteLater();
  }
  // Maximised as the window was, in this run or at the end of the last.
  if (choices_.prefs.maximised) w->showMaximized();
  else w->show();
  // A question the old window asked is asked by the new one.
  reload_->AskAgain();
}

void EditorShell::RequestQuit() {
  if (quitRequested_ || !files_->MaybeSave()) return;
  quitRequested_ = true;
  if (window_) window_->AllowClose();
  emit quit();
}

void EditorShell::ChangeLanguage(int index) {
  // A language whose file is not there changes nothing, and says so.
  if (const LanguageEntry* e = LanguageEntryOf(index); e && e->file) {
    const QString file = LanguageFilePath(*e, paths_.languageDir);
    if (!QFileInfo(file).isFile()) {
      if (window_) window_->ShowStatus(LanguageMissing(index));
      return;
    }
  }
  settings_.language = index;
  texts_.Load(index, paths_.languageDir);
  const QPoint position = window_ ? window_->frameGeometry().topLeft() : QPoint();
  BuildWindow(window_ ? &position : nullptr);
  // The new window starts, as the first one did, on the first screen.
  view_.ChooseScreen(ScreenAfter(ScreenCause::LanguageChanged));
  // The list in the new language at once.
  checker_->CheckNow();
}

QString EditorShell::LanguageMissing(int index) const {
  const LanguageEntry* e = LanguageEntryOf(index);
  return texts_.Text("LANG_STATUS_LANGUAGE_MISSING$").arg(QString::fromLatin1(e && e->file ? e->file : ""), paths_.languageDir);
}


void EditorShell::ToggleSwapView() {
  settings_.swapView = settings_.swapView ? 0 : 1;
  if (window_) window_->ApplySwap(settings_.swapView == 1);
}







namespace {

// Whether the folder or archive a journal names still holds a skin of its
// kind: only then is the journal restored over it, and Save writes there.
bool StillASkin(const SkinOrigin& origin) {
  if (origin.path.empty()) return false;
  const QFileInfo info(FromLocal(origin.path));
  const bool kindFits = origin.kind == SkinOrigin::Kind::Folder ? info.isDir() : info.isFile();
  return kindFits && ReadSkinSource(origin.path).settingsFound;
}

}  // namespace

void EditorShell::OfferRecovery() {
  for (const Journal& journal : recovery_->Orphans()) {
    const QString name =
        journal.origin.path.empty() ? texts_.Text("LANG_SKIN_NEW$") : SkinNameOf(FromLocal(journal.origin.path));
    if (journal.damaged) {
      KeepUnrestored(journal, QFileInfo(journal.manifestFile).fileName());
      continue;
    }
    const QString time = QLocale().toString(journal.time.toLocalTime(), QLocale::ShortFormat);
    if (!dialogs_.AskRestore(window_, texts_.Text("LANG_RESTORE_ASK$").arg(name, time), texts_)) {
      journal.Remove();
      continue;
    }
    // The unsaved changes restored before are saved or let go first; kept,
    // the rest waits for the next start.
    if (!files_->MaybeSave()) return;
    Restore(journal, name);
  }
}

void EditorShell::KeepUnrestored(const Journal& journal, const QString& name) {
  // Never deleted unread: moved aside, where the user can still get at it.
  const QString kept = journal.MoveAside(recovery_->DamagedFolder());
  const QString where = QDir::toNativeSeparators(kept.isEmpty() ? journal.manifestFile : kept);
  dialogs_.ShowMessage(window_, texts_.Text("LANG_ERROR$"), texts_.Text("LANG_RESTORE_FAILED$").arg(name, where));
}

void EditorShell::Restore(const Journal& journal, const QString& name) {
  std::optional<Skin> changed = journal.Read();
  if (!changed) {
    KeepUnrestored(journal, name);
    return;
  }
  // The skin as its origin holds it now, then the changes as one step.
  const bool skinThere = StillASkin(journal.origin);
  const bool opened = skinThere && files_->LoadSkin(FromLocal(journal.origin.path));
  if (!opened) {
    // Its folder or archive is gone or holds no skin any more: the changes
    // come back over the built-in skin, and Save asks where they go.
    ResetToBuiltInSkin(document_);
    if (!journal.origin.path.empty() && window_) {
      window_->ShowStatus(
          texts_.Text("LANG_STATUS_RESTORED_ELSEWHERE$").arg(QDir::toNativeSeparators(FromLocal(journal.origin.path))));
    }
  }
  document_.Apply(BecomeSkin::Restore(std::move(*changed)));
  // Even changes that happen to equal the files are the user's to save.
  document_.MarkUnsaved();
  journal.Remove();
}

void EditorShell::ShowJournalState(bool failing) {
  if (!window_) return;
  window_->ShowStatus(failing ? texts_.Text("LANG_STATUS_JOURNAL_FAILED$").arg(QDir::toNativeSeparators(paths_.recoveryDir))
                              : texts_.Text("LANG_STATUS_JOURNAL_AGAIN$"));
}
