#include "edit/document_files.h"

#include "check/skin_source.h"
#include "images/archive_writer.h"

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
