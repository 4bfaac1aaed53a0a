#include "images/import_folder.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/file_io.h"
#include "platform/folder_list.h"
#include "skin/ascii.h"

namespace {

// Picture extensions in the order of preference when a folder holds several
// files for one picture. The catalogue's own file name comes before all of
// them (in a folder that is a skin, that file is the picture the firmware
// reads); then the lossless kinds, BMP before PNG as the firmware's own
// format; JPEG, which loses detail, last. Among names that differ only in
// letter case, the smaller byte string wins, so a run never depends on the
// order the file system lists them in.
constexpr const auto& kExtensions = kPictureExtensions;

std::optional<std::size_t> ExtensionRank(std::string_view name) {
  for (std::size_t i = 0; i < kExtensions.size(); ++i) {
    const std::string_view ext = kExtensions[i];
    if (name.size() > ext.size() && EqualsIgnoringAsciiCase(name.substr(name.size() - ext.size()), ext)) return i;
  }
  return std::nullopt;
}

struct Candidate {
  std::string name;  // file name in its folder
  std::string path;
  std::size_t rank;  // 0 for the catalogue's own name, else 1 + extension rank
};

bool Before(const Candidate& a, const Candidate& b) { return a.rank != b.rank ? a.rank < b.rank : a.name < b.name; }

// The picture a file names within its folder (top folder or icons).
std::optional<ImageId> PictureNamed(std::string_view name, bool inIconFolder, std::size_t& rank) {
  const std::optional<std::size_t> ext = ExtensionRank(name);
  if (!ext) return std::nullopt;
  const std::string_view stem = name.substr(0, name.size() - kExtensions[*ext].size());
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (e.name.starts_with("icon/") != inIconFolder || !EqualsIgnoringAsciiCase(stem, e.baseName())) continue;
    const std::string_view file = e.file.substr(e.file.rfind('/') + 1);
    rank = name == file ? 0 : 1 + *ext;
    return e.id;
  }
  return std::nullopt;
}

}  // namespace

FolderImport ReadPictureFolder(const std::string& folder, SkinIoContext& ctx, const Skin& base, FitMode fit) {
  FolderImport result;
  if (!IsExistingFolder(folder)) {
    const Message m{MessageKind::FileNotFound, folder, std::nullopt};
    ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
    return result;
  }
  result.folderFound = true;
  std::array<std::vector<Candidate>, kImageCount> candidates;
  const std::string icons = ResolvePathIgnoringCase(folder, "icon");
  for (const bool iconFolder : {false, true}) {
    const std::string dir = iconFolder ? icons : folder;
    for (const std::string& name : RegularFilesIn(dir)) {
      std::size_t rank = 0;
      const std::string path = JoinPath(dir, name);
      if (const std::optional<ImageId> id = PictureNamed(name, iconFolder, rank)) {
        candidates[static_cast<std::size_t>(*id)].push_back({name, path, rank});
      } else if (ExtensionRank(name)) {
        result.unmatched.push_back(path);
      }
    }
  }
  // What the skin will hold: the pictures of `base`, each replaced as it is taken.
  std::array<long long, kImageCount> pixels{};
  long long total = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) total += pixels[std::size_t(e.id)] = base.image(e.id).pixels.size();
  for (const CatalogueEntry& e : ImageCatalogue()) {
    std::vector<Candidate>& files = candidates[static_cast<std::size_t>(e.id)];
    if (files.empty()) continue;
    std::sort(files.begin(), files.end(), Before);
    for (std::size_t i = 1; i < files.size(); ++i) result.passedOver.push_back({files[i].path, e.id, files[0].path});
    long long& mine = pixels[std::size_t(e.id)];
    const long long allowance = std::max(0LL, ctx.budget.pixels - (total - mine));
    if (std::optional<Picture> picture = ReadSkinImageFile(e.id, files[0].path, ctx, allowance, fit)) {
      total += static_cast<long long>(picture->pixels.size()) - mine;
      mine = static_cast<long long>(picture->pixels.size());
      result.pictures.push_back({e.id, files[0].path, std::move(*picture)});
    }
  }
  return result;
}

void ApplyFolderImport(Skin& skin, const FolderImport& import) {
  for (const FolderImport::Taken& t : import.pictures) skin.image(t.image) = t.picture;
}
