#include "edit/take_from.h"

#include <algorithm>

#include "check/problem_json.h"
#include "edit/panel_tables.h"
#include "images/defaults.h"
#include "skin/ascii.h"
#include "skin/schema.h"

namespace {

constexpr std::array<TakeGroupEntry, kTakeGroupCount> kGroups = {{
    {TakeGroup::Colours, "colours", "LANG_TAKE_COLORS$"},
    {TakeGroup::Pictures, "pictures", "LANG_TAKE_PICTURES$"},
    {TakeGroup::Positions, "positions", "LANG_TAKE_POSITIONS$"},
    {TakeGroup::Info, "info", "LANG_TAKE_INFO$"},
}};

bool IsElementSection(std::string_view section) {
  return section != kSkinInfoSection && section != kGlobalSettingsSection;
}

// The group a field belongs to, by its kind and section; nothing for
// LastUpdate, which a save stamps.
std::optional<TakeGroup> GroupOfField(std::string_view section, const SchemaField& field) {
  switch (field.kind) {
    case FieldKind::Colour: return TakeGroup::Colours;
    case FieldKind::Number:
      if (IsElementSection(section)) return TakeGroup::Positions;
      break;
    case FieldKind::Text:
      if (section == kSkinInfoSection && field.key != "LastUpdate") return TakeGroup::Info;
      break;
  }
  return std::nullopt;
}

std::vector<TakeItem> MakeItems() {
  std::vector<TakeItem> colours, pictures, positions, info;
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& field : s.fields) {
      const SkinField f{s.name, &field};
      const std::optional<TakeGroup> group = GroupOfField(s.name, field);
      if (!group) continue;
      switch (*group) {
        case TakeGroup::Colours: colours.push_back({*group, f.Name(), {f}, {}, -1}); break;
        case TakeGroup::Info: info.push_back({*group, f.Name(), {f}, {}, -1}); break;
        case TakeGroup::Positions:
          // One item a record: its numbers and flags together.
          if (positions.empty() || positions.back().name != s.name) positions.push_back({*group, std::string(s.name), {}, {}, -1});
          positions.back().fields.push_back(f);
          break;
        case TakeGroup::Pictures: break;
      }
    }
  }
  // The pictures as the Images tab shows them, then those it has no button for.
  std::array<bool, kImageCount> placed{};
  for (const ImageControl& c : ImageControls()) {
    pictures.push_back({TakeGroup::Pictures, std::string(CatalogueEntryOf(c.image).name), {}, c.image, c.screen});
    placed[static_cast<std::size_t>(c.image)] = true;
  }
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!placed[static_cast<std::size_t>(e.id)]) pictures.push_back({TakeGroup::Pictures, std::string(e.name), {}, e.id, -1});
  }
  std::vector<TakeItem> all;
  for (std::vector<TakeItem>* group : {&colours, &pictures, &positions, &info}) {
    all.insert(all.end(), group->begin(), group->end());
  }
  return all;
}

std::size_t IndexOf(const TakeItem& item) { return static_cast<std::size_t>(&item - TakeItems().data()); }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find(separator, at);
    parts.push_back(Trimmed(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at)));
    if (end == std::string_view::npos) return parts;
    at = end + 1;
  }
}

std::string GroupNames() {
  std::string names;
  for (const TakeGroupEntry& g : kGroups) names += std::string(names.empty() ? "" : ", ") + g.name;
  return names;
}

// What an item of a group is, for a message that names one that is not there.
const char* ItemKind(TakeGroup group) {
  switch (group) {
    case TakeGroup::Colours: return "colour field (formFrameColor, [main list] textColor, ...)";
    case TakeGroup::Pictures: return "picture (startbar, icon/nds, ...)";
    case TakeGroup::Positions: return "element record ([start bar], [start menu], ...)";
    case TakeGroup::Info: return "information text (Title, Author, eMail, Url)";
  }
  return "";
}

const TakeItem* FindNamedItem(TakeGroup group, std::string_view name) {
  if (const TakeItem* item = FindTakeItem(group, name)) return item;
  // A record may be named without its brackets: "start bar".
  if (group == TakeGroup::Positions && !name.empty() && name.front() != '[') {
    return FindTakeItem(group, "[" + std::string(name) + "]");
  }
  return nullptr;
}

const char* StateName(TakePictureState state) {
  switch (state) {
    case TakePictureState::Read: return "read";
    case TakePictureState::Missing: return "missing";
    case TakePictureState::Unreadable: return "unreadable";
  }
  return "";
}

std::string ColourJson(Rgb24 c) {
  return "[" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "]";
}

std::string ValueJson(const FieldValue& value) {
  if (const auto* n = std::get_if<std::int32_t>(&value)) return std::to_string(*n);
  if (const auto* c = std::get_if<Rgb24>(&value)) return ColourJson(*c);
  return JsonString(std::get<std::string>(value));
}

// Every message a face's feedback hears, kept; the progress passes on.
class Kept final : public Feedback {
 public:
  explicit Kept(Feedback& face) : face_(face) {}
  void ShowError(const std::string&) override {}
  void SetProgress(int value) override { face_.SetProgress(value); }
  void Report(const Message& message, const std::string&) override { messages.push_back(message); }
  std::vector<Message> messages;

 private:
  Feedback& face_;
};

}  // namespace

const std::array<TakeGroupEntry, kTakeGroupCount>& TakeGroups() { return kGroups; }

const TakeGroupEntry& TakeGroupOf(TakeGroup group) { return kGroups[static_cast<std::size_t>(group)]; }

std::optional<TakeGroup> FindTakeGroup(std::string_view name) {
  for (const TakeGroupEntry& g : kGroups) {
    if (name == g.name) return g.group;
  }
  return std::nullopt;
}

const std::vector<TakeItem>& TakeItems() {
  static const std::vector<TakeItem> items = MakeItems();
  return items;
}

const TakeItem* FindTakeItem(TakeGroup group, std::string_view name) {
  for (const TakeItem& item : TakeItems()) {
    if (item.group == group && item.name == name) return &item;
  }
  return nullptr;
}

TakeChoice::TakeChoice() : chosen_(TakeItems().size(), false) {}

TakeChoice TakeChoice::All() {
  TakeChoice all;
  for (const TakeGroupEntry& g : kGroups) all.Choose(g.group);
  return all;
}

void TakeChoice::Choose(TakeGroup group, bool on) {
  for (const TakeItem& item : TakeItems()) {
    if (item.group == group) Choose(item, on);
  }
}

void TakeChoice::Choose(const TakeItem& item, bool on) { chosen_[IndexOf(item)] = on; }

bool TakeChoice::Chosen(const TakeItem& item) const { return chosen_[IndexOf(item)]; }

bool TakeChoice::Empty() const { return std::none_of(chosen_.begin(), chosen_.end(), [](bool b) { return b; }); }

std::optional<TakeChoice> ParseTakeChoice(std::string_view text, std::string& error) {
  TakeChoice choice;
  if (Trimmed(text).empty()) {
    error = "no group is named (the groups are " + GroupNames() + ")";
    return std::nullopt;
  }
  for (std::string_view part : Split(text, ';')) {
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos) {
      // Whole groups, one or several: "colours", "colours,positions".
      for (std::string_view name : Split(part, ',')) {
        const std::optional<TakeGroup> group = FindTakeGroup(name);
        if (!group) {
          error = name.empty() ? "a group is missing between separators"
                               : "unknown group '" + std::string(name) + "' (the groups are " + GroupNames() + ")";
          return std::nullopt;
        }
        choice.Choose(*group);
      }
      continue;
    }
    const std::string_view groupName = Trimmed(part.substr(0, eq));
    const std::optional<TakeGroup> group = FindTakeGroup(groupName);
    if (!group) {
      error = "unknown group '" + std::string(groupName) + "' (the groups are " + GroupNames() + ")";
      return std::nullopt;
    }
    for (std::string_view name : Split(part.substr(eq + 1), ',')) {
      const TakeItem* item = FindNamedItem(*group, name);
      if (!item) {
        if (name.empty()) error = std::string(groupName) + "= is missing a name";
        else if (*group == TakeGroup::Info && name == "LastUpdate") error = "LastUpdate is stamped by a save and never taken";
        else error = "no " + std::string(ItemKind(*group)) + " is named '" + std::string(name) + "'";
        return std::nullopt;
      }
      choice.Choose(*item);
    }
  }
  return choice;
}

std::string FormatTakeChoice(const TakeChoice& choice) {
  std::string out;
  for (const TakeGroupEntry& g : kGroups) {
    std::vector<const TakeItem*> items;
    bool whole = true;
    for (const TakeItem& item : TakeItems()) {
      if (item.group != g.group) continue;
      if (choice.Chosen(item)) items.push_back(&item);
      else whole = false;
    }
    if (items.empty()) continue;
    if (!out.empty()) out += ';';
    out += g.name;
    if (whole) continue;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "=") + items[i]->name;
  }
  return out;
}

std::optional<TakeSource> ReadTakeSource(const std::string& path, bool archive, SkinIoContext& ctx) {
  TakeSource source;
  source.name = SkinNameOfPath(path);
  ResetSkinToDefaults(source.skin);
  Kept kept(ctx.feedback);
  SkinIoContext keeping{kept, ctx.texts, ctx.budget};
  if (archive) OpenSkinArchive(source.skin, path, keeping);
  else OpenSkinFolder(source.skin, path, keeping);
  if (std::any_of(kept.messages.begin(), kept.messages.end(), IsSettingsFailure)) {
    // Nothing was read: the face says why.
    for (const Message& m : kept.messages) {
      if (!m.image) ctx.feedback.Report(m, FormatMessage(m, ctx.texts));
    }
    return std::nullopt;
  }
  for (const Message& m : kept.messages) {
    if (!m.image) continue;
    // A picture not there keeps the built-in one it was opened over; one
    // that could not be read is empty. Neither is the other skin's.
    source.pictures[static_cast<std::size_t>(*m.image)] =
        m.kind == MessageKind::FileNotFound ? TakePictureState::Missing : TakePictureState::Unreadable;
    source.messages.push_back(m);
  }
  return source;
}

std::string SkinNameOfPath(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() > 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".zip")) name.remove_suffix(4);
  return std::string(name);
}

std::vector<ImageId> PicturesNotTaken(const TakeSource& source, const TakeChoice& choice) {
  std::vector<ImageId> out;
  for (const TakeItem& item : TakeItems()) {
    if (item.picture && choice.Chosen(item) && !source.Has(*item.picture)) out.push_back(*item.picture);
  }
  return out;
}

std::vector<ImageId> PicturesOverBudget(const TakeSource& source, const TakeChoice& choice, const Skin& current,
                                        long long budget) {
  long long total = 0;
  for (const Picture& p : current.images) total += static_cast<long long>(p.pixels.size());
  std::vector<std::pair<ImageId, long long>> growing;  // and by how much
  for (const TakeItem& item : TakeItems()) {
    if (!item.picture || !choice.Chosen(item) || !source.Has(*item.picture)) continue;
    const long long more = static_cast<long long>(source.skin.image(*item.picture).pixels.size()) -
                           static_cast<long long>(current.image(*item.picture).pixels.size());
    if (more <= 0) total += more;
    else growing.emplace_back(*item.picture, more);
  }
  std::vector<ImageId> over;
  for (const auto& [id, more] : growing) {
    if (total + more > budget) over.push_back(id);
    else total += more;
  }
  return over;
}

std::vector<Message> TakeMessages(const TakeSource& source, const TakeChoice& choice, const Skin& current,
                                  long long budget) {
  const std::vector<ImageId> left = PicturesNotTaken(source, choice);
  std::vector<Message> out;
  for (const Message& m : source.messages) {
    if (m.image && std::find(left.begin(), left.end(), *m.image) != left.end()) out.push_back(m);
  }
  for (ImageId id : PicturesOverBudget(source, choice, current, budget)) {
    Message m{MessageKind::OverBudget, std::string(CatalogueEntryOf(id).name), id};
    m.pictureKept = true;
    out.push_back(std::move(m));
  }
  return out;
}

SkinEdit TakeFromSkin::Make(const Skin& skin) {
  SkinEdit edit;
  edit.name = StepText::Of("LANG_STEP_TAKE_FROM$", {source_.name});
  const std::vector<ImageId> over = PicturesOverBudget(source_, choice_, skin, budget_);
  for (const TakeItem& item : TakeItems()) {
    if (!choice_.Chosen(item)) continue;
    for (const SkinField& f : item.fields) {
      FieldValue theirs = ReadField(source_.skin, f);
      if (!(ReadField(skin, f) == theirs)) edit.Set(skin, f, std::move(theirs));
    }
    if (!item.picture || !source_.Has(*item.picture)) continue;
    const ImageId id = *item.picture;
    if (std::find(over.begin(), over.end(), id) == over.end() && !(skin.image(id) == source_.skin.image(id))) {
      edit.Replace(skin, id, source_.skin.image(id));
    }
  }
  return edit;
}

std::string TakeSourceJson(const TakeSource& source, const Skin& current) {
  std::string out = "{\"name\":" + JsonString(source.name) + ",\"groups\":[";
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    const TakeGroupEntry& group = kGroups[g];
    out += std::string(g ? "," : "") + "{\"group\":" + JsonString(group.name) + ",\"text\":" + JsonString(group.textKey) +
           ",\"items\":[";
    bool first = true;
    for (const TakeItem& item : TakeItems()) {
      if (item.group != group.group) continue;
      out += std::string(first ? "" : ",") + "{\"name\":" + JsonString(item.name);
      first = false;
      bool differs = false;
      if (item.picture) {
        const ImageId id = *item.picture;
        const Picture& theirs = source.skin.image(id);
        differs = source.Has(id) && !(theirs == current.image(id));
        out += ",\"state\":" + JsonString(StateName(source.state(id))) + ",\"screen\":" + std::to_string(item.screen) +
               ",\"width\":" + std::to_string(source.Has(id) ? theirs.width : 0) +
               ",\"height\":" + std::to_string(source.Has(id) ? theirs.height : 0);
      } else if (item.group == TakeGroup::Positions) {
        out += ",\"section\":" + JsonString(item.name) + ",\"fields\":[";
        for (std::size_t i = 0; i < item.fields.size(); ++i) {
          const FieldValue theirs = ReadField(source.skin, item.fields[i]);
          const FieldValue mine = ReadField(current, item.fields[i]);
          differs = differs || !(theirs == mine);
          out += std::string(i ? "," : "") + "{\"key\":" + JsonString(item.fields[i].field->key) +
                 ",\"value\":" + ValueJson(theirs) + ",\"current\":" + ValueJson(mine) + "}";
        }
        out += "]";
      } else {
        const SkinField& f = item.fields.front();
        const FieldValue theirs = ReadField(source.skin, f);
        const FieldValue mine = ReadField(current, f);
        differs = !(theirs == mine);
        out += ",\"section\":" + JsonString(f.section) + ",\"key\":" + JsonString(f.field->key) +
               ",\"value\":" + ValueJson(theirs) + ",\"current\":" + ValueJson(mine);
      }
      out += ",\"differs\":" + std::string(differs ? "true" : "false") + "}";
    }
    out += "]}";
  }
  out += "],\"missing\":[";
  std::string unreadable;
  bool firstMissing = true;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (source.state(e.id) == TakePictureState::Missing) {
      out += std::string(firstMissing ? "" : ",") + JsonString(e.name);
      firstMissing = false;
    } else if (source.state(e.id) == TakePictureState::Unreadable) {
      unreadable += std::string(unreadable.empty() ? "" : ",") + JsonString(e.name);
    }
  }
  return out + "],\"unreadable\":[" + unreadable + "]}";
}
