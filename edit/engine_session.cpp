#include "edit/engine_session.h"

#include "edit/document_snapshot.h"
#include "edit/mnemonics.h"
#include "edit/view_zoom.h"
#include "preview/scale.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "check/check.h"
#include "check/problem_json.h"
#include "edit/about_texts.h"
#include "edit/changes.h"
#include "edit/document_files.h"
#include "edit/journal.h"
#include "edit/panel_tables.h"
#include "edit/picture_import.h"
#include "images/archive_writer.h"
#include "images/colour_work.h"
#include "images/defaults.h"
#include "images/fit.h"
#include "images/import_folder.h"
#include "images/screenshot.h"
#include "images/skin_io.h"
#include "platform/file_io.h"
#include "platform/folder_list.h"
#include "preview/filters.h"
#include "skin/ascii.h"
#include "skin/colour.h"
#include "skin/schema.h"

namespace {

const char* MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::FileNotFound: return "file-not-found";
    case MessageKind::UnknownFormat: return "unknown-format";
    case MessageKind::NotSaved: return "not-saved";
    case MessageKind::SettingsMissing: return "settings-missing";
    case MessageKind::PictureEmpty: return "picture-empty";
    case MessageKind::CannotExtract: return "cannot-extract";
    case MessageKind::TooLarge: return "too-large";
    case MessageKind::CannotRead: return "cannot-read";
    case MessageKind::NotAFile: return "not-a-file";
    case MessageKind::SettingsTooLarge: return "settings-too-large";
    case MessageKind::OverBudget: return "over-budget";
    case MessageKind::NotReplacedWhole: return "not-replaced-whole";
    case MessageKind::HalfTransparent: return "half-transparent";
    case MessageKind::DiskFull: return "disk-full";
    case MessageKind::LinkOutside: return "link-outside";
    case MessageKind::SaveAbandoned: return "save-abandoned";
  }
  return "";
}

// Every message of one operation, the notes among them, and its progress
// passed on to whoever hears it.
class Collected : public Feedback {
 public:
  explicit Collected(const std::function<void(int)>* progress = nullptr) : progress_(progress) {}
  void ShowError(const std::string&) override {}
  void SetProgress(int value) override {
    if (progress_ && *progress_) (*progress_)(value);
  }
  void Report(const Message& message, const std::string&) override {
    messages.push_back(message);
    noted.push_back(false);
  }
  void Note(const Message& message, const std::string&) override {
    messages.push_back(message);
    noted.push_back(true);
  }
  // The texts of what was reported (or, with `notes`, noted), in order.
  std::vector<std::string> Texts(bool notes, const MessageTexts& texts) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < messages.size(); ++i) {
      if (noted[i] == notes) out.push_back(FormatMessage(messages[i], texts));
    }
    return out;
  }
  std::vector<Message> messages;
  std::vector<bool> noted;

 private:
  const std::function<void(int)>* progress_;
};

std::string ColourJson(Rgb24 c) {
  return "[" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "]";
}

std::string FieldValueJson(const FieldValue& value) {
  if (const auto* n = std::get_if<std::int32_t>(&value)) return std::to_string(*n);
  if (const auto* c = std::get_if<Rgb24>(&value)) return ColourJson(*c);
  return JsonString(std::get<std::string>(value));
}

const char* KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return "text";
    case FieldKind::Number: return "number";
    case FieldKind::Colour: return "colour";
  }
  return "";
}

const char* OriginKindName(SkinOrigin::Kind kind) {
  switch (kind) {
    case SkinOrigin::Kind::BuiltIn: return "built-in";
    case SkinOrigin::Kind::Folder: return "folder";
    case SkinOrigin::Kind::Archive: return "archive";
  }
  return "";
}

const char* CursorName(PreviewCursor cursor) {
  switch (cursor) {
    case PreviewCursor::Arrow: return "default";
    case PreviewCursor::Move: return "move";
    case PreviewCursor::Point: return "pointer";
  }
  return "default";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

std::optional<SkinField> Field(std::string_view section, std::string_view key) { return FindSkinField(section, key); }

Rgb24 RgbOf(std::uint32_t rgb) { return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)}; }

// The moment a save stamps: `seconds` since 1970 in local time, or now when
// negative.
DateTime StampTime(double seconds, const Clock& clock) {
  if (seconds < 0) return clock.Now();
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string TargetJson(const PreviewTarget& t) {
  switch (KindOf(t.source)) {
    case SourceKind::Colour:
      return "{\"kind\":\"colour\",\"section\":" + JsonString(ColourSection(t.source).name) +
             ",\"key\":" + JsonString(ColourField(t.source).key) + "}";
    case SourceKind::Picture:
      return "{\"kind\":\"picture\",\"name\":" + JsonString(CatalogueEntryOf(ImageOf(t.source)).name) + "}";
    case SourceKind::None: break;
  }
  if (t.element) return "{\"kind\":\"element\",\"section\":" + JsonString(SectionName(*t.element)) + "}";
  return "null";
}

// The page's view of the skin's files: "name TAB size TAB modified" lines.
std::vector<SeenFile> ParseSeen(std::string_view text) {
  std::vector<SeenFile> seen;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t a = line.find('\t');
    const std::size_t b = a == std::string_view::npos ? a : line.find('\t', a + 1);
    if (b == std::string_view::npos) continue;
    SeenFile f;
    f.name = std::string(line.substr(0, a));
    f.stamp.exists = true;
    f.stamp.size = std::strtoull(std::string(line.substr(a + 1, b - a - 1)).c_str(), nullptr, 10);
    f.stamp.modifiedNs = std::strtoll(std::string(line.substr(b + 1)).c_str(), nullptr, 10) * 1000000LL;
    seen.push_back(std::move(f));
  }
  return seen;
}

}  // namespace

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Changed: return "changed";
    case Outcome::Unchanged: return "unchanged";
    case Outcome::Refused: return "refused";
    case Outcome::Failed: return "failed";
  }
  return "";
}

EngineSession::EngineSession() : session_(document_) {
  ResetToBuiltInSkin(document_);
  document_.AddObserver(this);
}

EngineSession::~EngineSession() { document_.RemoveObserver(this); }

void EngineSession::SkinChanged(const SkinChange& change) {
  traceStale_ = true;
  changed_.whole = changed_.whole || change.whole;
  for (const SkinField& f : change.fields) {
    if (std::find(changed_.fields.begin(), changed_.fields.end(), f) == changed_.fields.end()) changed_.fields.push_back(f);
  }
  for (ImageId id : change.pictures) {
    if (std::find(changed_.pictures.begin(), changed_.pictures.end(), id) == changed_.pictures.end()) {
      changed_.pictures.push_back(id);
    }
  }
}

void EngineSession::Begin() {
  changed_ = {};
  outcome_ = Outcome::Unchanged;
}

Outcome EngineSession::End(Outcome outcome) {
  outcome_ = outcome;
  return outcome;
}

std::string EngineSession::ChangedJson() const {
  std::string out = "{\"fields\":[";
  for (std::size_t i = 0; i < changed_.fields.size(); ++i) {
    if (i) out += ",";
    out += "{\"section\":" + JsonString(changed_.fields[i].section) + ",\"key\":" + JsonString(changed_.fields[i].field->key) + "}";
  }
  out += "],\"pictures\":[";
  for (std::size_t i = 0; i < changed_.pictures.size(); ++i) {
    if (i) out += ",";
    out += JsonString(CatalogueEntryOf(changed_.pictures[i]).name);
  }
  return out + "],\"whole\":" + Bool(changed_.whole) + ",\"history\":" + Bool(changed_.history) +
         ",\"clean\":" + Bool(changed_.clean) + ",\"origin\":" + Bool(changed_.origin) +
         ",\"problems\":" + Bool(changed_.problems) + ",\"selection\":" + Bool(changed_.selection) + "}";
}

std::string EngineSession::Changes() const {
  return "{\"outcome\":" + JsonString(OutcomeName(outcome_)) + ",\"changed\":" + ChangedJson() + "}";
}

const TraceMap& EngineSession::TraceOf(int screen) {
  if (traceStale_ || traceScreen_ != screen) {
    trace_ = TracePreview(document_.skin(), screen);
    traceScreen_ = screen;
    traceStale_ = false;
  }
  return trace_;
}

void EngineSession::ShowPicture(const ::Picture& picture) {
  width_ = picture.width;
  height_ = picture.height;
  pixels_.resize(picture.pixels.size() * 4);
  CopyAsRgba(picture, pixels_.data());
}

std::string EngineSession::MessagesJson(const std::vector<Message>& messages) const {
  const MessageTexts texts = texts_.Messages();
  std::string out = "[";
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const Message& m = messages[i];
    out += i ? ",{" : "{";
    out += "\"kind\":" + JsonString(MessageKindName(m.kind)) + ",\"subject\":" + JsonString(m.subject);
    if (m.image) out += ",\"picture\":" + JsonString(CatalogueEntryOf(*m.image).name);
    if (m.kind == MessageKind::HalfTransparent) {
      out += ",\"count\":" + std::to_string(m.count) + ",\"kept\":" + std::to_string(m.kept);
    }
    if (m.pictureKept) out += ",\"pictureKept\":true";
    out += ",\"text\":" + JsonString(FormatMessage(m, texts)) + "}";
  }
  return out + "]";
}

std::string EngineSession::StepJson(const std::optional<StepText>& step) const {
  if (!step) return "null";
  std::string out = "{\"key\":" + JsonString(step->key) + ",\"args\":[";
  for (std::size_t i = 0; i < step->args.size(); ++i) {
    if (i) out += ",";
    out += JsonString(step->args[i]);
  }
  return out + "],\"shown\":" + JsonString(texts_.Step(*step)) + "}";
}

Outcome EngineSession::Make(Change&& change, bool preview) {
  if (preview) {
    document_.Preview(change);
    return End(Outcome::Changed);
  }
  return End(document_.Apply(change) ? Outcome::Changed : Outcome::Unchanged);
}

Outcome EngineSession::NewSkin() {
  Begin();
  ResetToBuiltInSkin(document_);
  session_.Forget();
  changed_.selection = true;
  seen_ = {};
  return End(Outcome::Changed);
}

Outcome EngineSession::Open(const std::string& path) {
  Begin();
  Collected feedback(&progress_);
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const bool opened = OpenSkinInto(document_, path, !IsExistingFolder(path), ctx);
  result_ = MessagesJson(feedback.messages);
  if (!opened) return End(Outcome::Failed);
  session_.Forget();
  changed_.selection = true;
  seen_ = {};
  return End(Outcome::Changed);
}

bool EngineSession::Render(int screen, float zoom, int filter, std::uint32_t background, bool saved, bool other) {
  if (other && !other_) return false;
  const Skin& skin = other ? *other_ : saved ? document_.disk().skin : document_.skin();
  const Rgb24 bg = RgbOf(background);
  if (filter <= 0 || filter >= kScreenFilterCount) {
    RenderPreview(skin, screen, zoom, bg, work_, shown_);
  } else {
    ::Picture atOne;
    RenderPreview(skin, screen, 1.0f, bg, work_, atOne);
    FilteredAtZoom(atOne, static_cast<ScreenFilter>(filter), zoom, work_, shown_);
  }
  ShowPicture(shown_);
  return true;
}

void EngineSession::RenderOverview(int screen, int filter, std::uint32_t background, bool half) {
  Render(screen, 1.0f, filter, background, false);
  if (half) {
    // Render left the picture in shown_; its half is shown instead.
    shown_ = HalfSizePicture(shown_);
    ShowPicture(shown_);
  }
}

bool EngineSession::Picture(std::string_view name) {
  const std::optional<ImageId> id = FindImage(name);
  if (!id) return false;
  const ::Picture& picture = document_.skin().image(*id);
  ShowPicture(picture);
  return !picture.empty();
}

bool EngineSession::Trace(int screen, float zoom, int zx, int zy) {
  int x = 0, y = 0;
  if (!PreviewPixelAt(zoom, zx, zy, x, y)) {
    result_ = "null";
    return false;
  }
  const TraceMap& map = TraceOf(screen);
  const PixelTag& tag = map.at(x, y);
  std::string out = "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) + ",\"source\":";
  out += tag.source == TraceSource::None ? "null" : TargetJson({tag.source, {}});
  out += ",\"elements\":[";
  const std::vector<std::size_t> sections = map.elementSets[tag.elements].Sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (i) out += ",";
    out += JsonString(SkinSchema()[sections[i]].name);
  }
  result_ = out + "]}";
  return true;
}

bool EngineSession::Mask(int screen, float zoom, std::string_view kind, std::string_view section,
                         std::string_view name) {
  const TraceMap& map = TraceOf(screen);
  PixelMask mask;
  if (kind == "colour") {
    const std::optional<TraceSource> source = FindColourSource(section, name);
    if (!source) return false;
    mask = SourceMask(map, *source);
  } else if (kind == "picture") {
    const std::optional<ImageId> id = FindImage(name);
    if (!id) return false;
    mask = SourceMask(map, PictureSource(*id));
  } else if (kind == "element") {
    const std::optional<std::size_t> index = FindElementSection(section);
    if (!index) return false;
    mask = ElementMask(map, *index);
  } else {
    return false;
  }
  result_ = "{\"count\":" + std::to_string(mask.count) + ",\"left\":" + std::to_string(mask.left) +
            ",\"top\":" + std::to_string(mask.top) + ",\"right\":" + std::to_string(mask.right) +
            ",\"bottom\":" + std::to_string(mask.bottom) + "}";
  const PixelMask zoomed = ZoomMask(mask, zoom);
  width_ = zoomed.width;
  height_ = zoomed.height;
  pixels_.resize(zoomed.pixels.size());
  for (std::size_t i = 0; i < zoomed.pixels.size(); ++i) pixels_[i] = zoomed.pixels[i] ? 0xFF : 0;
  return true;
}

void EngineSession::Fields() {
  const Skin& skin = document_.skin();
  std::string out = "[";
  bool first = true;
  for (const SchemaSection& section : SkinSchema()) {
    for (const SchemaField& field : section.fields) {
      const SkinField f{section.name, &field};
      out += first ? "{" : ",{";
      first = false;
      out += "\"section\":" + JsonString(section.name) + ",\"key\":" + JsonString(field.key) +
             ",\"kind\":" + JsonString(KindName(field.kind)) + ",\"value\":" + FieldValueJson(ReadField(skin, f)) + "}";
    }
  }
  result_ = out + "]";
}

void EngineSession::State() {
  const SkinOrigin& o = document_.origin();
  result_ = "{\"modified\":" + std::string(Bool(document_.modified())) +
            ",\"previewing\":" + Bool(document_.previewing()) + ",\"origin\":{\"kind\":" +
            JsonString(OriginKindName(o.kind)) + ",\"path\":" + JsonString(o.path) +
            ",\"saveTarget\":" + JsonString(o.saveTarget) + "},\"undo\":" + StepJson(document_.history().UndoText()) +
            ",\"redo\":" + StepJson(document_.history().RedoText()) + "}";
}

Outcome EngineSession::SetNumber(std::string_view section, std::string_view key, int value, bool preview) {
  Begin();
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Number) return End(Outcome::Refused);
  return Make(::SetNumber(*f, value), preview);
}

Outcome EngineSession::SetFlag(std::string_view section, std::string_view key, bool on) {
  Begin();
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Number) return End(Outcome::Refused);
  return Make(::SetFlag(*f, on), false);
}

Outcome EngineSession::SetText(std::string_view section, std::string_view key, std::string_view utf8) {
  Begin();
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Text) return End(Outcome::Refused);
  ::TypedText typed = TakeTypedText(*f, utf8);
  if (typed.outcome != TypedText::Outcome::Taken) return End(Outcome::Refused);
  return Make(::SetText(*f, std::move(typed.latin1)), false);
}

Outcome EngineSession::SetColour(std::string_view section, std::string_view key, std::uint32_t rgb, bool preview) {
  Begin();
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Colour) return End(Outcome::Refused);
  return Make(::SetColour(*f, RgbOf(rgb)), preview);
}

Outcome EngineSession::MoveElement(std::string_view section, int x, int y, std::string_view gesture) {
  Begin();
  if (!FindElementSection(section)) return End(Outcome::Refused);
  return Make(::MoveElement(std::string(section), x, y, std::string(gesture)), false);
}

Outcome EngineSession::ReplaceColour(int from, int to, bool preview) {
  Begin();
  if (from < 0 || from >= 0x8000 || to < 0 || to >= 0x8000) return End(Outcome::Refused);
  return Make(::ReplaceColour(Rgb15(from), Rgb15(to)), preview);
}

Outcome EngineSession::Recolour(int hue, int saturation, int lightness, int scope, bool preview) {
  Begin();
  if (hue < -180 || hue > 180 || saturation < -100 || saturation > 100 || lightness < -100 || lightness > 100 ||
      scope < 0 || scope > 2) {
    return End(Outcome::Refused);
  }
  return Make(RecolourSkinChange(HslShift{hue, saturation, lightness}, static_cast<RecolourScope>(scope)), preview);
}

const SourcePicture* EngineSession::SourceOf(const std::string& path, SkinIoContext& ctx) {
  const std::string file = path.substr(path.rfind('/') + 1);
  std::string bytes;
  const bool read = ReadWholeFile(path, bytes, kMaxPictureFileSize) == ReadStatus::Ok;
  if (read && held_ && !held_->file.empty() && held_->file == file && held_->bytes == bytes) return &held_->source;
  // Another file: the last one's picture goes before this one is decoded.
  held_.reset();
  std::optional<SourcePicture> source = ReadSourceFile(path, ctx);
  if (!source) return nullptr;
  held_ = HeldSource{read ? file : std::string(), std::move(bytes), std::move(*source)};
  return &held_->source;
}

Outcome EngineSession::Import(std::string_view name, const std::string& path, int fit, bool preview) {
  Begin();
  const std::optional<ImageId> id = FindImage(name);
  if (!id || fit < 0 || fit > 2) return End(Outcome::Refused);
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  std::optional<::Picture> picture;
  if (const SourcePicture* held = SourceOf(path, ctx)) {
    const long long allowance = PixelAllowance(document_.CommittedSkin(), *id, ctx.budget);
    const FitMode mode = static_cast<FitMode>(fit);
    // Fitted, the held picture is only read; kept as it is, a preview takes
    // a copy of it, the import the picture itself.
    SourcePicture source;
    if (mode != FitMode::Keep) source = FitPicture(*held, ExpectedWidth(*id), ExpectedHeight(*id), mode);
    else if (preview) source = *held;
    else source = std::move(held_->source);
    picture = FinishImport(*id, std::move(source), FitMode::Keep, allowance, path, ctx);
  }
  // The import done, its file's picture goes.
  if (!preview) held_.reset();
  result_ = MessagesJson(feedback.messages);
  if (!picture) return End(Outcome::Failed);
  return Make(ReplacePictures(*id, std::move(*picture)), preview);
}

namespace {

std::string SizesJson(const SourcePicture& source, ImageId id) {
  return "\"width\":" + std::to_string(source.width()) + ",\"height\":" + std::to_string(source.height()) +
         ",\"expectedWidth\":" + std::to_string(ExpectedWidth(id)) +
         ",\"expectedHeight\":" + std::to_string(ExpectedHeight(id));
}

std::string StringsJson(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i) out += ",";
    out += JsonString(texts[i]);
  }
  return out + "]";
}

}  // namespace

Outcome EngineSession::ImportSizes(std::string_view name, const std::string& path) {
  return ImportAnswer(name, path, false);
}

Outcome EngineSession::ImportPreviews(std::string_view name, const std::string& path) {
  return ImportAnswer(name, path, true);
}

Outcome EngineSession::ImportAnswer(std::string_view name, const std::string& path, bool previewsToo) {
  Begin();
  const std::optional<ImageId> id = FindImage(name);
  if (!id) return End(Outcome::Refused);
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const SourcePicture* source = SourceOf(path, ctx);
  if (!source) {
    result_ = MessagesJson(feedback.messages);
    return End(Outcome::Failed);
  }
  std::string out = "{" + SizesJson(*source, *id);
  if (!previewsToo) {
    result_ = out + "}";
    return End(Outcome::Unchanged);
  }
  const FitPreviews previews = FitQuestionPictures(*source, ExpectedWidth(*id), ExpectedHeight(*id));
  out += ",\"pictures\":[";
  std::size_t size = 0;
  for (const ::Picture* p : {&previews.cover, &previews.stretch, &previews.keep}) size += p->pixels.size() * 4;
  pixels_.resize(size);
  std::size_t at = 0;
  for (const ::Picture* p : {&previews.cover, &previews.stretch, &previews.keep}) {
    out += (at ? ",[" : "[") + std::to_string(p->width) + "," + std::to_string(p->height) + "]";
    CopyAsRgba(*p, pixels_.data() + at);
    at += p->pixels.size() * 4;
  }
  width_ = height_ = 0;  // three pictures, whose sizes the answer gives
  result_ = out + "]}";
  return End(Outcome::Unchanged);
}

Outcome EngineSession::ImportFolderSizes(const std::string& folder) {
  Begin();
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const FolderImport import = ReadPictureFolder(folder, ctx, document_.CommittedSkin());
  if (!import.folderFound) {
    result_ = MessagesJson(feedback.messages);
    return End(Outcome::Failed);
  }
  const std::optional<FolderFitQuestion> q = FolderFitQuestionOf(import);
  std::string out = "{\"count\":" + std::to_string(q ? q->count : 0) + ",\"first\":";
  if (q) {
    const std::string file = q->path.starts_with(folder + "/") ? q->path.substr(folder.size() + 1) : q->path;
    out += "{\"name\":" + JsonString(CatalogueEntryOf(q->image).name) + ",\"file\":" + JsonString(file) +
           ",\"width\":" + std::to_string(q->width) + ",\"height\":" + std::to_string(q->height) +
           ",\"expectedWidth\":" + std::to_string(ExpectedWidth(q->image)) +
           ",\"expectedHeight\":" + std::to_string(ExpectedHeight(q->image)) + "}";
  } else {
    out += "null";
  }
  result_ = out + ",\"text\":" + JsonString(q ? FolderFitQuestionText(*q, texts_) : std::string()) + "}";
  return End(Outcome::Unchanged);
}

Outcome EngineSession::ImportFolder(const std::string& folder, int fit, bool preview) {
  Begin();
  if (fit < 0 || fit > 2) return End(Outcome::Refused);
  // The folder's import ends what a single import held.
  held_.reset();
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  FolderImport import = ReadPictureFolder(folder, ctx, document_.CommittedSkin(), static_cast<FitMode>(fit));
  const std::string messages = MessagesJson(feedback.messages);
  if (!import.folderFound) {
    result_ = "{\"imported\":[],\"messages\":" + messages + ",\"status\":\"\",\"report\":null}";
    return End(Outcome::Failed);
  }
  const MessageTexts shown = texts_.Messages();
  const FolderImportReport report =
      ReportFolderImport(import, folder, feedback.Texts(false, shown), feedback.Texts(true, shown), texts_);
  Outcome outcome = End(Outcome::Unchanged);
  if (std::optional<ReplacePictures> step = TakeFolderImport(import, folder.substr(folder.rfind('/') + 1))) {
    outcome = Make(std::move(*step), preview);
  }
  result_ = "{\"imported\":" + StringsJson(report.taken) + ",\"messages\":" + messages +
            ",\"status\":" + JsonString(report.status) + ",\"report\":{\"title\":" +
            JsonString(texts_.Text("LANG_IMPORT_RESULT$")) + ",\"lines\":" + StringsJson(report.lines) +
            ",\"summary\":" + JsonString(MessageSummary(report.lines, texts_)) +
            ",\"details\":" + JsonString(MessageDetails(report.lines)) + ",\"warning\":" + Bool(report.warning) + "}}";
  return outcome;
}

void EngineSession::EndPreview() {
  Begin();
  // The question is over: the picture of its file goes.
  held_.reset();
  const bool was = document_.previewing();
  document_.EndPreview();
  End(was ? Outcome::Changed : Outcome::Unchanged);
}

Outcome EngineSession::Undo() {
  Begin();
  if (!document_.history().CanUndo()) return End(Outcome::Unchanged);
  document_.Undo();
  return End(Outcome::Changed);
}

Outcome EngineSession::Redo() {
  Begin();
  if (!document_.history().CanRedo()) return End(Outcome::Unchanged);
  document_.Redo();
  return End(Outcome::Changed);
}

void EngineSession::Check() {
  const std::vector<Problem> problems = CheckSkin(document_.skin(), CheckInputOf(document_.disk(), document_.skin()));
  const ProblemTemplates templates = texts_.Problems();
  std::string out = "[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Problem& p = problems[i];
    out += i ? ",{" : "{";
    out += "\"severity\":" + JsonString(SeverityName(p.severity)) + ",\"code\":" + JsonString(ProblemCodeName(p.code)) +
           ",\"text\":" + JsonString(ProblemTextName(p.text)) + ",\"subject\":" + JsonString(p.subject) +
           ",\"message\":" + JsonString(p.message) + ",\"shown\":" + JsonString(FormatProblem(p, templates)) +
           ",\"params\":[";
    for (std::size_t k = 0; k < p.params.size(); ++k) {
      if (k) out += ",";
      out += JsonString(p.params[k]);
    }
    out += "],\"about\":{";
    switch (p.about.kind) {
      case ProblemSubject::Kind::None: out += "\"kind\":\"none\""; break;
      case ProblemSubject::Kind::SettingsFile: out += "\"kind\":\"settings-file\""; break;
      case ProblemSubject::Kind::Field:
        out += "\"kind\":\"field\",\"section\":" + JsonString(p.about.section) + ",\"key\":" + JsonString(p.about.key);
        break;
      case ProblemSubject::Kind::Section:
        out += "\"kind\":\"section\",\"section\":" + JsonString(p.about.section);
        break;
      case ProblemSubject::Kind::Picture:
        out += "\"kind\":\"picture\",\"name\":" + JsonString(CatalogueEntryOf(*p.about.image).name);
        break;
      case ProblemSubject::Kind::File: out += "\"kind\":\"file\",\"file\":" + JsonString(p.about.file); break;
    }
    out += "}";
    if (p.line) out += ",\"line\":" + std::to_string(*p.line);
    if (p.screen) out += ",\"screen\":" + std::to_string(*p.screen);
    out += "}";
  }
  result_ = out + "]";
  // What ProblemFocus leads to: the problems as the page lists them.
  document_.SetProblems(problems);
}

void EngineSession::Palette() { result_ = PaletteJson(SkinPalette(document_.skin())); }

Outcome EngineSession::SaveFolder(const std::string& where, double when) {
  Begin();
  if (!IsExistingFolder(where) && !MakeFolder(where)) return End(Outcome::Failed);
  Collected feedback(&progress_);
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const std::vector<SkinFile> files = document_.StampForSave(StampTime(when, clock_));
  WriteSkinFiles(files, where, ctx);
  result_ = MessagesJson(feedback.messages);
  const bool saved = std::none_of(feedback.messages.begin(), feedback.messages.end(), IsSaveFailure);
  return End(saved ? Outcome::Changed : Outcome::Failed);
}

Outcome EngineSession::SaveArchive(const std::string& where, double when) {
  Begin();
  Collected feedback(&progress_);
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const DateTime now = StampTime(when, clock_);
  std::vector<SkinFile> files = document_.StampForSave(now);
  // Back into the archive the skin came from, as the desktop saves it: its
  // own folder inside, and what could not be read of it, as it holds them.
  std::string folder = ArchiveFolderName(where);
  if (where == document_.origin().path) {
    const ArchiveResave resave = PrepareArchiveResave(files, where);
    if (resave.skinFound) folder = resave.folder;
  }
  WriteSkinArchive(files, where, folder, now, ctx);
  result_ = MessagesJson(feedback.messages);
  const bool saved = std::none_of(feedback.messages.begin(), feedback.messages.end(), IsSaveFailure);
  return End(saved ? Outcome::Changed : Outcome::Failed);
}

void EngineSession::MarkSaved(const std::string& where, bool archive, bool becomeOrigin) {
  Begin();
  if (becomeOrigin) document_.MoveOrigin(OriginOfPath(where, archive));
  AdoptSavedSkin(document_, where, archive);
  End(Outcome::Changed);
}

void EngineSession::RememberSeen(const std::string& path, std::string_view seen) {
  seen_ = SkinStamps{path, false, {}};
  for (SeenFile& f : ParseSeen(seen)) seen_.files.emplace_back(std::move(f.name), f.stamp);
}

void EngineSession::ChangedBeforeSave(const std::string& target, std::string_view seen) {
  const std::vector<std::string> files = FilesChangedSinceRead(seen_, target, ParseSeen(seen));
  std::string out = "{\"ask\":" + std::string(Bool(!files.empty())) + ",\"files\":[";
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i) out += ",";
    out += JsonString(files[i]);
  }
  result_ = out + "]}";
}

bool EngineSession::Journal(const std::string& path, double lastEdit, double keeper, double started) {
  if (!(keeper >= 1 && keeper <= 2147483647.0)) return false;
  const std::string bytes = EncodeJournalArchive(document_.CommittedSkin());
  if (bytes.empty() || path.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return false;
  const std::time_t t = static_cast<std::time_t>(lastEdit);
  std::tm utc{};
  gmtime_r(&t, &utc);
  const DateTime when{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
  result_ = FormatJournalManifest(
      JournalManifestOf(document_, when, static_cast<long long>(keeper), static_cast<long long>(started)));
  return true;
}

bool EngineSession::ReadManifest(std::string_view manifestText) {
  const std::optional<JournalManifest> m = ParseJournalManifest(manifestText);
  if (!m) return false;
  const SkinOrigin origin = OriginOfJournal(*m);
  const DateTime& t = m->time;
  result_ = "{\"kind\":" + JsonString(OriginKindName(origin.kind)) + ",\"origin\":" + JsonString(m->origin) +
            ",\"time\":[" + std::to_string(t.year) + "," + std::to_string(t.month) + "," + std::to_string(t.day) + "," +
            std::to_string(t.hour) + "," + std::to_string(t.minute) + "," + std::to_string(t.second) +
            "],\"lastUpdate\":" + JsonString(m->lastUpdate) + "}";
  return true;
}

Outcome EngineSession::Restore(const std::string& path, std::string_view manifestText) {
  Begin();
  const std::optional<JournalManifest> manifest = ParseJournalManifest(manifestText);
  if (!manifest || path.empty()) return End(Outcome::Refused);
  std::optional<Skin> restored = ReadJournalSkin(path, *manifest);
  if (!restored) return End(Outcome::Failed);
  document_.Apply(BecomeSkin::Restore(std::move(*restored)));
  document_.MarkUnsaved();
  return End(Outcome::Changed);
}

void EngineSession::JournalSchedule(double firstUnsavedMs, double lastEditMs) {
  const std::int64_t next =
      NextJournalWrite(static_cast<std::int64_t>(firstUnsavedMs), static_cast<std::int64_t>(lastEditMs));
  result_ = "{\"next\":" + std::to_string(next) + "}";
}

void EngineSession::Languages() {
  std::string out = "[";
  for (const LanguageEntry& l : LanguageMenu()) {
    out += out.size() > 1 ? ",{" : "{";
    out += "\"index\":" + std::to_string(l.index) + ",\"file\":" + (l.file ? JsonString(l.file) : "null") +
           ",\"label\":" + JsonString(l.label) + "}";
  }
  result_ = out + "]";
}

void EngineSession::SetLanguage(const char* bytes, std::size_t size) {
  if (bytes) texts_.ReadLanguageFile(std::string_view(bytes, size));
  else texts_.Reset();
}

void EngineSession::Texts() {
  std::string out = "{";
  for (const auto& [key, text] : texts_.all()) {
    if (out.size() > 1) out += ",";
    out += JsonString(key) + ":" + JsonString(text);
  }
  result_ = out + "}";
}

void EngineSession::Panel() {
  std::string out = "{\"colours\":[";
  bool first = true;
  for (const ColourControl& c : ColourControls()) {
    out += std::string(first ? "" : ",") + "{\"name\":" + JsonString(c.name) + ",\"key\":" + JsonString(c.key()) +
           ",\"row\":" + std::to_string(c.row) + ",\"column\":" + std::to_string(c.column) +
           ",\"screen\":" + std::to_string(c.screen) + "}";
    first = false;
  }
  out += "],\"images\":[";
  first = true;
  for (const ImageControl& c : ImageControls()) {
    out += std::string(first ? "" : ",") + "{\"name\":" + JsonString(CatalogueEntryOf(c.image).name) +
           ",\"key\":" + JsonString(c.key()) + ",\"row\":" + std::to_string(c.row) +
           ",\"column\":" + std::to_string(c.column) + ",\"screen\":" + std::to_string(c.screen) + "}";
    first = false;
  }
  out += "],\"elements\":[";
  first = true;
  for (const ElementControl& c : ElementControls()) {
    out += std::string(first ? "" : ",") + "{\"row\":" + std::to_string(c.row) +
           ",\"key\":" + (c.key ? JsonString(c.key) : "null") + ",\"caption\":" + JsonString(c.builtinCaption) +
           ",\"section\":" + JsonString(c.section) + ",\"flag\":" + (c.flag ? JsonString(c.flag) : "null") +
           ",\"x\":" + (c.x ? "true" : "false") + ",\"y\":" + (c.y ? "true" : "false") +
           ",\"w\":" + (c.w ? "true" : "false") + ",\"screen\":" + std::to_string(c.screen) + "}";
    first = false;
  }
  out += "],\"ranges\":{\"x\":[0," + std::to_string(kElementMaxX) + "],\"y\":[0," + std::to_string(kElementMaxY) +
         "],\"w\":[0," + std::to_string(kElementMaxX) + "]}}";
  result_ = out;
}

void EngineSession::Catalogue() { result_ = CommandCatalogueJson(); }

void EngineSession::CommandStates(int shown, int compare, int filter, int screen, int language, int missingLanguages,
                                  std::string_view colour) {
  CommandFacts f;
  f.canUndo = document_.history().CanUndo();
  f.canRedo = document_.history().CanRedo();
  f.compare = compare == 1   ? CommandFacts::Compare::Saved
              : compare == 2 ? CommandFacts::Compare::Other
                             : CommandFacts::Compare::Off;
  f.overviewShown = (shown & kShownOverview) != 0;
  f.problemsShown = (shown & kShownProblems) != 0;
  f.paletteShown = (shown & kShownPalette) != 0;
  f.wholeZoom = (shown & kWholeZoom) != 0;
  f.swapped = (shown & kSwapped) != 0;
  f.clipboardHoldsColour = (shown & kClipboardColour) != 0;
  f.filter = filter;
  f.screen = screen;
  f.language = language;
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) {
    if ((missingLanguages >> i) & 1) f.missingLanguages.push_back(LanguageMenu()[i].index);
  }
  f.colour = std::string(colour);
  result_ = CommandStatesJson(f);
}

void EngineSession::GestureAnswer(const GestureResult& gesture) {
  changed_.selection = changed_.selection || gesture.selectionChanged;
  End(gesture.moved || gesture.selectionChanged ? Outcome::Changed : Outcome::Unchanged);
  result_ = "{\"outcome\":" + JsonString(OutcomeName(outcome_)) + ",\"changed\":" + ChangedJson() +
            ",\"selection\":" + TargetJson(session_.selection()) + ",\"cursor\":" +
            JsonString(CursorName(session_.dragging() ? PreviewCursor::Move : CursorFor(lastPick_))) +
            ",\"record\":" + (gesture.record ? JsonString(SectionName(*gesture.record)) : std::string("null")) + "}";
}

namespace {

std::optional<PreviewPick> PickOf(const TraceMap& map, float zoom, int zx, int zy) {
  int x = 0, y = 0;
  if (!PreviewPixelAt(zoom, zx, zy, x, y)) return std::nullopt;
  return PickAt(map, CountElementPixels(map), x, y);
}

}  // namespace

void EngineSession::Cursor(int screen, float zoom, int zx, int zy) {
  lastPick_ = PickOf(TraceOf(screen), zoom, zx, zy);
  result_ = "{\"cursor\":" + JsonString(CursorName(CursorFor(lastPick_))) + "}";
}

void EngineSession::Press(int screen, float zoom, int zx, int zy) {
  Begin();
  lastPick_ = PickOf(TraceOf(screen), zoom, zx, zy);
  GestureAnswer(session_.Press(lastPick_, zx, zy));
}

void EngineSession::Drag(int zx, int zy, float zoom) {
  Begin();
  GestureAnswer(session_.Move(zx, zy, zoom));
}

void EngineSession::Release() {
  Begin();
  session_.Release();
  GestureAnswer({});
}

void EngineSession::Escape() {
  Begin();
  GestureAnswer(session_.Escape());
}

void EngineSession::Nudge(int dx, int dy, bool shift) {
  Begin();
  const int step = NudgeStep(shift);
  GestureAnswer(session_.Nudge(dx * step, dy * step));
}

void EngineSession::Hover(std::string_view kind, std::string_view section, std::string_view name) {
  Begin();
  PreviewTarget target;
  if (kind == "colour") target.source = FindColourSource(section, name).value_or(TraceSource::None);
  else if (kind == "picture") target.source = FindImage(name) ? PictureSource(*FindImage(name)) : TraceSource::None;
  else if (kind == "element") target.element = FindElementSection(section);
  const bool changed = session_.Hover(target);
  End(changed ? Outcome::Changed : Outcome::Unchanged);
  result_ = "{\"outcome\":" + JsonString(OutcomeName(outcome_)) + ",\"hover\":" + TargetJson(session_.hover()) + "}";
}

void EngineSession::ProblemFocus(int index) {
  const std::vector<Problem>& problems = document_.problems();
  if (index < 0 || index >= static_cast<int>(problems.size())) {
    result_ = "null";
    return;
  }
  const Problem& p = problems[std::size_t(index)];
  const PanelFocus f = FocusOfProblem(p.about, p.screen);
  result_ = "{\"screen\":" + (f.screen ? std::to_string(*f.screen) : std::string("null")) +
            ",\"tab\":" + JsonString(PanelTabName(f.tab)) + ",\"section\":" + JsonString(f.section) +
            ",\"key\":" + JsonString(f.key) + ",\"picture\":" + JsonString(f.picture) + "}";
}

void EngineSession::ScreenAfter(std::string_view cause) {
  const ScreenCause c = cause == "new" ? ScreenCause::NewSkin : cause == "open" ? ScreenCause::Opened
                                                                               : ScreenCause::LanguageChanged;
  result_ = "{\"screen\":" + std::to_string(::ScreenAfter(c)) + "}";
}

std::string EngineSession::Snapshot() const { return SnapshotDocument(document_); }

std::string EngineSession::SnapshotPaths() const {
  const Document& d = document_;
  std::vector<std::string> paths;
  for (const std::string* p : {&d.origin().path, &d.origin().saveTarget, &d.disk().path, &d.disk().source.path,
                               &d.disk().stamps.path}) {
    if (!p->empty() && std::find(paths.begin(), paths.end(), *p) == paths.end()) paths.push_back(*p);
  }
  std::string out = "[";
  for (std::size_t i = 0; i < paths.size(); ++i) out += (i ? "," : "") + JsonString(paths[i]);
  return out + "]";
}

bool EngineSession::Adopt(std::string_view snapshot) {
  Begin();
  const bool adopted = RestoreDocument(document_, snapshot);
  End(adopted ? Outcome::Changed : Outcome::Refused);
  return adopted;
}

void EngineSession::Mnemonics(std::string_view texts) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at <= texts.size();) {
    const std::size_t end = std::min(texts.find('\n', at), texts.size());
    lines.emplace_back(texts.substr(at, end - at));
    at = end + 1;
  }
  result_ = "[";
  const std::vector<Mnemonic> all = AssignMnemonics(lines);
  for (std::size_t i = 0; i < all.size(); ++i) {
    result_ += std::string(i ? "," : "") + "{\"before\":" + JsonString(all[i].before) + ",\"letter\":" +
               JsonString(all[i].letter) + ",\"after\":" + JsonString(all[i].after) + "}";
  }
  result_ += "]";
}

namespace {
std::string ZoomJson(float zoom) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", double(zoom));
  return std::string("{\"zoom\":") + text + "}";
}
}  // namespace

void EngineSession::ZoomStep(float zoom, int steps, bool whole) { result_ = ZoomJson(SteppedZoom(zoom, steps, whole)); }
void EngineSession::ZoomToFit(int width, int height, bool whole) { result_ = ZoomJson(FittingZoom(width, height, whole)); }
void EngineSession::WholeZoom(float zoom) { result_ = ZoomJson(WholeZoomOf(zoom)); }
void EngineSession::ColourTexts(std::uint32_t rgb) {
  const Rgb24 c{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
  result_ = "{\"code\":" + JsonString(FormatSkinColour(c)) + ",\"hex\":" + JsonString(FormatHexColour(c)) + "}";
}

void EngineSession::Wheel(int delta) { result_ = "{\"steps\":" + std::to_string(wheel_.Add(delta)) + "}"; }

void EngineSession::TypedText(std::string_view section, std::string_view key, std::string_view utf8) {
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Text) {
    result_ = "null";
    return;
  }
  const ::TypedText typed = TakeTypedText(*f, utf8);
  const char* outcome = typed.outcome == TypedText::Outcome::Taken    ? "taken"
                        : typed.outcome == TypedText::Outcome::Refused ? "refused"
                                                                        : "read-only";
  result_ = "{\"outcome\":" + JsonString(outcome) + ",\"latin1\":" + JsonString(typed.latin1) + ",\"refusal\":" +
            (typed.outcome == TypedText::Outcome::Refused ? JsonString(texts_.Text(kLatin1RefusalKey)) : "null") + "}";
}

void EngineSession::ColourAnswer(const std::string& fieldText) {
  if (!colour_) {
    result_ = "null";
    return;
  }
  const bool refreshed = colour_->Refresh();
  const ColourChoice& c = *colour_;
  result_ = "{\"input\":" + ColourJson(c.input()) + ",\"shown\":" + ColourJson(c.lastDisplayed()) +
            ",\"code\":" + JsonString(c.code()) + ",\"hex\":" + JsonString(c.hex()) +
            ",\"inputCode\":" + JsonString(FormatSkinColour(c.input())) +
            ",\"inputHex\":" + JsonString(FormatHexColour(c.input())) + ",\"r5\":" + std::to_string(c.r5()) +
            ",\"g5\":" + std::to_string(c.g5()) + ",\"b5\":" + std::to_string(c.b5()) +
            ",\"fieldText\":" + JsonString(fieldText) + ",\"refreshed\":" + Bool(refreshed) +
            ",\"ok\":" + ColourJson(c.ResultOk()) + ",\"cancel\":" + ColourJson(c.ResultCancel()) + "}";
}

void EngineSession::ColourOpen(std::uint32_t rgb) {
  colour_.emplace(RgbOf(rgb));
  ColourAnswer();
}

void EngineSession::ColourField(int channel, std::string_view red, std::string_view green, std::string_view blue) {
  if (!colour_) return ColourAnswer();
  const std::string shown = colour_->FieldEdited(channel, red, green, blue);
  ColourAnswer(shown);
}

void EngineSession::ColourChooser(std::uint32_t rgb) {
  if (colour_) colour_->ChooserPicked(RgbOf(rgb));
  ColourAnswer();
}

void EngineSession::ColourText(std::string_view text) {
  if (colour_) colour_->TextEntered(text);
  ColourAnswer();
}

void EngineSession::ColourEyedropper(std::uint32_t rgb) {
  if (colour_) colour_->EyedropperPixel(RgbOf(rgb));
  ColourAnswer();
}

void EngineSession::ColourState() { ColourAnswer(); }

Outcome EngineSession::CompareWith(const std::string& path) {
  Begin();
  Collected feedback(&progress_);
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  std::optional<Skin> other = OpenSkinApart(path, !IsExistingFolder(path), ctx);
  result_ = MessagesJson(feedback.messages);
  // Nothing opened: the skin compared with so far stays.
  if (!other) return End(Outcome::Failed);
  other_ = std::make_unique<Skin>(std::move(*other));
  return End(Outcome::Changed);
}

void EngineSession::StopCompare() { other_.reset(); }

void EngineSession::ReloadAnswer(const DiskReload::Result& r, const std::vector<Message>& messages) {
  const std::string question = reload_.Question(texts_);
  result_ = "{\"taken\":" + StringsJson(r.taken) + ",\"held\":" + StringsJson(r.held) +
            ",\"failed\":" + StringsJson(r.failed) + ",\"status\":" + JsonString(r.status) +
            ",\"question\":" + (question.empty() ? std::string("null") : JsonString(question)) +
            ",\"messages\":" + MessagesJson(messages) + "}";
}

Outcome EngineSession::ReadChangedFiles(std::string_view names) {
  Begin();
  const SkinOrigin::Kind kind = document_.origin().kind;
  if (kind == SkinOrigin::Kind::BuiltIn) return End(Outcome::Refused);
  DiskChanges changes;
  changes.archive = kind == SkinOrigin::Kind::Archive;
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = std::min(names.find('\n', at), names.size());
    if (end > at) lines.push_back(names.substr(at, end - at));
    at = end + 1;
  }
  const auto named = [&](std::string_view file) {
    return std::any_of(lines.begin(), lines.end(), [&](std::string_view l) { return EqualsIgnoringAsciiCase(l, file); });
  };
  changes.settings = named("uisettings.ini");
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (named(e.file)) changes.images.push_back(e.id);
  }
  // Files that are none of the skin's need nothing more: every reading
  // lists the folder again for the check's stray files.
  const DiskReload::Result r = reload_.Changed(changes, texts_);
  ReloadAnswer(r, {});
  return End(r.taken.empty() ? Outcome::Unchanged : Outcome::Changed);
}

Outcome EngineSession::AnswerReload(bool take) {
  Begin();
  Collected feedback(&progress_);
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const DiskReload::Result r = reload_.Answer(take, texts_, ctx);
  ReloadAnswer(r, r.reopened ? feedback.messages : std::vector<Message>{});
  return End(r.taken.empty() ? Outcome::Unchanged : Outcome::Changed);
}

void EngineSession::About() {
  result_ = "{\"title\":" + JsonString(about::Title()) + ",\"version\":" + JsonString(kVersionText) +
            ",\"text\":" + JsonString(about::BoxText()) + ",\"linkText\":" + JsonString(about::LinkText()) +
            ",\"linkAddress\":" + JsonString(about::LinkAddress()) +
            ",\"bannerAddress\":" + JsonString(about::BannerAddress()) + "}";
}

void EngineSession::AboutBanner() { ShowPicture(BuiltinPicture(BuiltinPictureId::AboutBanner)); }
bool EngineSession::TakeOpen(const std::string& path) {
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  std::optional<TakeSource> source = ReadTakeSource(path, !IsExistingFolder(path), ctx);
  if (source) feedback.messages.insert(feedback.messages.end(), source->messages.begin(), source->messages.end());
  result_ = MessagesJson(feedback.messages);
  if (!source) return false;
  take_ = std::make_unique<TakeSource>(std::move(*source));
  return true;
}

bool EngineSession::TakeList() {
  if (!take_) {
    result_ = "null";
    return false;
  }
  result_ = TakeSourceJson(*take_, document_.CommittedSkin());
  return true;
}

bool EngineSession::TakePicture(std::string_view name) {
  const std::optional<ImageId> id = FindImage(name);
  if (!take_ || !id || !take_->Has(*id)) return false;
  ShowPicture(take_->skin.image(*id));
  return true;
}

Outcome EngineSession::TakeFrom(std::string_view choiceText, bool preview) {
  Begin();
  std::string error = "no skin to take from";
  const std::optional<TakeChoice> choice = take_ ? ParseTakeChoice(choiceText, error) : std::nullopt;
  std::string notTaken = "[";
  std::vector<Message> over;
  if (choice) {
    for (ImageId id : PicturesNotTaken(*take_, *choice)) {
      notTaken += (notTaken.size() > 1 ? "," : "") + JsonString(CatalogueEntryOf(id).name);
    }
    // Told when the step is taken; a preview leaves them out as the step will.
    if (!preview && !document_.previewing()) {
      for (const Message& m : TakeMessages(*take_, *choice, document_.skin())) {
        if (m.kind == MessageKind::OverBudget) over.push_back(m);
      }
    }
  }
  result_ = "{\"error\":" + (choice ? std::string("null") : JsonString(error)) + ",\"notTaken\":" + notTaken +
            "],\"overBudget\":" + MessagesJson(over) + "}";
  if (!choice) return End(Outcome::Refused);
  return Make(TakeFromSkin(*take_, *choice), preview);
}

void EngineSession::TakeClose() {
  Begin();
  const bool was = document_.previewing();
  document_.EndPreview();
  take_.reset();
  End(was ? Outcome::Changed : Outcome::Unchanged);
}
