#include "app/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/file_commands.h"
#include "app/live_reload.h"
#include "app/main_window.h"
#include "app/panel_tables.h"
#include "app/qt_text.h"
#include "app/recent_skins.h"
#include "app/recolour_dialog.h"
#include "app/recovery.h"
#include "app/skin_checker.h"
#include "images/colour_work.h"
#include "check/skin_source.h"
#include "images/defaults.h"
#include "skin/ascii.h"

namespace {

// The preview screen whose controls include the one for the subject, or -1.
int ControlScreen(const ProblemSubject& s) {
  for (const ImageControl& c : ImageControls()) {
    if (s.image == c.image) return c.screen;
  }
  if (s.kind != ProblemSubject::Kind::Field && s.kind != ProblemSubject::Kind::Section) return -1;
  for (const ColourControl& c : ColourControls()) {
    if (s.section == kGlobalSettingsSection && s.key == c.name) return c.screen;
  }
  for (const ElementControl& c : ElementControls()) {
    if (EqualsIgnoringAsciiCase(s.section, c.section)) return c.screen;
  }
  return -1;
}

}  // namespace

EditorShell::EditorShell(Dialogs& dialogs, ShellPaths paths)
    : dialogs_(dialogs), paths_(std::move(paths)), context_{dialogs_, texts_, settings_, &systemClock_, {}, {}, {}} {
  const ShellPaths found = FindShellPaths();
  if (paths_.settingsFile.isEmpty()) paths_.settingsFile = found.settingsFile;
  if (paths_.languageDir.isEmpty()) paths_.languageDir = found.languageDir;
  if (paths_.recoveryDir.isEmpty()) paths_.recoveryDir = found.recoveryDir;
  context_.status = [this](const QString& text) {
    if (window_) window_->ShowStatus(text);
  };
  context_.progress = [this](int value) {
    if (window_) window_->ShowProgress(value);
  };
  files_ = std::make_unique<FileCommands>(document_, view_, context_, paths_.RecentFile());
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
  files_.reset();
}

MainWindow* EditorShell::window() const { return window_; }
const QStringList& EditorShell::recentSkins() const { return files_->recentSkins(); }

void EditorShell::Start(const QString& skin) {
  settings_ = ReadAppSettings(paths_.settingsFile);
  texts_.Load(settings_.language, paths_.languageDir);
  view_.SetBackground(UnpackRgb24(std::uint32_t(settings_.bgColor)));
  // The view's own choices, in a file of their own: settings.ini keeps its four keys.
  viewPrefs_ = ReadViewPrefs(paths_.ViewFile());
  view_.SetWholeZoom(viewPrefs_.wholeZoom);
  connect(&view_, &ViewState::wholeZoomChanged, this, [this](bool on) {
    viewPrefs_.wholeZoom = on;
    WriteViewPrefs(viewPrefs_, paths_.ViewFile());
  });
  Skin fresh;
  ResetSkinToDefaults(fresh);
  DiskSkin disk;
  disk.skin = fresh;
  document_.Replace(std::move(fresh), SkinOrigin{}, std::move(disk));
  BuildWindow(nullptr);
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
  auto* w = new MainWindow(texts_, settings_, document_, view_);
  connect(w, &MainWindow::newRequested, files_.get(), &FileCommands::NewSkin);
  connect(w, &MainWindow::openFolderRequested, files_.get(), &FileCommands::OpenFolder);
  connect(w, &MainWindow::openArchiveRequested, files_.get(), &FileCommands::OpenArchive);
  connect(w, &MainWindow::openRecentRequested, files_.get(), &FileCommands::OpenSkin);
  connect(w, &MainWindow::skinDropped, files_.get(), &FileCommands::OpenSkin);
  connect(w, &MainWindow::saveRequested, files_.get(), [this] { files_->Save(); });
  connect(w, &MainWindow::saveAsRequested, files_.get(), [this] { files_->SaveAs(); });
  connect(w, &MainWindow::saveArchiveRequested, files_.get(), [this] { files_->SaveToArchive(); });
  connect(w, &MainWindow::importFolderRequested, files_.get(), &FileCommands::ImportPictureFolder);
  connect(w, &MainWindow::screenshotFileRequested, files_.get(), &FileCommands::SaveScreenshot);
  connect(w, &MainWindow::screenshotClipboardRequested, files_.get(), &FileCommands::CopyScreenshot);
  connect(w, &MainWindow::compareFolderRequested, files_.get(), &FileCommands::CompareWithFolder);
  connect(w, &MainWindow::compareArchiveRequested, files_.get(), &FileCommands::CompareWithArchive);
  connect(w, &MainWindow::overviewShownByUser, this, [this](bool shown) {
    viewPrefs_.overviewShown = shown;
    WriteViewPrefs(viewPrefs_, paths_.ViewFile());
  });
  connect(w, &MainWindow::overviewWholeChosen, this, [this](bool whole) {
    viewPrefs_.overviewWhole = whole;
    WriteViewPrefs(viewPrefs_, paths_.ViewFile());
  });
  connect(w, &MainWindow::importRequested, files_.get(), &FileCommands::ImportImage);
  connect(w, &MainWindow::importFileRequested, files_.get(), &FileCommands::ImportImageFile);
  connect(w, &MainWindow::quitRequested, this, &EditorShell::RequestQuit);
  connect(w, &MainWindow::languageRequested, this, &EditorShell::ChangeLanguage);
  connect(w, &MainWindow::backgroundColourRequested, this, &EditorShell::EditBackgroundColour);
  connect(w, &MainWindow::swapViewRequested, this, &EditorShell::ToggleSwapView);
  connect(w, &MainWindow::aboutRequested, this, &EditorShell::ShowAbout);
  connect(w, &MainWindow::editColourRequested, this, &EditorShell::EditColour);
  connect(w, &MainWindow::problemActivated, this, &EditorShell::ShowProblem);
  connect(w, &MainWindow::problemsShownByUser, this, [this](bool shown) { problemsShown_ = shown; });
  connect(w, &MainWindow::paletteShownByUser, this, [this](bool shown) { paletteShown_ = shown; });
  connect(w, &MainWindow::recolourRequested, this, &EditorShell::Recolour);
  connect(w, &MainWindow::replaceColourRequested, this, &EditorShell::ReplaceColour);
  connect(w, &MainWindow::revealRequested, this, [this](const ProblemSubject& s) { RevealSubject(s); });
  connect(w, &MainWindow::reloadAnswered, reload_.get(), &LiveReload::Answer);
  connect(reload_.get(), &LiveReload::askReload, w, &MainWindow::AskReload);
  connect(reload_.get(), &LiveReload::questionDone, w, &MainWindow::HideReloadQuestion);
  connect(files_.get(), &FileCommands::recentChanged, w, &MainWindow::ShowRecent);
  if (position) w->move(*position);
  MainWindow* old = window_;
  window_ = w;
  context_.window = w;
  w->ShowRecent(files_->recentSkins());
  w->ShowProblemsList(problemsShown_);
  w->ShowPalette(paletteShown_);
  w->ShowOverview(viewPrefs_.overviewShown, viewPrefs_.overviewWhole);
  if (old) {
    old->hide();
    old->deleteLater();
  }
  w->show();
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
  settings_.language = index;
  texts_.Load(index, paths_.languageDir);
  const QPoint position = window_ ? window_->frameGeometry().topLeft() : QPoint();
  BuildWindow(window_ ? &position : nullptr);
  // The new window starts, as the first one did, on the first screen.
  view_.ChooseScreen(0);
  // The list in the new language at once.
  checker_->CheckNow();
}

void EditorShell::EditBackgroundColour() {
  const Rgb24 before = view_.background();
  const Rgb24 chosen = dialogs_.EditColour(window_, before, texts_, QString(),
                                           [this](Rgb24 shown) { view_.SetBackground(shown); });
  settings_.bgColor = static_cast<std::int32_t>(PackRgb24(chosen));
  view_.SetBackground(chosen);
}

void EditorShell::ToggleSwapView() {
  settings_.swapView = settings_.swapView ? 0 : 1;
  if (window_) window_->ApplySwap(settings_.swapView == 1);
}

void EditorShell::ShowAbout() { dialogs_.ShowAbout(window_, texts_); }

void EditorShell::EditColour(const SkinField& field) {
  const Rgb24 before = std::get<Rgb24>(ReadField(document_.skin(), field));
  // Every colour tried shows on the preview at once; only OK makes a step.
  const Rgb24 chosen = dialogs_.EditColour(window_, before, texts_, field.Name(), [&](Rgb24 shown) {
    document_.Preview([&](Skin& skin) { WriteField(skin, field, shown); });
  });
  document_.EndPreview();
  document_.SetColour(field, chosen);
}

void EditorShell::ShowProblem(int index) {
  const std::vector<Problem>& problems = document_.problems();
  if (index < 0 || index >= static_cast<int>(problems.size()) || !window_) return;
  const Problem p = problems[std::size_t(index)];
  // The screen that shows the problem, else the one whose controls can mend it.
  RevealSubject(p.about, p.screen);
  if (p.line) window_->ShowStatus(texts_.Text("LANG_STATUS_PROBLEM_LINE$").arg(*p.line));
}

void EditorShell::RevealSubject(const ProblemSubject& subject, std::optional<int> screen) {
  if (!window_) return;
  const int shown = screen ? *screen : ControlScreen(subject);
  if (shown >= 0) view_.ChooseScreen(shown);
  window_->RevealSubject(subject);
}

void EditorShell::Recolour() {
  const std::optional<RecolourChoice> chosen =
      dialogs_.Recolour(window_, texts_, [this](const RecolourChoice& c) {
        document_.Preview([&](Skin& skin) { RecolourSkin(skin, c.shift, c.scope); }, c.scope != RecolourScope::Fields);
      });
  document_.EndPreview();
  if (!chosen) return;
  Skin recoloured = document_.skin();
  if (RecolourSkin(recoloured, chosen->shift, chosen->scope)) {
    document_.Apply(EditTowards(document_.skin(), recoloured, texts_.Text("LANG_STEP_RECOLOR$")));
  }
}

void EditorShell::ReplaceColour(Rgb15 colour) {
  const Rgb24 before = Rgb15ToRgb24(colour);
  const Rgb24 chosen = dialogs_.EditColour(window_, before, texts_, QString::fromStdString(FormatSkinColour(before)),
                                           [&](Rgb24 shown) {
                                             document_.Preview(
                                                 [&](Skin& skin) { ReplaceColours(skin, {{colour, Rgb24ToRgb15(shown)}}); },
                                                 true);
                                           });
  document_.EndPreview();
  Skin replaced = document_.skin();
  if (ReplaceColours(replaced, {{colour, Rgb24ToRgb15(chosen)}})) {
    document_.Apply(EditTowards(document_.skin(), replaced,
                                texts_.Text("LANG_STEP_REPLACE_COLOR$")
                                    .arg(QString::fromStdString(FormatSkinColour(before)),
                                         QString::fromStdString(FormatSkinColour(chosen)))));
  }
}

namespace {

// Whether the folder or archive a journal names still holds a skin of its
// kind: only then is the journal restored over it, and Save writes there.
bool StillASkin(const SkinOrigin& origin) {
  if (origin.path.isEmpty()) return false;
  const QFileInfo info(origin.path);
  const bool kindFits = origin.kind == SkinOrigin::Kind::Folder ? info.isDir() : info.isFile();
  return kindFits && ReadSkinSource(Local(origin.path)).settingsFound;
}

}  // namespace

void EditorShell::OfferRecovery() {
  for (const Journal& journal : recovery_->Orphans()) {
    const QString name = journal.origin.path.isEmpty() ? texts_.Text("LANG_SKIN_NEW$") : SkinNameOf(journal.origin.path);
    if (journal.damaged) {
      KeepUnrestored(journal, QFileInfo(journal.manifest).fileName());
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
  const QString where = QDir::toNativeSeparators(kept.isEmpty() ? journal.manifest : kept);
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
  const bool opened = skinThere && files_->LoadSkin(journal.origin.path);
  if (!opened) {
    // Its folder or archive is gone or holds no skin any more: the changes
    // come back over the built-in skin, and Save asks where they go.
    Skin fresh;
    ResetSkinToDefaults(fresh);
    DiskSkin disk;
    disk.skin = fresh;
    document_.Replace(std::move(fresh), SkinOrigin{}, std::move(disk));
    if (!journal.origin.path.isEmpty() && window_) {
      window_->ShowStatus(texts_.Text("LANG_STATUS_RESTORED_ELSEWHERE$").arg(QDir::toNativeSeparators(journal.origin.path)));
    }
  }
  document_.Apply(EditTowards(document_.skin(), *changed, texts_.Text("LANG_STEP_RESTORE$")));
  // Even changes that happen to equal the files are the user's to save.
  document_.MarkUnsaved();
  journal.Remove();
}

void EditorShell::ShowJournalState(bool failing) {
  if (!window_) return;
  window_->ShowStatus(failing ? texts_.Text("LANG_STATUS_JOURNAL_FAILED$").arg(QDir::toNativeSeparators(paths_.recoveryDir))
                              : texts_.Text("LANG_STATUS_JOURNAL_AGAIN$"));
}
