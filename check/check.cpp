#include "check/check.h"

#include "check/near_names.h"
#include "skin/ascii.h"
#include "skin/budgets.h"

namespace {

constexpr std::string_view kSettingsFile = "uisettings.ini";

std::string_view FileName(std::string_view path) { return path.substr(path.rfind('/') + 1); }
std::string_view Folder(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}
std::string_view Stem(std::string_view name) { return name.substr(0, name.rfind('.')); }

// The names the firmware reads: the settings file and the catalogue's files.
std::vector<std::string_view> FirmwareNames() {
  std::vector<std::string_view> names{kSettingsFile};
  for (const CatalogueEntry& e : ImageCatalogue()) names.push_back(e.file);
  return names;
}

// The firmware name a stray file was probably meant to be: the same name
// with another extension or in the other folder ("startbar.png",
// "icon/lamp.bmp", "nds.bmp" beside uisettings.ini), else a name at most two
// letters away in the same folder. The nearest wins; the catalogue's order
// breaks ties.
std::optional<std::string_view> MeantName(std::string_view file, const std::vector<std::string_view>& names) {
  std::optional<std::string_view> best;
  int bestDistance = 3;
  for (std::string_view name : names) {
    const bool sameFolder = EqualsIgnoringAsciiCase(Folder(file), Folder(name));
    if (sameFolder && EqualsIgnoringAsciiCase(FileName(file), FileName(name))) return std::nullopt;  // in use
    int d = 3;
    if (EqualsIgnoringAsciiCase(Stem(FileName(file)), Stem(FileName(name)))) {
      d = sameFolder ? 0 : 1;
    } else if (sameFolder) {
      d = NameDistance(FileName(file), FileName(name), 2);
    }
    if (d < bestDistance) bestDistance = d, best = name;
  }
  return best;
}

void Append(std::vector<Problem>& to, std::vector<Problem> from) {
  for (Problem& p : from) to.push_back(std::move(p));
}

}  // namespace

std::optional<Problem> ProblemFromMessage(const Message& m) {
  if (m.kind == MessageKind::HalfTransparent) return std::nullopt;  // a note of what an import did, no problem
  const ProblemSubject settings = ProblemSubject::SettingsFile();
  if (IsSettingsFailure(m)) {
    switch (m.kind) {
      case MessageKind::SettingsMissing:
        return MakeProblem(ProblemCode::MissingSettings, ProblemText::MissingSettings, settings, {m.subject});
      case MessageKind::SettingsTooLarge:
        return MakeProblem(ProblemCode::UnreadableSettings, ProblemText::SettingsTooLarge, settings,
                           {m.subject, std::to_string(kMaxSettingsFileSize)});
      default:
        return MakeProblem(ProblemCode::UnreadableSettings, ProblemText::UnreadableSettings, settings, {m.subject});
    }
  }
  if (!m.image) return std::nullopt;  // the messages of saving, or a folder of pictures not found
  const ProblemSubject name = ProblemSubject::Picture(*m.image);
  const auto unreadable = [&](ProblemText text, std::vector<std::string> params) {
    params.insert(params.begin(), m.subject);
    return MakeProblem(ProblemCode::UnreadablePicture, text, name, std::move(params));
  };
  switch (m.kind) {
    case MessageKind::FileNotFound:
      return MakeProblem(ProblemCode::MissingPicture, ProblemText::MissingPicture, name, {m.subject});
    case MessageKind::CannotRead:
    case MessageKind::NotAFile: return unreadable(ProblemText::PictureNoAccess, {});
    case MessageKind::TooLarge:
      return unreadable(m.pictureKept ? ProblemText::ImportTooLarge : ProblemText::PictureTooLarge,
                        {std::to_string(kMaxImageDimension), std::to_string(kMaxImagePixels)});
    case MessageKind::OverBudget:
      return unreadable(m.pictureKept ? ProblemText::ImportOverBudget : ProblemText::PictureOverBudget,
                        {std::to_string(kMaxSkinPixels)});
    case MessageKind::UnknownFormat:
    case MessageKind::CannotExtract:
      return unreadable(m.pictureKept ? ProblemText::ImportUnreadable : ProblemText::UnreadablePicture, {});
    default: break;
  }
  return std::nullopt;
}

std::vector<Problem> CheckSourceFiles(const SkinSource& source, const std::array<bool, kImageCount>& madeBy) {
  std::vector<Problem> problems;
  static const std::vector<std::string_view> names = FirmwareNames();
  for (const std::string& file : source.files) {
    if (FileName(file).starts_with('.')) continue;  // the desktop's own hidden files
    if (const std::optional<std::string_view> meant = MeantName(file, names)) {
      problems.push_back(
          MakeProblem(ProblemCode::StrayFile, ProblemText::StrayFile, ProblemSubject::File(file), {std::string(*meant)}));
    }
  }
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const auto i = static_cast<std::size_t>(e.id);
    if (!madeBy[i] || source.pictureKind[i].empty()) continue;
    problems.push_back(MakeProblem(ProblemCode::Not16Bit, ProblemText::Not16Bit, ProblemSubject::Picture(e.id),
                                   {source.picturePath[i], source.pictureKind[i]}));
  }
  return problems;
}

std::vector<Problem> CheckSkin(const Skin& skin, const CheckInput& input) {
  std::vector<Problem> problems;
  for (const Message& m : input.messages) {
    if (std::optional<Problem> p = ProblemFromMessage(m)) problems.push_back(std::move(*p));
  }
  // Each picture comes from the last source that holds its file (a source
  // without settings opens nothing), unless it was replaced afterwards.
  std::array<int, kImageCount> madeBy;
  madeBy.fill(-1);
  for (std::size_t s = 0; s < input.sources.size(); ++s) {
    if (!input.sources[s].settingsFound) continue;
    for (std::size_t i = 0; i < kImageCount; ++i) {
      if (input.sources[s].pictureFound[i]) madeBy[i] = static_cast<int>(s);
    }
  }
  for (std::size_t s = 0; s < input.sources.size(); ++s) {
    const SkinSource& source = input.sources[s];
    if (source.settingsFound) Append(problems, CheckSettingsText(source.settings));
    std::array<bool, kImageCount> mine{};
    for (std::size_t i = 0; i < kImageCount; ++i) mine[i] = madeBy[i] == int(s) && !input.replaced[i];
    Append(problems, CheckSourceFiles(source, mine));
  }
  Append(problems, CheckPictureSizes(skin));
  Append(problems, CheckKeyInOpaque(skin));
  Append(problems, CheckPlacement(skin));
  Append(problems, CheckContrast(skin));
  return LimitPerCode(std::move(problems), kMaxProblemsPerCode);
}
