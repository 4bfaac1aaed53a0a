#include "check/skin_source.h"

#include <algorithm>
#include <memory>

#include "images/decode.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"
#include "images/skin_io.h"
#include "platform/archive.h"
#include "platform/file_io.h"
#include "platform/folder_list.h"
#include "skin/ascii.h"

namespace {

constexpr std::string_view kSettingsFile = "uisettings.ini";

std::uint32_t Le(std::string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + std::size_t(i)]);
  return v;
}

// What a picture file is, from its first bytes; empty for the 16-bit BMP
// that opening reads directly, and for what no decoder takes.
std::string KindOf(std::string_view head) {
  if (IsBmp16Direct(head)) return "";
  if (IsPng(head)) return "PNG";
  if (IsJpeg(head)) return "JPEG";
  if (head.size() < 34 || head[0] != 'B' || head[1] != 'M') return "";
  const bool core = Le(head, 14, 4) == 12;  // the old 12-byte header keeps its depth elsewhere
  const std::uint32_t bits = core ? Le(head, 24, 2) : Le(head, 28, 2);
  const std::uint32_t compression = core ? 0 : Le(head, 30, 4);
  std::string kind = std::to_string(bits) + "-bit BMP";
  if (compression == 1 || compression == 2) kind += " with run-length compression";
  if (compression == 3 || compression == 6) kind += " with bit fields";
  return kind;
}

// Enough of a file to tell what it is.
constexpr std::size_t kHeadBytes = 64;

void ReadFolder(const std::string& folder, SkinSource& s) {
  s.settingsFound = ReadSettingsFile(ResolvePathIgnoringCase(folder, kSettingsFile), s.settings) == ReadStatus::Ok;
  s.files = RegularFilesIn(folder);
  // The icon folder is found whatever its letter case, as opening finds it.
  const std::string icons = ResolvePathIgnoringCase(folder, "icon");
  const std::string iconName = icons.substr(icons.rfind('/') + 1);
  for (const std::string& f : RegularFilesIn(icons)) s.files.push_back(iconName + "/" + f);
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const std::string path = ResolvePathIgnoringCase(folder, e.file);
    // Only a regular file is looked into: a pipe would wait for a writer.
    std::string head;
    if (ReadFileHead(path, head, kHeadBytes) != ReadStatus::Ok) continue;
    const auto i = static_cast<std::size_t>(e.id);
    s.pictureFound[i] = true;
    s.picturePath[i] = JoinPath(folder, e.file);
    s.pictureKind[i] = KindOf(head);
  }
}

// The skin below the first entry named uisettings.ini, as opening finds it.
void ReadArchive(const std::string& path, SkinSource& s) {
  const std::unique_ptr<SkinArchive> archive = SkinArchive::Open(path);
  if (!archive) return;
  const auto& entries = archive->entries();
  const std::optional<std::size_t> settings = archive->FindSettings();
  if (!settings) return;
  const std::string root = SkinRootOf(entries[*settings].name);
  s.settingsFound = entries[*settings].uncompressedSize <= kMaxSettingsFileSize &&
                    archive->Extract(*settings, s.settings) == ExtractStatus::Ok;
  for (const SkinArchive::Entry& e : entries) {
    if (e.name.size() <= root.size() || !SameArchiveName(std::string_view(e.name).substr(0, root.size()), root)) continue;
    std::string rel = e.name.substr(root.size());
    const std::size_t slash = rel.find('\\');
    if (slash != std::string::npos && (rel.find('\\', slash + 1) != std::string::npos ||
                                       !EqualsIgnoringAsciiCase(std::string_view(rel).substr(0, slash), "icon"))) {
      continue;  // deeper folders are no part of the skin
    }
    if (rel.back() == '\\') continue;  // a folder entry
    std::replace(rel.begin(), rel.end(), '\\', '/');
    s.files.push_back(std::move(rel));
  }
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const std::string member = SkinMemberName(root, e.file);
    const std::optional<std::size_t> index = archive->Find(member);
    std::string bytes;
    if (!index) continue;
    const auto i = static_cast<std::size_t>(e.id);
    s.pictureFound[i] = true;
    s.picturePath[i] = member;
    // Its first bytes tell what it is: the rest is not inflated again.
    if (archive->ExtractHead(*index, kHeadBytes, bytes) == ExtractStatus::Ok) s.pictureKind[i] = KindOf(bytes);
  }
}

}  // namespace

SkinSource ReadSkinSource(const std::string& path) {
  SkinSource s;
  s.path = path;
  if (IsExistingFolder(path)) {
    ReadFolder(path, s);
  } else {
    ReadArchive(path, s);
  }
  return s;
}
