#include "app/commands/file_commands.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "app/app_texts.h"
#include "app/editor_context.h"
#include "app/fit_dialog.h"
#include "app/modal.h"
#include "app/paths.h"
#include "app/qt_picture.h"
#include "app/qt_text.h"
#include "app/recent_skins.h"
#include "app/skin_document.h"
#include "app/take_from_dialog.h"
#include "app/view_state.h"
#include "edit/document_files.h"
#include "edit/editor_session.h"
#include "edit/picture_import.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "images/fit.h"
#include "images/import_folder.h"
#include "images/screenshot.h"
#include "images/skin_io.h"

namespace {

// A folder or archive as the recent list and the title know it: absolute,
// without a trailing separator.
QString CleanPath(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

QString Shown(const QString& path) { return QDir::toNativeSeparators(CleanPath(path)); }

// How many files a save wrote: all but empty pictures (after a failure, none).
int FilesWritten(const std::vector<SkinFile>& files, const OperationFeedback& feedback) {
  return static_cast<int>(files.size()) - feedback.Count(MessageKind::PictureEmpty);
}

}  // namespace

FileCommands::FileCommands(SkinDocument& document, ViewState& view, EditorContext& context, QString recentFile,
                           QObject* parent)
    : QObject(parent), document_(document), view_(view), context_(context), recentFile_(std::move(recentFile)) {
  recent_ = ReadRecentSkins(recentFile_);
}

void FileCommands::AddRecent(const QString& path) {
  const QStringList list = WithRecentSkin(recent_, path);
  if (list == recent_) return;
  recent_ = list;
  // Written at once: an editor that dies keeps the skins it opened.
  WriteRecentSkins(recent_, recentFile_);
  emit recentChanged(recent_);
}

bool FileCommands::MaybeSave() {
  if (!document_.modified()) return true;
  const QString path = FromLocal(document_.origin().path);
  const QString name = path.isEmpty() ? context_.texts.Text("LANG_SKIN_NEW$") : SkinNameOf(path);
  switch (context_.dialogs.AskSaveChanges(context_.window, context_.texts.Text("LANG_ASK_SAVE$").arg(name),
                                          context_.texts)) {
    case UnsavedChoice::Save: return Save();
    case UnsavedChoice::Discard: return true;
    case UnsavedChoice::Cancel: break;
  }
  return false;
}

void FileCommands::NewSkin() {
  if (!MaybeSave()) return;
  ResetToBuiltInSkin(document_);
  view_.ChooseScreen(ScreenAfter(ScreenCause::NewSkin));
}

QString FileCommands::ChooseSkinFolder() {
  return context_.dialogs.ChooseFolder(context_.window, context_.texts.Text("LANG_REQPATH_LOAD$"),
                                       context_.settings.lastPath);
}

QString FileCommands::ChooseSkinArchive() {
  // Starts in LastPath with the name field empty; the filter shows archives
  // named in either letter case.
  return context_.dialogs.ChooseOpenFile(context_.window, context_.texts.Text("LANG_REQFILE_LOAD$"),
                                         context_.settings.lastPath,
                                         {{QStringLiteral("ZIP"), QStringLiteral("*.zip;*.ZIP")}}, 0);
}

void FileCommands::OpenFolder() {
  if (!MaybeSave()) return;
  const QString folder = ChooseSkinFolder();
  if (!folder.isEmpty()) LoadSkin(folder);
}

void FileCommands::OpenArchive() {
  if (!MaybeSave()) return;
  const QString file = ChooseSkinArchive();
  if (!file.isEmpty()) LoadSkin(file);
}

void FileCommands::OpenSkin(const QString& path) {
  if (MaybeSave()) LoadSkin(path);
}

bool FileCommands::LoadSkin(const QString& path) {
  const bool archive = IsSkinArchive(path);
  context_.settings.lastPath = archive ? FolderOf(path) : WithSeparator(path);
  const QString shown = CleanPath(path);
  bool read = false;
  const OperationFeedback feedback = context_.Run(
      [&](SkinIoContext& ctx) { read = OpenSkinInto(document_, Local(path), archive, ctx, Local(shown)); });
  // Without a readable settings file nothing was read, and the skin being
  // edited stays what it was, history and all.
  if (read) {
    AddRecent(shown);
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_OPENED$").arg(Shown(shown)));
  }
  view_.ChooseScreen(ScreenAfter(ScreenCause::Opened));
  context_.ShowMessages(feedback);
  return read;
}

bool FileCommands::Save() {
  const SkinOrigin& origin = document_.origin();
  if (origin.saveTarget.empty()) return SaveAs();
  if (origin.kind == SkinOrigin::Kind::Archive) return SaveBackIntoArchive();
  return SaveInto(FromLocal(origin.saveTarget));
}

bool FileCommands::SaveAs() {
  const QString folder =
      context_.dialogs.ChooseFolder(context_.window, context_.texts.Text("LANG_REQPATH_SAVE$"), context_.settings.lastPath);
  if (folder.isEmpty()) return false;
  context_.settings.lastPath = WithSeparator(folder);
  return SaveInto(folder);
}

std::vector<SkinFile> FileCommands::StampAndEncode(DateTime* when) {
  // The information texts are part of the skin as they are typed; LastUpdate
  // gets the moment of saving.
  const DateTime now = context_.clock->Now();
  if (when) *when = now;
  return document_.StampForSave(now);
}

bool FileCommands::OverwriteChangedFiles(const QString& target) {
  const DiskSkin& disk = document_.disk();
  // Another program wrote here since the editor last read or wrote it (the
  // editor reads a changed file again only a moment after it settles).
  const std::vector<std::string> changed = FilesChangedSinceRead(disk.stamps, Local(target), SeeOnDisk(disk.stamps));
  if (changed.empty()) return true;
  QStringList names;
  for (const std::string& name : changed) names << FromLocal(name);
  const LanguageTable& texts = context_.texts;
  return context_.dialogs.AskProceed(context_.window, texts.Text("LANG_ASK_OVERWRITE$").arg(names.join(QStringLiteral(", "))),
                                     names.join(QLatin1Char('\n')), texts.Text("LANG_OVERWRITE$"), texts);
}

std::optional<OutsideLinks> FileCommands::AskOutsideLinks(const QString& folder) {
  const std::vector<std::string> leaving = LinksLeavingFolder(SavedFileNames(document_.skin()), Local(folder));
  if (leaving.empty()) return OutsideLinks::Refuse;
  // Named with where they lead, asked once for the whole save.
  QStringList lines;
  for (const std::string& name : leaving) {
    const QString path = QDir(folder).filePath(FromLocal(name));
    lines << QStringLiteral("%1 -> %2").arg(FromLocal(name), QFileInfo(path).canonicalFilePath().isEmpty()
                                                                  ? QFileInfo(path).symLinkTarget()
                                                                  : QFileInfo(path).canonicalFilePath());
  }
  const LanguageTable& texts = context_.texts;
  if (!context_.dialogs.AskProceed(context_.window, texts.Text("LANG_ASK_LINKS$").arg(lines.join(QStringLiteral(", "))),
                                   lines.join(QLatin1Char('\n')), texts.Text("LANG_LINKS_FOLLOW$"), texts)) {
    return std::nullopt;
  }
  return OutsideLinks::Follow;
}

bool FileCommands::SaveInto(const QString& folder) {
  const QString target = CleanPath(folder);
  // The questions come first: a save called off changes nothing, LastUpdate included.
  const std::optional<OutsideLinks> links = OverwriteChangedFiles(target) ? AskOutsideLinks(folder) : std::nullopt;
  if (!links) {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_NOT_SAVED$"));
    return false;
  }
  std::vector<SkinFile> files = StampAndEncode();
  const OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { WriteSkinFiles(files, Local(folder), ctx, FileSync::Flush, *links); });
  // A picture that is empty (its file could not be read) has nothing to
  // write; any failure leaves every file as it was, and the changes unsaved.
  const bool failed = std::any_of(feedback.messages().begin(), feedback.messages().end(), IsSaveFailure);
  if (!failed) {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_SAVED$").arg(FilesWritten(files, feedback)).arg(Shown(target)));
    AdoptSavedSkin(document_, Local(target), false);
    AddRecent(target);
  } else {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_NOT_SAVED$"));
  }
  context_.ShowMessages(feedback);
  return !failed;
}

bool FileCommands::SaveBackIntoArchive() {
  const QString path = FromLocal(document_.origin().saveTarget);
  // As the archive is now: another program may have added to it since it
  // was opened. Written whole, it would lose what it holds besides the skin
  // (or a member that cannot be read even as bytes): Save asks for a
  // folder, as for any archive that holds more.
  const auto elsewhere = [&] {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_ARCHIVE_HOLDS_MORE$").arg(QFileInfo(path).fileName()));
    SkinOrigin origin = document_.origin();
    origin.saveTarget.clear();
    document_.MoveOrigin(std::move(origin));
    return SaveAs();
  };
  if (!ArchiveHoldsOnlySkin(Local(path))) return elsewhere();
  if (!OverwriteChangedFiles(path)) {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_NOT_SAVED$"));
    return false;
  }
  DateTime now;
  std::vector<SkinFile> files = StampAndEncode(&now);
  // A picture the editor could not read goes back as the archive holds it.
  const ArchiveResave resave = PrepareArchiveResave(files, Local(path));
  if (!resave.possible()) return elsewhere();
  return SaveArchive(path, FromLocal(resave.folder), std::move(files), now);
}

bool FileCommands::SaveArchive(const QString& path, const QString& folder, std::vector<SkinFile> files,
                               const DateTime& now) {
  const OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { WriteSkinArchive(files, Local(path), Local(folder), now, ctx); });
  const bool written = std::none_of(feedback.messages().begin(), feedback.messages().end(), IsSaveFailure);
  if (written) {
    const QString target = CleanPath(path);
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_SAVED$").arg(FilesWritten(files, feedback)).arg(Shown(target)));
    AddRecent(target);
    // Written over the archive the skin came from, that is saving the skin;
    // elsewhere, an export.
    AdoptSavedSkin(document_, Local(target), true);
  } else {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_NOT_SAVED$"));
  }
  context_.ShowMessages(feedback);
  return written;
}

QString FileCommands::ArchiveSuggestion() const {
  const SkinOrigin& origin = document_.origin();
  const QString path = FromLocal(origin.path);
  const QString name = (path.isEmpty() ? context_.texts.Text("LANG_SKIN_NEW$") : SkinNameOf(path)) + QStringLiteral(".zip");
  // Beside the skin's folder or archive, never inside the folder.
  if (!path.isEmpty()) return QFileInfo(path).absoluteDir().filePath(name);
  return context_.settings.lastPath + name;
}

bool FileCommands::SaveToArchive() {
  int filter = 0;
  const QString chosen =
      context_.dialogs.ChooseSaveFile(context_.window, context_.texts.Text("LANG_REQFILE_SAVE_ARCHIVE$"),
                                      ArchiveSuggestion(), {{QStringLiteral("* (*.zip)"), QStringLiteral("*.zip")}},
                                      filter);
  if (chosen.isEmpty()) return false;
  QString path = chosen;
  if (!path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) path += QStringLiteral(".zip");
  context_.settings.lastPath = FolderOf(path);
  // The very archive the skin came from keeps its own folder inside, and
  // what the editor could not read of it.
  DateTime now;
  std::vector<SkinFile> files = StampAndEncode(&now);
  if (Local(CleanPath(path)) == document_.origin().path) {
    if (!OverwriteChangedFiles(CleanPath(path))) return false;
    const ArchiveResave resave = PrepareArchiveResave(files, Local(path));
    if (resave.skinFound) return SaveArchive(path, FromLocal(resave.folder), std::move(files), now);
  }
  return SaveArchive(path, FromLocal(ArchiveFolderName(Local(path))), std::move(files), now);
}

void FileCommands::ImportImage(ImageId image) {
  const QString base = Latin1(CatalogueEntryOf(image).baseName());
  // Every extension the import takes, as the file names have them in lower
  // or upper case (a file chooser may match letter case exactly): all of
  // them first, then each kind.
  const auto patterns = [](std::initializer_list<std::string_view> extensions) {
    QStringList list;
    for (const std::string_view e : extensions) {
      const QString ext = Latin1(e);
      list << QLatin1Char('*') + ext << QLatin1Char('*') + ext.toUpper();
    }
    return list.join(QLatin1Char(';'));
  };
  const auto& x = kPictureExtensions;
  const QString file = context_.dialogs.ChooseOpenFile(
      context_.window, context_.texts.Text("LANG_REQFILE_LOAD$"), context_.settings.lastPath + base + QStringLiteral(".bmp"),
      {{QStringLiteral("BMP, PNG, JPEG"), patterns({x[0], x[1], x[2], x[3]})},
       {QStringLiteral("BMP"), patterns({x[0]})},
       {QStringLiteral("PNG"), patterns({x[1]})},
       {QStringLiteral("JPEG"), patterns({x[2], x[3]})}},
      0);
  if (!file.isEmpty()) ImportImageFile(image, file);
}

std::optional<FitMode> FileCommands::AskFit(const SourcePicture& source, ImageId image, const QString& text) {
  const int width = ExpectedWidth(image), height = ExpectedHeight(image);
  if (source.width() == width && source.height() == height) return FitMode::Keep;
  // Each way as the console would show it.
  return context_.dialogs.AskFit(context_.window, AskingToFit(source, width, height, text), context_.texts);
}

void FileCommands::ImportImageFile(ImageId image, const QString& path) {
  std::optional<SourcePicture> source;
  const OperationFeedback read = context_.Run([&](SkinIoContext& ctx) { source = ReadSourceFile(Local(path), ctx); });
  context_.ShowMessages(read);
  // A file that cannot be read changes neither the picture nor the history.
  if (!source) return;
  const CatalogueEntry& entry = CatalogueEntryOf(image);
  const std::optional<FitMode> fit =
      AskFit(*source, image,
             context_.texts.Text("LANG_FIT_ASK$")
                 .arg(QFileInfo(path).fileName())
                 .arg(source->width())
                 .arg(source->height())
                 .arg(Latin1(entry.name))
                 .arg(ExpectedWidth(image))
                 .arg(ExpectedHeight(image)));
  if (!fit) return;
  std::optional<Picture> picture;
  const OperationFeedback feedback = context_.Run([&](SkinIoContext& ctx) {
    picture = FinishImport(image, std::move(*source), *fit, PixelAllowance(document_.skin(), image, ctx.budget),
                           Local(path), ctx);
  });
  context_.ShowMessages(feedback);
  if (!picture) return;
  document_.Apply(ReplacePictures(image, std::move(*picture)));
  QStringList said{context_.texts.Text("LANG_STATUS_IMPORTED_ONE$").arg(Latin1(entry.name), Shown(path))};
  context_.ShowStatus((said + feedback.notes()).join(QStringLiteral("; ")));
}

void FileCommands::ImportPictureFolder() {
  const QString folder = context_.dialogs.ChooseFolder(context_.window, context_.texts.Text("LANG_REQPATH_IMPORT$"),
                                                       context_.settings.lastPath);
  if (folder.isEmpty()) return;
  FolderImport import;
  OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { import = ReadPictureFolder(Local(folder), ctx, document_.skin()); });
  if (!import.folderFound) {
    context_.ShowMessages(feedback);
    return;
  }
  const LanguageTable& texts = context_.texts;
  // One question for all the pictures whose size differs; the folder is read
  // again when they are to be fitted.
  if (const std::optional<FolderFitQuestion> question = FolderFitQuestionOf(import)) {
    std::optional<SourcePicture> source;
    context_.Run([&](SkinIoContext& ctx) { source = ReadSourceFile(question->path, ctx); });
    const QString text = QString::fromStdString(FolderFitQuestionText(*question, texts.texts()));
    const std::optional<FitMode> fit = source ? AskFit(*source, question->image, text) : std::optional(FitMode::Keep);
    if (!fit) return;
    if (*fit != FitMode::Keep) {
      feedback = context_.Run(
          [&](SkinIoContext& ctx) { import = ReadPictureFolder(Local(folder), ctx, document_.skin(), *fit); });
    }
  }
  const auto strings = [](const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
  };
  const FolderImportReport report = ReportFolderImport(import, Local(Shown(folder)), strings(feedback.lines()),
                                                       strings(feedback.notes()), texts.texts());
  if (std::optional<ReplacePictures> step = TakeFolderImport(import, QFileInfo(folder).fileName().toStdString())) {
    document_.Apply(std::move(*step));
  }
  context_.ShowStatus(FromLocal(report.status));
  // One box for the whole import: what it took, what it passed over, what
  // it could not read.
  const QString summary = FromLocal(MessageSummary(report.lines, texts.texts()));
  const QString details = FromLocal(MessageDetails(report.lines));
  if (!report.warning) {
    context_.dialogs.ShowReport(context_.window, texts.Text("LANG_IMPORT_RESULT$"), summary, details);
  } else {
    context_.dialogs.ShowMessage(context_.window, texts.Text("LANG_IMPORT_RESULT$"), summary, details);
  }
}

void FileCommands::SaveScreenshot(bool shown) {
  const Picture shot = ComposeScreenshot(document_.skin(), shown ? view_.screen() : 0);
  int filter = 0;
  const QString chosen = context_.dialogs.ChooseSaveFile(
      context_.window, context_.texts.Text("LANG_REQFILE_SAVE$"), context_.settings.lastPath,
      {{QStringLiteral("Portable Network Graphic (*.png)"), QStringLiteral("*.png")},
       {QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp")},
       {QStringLiteral("JPEG (*.jpg)"), QStringLiteral("*.jpg")}},
      filter);
  if (chosen.isEmpty()) return;
  context_.settings.lastPath = FolderOf(chosen);
  const ScreenshotFormat format = filter == 1   ? ScreenshotFormat::Bmp
                                  : filter == 2 ? ScreenshotFormat::Jpeg
                                                : ScreenshotFormat::Png;
  const std::optional<std::string> target = ScreenshotFileName(chosen.toStdString(), format);
  const QString error = context_.texts.Text("LANG_ERROR$");
  if (!target) {
    context_.dialogs.ShowMessage(context_.window, error, chosen + QStringLiteral(": ") + ScreenshotNotWrittenText());
    return;
  }
  const QString path = QString::fromStdString(*target);
  if (!WriteScreenshotFile(shot, format, Local(path))) {
    context_.dialogs.ShowMessage(context_.window, error, path + QStringLiteral(": ") + context_.texts.Text("LANG_FILE_NOTSAVE$"));
    return;
  }
  context_.ShowStatus(context_.texts.Text("LANG_STATUS_SCREENSHOT_SAVED$").arg(Shown(path)));
}

void FileCommands::CopyScreenshot(bool shown) {
  context_.dialogs.CopyToClipboard(ToQImage(ComposeScreenshot(document_.skin(), shown ? view_.screen() : 0)));
  context_.ShowStatus(context_.texts.Text("LANG_STATUS_SCREENSHOT_COPIED$"));
}

void FileCommands::CompareWithFolder() {
  const QString folder = ChooseSkinFolder();
  if (!folder.isEmpty()) CompareWith(folder);
}

void FileCommands::CompareWithArchive() {
  const QString file = ChooseSkinArchive();
  if (!file.isEmpty()) CompareWith(file);
}

void FileCommands::CompareWith(const QString& path) {
  // Opened as opening would open it, over the built-in skin: a skin apart,
  // never the one being edited.
  std::optional<Skin> other;
  const OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { other = OpenSkinApart(Local(path), IsSkinArchive(path), ctx); });
  context_.ShowMessages(feedback);
  if (!other) return;
  view_.CompareWith(std::make_shared<Skin>(std::move(*other)), SkinNameOf(CleanPath(path)));
  comparePath_ = path;
  context_.ShowStatus(context_.texts.Text("LANG_STATUS_COMPARING$").arg(Shown(path)));
}

void FileCommands::TakeFrom() {
  const bool comparing = view_.compare() == ViewState::Compare::Other && !comparePath_.isEmpty();
  const Skin before = document_.CommittedSkin();
  TakeFromDialog dialog(context_.window, context_.texts, before, comparing ? Shown(comparePath_) : QString());
  std::unique_ptr<TakeSource> source;
  const auto read = [&](const QString& path) {
    std::optional<TakeSource> got;
    const OperationFeedback feedback = context_.Run(
        [&](SkinIoContext& ctx) { got = ReadTakeSource(Local(path), IsSkinArchive(path), ctx); });
    // Without its settings nothing was read: the skin taken from stays.
    if (!got) return context_.ShowMessages(feedback);
    document_.EndPreview();
    dialog.SetSource(nullptr, QString());
    source = std::make_unique<TakeSource>(std::move(*got));
    source->name = SkinNameOf(CleanPath(path)).toStdString();
    dialog.SetSource(source.get(), Shown(path));
  };
  connect(&dialog, &TakeFromDialog::folderWanted, &dialog, [&] {
    if (const QString folder = ChooseSkinFolder(); !folder.isEmpty()) read(folder);
  });
  connect(&dialog, &TakeFromDialog::archiveWanted, &dialog, [&] {
    if (const QString file = ChooseSkinArchive(); !file.isEmpty()) read(file);
  });
  connect(&dialog, &TakeFromDialog::comparedWanted, &dialog, [&] { read(comparePath_); });
  // Shown on the preview, never a step of Undo nor journalled, until OK.
  connect(&dialog, &TakeFromDialog::previewed, &dialog, [&](const TakeChoice& choice) {
    if (source) document_.Preview(TakeFromSkin(*source, choice));
  });
  if (comparing) read(comparePath_);
  PlaceBesideOwner(context_.window, dialog);
  const bool ok = RunModalOver(context_.window, dialog) == QDialog::Accepted;
  document_.EndPreview();
  if (!ok || !source) return;
  SkinEdit edit = ::TakeFromSkin(*source, dialog.choice()).Make(document_.skin());
  // Pictures the skin has no room for are left, and said so.
  QStringList over;
  const MessageTexts texts = MessageTextsOf(context_.texts);
  for (const Message& m : TakeMessages(*source, dialog.choice(), document_.skin())) {
    if (m.kind == MessageKind::OverBudget) over << QString::fromStdString(FormatMessage(m, texts));
  }
  const qsizetype fields = qsizetype(edit.fields.size()), pictures = qsizetype(edit.pictures.size());
  if (document_.Apply(std::move(edit))) {
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_TAKEN$").arg(fields).arg(pictures).arg(
        QString::fromStdString(source->name)));
  }
  context_.ShowMessages(over, context_.texts.Text("LANG_ERROR$"));
}
