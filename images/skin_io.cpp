#include "images/skin_io.h"

#include <sys/stat.h>

#include <optional>

#include "images/archive.h"
#include "images/bmp_writer.h"
#include "images/decode.h"
#include "images/file_io.h"
#include "skin/ascii.h"

namespace {

constexpr std::string_view kSettingsFile = "uisettings.ini";

void Report(SkinIoContext& ctx, MessageKind kind, const std::string& subject, std::optional<ImageId> image = {}) {
  const Message m{kind, subject, image};
  ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
}
void ReportNotFound(SkinIoContext& ctx, const std::string& name, ImageId id) {
  Report(ctx, MessageKind::FileNotFound, name, id);
}
void ReportUnknown(SkinIoContext& ctx, const std::string& name, ImageId id) {
  Report(ctx, MessageKind::UnknownFormat, name, id);
}
void ReportNotSaved(SkinIoContext& ctx, const std::string& name, std::optional<ImageId> id) {
  Report(ctx, MessageKind::NotSaved, name, id);
}
void ReportSettingsMissing(SkinIoContext& ctx, const std::string& where) {
  Report(ctx, MessageKind::SettingsMissing, where);
}

void SetDecoded(Skin& skin, ImageId id, std::string_view bytes, bool reduce, const std::string& name,
                SkinIoContext& ctx) {
  Picture& target = skin.image(id);
  target = Picture();  // the old picture is given up before decoding
  if (std::optional<Picture> pic = DecodeSkinImage(bytes, reduce)) {
    target = std::move(*pic);
  } else {
    ReportUnknown(ctx, name, id);
  }
}

void LoadFromFile(Skin& skin, ImageId id, const std::string& openPath, const std::string& shownPath,
                  SkinIoContext& ctx) {
  std::string bytes;
  switch (ReadWholeFile(openPath, bytes, kMaxPictureFileSize)) {
    case ReadStatus::CannotOpen: ReportNotFound(ctx, shownPath, id); return;
    case ReadStatus::TooLarge:
      skin.image(id) = Picture();
      ReportUnknown(ctx, shownPath, id);
      return;
    case ReadStatus::Ok: break;
  }
  SetDecoded(skin, id, bytes, /*reduce=*/true, shownPath, ctx);
}

}  // namespace

std::optional<Picture> ReadSkinImageFile(ImageId id, const std::string& path, SkinIoContext& ctx) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, kMaxPictureFileSize)) {
    case ReadStatus::CannotOpen: ReportNotFound(ctx, path, id); return std::nullopt;
    case ReadStatus::TooLarge: ReportUnknown(ctx, path, id); return std::nullopt;
    case ReadStatus::Ok: break;
  }
  std::optional<Picture> pic = DecodeSkinImage(bytes, /*reduce=*/true);
  if (!pic) ReportUnknown(ctx, path, id);
  return pic;
}

void LoadSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx) {
  LoadFromFile(skin, id, path, path, ctx);
}

void OpenSkinFolder(Skin& skin, const std::string& folder, SkinIoContext& ctx) {
  std::string settings;
  const std::string settingsPath = ResolvePathIgnoringCase(folder, kSettingsFile);
  if (ReadWholeFile(settingsPath, settings, kMaxPictureFileSize) != ReadStatus::Ok) {
    ReportSettingsMissing(ctx, JoinPath(folder, kSettingsFile));
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
  std::optional<std::size_t> settingsIndex;
  if (archive) {
    const auto& entries = archive->entries();
    for (std::size_t i = 0; i < entries.size() && !settingsIndex; ++i) {
      const std::string& name = entries[i].name;
      const std::size_t slash = name.rfind('\\');
      if (EqualsIgnoringAsciiCase(slash == std::string::npos ? name : std::string_view(name).substr(slash + 1),
                             kSettingsFile)) {
        settingsIndex = i;
      }
    }
  }
  std::string settings;
  if (!settingsIndex || !archive->Extract(*settingsIndex, settings)) {
    ReportSettingsMissing(ctx, archivePath);
    return;
  }
  const std::string& settingsName = archive->entries()[*settingsIndex].name;
  const std::string root = settingsName.substr(0, settingsName.rfind('\\') + 1);
  ReadSkinSettings(skin, settings);

  int k = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    ctx.feedback.SetProgress(++k);
    std::string member = root;
    for (char c : e.file) member += c == '/' ? '\\' : c;
    const std::optional<std::size_t> index = archive->Find(member);
    if (!index) {
      ReportNotFound(ctx, member, e.id);
      continue;
    }
    std::string bytes;
    if (!archive->Extract(*index, bytes)) {
      skin.image(e.id) = Picture();
      ReportUnknown(ctx, member, e.id);
      continue;
    }
    SetDecoded(skin, e.id, bytes, /*reduce=*/false, member, ctx);
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

void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx) {
  const std::vector<SkinFile> files = EncodeSkinFiles(skin, typed, clock.Now());
  bool iconFolderMade = false;
  int k = 0;
  for (const SkinFile& f : files) {
    if (!iconFolderMade && f.path.starts_with("icon/")) {
      ::mkdir(JoinPath(folder, "icon").c_str(), 0777);  // an existing folder is fine
      iconFolderMade = true;
    }
    if (f.image) ctx.feedback.SetProgress(++k);
    const std::string path = JoinPath(folder, f.path);
    // An empty picture's old file stays.
    if (f.empty || !ReplaceFile(path, f.bytes)) ReportNotSaved(ctx, path, f.image);
  }
  ctx.feedback.SetProgress(0);
}
