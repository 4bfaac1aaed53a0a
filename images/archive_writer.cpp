#include "images/archive_writer.h"

#include <algorithm>

#include "platform/archive.h"
#include "platform/file_io.h"
#include "platform/zip_writer.h"
#include "skin/ascii.h"
#include "skin/printable.h"

namespace {

// A .zip dates its entries in MS-DOS form, 1980 to 2107: earlier dates are
// its first second, later ones its last.
void SetZipDate(ZipMember& m, const DateTime& t) {
  if (t.year < 1980) {
    m.year = 1980, m.month = 1, m.day = 1, m.hour = 0, m.minute = 0, m.second = 0;
  } else if (t.year > 2107) {
    m.year = 2107, m.month = 12, m.day = 31, m.hour = 23, m.minute = 59, m.second = 58;
  } else {
    m.year = t.year, m.month = t.month, m.day = t.day, m.hour = t.hour, m.minute = t.minute, m.second = t.second;
  }
}

std::string ArchivePath(std::string_view folder, const std::string& file) {
  return folder.empty() ? file : std::string(folder) + "/" + file;
}

// A name outside ASCII is marked as UTF-8, or other unzip programs read its
// bytes in the old DOS code page. A name that is not valid UTF-8 is left
// unmarked: the mark would be a lie.
bool MarkedUtf8(std::string_view name) {
  bool ascii = true;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n = Utf8SequenceLength(name.substr(i));
    if (n == 0) return false;
    ascii = ascii && n == 1;
    i += n;
  }
  return !ascii;
}

}  // namespace

std::string EncodeSkinArchive(const std::vector<SkinFile>& files, std::string_view folder, const DateTime& stamp) {
  std::vector<ZipMember> members;
  for (const SkinFile& f : files) {
    if (f.empty) continue;
    ZipMember& m = members.emplace_back();
    m.name = ArchivePath(folder, f.path);
    m.bytes = f.bytes;
    SetZipDate(m, stamp);
    m.utf8Name = MarkedUtf8(m.name);
  }
  return EncodeZip(members);
}

std::string ArchiveFolderName(const std::string& archivePath) {
  std::string name = archivePath.substr(archivePath.rfind('/') + 1);
  if (name.size() >= 4 && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".zip")) {
    name.resize(name.size() - 4);
  }
  // Every entry's name starts with this folder: nothing in it may climb out
  // of the folder an unzip makes ("..") or be taken for another separator,
  // a line of its listing, or text running the other way (U+202E).
  std::string clean;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t control = ControlSequenceLength(std::string_view(name).substr(i));
    clean += control > 0 || name[i] == '\\' ? '_' : name[i];
    i += std::max<std::size_t>(control, 1);
  }
  name = std::move(clean);
  for (std::size_t at; (at = name.find("..")) != std::string::npos;) name.erase(at, 1);
  return name.empty() || name == "." ? std::string("skin") : name;
}

void SaveSkinArchive(Skin& skin, const std::string& archivePath, const TypedInfo& typed, const Clock& clock,
                     SkinIoContext& ctx) {
  const DateTime now = clock.Now();
  WriteSkinArchive(EncodeSkinFiles(skin, typed, now), archivePath, ArchiveFolderName(archivePath), now, ctx);
}

std::optional<std::string> ArchiveSkinFolder(const std::string& archivePath) {
  const std::unique_ptr<SkinArchive> archive = SkinArchive::Open(archivePath);
  const std::optional<std::size_t> settings = archive ? archive->FindSettings() : std::nullopt;
  if (!settings) return std::nullopt;
  std::string root = SkinRootOf(archive->entries()[*settings].name);
  if (!root.empty()) root.pop_back();
  std::replace(root.begin(), root.end(), '\\', '/');
  return root;
}

namespace {

// Whether every entry of an archive lies below the skin's root and is the
// settings file, a picture of the skin or a folder of them.
bool HoldsOnlySkin(const SkinArchive& archive, const std::string& root) {
  const auto part = [&](std::string_view name) {
    if (name.size() < root.size() || !SameArchiveName(name.substr(0, root.size()), root)) return false;
    const std::string_view rel = name.substr(root.size());
    // The root's own folder entries, the icon folder, the settings, the pictures.
    if (rel.empty() || SameArchiveName(rel, "icon\\") || SameArchiveName(rel, "uisettings.ini")) return true;
    for (const CatalogueEntry& e : ImageCatalogue()) {
      if (SameArchiveName(rel, e.file)) return true;
    }
    return false;
  };
  for (const SkinArchive::Entry& entry : archive.entries()) {
    const std::string& name = entry.name;
    // A member without a name is no part of the skin (and has no last character).
    if (name.empty()) return false;
    // The folders above the root, as some archivers list them.
    const bool above = name.back() == '\\' && name.size() <= root.size() &&
                       SameArchiveName(name, std::string_view(root).substr(0, name.size()));
    if (!above && !part(name)) return false;
  }
  return true;
}

}  // namespace

bool ArchiveHoldsOnlySkin(const std::string& archivePath) {
  const std::unique_ptr<SkinArchive> archive = SkinArchive::Open(archivePath);
  const std::optional<std::size_t> settings = archive ? archive->FindSettings() : std::nullopt;
  return settings && HoldsOnlySkin(*archive, SkinRootOf(archive->entries()[*settings].name));
}

ArchiveResave PrepareArchiveResave(std::vector<SkinFile>& files, const std::string& archivePath) {
  ArchiveResave out;
  const std::unique_ptr<SkinArchive> archive = SkinArchive::Open(archivePath);
  const std::optional<std::size_t> settings = archive ? archive->FindSettings() : std::nullopt;
  if (!settings) return out;
  const std::string root = SkinRootOf(archive->entries()[*settings].name);
  out.skinFound = true;
  out.folder = root.empty() ? root : root.substr(0, root.size() - 1);
  std::replace(out.folder.begin(), out.folder.end(), '\\', '/');
  out.holdsOnlySkin = HoldsOnlySkin(*archive, root);
  for (SkinFile& f : files) {
    if (!f.empty) continue;
    const std::string member = SkinMemberName(root, f.path);
    const std::optional<std::size_t> index = archive->Find(member);
    if (!index) continue;  // nothing there to lose
    std::string bytes;
    if (archive->Extract(*index, bytes) != ExtractStatus::Ok) {
      out.lost.push_back(archive->entries()[*index].name);
      continue;
    }
    // Kept as it is: the save writes what the archive held.
    f.bytes = std::move(bytes);
    f.empty = false;
    f.carried = true;
  }
  return out;
}

void WriteSkinArchive(const std::vector<SkinFile>& files, const std::string& archivePath, std::string_view folder,
                      const DateTime& now, SkinIoContext& ctx) {
  int k = 0;
  for (const SkinFile& f : files) {
    if (f.image) ctx.feedback.SetProgress(++k);
    if (f.empty) {
      const Message m{MessageKind::PictureEmpty, ArchivePath(folder, f.path), f.image};
      ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
    }
  }
  const std::string bytes = EncodeSkinArchive(files, folder, now);
  // An archive is often the only copy: it is replaced whole or not at all,
  // never written over in place.
  WriteRefusal refusal = WriteRefusal::None;
  if (bytes.empty() || !ReplaceFile(archivePath, bytes, FileSync::Flush, Whole::Always, &refusal)) {
    const bool inPlaceOnly = refusal == WriteRefusal::HardLinks || refusal == WriteRefusal::FolderReadOnly;
    const Message m{inPlaceOnly ? MessageKind::NotReplacedWhole : MessageKind::NotSaved, archivePath, std::nullopt};
    ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
  }
  ctx.feedback.SetProgress(0);
}
