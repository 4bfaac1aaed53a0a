#include "edit/disk_reload.h"

#include <algorithm>

#include "check/skin_source.h"
#include "platform/file_io.h"
#include "skin/settings_file.h"

namespace {

// Names a status line lists before it only counts the rest.
constexpr std::size_t kNamesShown = 4;
constexpr std::string_view kSettingsFile = "uisettings.ini";

// Keeps the messages of one reading, passing them on when there is a face
// to hear them.
class Heard final : public Feedback {
 public:
  explicit Heard(Feedback* face = nullptr) : face_(face) {}
  void ShowError(const std::string& body) override {
    if (face_) face_->ShowError(body);
  }
  void SetProgress(int value) override {
    if (face_) face_->SetProgress(value);
  }
  void Report(const Message& message, const std::string& body) override {
    messages.push_back(message);
    if (face_) face_->Report(message, body);
  }
  void Note(const Message& message, const std::string& body) override {
    if (face_) face_->Note(message, body);
  }
  bool Any(MessageKind kind) const {
    return std::any_of(messages.begin(), messages.end(), [kind](const Message& m) { return m.kind == kind; });
  }
  std::vector<Message> messages;

 private:
  Feedback* face_;
};

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string Said(const InterfaceTexts& texts, const char* key, const std::string& names) {
  return FillArguments(texts.Text(key), {names});
}

}  // namespace

std::string ReloadNameList(const std::vector<std::string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
    if (i) out += ", ";
    out += names[i];
  }
  if (names.size() > kNamesShown) out += ", +" + std::to_string(names.size() - kNamesShown);
  return out;
}

// What reading changed files again gives: the skin with what nothing unsaved
// stands in the way of, the files in it, the files that could not be read,
// and whether any change was held back for the question.
struct DiskReload::ReadAgain {
  std::optional<Skin> now;
  Skin& Now(const Skin& skin) {
    if (!now) now = skin;
    return *now;
  }
  std::vector<std::string> taken, failed;
  bool held = false;
  std::vector<ImageId> retry;
};

// uisettings.ini, read over the skin as opening reads it. A file gone
// changes nothing, as opening changes nothing without it.
void DiskReload::ReadSettingsAgain(const std::string& folder, ReadAgain& read) {
  std::string bytes;
  const std::string path = ResolvePathIgnoringCase(folder, kSettingsFile);
  const Skin& skin = document_.skin();
  if (const ReadStatus status = ReadSettingsFile(path, bytes); status != ReadStatus::Ok) {
    // Gone, too large or not a file: the skin keeps its settings, and the
    // Problems list says why.
    const std::string shown = status == ReadStatus::NotFound ? JoinPath(folder, kSettingsFile) : path;
    document_.ReplaceDiskMessages(std::nullopt, {{ReadFailure(status, true), shown, {}}});
    document_.RestampDiskFile(kSettingsFile);
    if (status != ReadStatus::NotFound) read.failed.emplace_back(kSettingsFile);
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
  read.taken.emplace_back(kSettingsFile);
}

// One picture file. A missing file leaves the picture as opening would. One
// that does not decode may be half written: the user's picture stays, and
// the file is read again at the next change.
void DiskReload::ReadPictureAgain(const std::string& folder, ImageId id, const MessageTexts& messageTexts,
                                  ReadAgain& read) {
  const CatalogueEntry& e = CatalogueEntryOf(id);
  const Skin& skin = document_.skin();
  Heard heard;
  SkinIoContext ctx{heard, messageTexts};
  std::optional<Picture> picture =
      ReadSkinImageFile(id, ResolvePathIgnoringCase(folder, e.file), ctx, PixelAllowance(skin, id, ctx.budget));
  document_.ReplaceDiskMessages(id, heard.messages);
  document_.RestampDiskFile(e.file);
  if (!picture) {
    if (!heard.Any(MessageKind::FileNotFound)) {
      read.retry.push_back(id);
      read.failed.emplace_back(e.file);
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
    read.taken.emplace_back(e.file);
  }
}

DiskReload::Result DiskReload::Changed(const DiskChanges& changes, const InterfaceTexts& texts) {
  Result result;
  const SkinOrigin& origin = document_.origin();
  if (changes.archive) {
    pending_.archive = true;
    result.held = PendingFiles(pending_);
    result.status = Said(texts, "LANG_STATUS_RELOAD_HELD$", ReloadNameList(result.held));
    result.ask = true;
    return result;
  }
  if (origin.kind != SkinOrigin::Kind::Folder) return result;
  const std::string folder = origin.path;
  const MessageTexts messageTexts = texts.Messages();
  ReadAgain read;
  updating_ = true;
  if (changes.settings) ReadSettingsAgain(folder, read);
  for (const ImageId id : changes.images) ReadPictureAgain(folder, id, messageTexts, read);
  document_.ReadDiskSource(ReadSkinSource(folder));
  updating_ = false;
  result.retry = std::move(read.retry);
  result.failed = read.failed;
  result.held = PendingFiles(pending_);
  // What this reading did, and only that: a file held for the question is
  // said to be not taken, whatever an earlier reading said.
  std::vector<std::string> said;
  if (!read.taken.empty() && read.now) {
    document_.Apply(BecomeSkin::Reload(std::move(*read.now)));
    // Read from disk, the skin may now be just what its folder holds.
    document_.MarkCleanIfSameAsDisk();
    said.push_back(Said(texts, "LANG_STATUS_RELOADED$", ReloadNameList(read.taken)));
    result.taken = std::move(read.taken);
  }
  if (read.held) said.push_back(Said(texts, "LANG_STATUS_RELOAD_HELD$", ReloadNameList(result.held)));
  if (!read.failed.empty()) said.push_back(Said(texts, "LANG_STATUS_RELOAD_FAILED$", ReloadNameList(read.failed)));
  for (std::size_t i = 0; i < said.size(); ++i) {
    if (i) result.status += "; ";
    result.status += said[i];
  }
  result.ask = read.held;
  return result;
}

std::vector<std::string> DiskReload::PendingFiles(const Pending& pending) const {
  if (pending.archive) return {FileName(document_.origin().path)};
  std::vector<std::string> files;
  if (pending.settings) files.emplace_back(kSettingsFile);
  for (const auto& [id, picture] : pending.pictures) files.emplace_back(CatalogueEntryOf(id).file);
  return files;
}

std::string DiskReload::Question(const InterfaceTexts& texts) const {
  if (!pending_.any()) return {};
  return Said(texts, pending_.archive ? "LANG_RELOAD_ASK_ARCHIVE$" : "LANG_RELOAD_ASK$",
              ReloadNameList(PendingFiles(pending_)));
}

DiskReload::Result DiskReload::Answer(bool reload, const InterfaceTexts& texts, SkinIoContext& ctx) {
  Result result;
  Pending p = std::move(pending_);
  pending_ = {};
  if (!p.any()) return result;
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
    result.status = Said(texts, "LANG_STATUS_RELOAD_KEPT$", ReloadNameList(PendingFiles(p)));
    return result;
  }
  if (p.archive) return ReopenArchive(texts, ctx);
  Skin target = document_.skin();
  if (p.settings) {
    ReadSkinSettings(target, *p.settings);
    result.taken.emplace_back(kSettingsFile);
  }
  for (auto& [id, picture] : p.pictures) {
    target.image(id) = std::move(picture);
    result.taken.emplace_back(CatalogueEntryOf(id).file);
  }
  document_.Apply(BecomeSkin::Reload(std::move(target)));
  document_.MarkCleanIfSameAsDisk();
  result.status = Said(texts, "LANG_STATUS_RELOADED$", ReloadNameList(result.taken));
  return result;
}

DiskReload::Result DiskReload::ReopenArchive(const InterfaceTexts& texts, SkinIoContext& ctx) {
  Result result;
  const std::string path = document_.origin().path;
  // Opened over the skin as it is, like any opening, but as one undo step.
  Skin reopened = document_.skin();
  Heard heard(&ctx.feedback);
  SkinIoContext hearing{heard, ctx.texts, ctx.budget};
  OpenSkinArchive(reopened, path, hearing);
  if (std::any_of(heard.messages.begin(), heard.messages.end(), IsSettingsFailure)) {
    // Perhaps still being written: offered again when it changes.
    result.retryArchive = true;
    result.failed = {FileName(path)};
    result.status = Said(texts, "LANG_STATUS_RELOAD_FAILED$", FileName(path));
    return result;
  }
  document_.Apply(BecomeSkin::Reload(reopened));
  updating_ = true;
  document_.ReadDisk({path, std::move(reopened), ReadSkinSource(path), heard.messages, StampSkin(path, true)});
  updating_ = false;
  document_.MarkCleanIfSameAsDisk();
  result.reopened = true;
  result.taken = {FileName(path)};
  result.status = Said(texts, "LANG_STATUS_RELOADED$", FileName(path));
  return result;
}
