// The designer's workflow in the editor: the Problems list that follows every
// change, live reload of the files of the open skin, importing a folder of
// pictures by their names, and saving the skin as one archive to share.
#include "app/shell_workflow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/panel_tables.h"
#include "app/problems_panel.h"
#include "app/qt_text.h"
#include "app/reload_bar.h"
#include "images/archive_writer.h"
#include "images/file_io.h"
#include "images/import_folder.h"
#include "images/skin_io.h"
#include "skin/settings_file.h"

namespace {

constexpr int kCheckDelayMs = 300;
// Names the status bar lists before it only counts the rest.
constexpr int kNamesShown = 4;
constexpr std::string_view kSettingsFile = "uisettings.ini";

QString Shown(const QString& path) { return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath())); }

// "lamp.bmp, btn.bmp, icon/nds.bmp, close.bmp, +3"
QString NameList(const QStringList& names) {
  QStringList shown = names.mid(0, kNamesShown);
  if (names.size() > kNamesShown) shown << QStringLiteral("+%1").arg(names.size() - kNamesShown);
  return shown.join(QStringLiteral(", "));
}

// What a problem is about: "[section] key", "[section]", or a picture's name.
struct Subject {
  std::string section, key;
  std::optional<ImageId> image;
};

Subject SubjectOf(const std::string& subject) {
  Subject s;
  const std::size_t close = subject.find(']');
  if (subject.starts_with('[') && close != std::string::npos) {
    s.section = subject.substr(0, close + 1);
    if (close + 2 < subject.size()) s.key = subject.substr(close + 2);
  } else {
    s.image = FindImage(subject);
  }
  return s;
}

// The preview screen whose controls include the one for the subject, or -1.
int ControlScreen(const Subject& s) {
  for (const ImageControl& c : ImageControls()) {
    if (s.image == c.image) return c.screen;
  }
  for (const ColourControl& c : ColourControls()) {
    if (s.section == "[global settings]" && s.key == c.name) return c.screen;
  }
  for (const ElementControl& c : ElementControls()) {
    if (s.section == c.section) return c.screen;
  }
  return -1;
}

// What reading changed files again gives: the edit that nothing unsaved
// stands in the way of, the files in it, the files that could not be read,
// and whether any change was held back for the reload bar.
struct ReadAgain {
  SkinEdit now;
  QStringList taken, failed;
  bool held = false;
};

// uisettings.ini, read over the skin as opening reads it. A file gone
// changes nothing, as opening changes nothing without it.
void ReadSettingsAgain(const std::string& folder, const Skin& skin, ShellWorkflow& wf, ReadAgain& read) {
  std::string bytes;
  const std::string path = ResolvePathIgnoringCase(folder, kSettingsFile);
  if (const ReadStatus status = ReadSettingsFile(path, bytes); status != ReadStatus::Ok) {
    // Gone, too large or not a file: the skin keeps its settings, and the
    // Problems list says why.
    const std::string shown = status == ReadStatus::NotFound ? JoinPath(folder, kSettingsFile) : path;
    ReplaceMessages(wf.disk.messages, std::nullopt, {{ReadFailure(status, true), shown, {}}});
    if (status != ReadStatus::NotFound) read.failed << Latin1(kSettingsFile);
    return;
  }
  ReplaceMessages(wf.disk.messages, std::nullopt, {});
  const bool mine = SettingsDiffer(skin, wf.disk.skin);
  ReadSkinSettings(wf.disk.skin, bytes);
  if (mine) {
    wf.pending.settings = std::move(bytes);
    read.held = true;
    return;
  }
  Skin reread = skin;
  ReadSkinSettings(reread, bytes);
  read.now.Absorb(EditTowards(skin, reread, QString()));
  read.taken << Latin1(kSettingsFile);
}

// One picture file. A missing file leaves the picture as opening would. One
// that does not decode may be half written: the user's picture stays, and
// the file is read again at the next change.
void ReadPictureAgain(const std::string& folder, ImageId id, const MessageTexts& texts, const Skin& skin,
                      ShellWorkflow& wf, ReadAgain& read) {
  const CatalogueEntry& e = CatalogueEntryOf(id);
  OperationFeedback feedback(nullptr);
  SkinIoContext ctx{feedback, texts};
  std::optional<Picture> picture =
      ReadSkinImageFile(id, ResolvePathIgnoringCase(folder, e.file), ctx, PixelAllowance(skin, id, ctx.budget));
  ReplaceMessages(wf.disk.messages, id, feedback.messages());
  if (!picture) {
    if (feedback.Count(MessageKind::FileNotFound) == 0) {
      wf.watcher.Retry(id);
      read.failed << Latin1(e.file);
    }
    return;
  }
  const bool mine = !(skin.image(id) == wf.disk.skin.image(id));
  wf.disk.skin.image(id) = *picture;
  if (mine) {
    std::erase_if(wf.pending.pictures, [id](const auto& p) { return p.first == id; });
    wf.pending.pictures.emplace_back(id, std::move(*picture));
    read.held = true;
  } else {
    read.now.Replace(skin, id, std::move(*picture));
    read.taken << Latin1(e.file);
  }
}

}  // namespace

void EditorShell::SetUpWorkflow() {
  workflow_ = std::make_unique<ShellWorkflow>();
  workflow_->checkTimer.setSingleShot(true);
  workflow_->checkTimer.setInterval(kCheckDelayMs);
  connect(&workflow_->checkTimer, &QTimer::timeout, this, &EditorShell::CheckSkinNow);
  connect(&workflow_->watcher, &SkinWatcher::changed, this, &EditorShell::ReloadFromDisk);
}

void EditorShell::ConnectWorkflow(MainWindow* w) {
  connect(w, &MainWindow::importFolderRequested, this, &EditorShell::ImportPictureFolder);
  connect(w, &MainWindow::saveArchiveRequested, this, [this] { SaveToArchive(); });
  connect(w->problemsDock(), &ProblemsDock::problemActivated, this, &EditorShell::ShowProblem);
  connect(w->problemsDock(), &ProblemsDock::shownByUser, this, [this](bool shown) { workflow_->problemsShown = shown; });
  connect(w->reloadBar(), &ReloadBar::answered, this, &EditorShell::AnswerReload);
}

void EditorShell::ShowWorkflow() {
  // A new window (start-up, a language change): the list in its language at once.
  window_->problemsDock()->setVisible(workflow_->problemsShown);
  CheckSkinNow();
  AskAboutPendingReload();
}

SkinWatcher& EditorShell::watcher() { return workflow_->watcher; }
const std::vector<Problem>& EditorShell::problems() const { return workflow_->problems; }

void EditorShell::ScheduleCheck() { workflow_->checkTimer.start(); }

void EditorShell::CheckSkinNow() {
  workflow_->checkTimer.stop();
  workflow_->problems = CheckSkin(*skin_, CheckInputOf(workflow_->disk, *skin_));
  if (window_) window_->problemsDock()->ShowProblems(workflow_->problems);
}

void EditorShell::ShowProblem(int index) {
  if (index < 0 || index >= static_cast<int>(workflow_->problems.size()) || !window_) return;
  const Problem p = workflow_->problems[std::size_t(index)];
  const Subject s = SubjectOf(p.subject);
  // The screen that shows the problem, else the one whose controls can mend it.
  const int screen = p.screen ? *p.screen : ControlScreen(s);
  if (screen >= 0) ChooseScreen(screen);
  EditorPanel* panel = window_->panel();
  if (s.image) {
    panel->RevealImage(*s.image);
  } else if (!s.section.empty()) {
    const std::optional<SkinField> field = FindSkinField(s.section, s.key);
    if (!field || !panel->RevealField(*field)) panel->RevealElement(s.section);
  }
  if (p.line) window_->ShowStatus(texts_.Text("LANG_STATUS_PROBLEM_LINE$").arg(*p.line));
}

void EditorShell::SkinOpened(const QString& path, const std::vector<Message>& messages) {
  ShellWorkflow& wf = *workflow_;
  wf.pending = {};
  if (window_) window_->reloadBar()->hide();
  wf.disk.path = path;
  wf.disk.skin = *skin_;
  wf.disk.source = path.isEmpty() ? SkinSource{} : ReadSkinSource(Local(path));
  wf.disk.messages = messages;
  wf.watcher.Watch(path);
  ScheduleCheck();
}

void EditorShell::SkinSaved(const QString& folder, bool complete) {
  if (complete) {
    SkinOpened(folder, {});
    return;
  }
  // Some files were not written; those that were are ours, not changes on disk.
  if (folder == workflow_->watcher.path()) {
    workflow_->watcher.Resync();
    workflow_->disk.source = ReadSkinSource(Local(folder));
    ScheduleCheck();
  }
}

void EditorShell::ReloadFromDisk(const DiskChanges& changes) {
  if (changes.archive) {
    // An archive is read whole: it is offered, never taken behind the user's back.
    workflow_->pending.archive = true;
    AskAboutPendingReload();
  } else if (!workflow_->watcher.archive()) {
    ReloadFolderFiles(changes);
  }
}

void EditorShell::ReloadFolderFiles(const DiskChanges& changes) {
  ShellWorkflow& wf = *workflow_;
  const std::string folder = Local(wf.disk.path);
  ReadAgain read;
  read.now.name = texts_.Text("LANG_STEP_RELOAD$");
  if (changes.settings) ReadSettingsAgain(folder, *skin_, wf, read);
  const MessageTexts texts = MessageTextsOf(texts_);
  for (const ImageId id : changes.images) ReadPictureAgain(folder, id, texts, *skin_, wf, read);
  wf.disk.source = ReadSkinSource(folder);
  if (!read.taken.isEmpty()) {
    ApplyEdit(std::move(read.now));
    // Read from disk, the skin may now be just what its folder holds.
    if (SameSkin(*skin_, wf.disk.skin)) history_.setClean();
    window_->ShowStatus(texts_.Text("LANG_STATUS_RELOADED$").arg(NameList(read.taken)));
  }
  if (!read.failed.isEmpty()) window_->ShowStatus(texts_.Text("LANG_STATUS_RELOAD_FAILED$").arg(NameList(read.failed)));
  if (read.held) AskAboutPendingReload();
  ScheduleCheck();
}

void EditorShell::AskAboutPendingReload() {
  const ShellWorkflow::Pending& p = workflow_->pending;
  if (!window_ || !p.any()) return;
  if (p.archive) {
    window_->reloadBar()->Ask(texts_.Text("LANG_RELOAD_ASK_ARCHIVE$").arg(QFileInfo(workflow_->disk.path).fileName()));
    return;
  }
  QStringList files;
  if (p.settings) files << Latin1(kSettingsFile);
  for (const auto& [id, picture] : p.pictures) files << Latin1(CatalogueEntryOf(id).file);
  window_->reloadBar()->Ask(texts_.Text("LANG_RELOAD_ASK$").arg(NameList(files)));
}

void EditorShell::AnswerReload(bool reload) {
  ShellWorkflow::Pending p = std::move(workflow_->pending);
  workflow_->pending = {};
  if (window_) window_->reloadBar()->hide();
  // Keeping mine needs nothing more: the files as they are on disk are known,
  // so the changes kept show as unsaved.
  if (!reload || !p.any()) return;
  if (p.archive) {
    ReopenArchive();
    return;
  }
  Skin target = *skin_;
  QStringList files;
  if (p.settings) {
    ReadSkinSettings(target, *p.settings);
    files << Latin1(kSettingsFile);
  }
  for (auto& [id, picture] : p.pictures) {
    target.image(id) = std::move(picture);
    files << Latin1(CatalogueEntryOf(id).file);
  }
  ApplyEdit(EditTowards(*skin_, target, texts_.Text("LANG_STEP_RELOAD$")));
  if (SameSkin(*skin_, workflow_->disk.skin)) history_.setClean();
  window_->ShowStatus(texts_.Text("LANG_STATUS_RELOADED$").arg(NameList(files)));
}

void EditorShell::ReopenArchive() {
  ShellWorkflow& wf = *workflow_;
  const QString path = wf.disk.path;
  // Opened over the skin as it is, like any opening, but as one undo step.
  Skin reopened = *skin_;
  const OperationFeedback feedback =
      RunCoreOperation([&](SkinIoContext& ctx) { OpenSkinArchive(reopened, Local(path), ctx); });
  if (feedback.NothingOpened()) {
    // Perhaps still being written: offered again when it changes.
    wf.watcher.RetryArchive();
    window_->ShowStatus(texts_.Text("LANG_STATUS_RELOAD_FAILED$").arg(QFileInfo(path).fileName()));
    return;
  }
  ApplyEdit(EditTowards(*skin_, reopened, texts_.Text("LANG_STEP_RELOAD$")));
  wf.disk.skin = std::move(reopened);
  wf.disk.source = ReadSkinSource(Local(path));
  wf.disk.messages = feedback.messages();
  history_.setClean();
  window_->ShowStatus(texts_.Text("LANG_STATUS_RELOADED$").arg(QFileInfo(path).fileName()));
  ScheduleCheck();
  ShowMessages(feedback);
}

void EditorShell::ImportPictureFolder() {
  const QString folder = dialogs_.ChooseFolder(window_, texts_.Text("LANG_REQPATH_IMPORT$"), settings_.lastPath);
  if (folder.isEmpty()) return;
  FolderImport import;
  const OperationFeedback feedback =
      RunCoreOperation([&](SkinIoContext& ctx) { import = ReadPictureFolder(Local(folder), ctx, *skin_); });
  if (!import.folderFound) {
    ShowMessages(feedback);
    return;
  }
  QStringList taken;
  std::vector<std::pair<ImageId, Picture>> pictures;
  for (FolderImport::Taken& t : import.pictures) {
    taken << Latin1(CatalogueEntryOf(t.image).name);
    pictures.emplace_back(t.image, std::move(t.picture));
  }
  if (!pictures.empty()) {
    ReplacePictures(std::move(pictures), texts_.Text("LANG_STEP_IMPORT_FOLDER$").arg(QFileInfo(folder).fileName()));
  }
  window_->ShowStatus(texts_.Text("LANG_STATUS_IMPORTED$").arg(taken.size()).arg(Shown(folder)));
  // One box for the whole import: what it took, what it passed over, what
  // it could not read.
  QStringList report{texts_.Text("LANG_IMPORT_TAKEN$").arg(taken.size()).arg(taken.join(QStringLiteral(", ")))};
  QStringList unmatched;
  for (const std::string& path : import.unmatched) unmatched << FromLocal(path);
  if (!unmatched.isEmpty()) report << texts_.Text("LANG_IMPORT_UNMATCHED$").arg(unmatched.join(QStringLiteral(", ")));
  for (const FolderImport::PassedOver& p : import.passedOver) {
    report << texts_.Text("LANG_IMPORT_PASSED$")
                  .arg(FromLocal(p.path),
                       FromLocal(p.taken));
  }
  report += feedback.lines();
  const QString details = report.size() > kSummaryLines ? report.join(QLatin1Char('\n')) : QString();
  if (feedback.lines().isEmpty()) {
    dialogs_.ShowReport(window_, texts_.Text("LANG_IMPORT_RESULT$"), MessageSummary(report, texts_), details);
  } else {
    dialogs_.ShowMessage(window_, texts_.Text("LANG_IMPORT_RESULT$"), MessageSummary(report, texts_), details);
  }
}

bool EditorShell::SaveToArchive() {
  int filter = 0;
  const QString chosen =
      dialogs_.ChooseSaveFile(window_, texts_.Text("LANG_REQFILE_SAVE_ARCHIVE$"),
                              settings_.lastPath + skinName() + QStringLiteral(".zip"),
                              {{QStringLiteral("* (*.zip)"), QStringLiteral("*.zip")}}, filter);
  if (chosen.isEmpty()) return false;
  QString path = chosen;
  if (!path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) path += QStringLiteral(".zip");
  settings_.lastPath = FolderOf(path);
  const OperationFeedback feedback = RunCoreOperation(
      [&](SkinIoContext& ctx) { SaveSkinArchive(*skin_, Local(path), TypedInfoOf(*skin_), *clock_, ctx); });
  window_->ShowSkin(*skin_);  // the new LastUpdate
  const bool written = feedback.Count(MessageKind::NotSaved) + feedback.Count(MessageKind::NotReplacedWhole) == 0;
  if (written) {
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const int files = static_cast<int>(kImageCount) + 1 - feedback.Count(MessageKind::PictureEmpty);
    window_->ShowStatus(texts_.Text("LANG_STATUS_SAVED$").arg(files).arg(QDir::toNativeSeparators(target)));
    AddRecent(target);
    // Written over the archive the skin came from: that is saving the skin,
    // and what the archive holds now is the editor's own.
    if (target == skinPath_ && target == workflow_->watcher.path()) {
      SkinOpened(target, {});
      history_.setClean();
    }
  }
  ShowMessages(feedback);
  return written;
}
