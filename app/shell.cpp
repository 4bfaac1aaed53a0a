#include "app/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "app/app_texts.h"
#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/operation_feedback.h"
#include "app/preview_interaction.h"
#include "app/qt_picture.h"
#include "app/qt_text.h"
#include "app/recent_skins.h"
#include "app/shell_workflow.h"
#include "images/defaults.h"
#include "images/screenshot.h"
#include "images/skin_io.h"
#include "preview/render.h"
#include "preview/trace.h"

namespace {

// A folder or archive as the recent list and the title know it: absolute,
// without a trailing separator.
QString CleanPath(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

EditorShell::EditorShell(Dialogs& dialogs, ShellPaths paths)
    : dialogs_(dialogs),
      paths_(std::move(paths)),
      skin_(std::make_unique<Skin>()),
      preview_(std::make_unique<PreviewInteraction>(*this)) {
  const ShellPaths found = paths_.settingsFile.isEmpty() || paths_.languageDir.isEmpty() ? FindShellPaths() : ShellPaths{};
  if (paths_.settingsFile.isEmpty()) paths_.settingsFile = found.settingsFile;
  if (paths_.languageDir.isEmpty()) paths_.languageDir = found.languageDir;
  connect(&history_, &QUndoStack::cleanChanged, this, &EditorShell::UpdateTitle);
  SetUpWorkflow();
}

EditorShell::~EditorShell() {
  // The history outlives the window; what it says while it goes is not shown.
  history_.disconnect();
  delete window_.data();
}

void EditorShell::Start(const QString& skin) {
  settings_ = ReadAppSettings(paths_.settingsFile);
  texts_.Load(settings_.language, paths_.languageDir);
  recent_ = ReadRecentSkins(paths_.RecentFile());
  recentRead_ = recent_;
  BuildWindow(nullptr);
  ResetSkinToDefaults(*skin_);
  ShowAll();
  if (!skin.isEmpty()) LoadSkin(skin);
}

void EditorShell::Finish() {
  WriteAppSettings(settings_, paths_.settingsFile);
  if (recent_ != recentRead_) WriteRecentSkins(recent_, paths_.RecentFile());
}

void EditorShell::BuildWindow(const QPoint* position) {
  auto* w = new MainWindow(texts_, settings_, history_);
  connect(w, &MainWindow::newRequested, this, &EditorShell::NewSkin);
  connect(w, &MainWindow::openFolderRequested, this, &EditorShell::OpenFolder);
  connect(w, &MainWindow::openArchiveRequested, this, &EditorShell::OpenArchive);
  connect(w, &MainWindow::openRecentRequested, this, &EditorShell::OpenSkin);
  connect(w, &MainWindow::skinDropped, this, &EditorShell::OpenSkin);
  connect(w, &MainWindow::saveRequested, this, [this] { Save(); });
  connect(w, &MainWindow::saveAsRequested, this, [this] { SaveAs(); });
  connect(w, &MainWindow::screenshotFileRequested, this, &EditorShell::SaveScreenshot);
  connect(w, &MainWindow::screenshotClipboardRequested, this, &EditorShell::CopyScreenshot);
  connect(w, &MainWindow::quitRequested, this, &EditorShell::RequestQuit);
  connect(w, &MainWindow::languageRequested, this, &EditorShell::ChangeLanguage);
  connect(w, &MainWindow::backgroundColourRequested, this, &EditorShell::EditBackgroundColour);
  connect(w, &MainWindow::swapViewRequested, this, &EditorShell::ToggleSwapView);
  connect(w, &MainWindow::screenRequested, this, &EditorShell::ChooseScreen);
  connect(w, &MainWindow::screenStepRequested, this, &EditorShell::StepScreen);
  connect(w, &MainWindow::zoomStepRequested, this, &EditorShell::StepZoom);
  connect(w, &MainWindow::zoomResetRequested, this, &EditorShell::ResetZoom);
  connect(w, &MainWindow::wheelTurned, this, &EditorShell::Wheel);
  connect(w, &MainWindow::aboutRequested, this, &EditorShell::ShowAbout);
  connect(w, &MainWindow::resized, this, &EditorShell::RedrawPreview);
  const EditorPanel* panel = w->panel();
  connect(panel, &EditorPanel::colourClicked, this, &EditorShell::EditColour);
  connect(panel, &EditorPanel::imageClicked, this, &EditorShell::ImportImage);
  connect(panel, &EditorPanel::imageFileDropped, this, &EditorShell::ImportImageFile);
  connect(panel, &EditorPanel::numberEdited, this, &EditorShell::EditNumber);
  connect(panel, &EditorPanel::flagToggled, this, &EditorShell::EditFlag);
  connect(panel, &EditorPanel::textEdited, this, &EditorShell::EditText);
  preview_->Attach(w);
  ConnectWorkflow(w);
  if (position) w->move(*position);
  MainWindow* old = window_;
  window_ = w;
  currentScreen_ = 0;
  if (old) {
    old->hide();
    old->deleteLater();
  }
  w->show();
}

void EditorShell::ShowAll() {
  window_->ShowSkin(*skin_);
  window_->ShowScreen(currentScreen_);
  window_->ShowZoom(zoom_);
  window_->ShowRecent(recent_);
  UpdateTitle();
  RedrawPreview();
  ShowWorkflow();
}

QString EditorShell::skinName() const {
  return skinPath_.isEmpty() ? texts_.Text("LANG_SKIN_NEW$") : SkinNameOf(skinPath_);
}

void EditorShell::UpdateTitle() {
  if (window_) window_->ShowTitle(skinName(), !history_.isClean());
}

void EditorShell::RedrawPreview() {
  if (!window_) return;
  // The trace of this redraw answers "what is here?" until the next one.
  TraceMap trace;
  window_->ShowPreview(RenderPreview(*skin_, currentScreen_, zoom_, UnpackRgb24(std::uint32_t(settings_.bgColor)), &trace));
  preview_->Redrawn(std::move(trace));
}

void EditorShell::SkinChanged() {
  if (window_) window_->ShowSkin(*skin_);
  RedrawPreview();
  ScheduleCheck();
}

void EditorShell::ChooseScreen(int screen) {
  if (screen < 0 || screen >= 14 || !window_) return;
  currentScreen_ = screen;
  window_->ShowScreen(screen);
  RedrawPreview();
}

void EditorShell::StepScreen(int step) { ChooseScreen(std::clamp(currentScreen_ + step, 0, 13)); }

OperationFeedback EditorShell::RunCoreOperation(const std::function<void(SkinIoContext&)>& operation) {
  OperationFeedback feedback([this](int value) {
    if (window_) window_->ShowProgress(value);
  });
  const MessageTexts messages = MessageTextsOf(texts_);
  SkinIoContext ctx{feedback, messages};
  operation(ctx);
  return feedback;
}

void EditorShell::ShowMessages(const OperationFeedback& feedback) {
  const QStringList& lines = feedback.lines();
  if (lines.isEmpty()) return;
  // One message box for the whole operation, however many files failed.
  dialogs_.ShowMessage(window_, texts_.Text("LANG_ERROR$"), MessageSummary(lines, texts_),
                       lines.size() > kSummaryLines ? lines.join(QLatin1Char('\n')) : QString());
}

bool EditorShell::MaybeSave() {
  if (history_.isClean()) return true;
  switch (dialogs_.AskSaveChanges(window_, texts_.Text("LANG_ASK_SAVE$").arg(skinName()), texts_)) {
    case UnsavedChoice::Save: return Save();
    case UnsavedChoice::Discard: return true;
    case UnsavedChoice::Cancel: break;
  }
  return false;
}

void EditorShell::NewSkin() {
  if (!MaybeSave()) return;
  ResetSkinToDefaults(*skin_);
  history_.clear();
  skinPath_.clear();
  saveFolder_.clear();
  SkinOpened(QString(), {});
  window_->ShowSkin(*skin_);
  ChooseScreen(0);
  UpdateTitle();
}

void EditorShell::OpenFolder() {
  if (!MaybeSave()) return;
  const QString folder = dialogs_.ChooseFolder(window_, texts_.Text("LANG_REQPATH_LOAD$"), settings_.lastPath);
  if (!folder.isEmpty()) LoadSkin(folder);
}

void EditorShell::OpenArchive() {
  if (!MaybeSave()) return;
  // Proposes "*.zip" without a folder: this chooser does not start at LastPath.
  const QString file = dialogs_.ChooseOpenFile(window_, texts_.Text("LANG_REQFILE_LOAD$"), QStringLiteral("*.zip"),
                                               {{QStringLiteral("* (*.zip)"), QStringLiteral("*.zip")}}, 0);
  if (!file.isEmpty()) LoadSkin(file);
}

void EditorShell::OpenSkin(const QString& path) {
  if (MaybeSave()) LoadSkin(path);
}

void EditorShell::LoadSkin(const QString& path) {
  const bool archive = IsSkinArchive(path);
  settings_.lastPath = archive ? FolderOf(path) : WithSeparator(path);
  const OperationFeedback feedback = RunCoreOperation([&](SkinIoContext& ctx) {
    if (archive) OpenSkinArchive(*skin_, Local(path), ctx);
    else OpenSkinFolder(*skin_, Local(path), ctx);
  });
  // Without a readable settings file nothing was read, and the skin being
  // edited stays what it was, history and all.
  if (!feedback.NothingOpened()) {
    history_.clear();
    skinPath_ = CleanPath(path);
    saveFolder_.clear();
    AddRecent(skinPath_);
    window_->ShowStatus(texts_.Text("LANG_STATUS_OPENED$").arg(QDir::toNativeSeparators(skinPath_)));
    SkinOpened(skinPath_, feedback.messages());
  }
  window_->ShowSkin(*skin_);
  ChooseScreen(0);
  UpdateTitle();
  ShowMessages(feedback);
}

void EditorShell::AddRecent(const QString& path) {
  recent_ = WithRecentSkin(recent_, path);
  if (window_) window_->ShowRecent(recent_);
}

bool EditorShell::Save() { return saveFolder_.isEmpty() ? SaveAs() : SaveInto(saveFolder_); }

bool EditorShell::SaveAs() {
  const QString folder = dialogs_.ChooseFolder(window_, texts_.Text("LANG_REQPATH_SAVE$"), settings_.lastPath);
  if (folder.isEmpty()) return false;
  settings_.lastPath = WithSeparator(folder);
  return SaveInto(folder);
}

bool EditorShell::SaveInto(const QString& folder) {
  const OperationFeedback feedback = RunCoreOperation([&](SkinIoContext& ctx) {
    // The information texts are part of the skin as they are typed.
    SaveSkinFolder(*skin_, Local(folder), TypedInfoOf(*skin_), *clock_, ctx);
  });
  // A picture that is empty (its file could not be read) has nothing to
  // write; any other file that was not written leaves the changes unsaved.
  const int skipped = feedback.Count(MessageKind::PictureEmpty), failed = feedback.Count(MessageKind::NotSaved);
  const QString target = CleanPath(folder);
  const int written = static_cast<int>(kImageCount) + 1 - skipped - failed;
  window_->ShowStatus(texts_.Text("LANG_STATUS_SAVED$").arg(written).arg(QDir::toNativeSeparators(target)));
  window_->ShowSkin(*skin_);  // the new LastUpdate
  SkinSaved(target, failed == 0);
  if (failed == 0) {
    saveFolder_ = target;
    skinPath_ = target;
    AddRecent(target);
    history_.setClean();
    UpdateTitle();
  }
  ShowMessages(feedback);
  return failed == 0;
}

void EditorShell::SaveScreenshot() {
  const Picture shot = ComposeScreenshot(*skin_);
  int filter = 0;
  const QString chosen = dialogs_.ChooseSaveFile(window_, texts_.Text("LANG_REQFILE_SAVE$"), settings_.lastPath,
                                                 {{QStringLiteral("Portable Network Graphic (*.png)"), QStringLiteral("*.png")},
                                                  {QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp")},
                                                  {QStringLiteral("JPEG (*.jpg)"), QStringLiteral("*.jpg")}},
                                                 filter);
  if (chosen.isEmpty()) return;
  settings_.lastPath = FolderOf(chosen);
  const ScreenshotFormat format = filter == 1   ? ScreenshotFormat::Bmp
                                  : filter == 2 ? ScreenshotFormat::Jpeg
                                                : ScreenshotFormat::Png;
  const std::optional<std::string> target = ScreenshotFileName(chosen.toStdString(), format);
  if (!target) {
    dialogs_.ShowMessage(window_, texts_.Text("LANG_ERROR$"), chosen + QStringLiteral(": ") + ScreenshotNotWrittenText());
    return;
  }
  const QString path = QString::fromStdString(*target);
  if (!WriteScreenshotFile(shot, format, Local(path))) {
    dialogs_.ShowMessage(window_, texts_.Text("LANG_ERROR$"), path + QStringLiteral(": ") + texts_.Text("LANG_FILE_NOTSAVE$"));
  }
}

void EditorShell::CopyScreenshot() { dialogs_.CopyToClipboard(ToQImage(ComposeScreenshot(*skin_))); }

void EditorShell::RequestQuit() {
  if (quitRequested_ || !MaybeSave()) return;
  quitRequested_ = true;
  if (window_) window_->AllowClose();
  emit quit();
}

void EditorShell::ChangeLanguage(int index) {
  settings_.language = index;
  texts_.Load(index, paths_.languageDir);
  const QPoint position = window_ ? window_->frameGeometry().topLeft() : QPoint();
  BuildWindow(window_ ? &position : nullptr);
  ShowAll();
}

void EditorShell::EditBackgroundColour() {
  const Rgb24 chosen = dialogs_.EditColour(window_, UnpackRgb24(std::uint32_t(settings_.bgColor)), texts_);
  settings_.bgColor = static_cast<std::int32_t>(PackRgb24(chosen));
  RedrawPreview();
}

void EditorShell::ToggleSwapView() {
  settings_.swapView = settings_.swapView ? 0 : 1;
  window_->ApplySwap(settings_.swapView == 1);
  RedrawPreview();
}

void EditorShell::ShowAbout() { dialogs_.ShowAbout(window_, texts_); }

void EditorShell::ApplyEdit(SkinEdit edit) {
  if (edit.Unchanged()) return;
  history_.push(new SkinEditCommand(*skin_, std::move(edit), [this](const SkinEdit&) { SkinChanged(); }));
  SkinEditCommand::KeepWithin(history_, undoBudget_);
}

void EditorShell::EditNumber(const SkinField& field, int value) {
  SkinEdit edit;
  edit.name = field.Name();
  edit.mergeKey = QStringLiteral("number ") + edit.name;
  ApplyEdit(std::move(edit.Set(*skin_, field, std::int32_t(value))));
}

void EditorShell::EditFlag(const SkinField& field, bool on) {
  SkinEdit edit;
  edit.name = field.Name();
  ApplyEdit(std::move(edit.Set(*skin_, field, std::int32_t(on ? 1 : 0))));
}

void EditorShell::EditText(const SkinField& field, const QString& text) {
  SkinEdit edit;
  edit.name = field.Name();
  edit.mergeKey = QStringLiteral("text ") + edit.name;
  ApplyEdit(std::move(edit.Set(*skin_, field, text.toLatin1().toStdString())));
}

void EditorShell::EditColour(const SkinField& field) {
  const Rgb24 before = std::get<Rgb24>(ReadField(*skin_, field));
  const Rgb24 chosen = dialogs_.EditColour(window_, before, texts_);
  SkinEdit edit;
  edit.name = field.Name();
  ApplyEdit(std::move(edit.Set(*skin_, field, chosen)));
}

void EditorShell::ImportImage(ImageId image) {
  const QString base = Latin1(CatalogueEntryOf(image).baseName());
  const QString file = dialogs_.ChooseOpenFile(
      window_, texts_.Text("LANG_REQFILE_LOAD$"), settings_.lastPath + base + QStringLiteral(".bmp"),
      {{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp;*.png;*.jpg")},
       {QStringLiteral("Portable Network Graphic (*.png)"), QStringLiteral("*.png")},
       {QStringLiteral("JPEG - JFIF Compliant (*.jpg)"), QStringLiteral("*.jpg")}},
      0);
  if (!file.isEmpty()) ImportImageFile(image, file);
}

void EditorShell::ImportImageFile(ImageId image, const QString& path) {
  std::optional<Picture> picture;
  ShowMessages(RunCoreOperation([&](SkinIoContext& ctx) { picture = ReadSkinImageFile(image, Local(path), ctx); }));
  // A file that cannot be read changes neither the picture nor the history.
  if (!picture) return;
  std::vector<std::pair<ImageId, Picture>> pictures;
  pictures.emplace_back(image, std::move(*picture));
  ReplacePictures(std::move(pictures), Latin1(CatalogueEntryOf(image).name));
}

void EditorShell::ReplacePictures(std::vector<std::pair<ImageId, Picture>> pictures, const QString& name) {
  SkinEdit edit;
  edit.name = name;
  for (auto& [image, picture] : pictures) edit.Replace(*skin_, image, std::move(picture));
  ApplyEdit(std::move(edit));
}

void EditorShell::StepZoom(int steps) {
  bool changed = false;
  for (; steps > 0 && zoom_ < 5.0f; --steps, changed = true) zoom_ += 0.15f;
  for (; steps < 0 && zoom_ > 1.0f; ++steps, changed = true) zoom_ -= 0.15f;
  if (!changed) return;
  if (window_) window_->ShowZoom(zoom_);
  RedrawPreview();
}

void EditorShell::ResetZoom() {
  wheel_ = 0;
  zoom_ = 1.0f;
  if (window_) window_->ShowZoom(zoom_);
  RedrawPreview();
}

void EditorShell::Wheel(int delta) {
  // Touchpads and fine wheels send small movements; they add up to steps.
  wheel_ += delta;
  const int steps = wheel_ / 120;
  wheel_ -= steps * 120;
  if (steps != 0) StepZoom(steps);
}
