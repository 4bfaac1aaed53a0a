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

void ReportNotFound(SkinIoContext& ctx, const std::string& name) {
  ctx.feedback.ShowError(name + " : " + ctx.texts.fileNotFound);
}
void ReportUnknown(SkinIoContext& ctx, const std::string& name) {
  ctx.feedback.ShowError(name + ": " + ctx.texts.fileUnknown);
}
void ReportNotSaved(SkinIoContext& ctx, const std::string& name) {
  ctx.feedback.ShowError(name + ": " + ctx.texts.fileNotSaved);
}
void ReportSettingsMissing(SkinIoContext& ctx, const std::string& where) {
  ctx.feedback.ShowError(where + " : " + ctx.texts.settingsMissing);
}

void SetDecoded(Skin& skin, ImageId id, std::string_view bytes, bool reduce, const std::string& name,
                SkinIoContext& ctx) {
  Picture& target = skin.image(id);
  target = Picture();  // the old picture is given up before decoding
  if (std::optional<Picture> pic = DecodeSkinImage(bytes, reduce)) {
    target = std::move(*pic);
  } else {
    ReportUnknown(ctx, name);
  }
}

void LoadFromFile(Skin& skin, ImageId id, const std::string& openPath, const std::string& shownPath,
                  SkinIoContext& ctx) {
  std::string bytes;
  switch (ReadWholeFile(openPath, bytes, kMaxPictureFileSize)) {
    case ReadStatus::CannotOpen: ReportNotFound(ctx, shownPath); return;
    case ReadStatus::TooLarge:
      skin.image(id) = Picture();
      ReportUnknown(ctx, shownPath);
      return;
    case ReadStatus::Ok: break;
  }
  SetDecoded(skin, id, bytes, /*reduce=*/true, shownPath, ctx);
}

}  // namespace

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
      ReportNotFound(ctx, member);
      continue;
    }
    std::string bytes;
    if (!archive->Extract(*index, bytes)) {
      skin.image(e.id) = Picture();
      ReportUnknown(ctx, member);
      continue;
    }
    SetDecoded(skin, e.id, bytes, /*reduce=*/false, member, ctx);
  }
  ctx.feedback.SetProgress(0);
}

void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx) {
  const std::string settingsPath = JoinPath(folder, kSettingsFile);
  if (!ReplaceFile(settingsPath, WriteSkinSettings(skin, typed, clock.Now()))) ReportNotSaved(ctx, settingsPath);

  bool iconFolderMade = false;
  int k = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!iconFolderMade && e.file.starts_with("icon/")) {
      ::mkdir(JoinPath(folder, "icon").c_str(), 0777);  // an existing folder is fine
      iconFolderMade = true;
    }
    ctx.feedback.SetProgress(++k);
    const std::string path = JoinPath(folder, e.file);
    const Picture& pic = skin.image(e.id);
    // A picture that could not be decoded has nothing to write; its old file stays.
    if (pic.empty() || !ReplaceFile(path, EncodeBmp16(pic))) ReportNotSaved(ctx, path);
  }
  ctx.feedback.SetProgress(0);
}
