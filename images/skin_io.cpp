#include "images/skin_io.h"

#include <sys/stat.h>

#include <optional>

#include "images/archive.h"
#include "images/bmp_writer.h"
#include "images/decode.h"
#include "images/file_io.h"

namespace {

constexpr std::string_view kSettingsFile = "uisettings.ini";

void Report(SkinIoContext& ctx, MessageKind kind, const std::string& subject, std::optional<ImageId> image = {}) {
  const Message m{kind, subject, image};
  ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
}
// Why a picture file gave no picture, as the message that says so.
MessageKind FailureOf(DecodeResult result) {
  return result.kind == DecodeResult::TooLarge ? MessageKind::TooLarge : MessageKind::UnknownFormat;
}

// The picture in a file's bytes, or nothing, reported, when there is none.
std::optional<Picture> DecodeReported(std::string_view bytes, bool reduce, const std::string& name, ImageId id,
                                      SkinIoContext& ctx) {
  Picture pic;
  const DecodeResult result = DecodeSkinImage(bytes, reduce, pic);
  if (!result) {
    Report(ctx, FailureOf(result), name, id);
    return std::nullopt;
  }
  return pic;
}

// Reads the file at `openPath`, shown to the user as `shownPath`. False when
// it cannot be opened; otherwise `picture` is its picture, or nothing when it
// holds none. Either failure is reported.
bool ReadReported(ImageId id, const std::string& openPath, const std::string& shownPath, SkinIoContext& ctx,
                  std::optional<Picture>& picture) {
  std::string bytes;
  switch (ReadWholeFile(openPath, bytes, kMaxPictureFileSize)) {
    case ReadStatus::CannotOpen: Report(ctx, MessageKind::FileNotFound, shownPath, id); return false;
    case ReadStatus::TooLarge: Report(ctx, MessageKind::TooLarge, shownPath, id); return true;
    case ReadStatus::Ok: break;
  }
  picture = DecodeReported(bytes, /*reduce=*/true, shownPath, id, ctx);
  return true;
}

// Opening a skin: a missing file leaves the picture as it was; a file that
// is there but gives no picture leaves it empty.
void LoadFromFile(Skin& skin, ImageId id, const std::string& openPath, const std::string& shownPath,
                  SkinIoContext& ctx) {
  std::optional<Picture> pic;
  if (!ReadReported(id, openPath, shownPath, ctx, pic)) return;
  skin.image(id) = pic ? std::move(*pic) : Picture();
}

}  // namespace

std::optional<Picture> ReadSkinImageFile(ImageId id, const std::string& path, SkinIoContext& ctx) {
  std::optional<Picture> pic;
  ReadReported(id, path, path, ctx, pic);
  return pic;
}

bool ImportSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx) {
  std::optional<Picture> pic = ReadSkinImageFile(id, path, ctx);
  if (!pic) return false;
  skin.image(id) = std::move(*pic);
  return true;
}

void LoadSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx) {
  LoadFromFile(skin, id, path, path, ctx);
}

void OpenSkinFolder(Skin& skin, const std::string& folder, SkinIoContext& ctx) {
  std::string settings;
  const std::string settingsPath = ResolvePathIgnoringCase(folder, kSettingsFile);
  if (ReadWholeFile(settingsPath, settings, kMaxPictureFileSize) != ReadStatus::Ok) {
    Report(ctx, MessageKind::SettingsMissing, JoinPath(folder, kSettingsFile));
    return;
  }
  ReadSkinSettings(skin, settings);
  int k = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    ctx.feedback.SetProgress(++k);
    LoadFromFile(skin, e.id, ResolvePathIgnoringCase(folder, e.file), JoinPath(folder, e.file), ctx);
  }
  ctx.feedback.SetProgress(0);
}

void OpenSkinArchive(Skin& skin, const std::string& archivePath, SkinIoContext& ctx) {
  std::unique_ptr<SkinArchive> archive = SkinArchive::Open(archivePath);
  const std::optional<std::size_t> settingsIndex = archive ? archive->FindSettings() : std::nullopt;
  if (!settingsIndex) {
    Report(ctx, MessageKind::SettingsMissing, archivePath);
    return;
  }
  const std::string& settingsName = archive->entries()[*settingsIndex].name;
  std::string settings;
  if (!archive->Extract(*settingsIndex, settings)) {
    // It is there, but damaged, encrypted or too large: not missing.
    Report(ctx, MessageKind::CannotExtract, settingsName);
    return;
  }
  const std::string root = SkinRootOf(settingsName);
  ReadSkinSettings(skin, settings);

  int k = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    ctx.feedback.SetProgress(++k);
    const std::string member = SkinMemberName(root, e.file);
    const std::optional<std::size_t> index = archive->Find(member);
    if (!index) {
      Report(ctx, MessageKind::FileNotFound, member, e.id);
      continue;
    }
    std::string bytes;
    std::optional<Picture> pic;
    if (archive->Extract(*index, bytes)) {
      pic = DecodeReported(bytes, /*reduce=*/false, member, e.id, ctx);
    } else {
      Report(ctx, MessageKind::CannotExtract, member, e.id);
    }
    skin.image(e.id) = pic ? std::move(*pic) : Picture();
  }
  ctx.feedback.SetProgress(0);
}

std::vector<SkinFile> EncodeSkinFiles(Skin& skin, const TypedInfo& typed, const DateTime& now) {
  std::vector<SkinFile> files;
  files.reserve(kImageCount + 1);
  files.push_back({std::string(kSettingsFile), WriteSkinSettings(skin, typed, now), std::nullopt, false});
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const Picture& pic = skin.image(e.id);
    // A picture that could not be decoded has nothing to write.
    files.push_back({std::string(e.file), pic.empty() ? std::string() : EncodeBmp16(pic), e.id, pic.empty()});
  }
  return files;
}

void WriteSkinFiles(const std::vector<SkinFile>& files, const std::string& folder, SkinIoContext& ctx,
                    FileSync sync) {
  FileReplacer replacer(sync);
  std::vector<std::string> paths;
  bool iconFolderMade = false;
  int k = 0;
  for (const SkinFile& f : files) {
    if (!iconFolderMade && f.path.starts_with("icon/")) {
      // An "icon" folder of another letter case is the one to write into.
      ::mkdir(ResolvePathIgnoringCase(folder, "icon").c_str(), 0777);  // an existing folder is fine
      iconFolderMade = true;
    }
    if (f.image) ctx.feedback.SetProgress(++k);
    // The name the folder already holds, in whatever letter case: on a card
    // that ignores case a second spelling would be the same file twice.
    paths.push_back(ResolvePathIgnoringCase(folder, f.path));
    if (!f.empty) replacer.Write(paths.back(), f.bytes);
  }
  // Failures are known once everything is flushed; they are told in file order.
  const std::vector<bool> written = replacer.Finish();
  std::size_t w = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].empty) {
      Report(ctx, MessageKind::PictureEmpty, paths[i], files[i].image);  // its old file, if any, stays
    } else if (!written[w++]) {
      Report(ctx, MessageKind::NotSaved, paths[i], files[i].image);
    }
  }
  ctx.feedback.SetProgress(0);
}

void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx) {
  WriteSkinFiles(EncodeSkinFiles(skin, typed, clock.Now()), folder, ctx, FileSync::Flush);
}
