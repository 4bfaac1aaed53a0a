#include "app/live_reload.h"

#include <QFileInfo>

#include "app/editor_context.h"
#include "app/qt_text.h"
#include "app/skin_document.h"
#include "images/skin_io.h"
#include "platform/file_io.h"
#include "skin/settings_file.h"

namespace {

// Names the status bar lists before it only counts the rest.
constexpr int kNamesShown = 4;
constexpr std::string_view kSettingsFile = "uisettings.ini";

// "lamp.bmp, btn.bmp, icon/nds.bmp, close.bmp, +3"
QString NameList(const QStringList& names) {
  QStringList shown = names.mid(0, kNamesShown);
  if (names.size() > kNamesShown) shown << QStringLiteral("+%1").arg(names.size() - kNamesShown);
  return shown.join(QStringLiteral(", "));
}

}  // namespace

// What reading changed files again gives: the edit that nothing unsaved
// stands in the way of, the files in it, the files that could not be read,
// and whether any change was held back for the reload bar.
struct LiveReload::ReadAgain {
  std::optional<Skin> now;  // the skin with what nothing unsaved stands in the way of
  Skin& Now(const Skin& skin) {
    if (!now) now = skin;
    return *now;
  }
  QStringList taken, failed;
  bool held = false;
  std::vector<ImageId> retry;
};

LiveReload::LiveReload(SkinDocument& document, EditorContext& context, QObject* parent)
    : QObject(parent), document_(document), context_(context) {
  connect(&watcher_, &SkinWatcher::changed, this, &LiveReload::ReloadFromDisk);
  connect(&document, &SkinDocument::originChanged, this, [this] { watcher_.Watch(FromLocal(document_.origin().path)); });
  connect(&document, &SkinDocument::diskChanged, this, [this] {
    if (!updating_) DiskChangedElsewhere();
  });
  watcher_.Watch(FromLocal(document.origin().path));
}

void LiveReload::DiskChangedElsewhere() {
  // Opened anew or saved: what is on disk now is the editor's own, and
  // nothing read before waits for an answer any more.
  watcher_.Resync();
  pending_ = {};
  emit questionDone();
}

void LiveReload::ReloadFromDisk(const DiskChanges& changes) {
  if (changes.archive) {
    pending_.archive = true;
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_RELOAD_HELD$").arg(PendingNames(pending_)));
    AskAgain();
  } else if (!watcher_.archive()) {
    ReloadFolderFiles(changes);
  }
}

// uisettings.ini, read over the skin as opening reads it. A file gone
// changes nothing, as opening changes nothing without it.
void LiveReload::ReadSettingsAgain(const std::string& folder, ReadAgain& read) {
  std::string bytes;
  const std::string path = ResolvePathIgnoringCase(folder, kSettingsFile);
  const Skin& skin = document_.skin();
  if (const ReadStatus status = ReadSettingsFile(path, bytes); status != ReadStatus::Ok) {
    // Gone, too large or not a file: the skin keeps its settings, and the
    // Problems list says why.
    const std::string shown = status == ReadStatus::NotFound ? JoinPath(folder, kSettingsFile) : path;
    document_.ReplaceDiskMessages(std::nullopt, {{ReadFailure(status, true), shown, {}}});
    document_.RestampDiskFile(kSettingsFile);
    if (status != ReadStatus::NotFound) read.failed << Latin1(kSettingsFile);
    return;
  }
  const bool mine = SettingsDiffer(skin, document_.disk().skin);
  document_.ReplaceDiskMessages(std::nullopt, {});
  document_.ReadDiskSettings(bytes);
  document_.RestampDiskFile(kSettingsFile);
  if (mine) {
    pending_.settings = std::move(bytes);
    read.held = true;
    return;
  }
  ReadSkinSettings(read.Now(skin), bytes);
  read.taken << Latin1(kSettingsFile);
}

// One picture file. A missing file leaves the picture as opening would. One
// that does not decode may be half written: the user's picture stays, and
// the file is read again at the next change.
void LiveReload::ReadPictureAgain(const std::string& folder, ImageId id, ReadAgain& read) {
  const CatalogueEntry& e = CatalogueEntryOf(id);
  const Skin& skin = document_.skin();
  OperationFeedback feedback(nullptr);
  const MessageTexts texts = MessageTextsOf(context_.texts);
  SkinIoContext ctx{feedback, texts};
  std::optional<Picture> picture =
      ReadSkinImageFile(id, ResolvePathIgnoringCase(folder, e.file), ctx, PixelAllowance(skin, id, ctx.budget));
  document_.ReplaceDiskMessages(id, feedback.messages());
  document_.RestampDiskFile(e.file);
  if (!picture) {
    if (feedback.Count(MessageKind::FileNotFound) == 0) {
      read.retry.push_back(id);
      read.failed << Latin1(e.file);
    }
    return;
  }
  const bool mine = !(skin.image(id) == document_.disk().skin.image(id));
  document_.ReadDiskPicture(id, *picture);
  if (mine) {
    std::erase_if(pending_.pictures, [id](const auto& p) { return p.first == id; });
    pending_.pictures.emplace_back(id, std::move(*picture));
    read.held = true;
  } else {
    read.Now(skin).image(id) = std::move(*picture);
    read.taken << Latin1(e.file);
  }
}

void LiveReload::ReloadFolderFiles(const DiskChanges& changes) {
  const std::string folder = document_.origin().path;
  ReadAgain read;
  updating_ = true;
  if (changes.settings) ReadSettingsAgain(folder, read);
  for (const ImageId id : changes.images) ReadPictureAgain(folder, id, read);
  document_.ReadDiskSource(ReadSkinSource(folder));
  updating_ = false;
  // A picture that did not decode is read again at the next change.
  for (const ImageId id : read.retry) watcher_.Retry(id);
  // What this reading did, and only that: a file held for the question is
  // said to be not taken, whatever an earlier reading said.
  QStringList said;
  if (!read.taken.isEmpty() && read.now) {
    document_.Apply(BecomeSkin::Reload(std::move(*read.now)));
    // Read from disk, the skin may now be just what its folder holds.
    document_.MarkCleanIfSameAsDisk();
    said << context_.texts.Text("LANG_STATUS_RELOADED$").arg(NameList(read.taken));
  }
  if (read.held) said << context_.texts.Text("LANG_STATUS_RELOAD_HELD$").arg(PendingNames(pending_));
  if (!read.failed.isEmpty()) said << context_.texts.Text("LANG_STATUS_RELOAD_FAILED$").arg(NameList(read.failed));
  if (!said.isEmpty()) context_.ShowStatus(said.join(QStringLiteral("; ")));
  if (read.held) AskAgain();
}

QString LiveReload::PendingNames(const Pending& pending) const {
  if (pending.archive) return QFileInfo(FromLocal(document_.origin().path)).fileName();
  QStringList files;
  if (pending.settings) files << Latin1(kSettingsFile);
  for (const auto& [id, picture] : pending.pictures) files << Latin1(CatalogueEntryOf(id).file);
  return NameList(files);
}

void LiveReload::AskAgain() {
  if (!pending_.any()) return;
  emit askReload(context_.texts.Text(pending_.archive ? "LANG_RELOAD_ASK_ARCHIVE$" : "LANG_RELOAD_ASK$")
                     .arg(PendingNames(pending_)));
}

void LiveReload::Answer(bool reload) {
  Pending p = std::move(pending_);
  pending_ = {};
  emit questionDone();
  if (!p.any()) return;
  // Keeping mine needs nothing more: the files as they are on disk are known,
  // so the changes kept show as unsaved. An archive kept unread is known to
  // have changed: Save does not ask about it again.
  if (!reload) {
    if (p.archive) {
      updating_ = true;
      DiskSkin disk = document_.disk();
      disk.stamps = StampSkin(document_.origin().path, true);
      document_.ReadDisk(std::move(disk));
      updating_ = false;
    }
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_RELOAD_KEPT$").arg(PendingNames(p)));
    return;
  }
  if (p.archive) {
    ReopenArchive();
    return;
  }
  Skin target = document_.skin();
  QStringList files;
  if (p.settings) {
    ReadSkinSettings(target, *p.settings);
    files << Latin1(kSettingsFile);
  }
  for (auto& [id, picture] : p.pictures) {
    target.image(id) = std::move(picture);
    files << Latin1(CatalogueEntryOf(id).file);
  }
  document_.Apply(BecomeSkin::Reload(std::move(target)));
  document_.MarkCleanIfSameAsDisk();
  context_.ShowStatus(context_.texts.Text("LANG_STATUS_RELOADED$").arg(NameList(files)));
}

void LiveReload::ReopenArchive() {
  const QString path = FromLocal(document_.origin().path);
  // Opened over the skin as it is, like any opening, but as one undo step.
  Skin reopened = document_.skin();
  const OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { OpenSkinArchive(reopened, Local(path), ctx); });
  if (feedback.NothingOpened()) {
    // Perhaps still being written: offered again when it changes.
    watcher_.RetryArchive();
    context_.ShowStatus(context_.texts.Text("LANG_STATUS_RELOAD_FAILED$").arg(QFileInfo(path).fileName()));
    return;
  }
  document_.Apply(BecomeSkin::Reload(reopened));
  updating_ = true;
  document_.ReadDisk({Local(path), std::move(reopened), ReadSkinSource(Local(path)), feedback.messages(),
                      StampSkin(Local(path), true)});
  updating_ = false;
  document_.MarkCleanIfSameAsDisk();
  context_.ShowStatus(context_.texts.Text("LANG_STATUS_RELOADED$").arg(QFileInfo(path).fileName()));
  context_.ShowMessages(feedback);
}
