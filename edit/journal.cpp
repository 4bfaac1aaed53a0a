#include "edit/journal.h"

#include <algorithm>

#include "images/archive_writer.h"
#include "images/defaults.h"
#include "skin/settings_file.h"

namespace {

// The journal's archive is dated with a fixed moment: the skin's own
// LastUpdate lives in the manifest.
constexpr DateTime kJournalStamp{2000, 1, 1, 0, 0, 0};

JournalManifest::Kind ManifestKind(SkinOrigin::Kind kind) {
  switch (kind) {
    case SkinOrigin::Kind::Folder: return JournalManifest::Kind::Folder;
    case SkinOrigin::Kind::Archive: return JournalManifest::Kind::Archive;
    case SkinOrigin::Kind::BuiltIn: break;
  }
  return JournalManifest::Kind::BuiltIn;
}

}  // namespace

JournalManifest JournalManifestOf(const Document& document, const DateTime& lastEdit, long long pid, long long started) {
  JournalManifest m;
  m.pid = pid;
  m.started = started;
  m.time = lastEdit;
  m.kind = ManifestKind(document.origin().kind);
  m.origin = document.origin().path;
  m.saveTarget = document.origin().saveTarget;
  m.lastUpdate = document.skin().info.LastUpdate;
  return m;
}

std::string EncodeJournalArchive(Skin skin) {
  const std::vector<SkinFile> files = EncodeSkinFiles(skin, TypedInfoOf(skin), kJournalStamp);
  return EncodeSkinArchive(files, "journal", kJournalStamp);
}

SkinOrigin OriginOfJournal(const JournalManifest& m) {
  SkinOrigin origin;
  origin.kind = m.kind == JournalManifest::Kind::Folder    ? SkinOrigin::Kind::Folder
                : m.kind == JournalManifest::Kind::Archive ? SkinOrigin::Kind::Archive
                                                           : SkinOrigin::Kind::BuiltIn;
  origin.path = m.origin;
  origin.saveTarget = m.saveTarget;
  return origin;
}

std::optional<Skin> ReadJournalSkin(const std::string& archivePath, const JournalManifest& manifest) {
  Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector messages;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{messages, texts};
  OpenSkinArchive(skin, archivePath, ctx);
  if (std::any_of(messages.messages.begin(), messages.messages.end(), IsSettingsFailure)) return std::nullopt;
  skin.info.LastUpdate = manifest.lastUpdate;
  return skin;
}
