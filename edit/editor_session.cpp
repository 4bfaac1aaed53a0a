#include "edit/editor_session.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "edit/changes.h"
#include "edit/panel_tables.h"
#include "skin/ascii.h"
#include "skin/schema.h"

namespace {

// One per press, for the whole run and every session of it: the merge keys
// of a drag and of the nudges after it, which no other press may share
// (a window built again keeps the document's history).
int NextSerial() {
  static std::atomic<int> serial{0};
  return ++serial;
}

std::int32_t ReadNumber(const Skin& skin, const std::string& section, const char* key) {
  return std::get<std::int32_t>(ReadField(skin, SkinFieldOf(section, key)));
}

}  // namespace

PreviewCursor CursorFor(const std::optional<PreviewPick>& pick) {
  if (!pick || pick->empty()) return PreviewCursor::Arrow;
  return pick->moves ? PreviewCursor::Move : PreviewCursor::Point;
}

PreviewTarget SelectionOf(const PreviewPick& pick) {
  PreviewTarget target;
  target.source = pick.source;
  if (pick.source == TraceSource::None && !pick.elements.empty()) {
    target.element = pick.moves.value_or(pick.elements.Sections().back());
  }
  return target;
}

int NudgeStep(bool shift) { return shift ? 10 : 1; }

EditorSession::EditorSession(Document& document, int threshold) : document_(document), threshold_(threshold) {}

bool EditorSession::Hover(const PreviewTarget& target) {
  if (hover_ == target) return false;
  hover_ = target;
  return true;
}

void EditorSession::Forget() {
  selection_ = {};
  hover_ = {};
  state_ = Held::None;
  held_.reset();
}

bool EditorSession::MoveHeld(std::int32_t x, std::int32_t y, const std::string& gesture) {
  return document_.Apply(MoveElement(SectionName(*held_), x, y, gesture));
}

GestureResult EditorSession::Press(const std::optional<PreviewPick>& pick, int zx, int zy) {
  GestureResult result;
  // Outside the picture nothing is picked: the selection and the record the
  // arrows move stay, and no drag starts.
  if (!pick) {
    state_ = Held::None;
    return result;
  }
  serial_ = NextSerial();
  state_ = Held::Pressed;
  pressX_ = zx;
  pressY_ = zy;
  held_ = pick->moves;
  if (held_) {
    const std::string section = SectionName(*held_);
    startX_ = ReadNumber(document_.skin(), section, "x");
    startY_ = ReadNumber(document_.skin(), section, "y");
  }
  selection_ = SelectionOf(*pick);
  result.selectionChanged = true;
  result.record = held_;
  return result;
}

GestureResult EditorSession::Move(int zx, int zy, float zoom) {
  GestureResult result;
  result.record = held_;
  if (state_ == Held::Pressed && std::abs(zx - pressX_) + std::abs(zy - pressY_) >= threshold_) state_ = Held::Moving;
  if (state_ != Held::Moving || !held_) return result;
  const int dx = PreviewDistance(zx - pressX_, zoom), dy = PreviewDistance(zy - pressY_, zoom);
  result.moved = MoveHeld(MovedValue(startX_, dx, kElementMaxX), MovedValue(startY_, dy, kElementMaxY),
                          "drag " + std::to_string(serial_));
  return result;
}

void EditorSession::Release() { state_ = Held::None; }

GestureResult EditorSession::Escape() {
  GestureResult result;
  result.record = held_;
  // Back to where it was, merged into the drag's own step: the step goes.
  if (state_ == Held::Moving && held_) result.moved = MoveHeld(startX_, startY_, "drag " + std::to_string(serial_));
  if (state_ != Held::None) state_ = Held::Cancelled;
  return result;
}

GestureResult EditorSession::Nudge(int dx, int dy) {
  GestureResult result;
  result.record = held_;
  if (!held_) return result;
  const std::string section = SectionName(*held_);
  const std::int32_t x = ReadNumber(document_.skin(), section, "x"), y = ReadNumber(document_.skin(), section, "y");
  result.moved = MoveHeld(MovedValue(x, dx, kElementMaxX), MovedValue(y, dy, kElementMaxY),
                          "nudge " + std::to_string(serial_));
  return result;
}

std::int64_t NextJournalWrite(std::int64_t firstUnsavedMs, std::int64_t lastEditMs) {
  return std::min(lastEditMs + kJournalQuietMs, firstUnsavedMs + kJournalLongestDelayMs);
}

const char* PanelTabName(PanelFocus::Tab tab) {
  switch (tab) {
    case PanelFocus::Tab::Colours: return "colours";
    case PanelFocus::Tab::Images: return "images";
    case PanelFocus::Tab::Elements: return "elements";
    case PanelFocus::Tab::Information: return "information";
    case PanelFocus::Tab::None: break;
  }
  return "none";
}

namespace {

// The preview screen whose controls include the one for the subject.
std::optional<int> ControlScreen(const ProblemSubject& s) {
  for (const ImageControl& c : ImageControls()) {
    if (s.image == c.image) return c.screen;
  }
  if (s.kind != ProblemSubject::Kind::Field && s.kind != ProblemSubject::Kind::Section) return std::nullopt;
  for (const ColourControl& c : ColourControls()) {
    if (s.section == kGlobalSettingsSection && s.key == c.name) return c.screen;
  }
  for (const ElementControl& c : ElementControls()) {
    if (EqualsIgnoringAsciiCase(s.section, c.section)) return c.screen;
  }
  return std::nullopt;
}

bool ElementRowHas(const ElementControl& c, std::string_view key) {
  return (c.flag && key == c.flag) || (c.x && key == "x") || (c.y && key == "y") || (c.w && key == "w");
}

constexpr const char* kInformationKeys[] = {"Title", "Author", "eMail", "Url", "LastUpdate"};

}  // namespace

PanelFocus FocusOfProblem(const ProblemSubject& s, std::optional<int> screen) {
  PanelFocus focus;
  focus.screen = screen ? screen : ControlScreen(s);
  if (s.kind == ProblemSubject::Kind::Picture) {
    for (const ImageControl& c : ImageControls()) {
      if (s.image == c.image) {
        focus.tab = PanelFocus::Tab::Images;
        focus.picture = CatalogueEntryOf(c.image).name;
      }
    }
    return focus;
  }
  if (s.kind != ProblemSubject::Kind::Field && s.kind != ProblemSubject::Kind::Section) return focus;
  // A section as the file wrote it may differ from ours in letter case.
  std::string section = s.section;
  bool row = false, rowHasKey = false;
  for (const ElementControl& c : ElementControls()) {
    if (!EqualsIgnoringAsciiCase(section, c.section)) continue;
    section = c.section;
    row = true;
    rowHasKey = rowHasKey || ElementRowHas(c, s.key);
  }
  if (const std::optional<SkinField> field = FindSkinField(section, s.key)) {
    for (const ColourControl& c : ColourControls()) {
      if (c.field() == *field) return {focus.screen, PanelFocus::Tab::Colours, section, s.key, {}};
    }
    if (rowHasKey) return {focus.screen, PanelFocus::Tab::Elements, section, s.key, {}};
    if (section == kSkinInfoSection) {
      for (const char* key : kInformationKeys) {
        if (s.key == key) return {focus.screen, PanelFocus::Tab::Information, section, s.key, {}};
      }
    }
  }
  // No control of its own: the row of its section, where there is one.
  if (row) return {focus.screen, PanelFocus::Tab::Elements, section, {}, {}};
  return focus;
}

int ScreenAfter(ScreenCause) { return 0; }

TypedText TakeTypedText(const SkinField& field, std::string_view utf8) {
  TypedText typed;
  if (IsReadOnlyField(field)) {
    typed.outcome = TypedText::Outcome::ReadOnly;
    return typed;
  }
  std::optional<std::string> latin1 = SettingsText(utf8);
  if (!latin1) return typed;
  typed.outcome = TypedText::Outcome::Taken;
  typed.latin1 = std::move(*latin1);
  return typed;
}

bool IsReadOnlyField(const SkinField& field) {
  return field.section == kSkinInfoSection && field.field && field.field->key == "LastUpdate";
}

std::vector<std::string> FilesChangedSinceRead(const SkinStamps& known, const std::string& target,
                                               const std::vector<SeenFile>& now) {
  std::vector<std::string> changed;
  if (known.path.empty() || known.path != target) return changed;
  for (const auto& file : known.files) {
    const std::string& name = file.first;
    const auto seen = std::find_if(now.begin(), now.end(), [&](const SeenFile& f) { return f.name == name; });
    const FileStamp there = seen == now.end() ? FileStamp{} : seen->stamp;
    if (!(there == file.second)) changed.push_back(name);
  }
  return changed;
}

std::vector<SeenFile> SeeOnDisk(const SkinStamps& known) {
  std::vector<SeenFile> seen;
  for (const auto& [name, stamp] : known.files) {
    seen.push_back({name, StampOf(known.archive ? name : ResolvePathIgnoringCase(known.path, name))});
  }
  return seen;
}
