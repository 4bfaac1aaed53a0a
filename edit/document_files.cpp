#include "edit/document_files.h"

#include <algorithm>

#include "check/skin_source.h"
#include "images/archive_writer.h"
#include "images/defaults.h"

SkinOrigin OriginOfPath(const std::string& path, bool archive) {
  SkinOrigin origin;
  origin.path = path;
  if (archive) {
    origin.kind = SkinOrigin::Kind::Archive;
    if (ArchiveHoldsOnlySkin(path)) origin.saveTarget = path;
  } else {
    origin.kind = SkinOrigin::Kind::Folder;
    origin.saveTarget = path;
  }
  return origin;
}

void AdoptOpenedSkin(Document& document, Skin opened, const std::string& path, bool archive,
                     std::vector<Message> messages) {
  DiskSkin disk{path, opened, ReadSkinSource(path), std::move(messages), StampSkin(path, archive)};
  document.Replace(std::move(opened), OriginOfPath(path, archive), std::move(disk));
}

void AdoptSavedSkin(Document& document, const std::string& path, bool archive) {
  if (archive && path != document.origin().path) return;
  SkinOrigin origin = archive ? document.origin() : OriginOfPath(path, false);
  DiskSkin disk{path, document.skin(), ReadSkinSource(path), {}, StampSkin(path, archive)};
  document.MarkSaved(std::move(origin), std::move(disk));
}

void ResetToBuiltInSkin(Document& document) {
  Skin fresh;
  ResetSkinToDefaults(fresh);
  DiskSkin disk;
  disk.skin = fresh;
  document.Replace(std::move(fresh), SkinOrigin{}, std::move(disk));
}

void OpenSkinOver(Skin& skin, const std::string& path, bool archive, SkinIoContext& ctx) {
  if (archive) OpenSkinArchive(skin, path, ctx);
  else OpenSkinFolder(skin, path, ctx);
}

namespace {

// Passes every message on to the face and keeps them: the document keeps
// those of opening while they stand.
class Kept final : public Feedback {
 public:
  explicit Kept(Feedback& face) : face_(face) {}
  void ShowError(const std::string& body) override { face_.ShowError(body); }
  void SetProgress(int value) override { face_.SetProgress(value); }
  void Report(const Message& message, const std::string& body) override {
    messages.push_back(message);
    face_.Report(message, body);
  }
  void Note(const Message& message, const std::string& body) override {
    messages.push_back(message);
    face_.Note(message, body);
  }
  std::vector<Message> messages;

 private:
  Feedback& face_;
};

}  // namespace

bool OpenSkinInto(Document& document, const std::string& path, bool archive, SkinIoContext& ctx,
                  const std::string& adoptAs) {
  // Opened over the skin as it is, as opening always is.
  Skin opened = document.skin();
  Kept kept(ctx.feedback);
  SkinIoContext keeping{kept, ctx.texts, ctx.budget};
  OpenSkinOver(opened, path, archive, keeping);
  // Without a readable settings file nothing was read.
  if (std::any_of(kept.messages.begin(), kept.messages.end(), IsSettingsFailure)) return false;
  AdoptOpenedSkin(document, std::move(opened), adoptAs.empty() ? path : adoptAs, archive, std::move(kept.messages));
  return true;
}

std::optional<Skin> OpenSkinApart(const std::string& path, bool archive, SkinIoContext& ctx) {
  Skin other;
  ResetSkinToDefaults(other);
  Kept kept(ctx.feedback);
  SkinIoContext keeping{kept, ctx.texts, ctx.budget};
  OpenSkinOver(other, path, archive, keeping);
  if (std::any_of(kept.messages.begin(), kept.messages.end(), IsSettingsFailure)) return std::nullopt;
  return other;
}
