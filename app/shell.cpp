#include "app/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QAction>

#include "app/app_texts.h"
#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/panel_tables.h"
#include "app/qt_picture.h"
#include "images/defaults.h"
#include "images/screenshot.h"
#include "images/skin_io.h"
#include "preview/render.h"
#include "skin/clock.h"

namespace {

// Messages of the core operations become message boxes; the progress bar is
// repainted at once, without taking other input while the operation runs.
class ShellFeedback : public Feedback {
 public:
  ShellFeedback(Dialogs& dialogs, MainWindow* window, const LanguageTable& texts)
      : dialogs_(dialogs), window_(window), texts_(texts) {}
  void ShowError(const std::string& body) override {
    dialogs_.ShowMessage(window_, texts_.Text("LANG_ERROR$"), QString::fromUtf8(body.data(), int(body.size())));
  }
  void SetProgress(int value) override {
    if (!window_) return;
    window_->progress()->setValue(value);
    window_->progress()->repaint();
  }

 private:
  Dialogs& dialogs_;
  MainWindow* window_;
  const LanguageTable& texts_;
};

MessageTexts MessagesOf(const LanguageTable& texts) {
  MessageTexts m = MessageTexts::BuiltIn();
  m.fileNotFound = texts.Text("LANG_FILE_NOTFOUND$").toStdString();
  m.fileUnknown = texts.Text("LANG_FILE_UNKNOWN$").toStdString();
  m.fileNotSaved = texts.Text("LANG_FILE_NOTSAVE$").toStdString();
  return m;
}

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The folder part of a file path, with its separator.
QString FolderOf(const QString& filePath) {
  const int slash = filePath.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : filePath.left(slash + 1);
}

}  // namespace

EditorShell::EditorShell(Dialogs& dialogs, ShellPaths paths)
    : dialogs_(dialogs), paths_(std::move(paths)), skin_(std::make_unique<Skin>()) {
  if (paths_.languageDir.isEmpty()) paths_.languageDir = FindLanguageDir();
}

EditorShell::~EditorShell() { delete window_.data(); }

void EditorShell::Start() {
  settings_ = ReadAppSettings(paths_.settingsFile);
  texts_.Load(settings_.language, paths_.languageDir);
  BuildWindow(nullptr);
  ResetSkinToDefaults(*skin_);
  window_->panel()->SyncControls(*skin_);
  RedrawPreview();
}

void EditorShell::BuildWindow(const QPoint* position) {
  auto* w = new MainWindow(*this, texts_, settings_);
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

void EditorShell::Finish() { WriteAppSettings(settings_, paths_.settingsFile); }

void EditorShell::RedrawPreview() {
  if (!window_) return;
  window_->ShowPreview(RenderPreview(*skin_, currentScreen_, zoom_, UnpackRgb24(std::uint32_t(settings_.bgColor))));
}

void EditorShell::ChooseScreen(int screen) {
  if (screen < 0 || screen >= 14 || !window_) return;
  window_->panel()->SetScreenEnabled(currentScreen_, false);
  window_->screenAction(currentScreen_)->setChecked(false);
  window_->panel()->SetScreenEnabled(screen, true);
  window_->screenAction(screen)->setChecked(true);
  currentScreen_ = screen;
  RedrawPreview();
}

void EditorShell::AfterOpen() {
  window_->panel()->SyncControls(*skin_);
  ChooseScreen(0);
}

void EditorShell::RunCoreOperation(const std::function<void(SkinIoContext&)>& operation) {
  ShellFeedback feedback(dialogs_, window_, texts_);
  const MessageTexts messages = MessagesOf(texts_);
  SkinIoContext ctx{feedback, messages};
  operation(ctx);
}

void EditorShell::NewSkin() {
  ResetSkinToDefaults(*skin_);
  ChooseScreen(0);
  window_->panel()->SyncControls(*skin_);
  RedrawPreview();
}

QString EditorShell::ChosenFolder(const QString& folder) const {
  return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void EditorShell::OpenFolder() {
  const QString folder = dialogs_.ChooseFolder(window_, texts_.Text("LANG_REQPATH_LOAD$"), settings_.lastPath);
  if (folder.isEmpty()) return;
  settings_.lastPath = ChosenFolder(folder);
  RunCoreOperation([&](SkinIoContext& ctx) { OpenSkinFolder(*skin_, Local(folder), ctx); });
  AfterOpen();
}

void EditorShell::OpenArchive() {
  // Proposes "*.zip" without a folder: this chooser does not start at LastPath.
  const QString file = dialogs_.ChooseOpenFile(window_, texts_.Text("LANG_REQFILE_LOAD$"), QStringLiteral("*.zip"),
                                               {{QStringLiteral("* (*.zip)"), QStringLiteral("*.zip")}}, 0);
  if (file.isEmpty()) return;
  settings_.lastPath = FolderOf(file);
  RunCoreOperation([&](SkinIoContext& ctx) { OpenSkinArchive(*skin_, Local(file), ctx); });
  AfterOpen();
}

void EditorShell::SaveFolder() {
  const QString folder = dialogs_.ChooseFolder(window_, texts_.Text("LANG_REQPATH_SAVE$"), settings_.lastPath);
  if (folder.isEmpty()) return;
  settings_.lastPath = ChosenFolder(folder);
  RunCoreOperation([&](SkinIoContext& ctx) {
    SaveSkinFolder(*skin_, Local(folder), window_->panel()->TypedTexts(), SystemClock(), ctx);
  });
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
  if (quitRequested_) return;
  quitRequested_ = true;
  emit quit();
}

void EditorShell::ChangeLanguage(int index) {
  settings_.language = index;
  texts_.Load(index, paths_.languageDir);
  const QPoint position = window_ ? window_->frameGeometry().topLeft() : QPoint();
  BuildWindow(window_ ? &position : nullptr);
  window_->panel()->SyncControls(*skin_);
  RedrawPreview();
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

void EditorShell::EditColour(const ColourControl& control) {
  Rgb24& field = skin_->colours.*(control.colour);
  field = dialogs_.EditColour(window_, field, texts_);
  RedrawPreview();
}

void EditorShell::ImportImage(ImageId image) {
  const QString base = QString::fromLatin1(CatalogueEntryOf(image).baseName().data(),
                                           int(CatalogueEntryOf(image).baseName().size()));
  const QString file = dialogs_.ChooseOpenFile(
      window_, texts_.Text("LANG_REQFILE_LOAD$"), settings_.lastPath + base + QStringLiteral(".bmp"),
      {{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp;*.png;*.jpg")},
       {QStringLiteral("Portable Network Graphic (*.png)"), QStringLiteral("*.png")},
       {QStringLiteral("JPEG - JFIF Compliant (*.jpg)"), QStringLiteral("*.jpg")}},
      0);
  if (!file.isEmpty()) {
    RunCoreOperation([&](SkinIoContext& ctx) { LoadSkinImageFile(*skin_, image, Local(file), ctx); });
  }
  RedrawPreview();
}

void EditorShell::NumberEdited(std::int32_t* (*field)(Skin&), int value) {
  *field(*skin_) = value;
  RedrawPreview();
}

void EditorShell::Wheel(int delta) {
  if (delta == 120 && zoom_ < 5.0f) {
    zoom_ += 0.15f;
    RedrawPreview();
  } else if (delta == -120 && zoom_ > 1.0f) {
    zoom_ -= 0.15f;
    RedrawPreview();
  }
}
