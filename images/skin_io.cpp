#include "images/skin_io.h"

#include <algorithm>
#include <optional>

#include "images/bmp_writer.h"
#include "images/decode.h"
#include "platform/archive.h"
#include "platform/file_io.h"

namespace {

constexpr std::string_view kSettingsFile = "uisettings.ini";
// Enough of a picture file to know the size its header claims.
constexpr std::size_t kHeadBytes = 64;
// Files up to this size are read whole at once: their decoder checks the
// claim, and reading a header first would only cost time.
constexpr unsigned long long kReadWhole = 1u << 20;

// `kept`: a failed import, after which the picture keeps what it held.
void Report(SkinIoContext& ctx, MessageKind kind, const std::string& subject, std::optional<ImageId> image = {},
            bool kept = false) {
  Message m{kind, subject, image};
  m.pictureKept = kept;
  ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
}

// Why a picture file gave no picture, as the message that says so.
MessageKind FailureOf(DecodeResult result) {
  switch (result.kind) {
    case DecodeResult::TooLarge: return MessageKind::TooLarge;
    case DecodeResult::OverBudget: return MessageKind::OverBudget;
    default: return MessageKind::UnknownFormat;
  }
}

// A header that claims more than `allowance` pixels: the file is refused
// before the rest of it is read or inflated.
std::optional<MessageKind> OverClaim(std::string_view head, long long allowance) {
  const std::optional<long long> claimed = ClaimedPixels(head);
  if (!claimed || *claimed <= allowance) return std::nullopt;
  return *claimed > kMaxImagePixels ? MessageKind::TooLarge : MessageKind::OverBudget;
}

// The picture in a file's bytes, or nothing, reported, when there is none.
std::optional<Picture> DecodeReported(std::string_view bytes, bool reduce, long long allowance, const std::string& name,
                                      ImageId id, SkinIoContext& ctx) {
  Picture pic;
  const DecodeResult result = DecodeSkinImage(bytes, reduce, pic, allowance);
  if (!result) {
    Report(ctx, FailureOf(result), name, id);
    return std::nullopt;
  }
  return pic;
}

// What came of reading a picture file's bytes.
enum class FileBytes {
  Read,
  Absent,   // cannot be read at all: missing, no permission, not a file
  Refused,  // there, but larger than a picture file or its claim may be
};

// Reads the file at `openPath`, shown to the user as `shownPath`; failures
// are reported.
FileBytes ReadPictureBytes(std::optional<ImageId> id, const std::string& openPath, const std::string& shownPath,
                           long long allowance, SkinIoContext& ctx, std::string& bytes, bool import = false) {
  RegularFile file;
  ReadStatus status = file.Open(openPath);
  if (status == ReadStatus::Ok && file.size() > kReadWhole) {
    status = file.ReadHead(kHeadBytes, bytes);
    if (const std::optional<MessageKind> over = OverClaim(bytes, allowance)) {
      Report(ctx, *over, shownPath, id, import);
      return FileBytes::Refused;
    }
  }
  if (status == ReadStatus::Ok) status = file.ReadAll(kMaxPictureFileSize, bytes);
  if (status == ReadStatus::Ok) return FileBytes::Read;
  Report(ctx, ReadFailure(status, false), shownPath, id, import);
  return status == ReadStatus::TooLarge ? FileBytes::Refused : FileBytes::Absent;
}

// Reads the file at `openPath`, shown to the user as `shownPath`. False when
// it cannot be read at all (missing, no permission, not a file); otherwise
// `picture` is its picture, or nothing when it holds none. Either failure is
// reported.
bool ReadReported(ImageId id, const std::string& openPath, const std::string& shownPath, long long allowance,
                  SkinIoContext& ctx, std::optional<Picture>& picture) {
  std::string bytes;
  const FileBytes read = ReadPictureBytes(id, openPath, shownPath, allowance, ctx, bytes);
  if (read == FileBytes::Read) picture = DecodeReported(bytes, /*reduce=*/true, allowance, shownPath, id, ctx);
  return read != FileBytes::Absent;
}

// The decoded file at `path` for an import, or nothing, reported.
std::optional<SourcePicture> ReadSourceReported(std::optional<ImageId> id, const std::string& path,
                                                long long allowance, SkinIoContext& ctx) {
  std::string bytes;
  if (ReadPictureBytes(id, path, path, allowance, ctx, bytes, /*import=*/true) != FileBytes::Read) return std::nullopt;
  SourcePicture source;
  if (const DecodeResult result = DecodeSource(bytes, source, allowance); !result) {
    Report(ctx, FailureOf(result), path, id, /*kept=*/true);
    return std::nullopt;
  }
  return source;
}

// Opening a skin: a missing file leaves the picture as it was; a file that
// is there but gives no picture leaves it empty.
void LoadFromFile(Skin& skin, ImageId id, const std::string& openPath, const std::string& shownPath,
                  SkinIoContext& ctx) {
  std::optional<Picture> pic;
  if (!ReadReported(id, openPath, shownPath, PixelAllowance(skin, id, ctx.budget), ctx, pic)) return;
  skin.image(id) = pic ? std::move(*pic) : Picture();
}

// One picture of an archive, within what the skin and the archive's
// inflate budget allow; nothing, reported, when it gives none.
std::optional<Picture> ExtractPicture(SkinArchive& archive, std::size_t index, const std::string& member, ImageId id,
                                      long long allowance, SkinIoContext& ctx) {
  std::string bytes;
  ExtractStatus status = ExtractStatus::Ok;
  if (archive.entries()[index].uncompressedSize > kReadWhole) {
    status = archive.ExtractHead(index, kHeadBytes, bytes);
    if (const std::optional<MessageKind> over = OverClaim(bytes, allowance)) {
      Report(ctx, *over, member, id);
      return std::nullopt;
    }
  }
  if (status == ExtractStatus::Ok) status = archive.Extract(index, bytes);
  switch (status) {
    case ExtractStatus::Ok: return DecodeReported(bytes, /*reduce=*/false, allowance, member, id, ctx);
    case ExtractStatus::TooLarge: Report(ctx, MessageKind::TooLarge, member, id); break;
    case ExtractStatus::OverBudget: Report(ctx, MessageKind::OverBudget, member, id); break;
    case ExtractStatus::Encrypted:
    case ExtractStatus::Damaged: Report(ctx, MessageKind::CannotExtract, member, id); break;
  }
  return std::nullopt;
}

}  // namespace

long long PixelAllowance(const Skin& skin, ImageId id, const SkinBudget& budget) {
  long long others = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (e.id != id) others += static_cast<long long>(skin.image(e.id).pixels.size());
  }
  return std::max(0LL, budget.pixels - others);
}

MessageKind ReadFailure(ReadStatus status, bool settings) {
  switch (status) {
    case ReadStatus::NotReadable: return MessageKind::CannotRead;
    case ReadStatus::NotRegular: return MessageKind::NotAFile;
    case ReadStatus::TooLarge: return settings ? MessageKind::SettingsTooLarge : MessageKind::TooLarge;
    case ReadStatus::NotFound:
    case ReadStatus::Ok: break;
  }
  return settings ? MessageKind::SettingsMissing : MessageKind::FileNotFound;
}

ReadStatus ReadSettingsFile(const std::string& path, std::string& out) {
  return ReadWholeFile(path, out, kMaxSettingsFileSize);
}

std::optional<SourcePicture> ReadSourceFile(const std::string& path, SkinIoContext& ctx) {
  return ReadSourceReported(std::nullopt, path, kMaxImagePixels, ctx);
}

int ExpectedWidth(ImageId id) { return CatalogueEntryOf(id).builtinWidth; }
int ExpectedHeight(ImageId id) { return CatalogueEntryOf(id).builtinHeight; }

std::optional<Picture> FinishImport(ImageId id, SourcePicture source, FitMode fit, long long allowance,
                                    const std::string& shownPath, SkinIoContext& ctx) {
  if (fit != FitMode::Keep) source = FitPicture(source, ExpectedWidth(id), ExpectedHeight(id), fit);
  if (source.rgb.empty()) {
    Report(ctx, MessageKind::UnknownFormat, shownPath, id, /*kept=*/true);
    return std::nullopt;
  }
  if (static_cast<long long>(source.rgb.pixels.size()) > allowance) {
    Report(ctx, MessageKind::OverBudget, shownPath, id, /*kept=*/true);
    return std::nullopt;
  }
  AlphaReport alpha;
  Picture picture = FinishPicture(std::move(source), &alpha);
  if (alpha.halfTransparent > 0) {
    const Message m{MessageKind::HalfTransparent, shownPath, id, alpha.halfTransparent, alpha.keptOpaque};
    ctx.feedback.Note(m, FormatMessage(m, ctx.texts));
  }
  return picture;
}

std::optional<Picture> ReadSkinImageFile(ImageId id, const std::string& path, SkinIoContext& ctx, long long allowance,
                                         FitMode fit) {
  // Kept as it is, the file must fit into what the skin has room for before
  // it is decoded; fitted, only what it becomes must, and the decoding is
  // bounded by the limits of one picture.
  std::optional<SourcePicture> source =
      ReadSourceReported(id, path, fit == FitMode::Keep ? allowance : kMaxImagePixels, ctx);
  if (!source) return std::nullopt;
  return FinishImport(id, std::move(*source), fit, allowance, path, ctx);
}

bool ImportSkinImageFile(Skin& skin, ImageId id, const std::string& path, SkinIoContext& ctx, FitMode fit) {
  std::optional<Picture> pic = ReadSkinImageFile(id, path, ctx, PixelAllowance(skin, id, ctx.budget), fit);
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
  if (const ReadStatus status = ReadSettingsFile(settingsPath, settings); status != ReadStatus::Ok) {
    Report(ctx, ReadFailure(status, true), status == ReadStatus::NotFound ? JoinPath(folder, kSettingsFile) : settingsPath);
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
  ReadStatus opened = ReadStatus::Ok;
  std::unique_ptr<SkinArchive> archive = SkinArchive::Open(archivePath, &opened, ctx.budget.archiveInflate);
  const std::optional<std::size_t> settingsIndex = archive ? archive->FindSettings() : std::nullopt;
  if (!settingsIndex) {
    // A file that is there and readable but no archive at all (cut short,
    // or something else named .zip) is damaged: it may well hold a skin, so
    // it is not called one without a settings file.
    const bool damaged = !archive && opened == ReadStatus::Ok;
    Report(ctx, damaged ? MessageKind::CannotExtract : ReadFailure(opened, true), archivePath);
    return;
  }
  const SkinArchive::Entry& settingsEntry = archive->entries()[*settingsIndex];
  const std::string settingsName = settingsEntry.name;
  std::string settings;
  if (settingsEntry.uncompressedSize > kMaxSettingsFileSize) {
    Report(ctx, MessageKind::SettingsTooLarge, settingsName);
    return;
  }
  if (archive->Extract(*settingsIndex, settings) != ExtractStatus::Ok) {
    // It is there, but damaged or encrypted: not missing.
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
    std::optional<Picture> pic =
        ExtractPicture(*archive, *index, member, e.id, PixelAllowance(skin, e.id, ctx.budget), ctx);
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
                    FileSync sync, OutsideLinks links) {
  FileReplacer replacer(sync);
  replacer.ConfineTo(folder, links);
  std::vector<std::string> paths;
  std::optional<std::string> madeIconFolder;
  int k = 0;
  bool ready = true;
  for (const SkinFile& f : files) {
    if (!madeIconFolder && f.path.starts_with("icon/")) {
      // An "icon" folder of another letter case is the one to write into.
      const std::string icon = ResolvePathIgnoringCase(folder, "icon");
      madeIconFolder = MakeFolder(icon) ? icon : std::string();
    }
    if (f.image) ctx.feedback.SetProgress(++k);
    // The name the folder already holds, in whatever letter case: on a card
    // that ignores case a second spelling would be the same file twice.
    paths.push_back(ResolvePathIgnoringCase(folder, f.path));
    // After a failure nothing more is prepared: nothing will be written.
    if (!f.empty && ready) ready = replacer.Write(paths.back(), f.bytes);
  }
  // Failures are known once everything is flushed; they are told in file order.
  const std::vector<WriteOutcome> written = replacer.Finish();
  std::size_t w = 0;
  bool abandoned = false;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].empty) {
      Report(ctx, MessageKind::PictureEmpty, paths[i], files[i].image);  // its old file, if any, stays
      continue;
    }
    const WriteOutcome outcome = w < written.size() ? written[w++] : WriteOutcome::Abandoned;
    switch (outcome) {
      case WriteOutcome::Written: break;
      case WriteOutcome::Failed: Report(ctx, MessageKind::NotSaved, paths[i], files[i].image); break;
      case WriteOutcome::DiskFull: Report(ctx, MessageKind::DiskFull, paths[i], files[i].image); break;
      case WriteOutcome::LinkOutside: Report(ctx, MessageKind::LinkOutside, paths[i], files[i].image); break;
      case WriteOutcome::Abandoned: break;
    }
    abandoned = abandoned || outcome != WriteOutcome::Written;
  }
  if (abandoned) {
    Report(ctx, MessageKind::SaveAbandoned, folder);
    // A folder made for this save goes again when nothing was put in it.
    if (madeIconFolder && !madeIconFolder->empty()) RemoveEmptyFolder(*madeIconFolder);
  }
  ctx.feedback.SetProgress(0);
}

std::vector<std::string> SavedFileNames(const Skin& skin) {
  std::vector<std::string> names{std::string(kSettingsFile)};
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!skin.image(e.id).empty()) names.emplace_back(e.file);
  }
  return names;
}

std::vector<std::string> LinksLeavingFolder(const std::vector<std::string>& files, const std::string& folder) {
  std::vector<std::string> out;
  for (const std::string& file : files) {
    const std::string path = ResolvePathIgnoringCase(folder, file);
    if (LeadsOutside(folder, path)) out.push_back(path.substr(std::min(path.size(), folder.size() + 1)));
  }
  return out;
}

void SaveSkinFolder(Skin& skin, const std::string& folder, const TypedInfo& typed, const Clock& clock,
                    SkinIoContext& ctx, OutsideLinks links) {
  WriteSkinFiles(EncodeSkinFiles(skin, typed, clock.Now()), folder, ctx, FileSync::Flush, links);
}

SkinStamps StampSkin(const std::string& path, bool archive) {
  SkinStamps stamps{path, archive, {}};
  if (path.empty()) return stamps;
  if (archive) {
    stamps.files.emplace_back(path, StampOf(path));
    return stamps;
  }
  const auto add = [&](std::string_view file) {
    stamps.files.emplace_back(std::string(file), StampOf(ResolvePathIgnoringCase(path, file)));
  };
  add(kSettingsFile);
  for (const CatalogueEntry& e : ImageCatalogue()) add(e.file);
  return stamps;
}

std::vector<std::string> ChangedOnDisk(const SkinStamps& stamps) {
  std::vector<std::string> changed;
  for (const auto& [file, stamp] : stamps.files) {
    const FileStamp now = StampOf(stamps.archive ? file : ResolvePathIgnoringCase(stamps.path, file));
    if (!(now == stamp)) changed.push_back(file);
  }
  return changed;
}

void RestampFile(SkinStamps& stamps, std::string_view file) {
  for (auto& [name, stamp] : stamps.files) {
    if (name == file) stamp = StampOf(stamps.archive ? name : ResolvePathIgnoringCase(stamps.path, name));
  }
}
