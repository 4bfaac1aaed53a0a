// The engine's calls for a page: the editing core behind a flat C interface
// that web/engine/engine.ts wraps in a typed module. One document per
// module. The skin's files live in the module's memory file system, where
// the page writes what the user gives it and reads back what a save wrote.
// Structured answers are JSON, left in the result (engine_result); pictures
// are RGBA in the module's memory (engine_pixels, engine_width,
// engine_height), valid until the next call.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "check/check.h"
#include "check/problem_json.h"
#include "edit/changes.h"
#include "edit/document.h"
#include "edit/document_files.h"
#include "edit/document_snapshot.h"
#include "edit/interface_texts.h"
#include "edit/journal.h"
#include "edit/panel_tables.h"
#include "images/archive_writer.h"
#include "images/colour_work.h"
#include "images/defaults.h"
#include "images/fit.h"
#include "images/screenshot.h"
#include "images/skin_io.h"
#include "platform/file_io.h"
#include "platform/folder_list.h"
#include "preview/filters.h"
#include "preview/render.h"
#include "preview/trace.h"
#include "skin/clock.h"
#include "skin/colour.h"
#include "skin/printable.h"
#include "skin/schema.h"

namespace {

// What the document's observers tell: the trace of the shown screen holds
// until the skin changes.
struct Engine : DocumentObserver {
  Document document;
  RenderWorkspace work;
  Picture shown;
  std::vector<std::uint8_t> pixels;  // RGBA or a mask
  int width = 0, height = 0;
  std::string result;
  InterfaceTexts texts;
  TraceMap trace;
  int traceScreen = -1;
  bool traceStale = true;
  SystemClock clock;

  Engine() {
    Skin fresh;
    ResetSkinToDefaults(fresh);
    DiskSkin disk;
    disk.skin = fresh;
    document.Replace(std::move(fresh), SkinOrigin{}, std::move(disk));
    document.AddObserver(this);
  }
  void SkinChanged(const SkinChange&) override { traceStale = true; }

  const TraceMap& TraceOf(int screen) {
    if (traceStale || traceScreen != screen) {
      trace = TracePreview(document.skin(), screen);
      traceScreen = screen;
      traceStale = false;
    }
    return trace;
  }
};

Engine& E() {
  static Engine* engine = new Engine();
  return *engine;
}

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

// Every message of one operation, the notes among them.
class Collected : public Feedback {
 public:
  void ShowError(const std::string&) override {}
  void SetProgress(int) override {}
  void Report(const Message& message, const std::string&) override { messages.push_back(message); }
  void Note(const Message& message, const std::string&) override { messages.push_back(message); }
  std::vector<Message> messages;
};

std::string MessagesJson(const std::vector<Message>& messages) {
  const MessageTexts texts = E().texts.Messages();
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

std::string StepJson(const std::optional<StepText>& step) {
  if (!step) return "null";
  std::string out = "{\"key\":" + JsonString(step->key) + ",\"args\":[";
  for (std::size_t i = 0; i < step->args.size(); ++i) out += (i ? "," : "") + JsonString(step->args[i]);
  return out + "],\"shown\":" + JsonString(E().texts.Step(*step)) + "}";
}

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

void ShowPicture(const Picture& picture) {
  Engine& e = E();
  e.width = picture.width;
  e.height = picture.height;
  e.pixels.resize(picture.pixels.size() * 4);
  CopyAsRgba(picture, e.pixels.data());
}

std::optional<SkinField> Field(const char* section, const char* key) {
  return section && key ? FindSkinField(section, key) : std::nullopt;
}

// 1 when the change changed the skin, 0 when it changed nothing; with
// `preview`, shown only, until the next preview or EndPreview.
int Make(Change&& change, int preview) {
  Document& d = E().document;
  if (preview) {
    d.Preview(change);
    return 1;
  }
  return d.Apply(change) ? 1 : 0;
}

std::optional<ScreenshotFormat> FormatOf(int format) {
  switch (format) {
    case 0: return ScreenshotFormat::Png;
    case 1: return ScreenshotFormat::Bmp;
    case 2: return ScreenshotFormat::Jpeg;
  }
  return std::nullopt;
}

// The moment a save stamps: `seconds` since 1970 in local time, or now when
// negative.
DateTime StampTime(double seconds) {
  if (seconds < 0) return E().clock.Now();
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* engine_result() { return E().result.c_str(); }
EMSCRIPTEN_KEEPALIVE std::size_t engine_result_size() { return E().result.size(); }
EMSCRIPTEN_KEEPALIVE std::uint8_t* engine_pixels() { return E().pixels.data(); }
EMSCRIPTEN_KEEPALIVE int engine_width() { return E().width; }
EMSCRIPTEN_KEEPALIVE int engine_height() { return E().height; }

// The built-in skin, a new history.
EMSCRIPTEN_KEEPALIVE void engine_new_skin() {
  Skin fresh;
  ResetSkinToDefaults(fresh);
  DiskSkin disk;
  disk.skin = fresh;
  E().document.Replace(std::move(fresh), SkinOrigin{}, std::move(disk));
}

// Opens the folder or archive at `path` over the skin being edited, as the
// desktop does. 1 when its settings were read (the document is the skin
// now), 0 when nothing could be opened (the document stays as it was). The
// messages of opening, in the result.
EMSCRIPTEN_KEEPALIVE int engine_open(const char* path) {
  Engine& e = E();
  const std::string where = path;
  const bool archive = !IsExistingFolder(where);
  Skin opened = e.document.skin();
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  if (archive) OpenSkinArchive(opened, where, ctx);
  else OpenSkinFolder(opened, where, ctx);
  e.result = MessagesJson(feedback.messages);
  const bool nothing = std::any_of(feedback.messages.begin(), feedback.messages.end(), IsSettingsFailure);
  if (nothing) return 0;
  AdoptOpenedSkin(e.document, std::move(opened), where, archive, feedback.messages);
  return 1;
}

// A preview screen (0..13) at `zoom` through a filter (0 none, 1 console,
// 2 protanopia, 3 deuteranopia, 4 tritanopia) on `background` (0xRRGGBB):
// of the skin being edited, or with `saved` of the skin as its origin holds
// it. RGBA in engine_pixels.
EMSCRIPTEN_KEEPALIVE void engine_render(int screen, float zoom, int filter, std::uint32_t background, int saved) {
  Engine& e = E();
  const Skin& skin = saved ? e.document.disk().skin : e.document.skin();
  const Rgb24 bg{std::uint8_t(background >> 16), std::uint8_t(background >> 8), std::uint8_t(background)};
  if (filter <= 0 || filter >= kScreenFilterCount) {
    RenderPreview(skin, screen, zoom, bg, e.work, e.shown);
  } else {
    Picture atOne;
    RenderPreview(skin, screen, 1.0f, bg, e.work, atOne);
    FilteredAtZoom(atOne, static_cast<ScreenFilter>(filter), zoom, e.work, e.shown);
  }
  ShowPicture(e.shown);
}

// One skin picture as the skin holds it, in engine_pixels; 0 when there is
// no such picture or it is empty.
EMSCRIPTEN_KEEPALIVE int engine_picture(const char* name) {
  const std::optional<ImageId> id = FindImage(name ? name : "");
  if (!id) return 0;
  const Picture& picture = E().document.skin().image(*id);
  ShowPicture(picture);
  return picture.empty() ? 0 : 1;
}

// What draws the pixel (x, y) of the preview shown at `zoom`: JSON
// {"source": {"kind": "colour", "section", "key"} or {"kind": "picture",
// "name"} or null, "elements": [sections]}; 0 outside the preview.
EMSCRIPTEN_KEEPALIVE int engine_trace(int screen, float zoom, int zx, int zy) {
  Engine& e = E();
  int x = 0, y = 0;
  if (!PreviewPixelAt(zoom, zx, zy, x, y)) {
    e.result = "null";
    return 0;
  }
  const TraceMap& map = e.TraceOf(screen);
  const PixelTag& tag = map.at(x, y);
  std::string out = "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) + ",\"source\":";
  switch (KindOf(tag.source)) {
    case SourceKind::None: out += "null"; break;
    case SourceKind::Colour:
      out += "{\"kind\":\"colour\",\"section\":" + JsonString(ColourSection(tag.source).name) +
             ",\"key\":" + JsonString(ColourField(tag.source).key) + "}";
      break;
    case SourceKind::Picture:
      out += "{\"kind\":\"picture\",\"name\":" + JsonString(CatalogueEntryOf(ImageOf(tag.source)).name) + "}";
      break;
  }
  out += ",\"elements\":[";
  const std::vector<std::size_t> sections = map.elementSets[tag.elements].Sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    out += (i ? "," : "") + JsonString(SkinSchema()[sections[i]].name);
  }
  e.result = out + "]}";
  return 1;
}

// The pixels of screen `screen` at `zoom` that a colour field ("colour",
// section and key), a picture ("picture", its name) or an element record
// ("element", its section) draws: a mask of 0 and 255 in engine_pixels (one
// byte a pixel) and its bounds at zoom 1 in the result; 0 for an unknown
// name.
EMSCRIPTEN_KEEPALIVE int engine_mask(int screen, float zoom, const char* kind, const char* section, const char* name) {
  Engine& e = E();
  const std::string k = kind ? kind : "";
  const TraceMap& map = e.TraceOf(screen);
  PixelMask mask;
  if (k == "colour") {
    const std::optional<TraceSource> source = FindColourSource(section ? section : "", name ? name : "");
    if (!source) return 0;
    mask = SourceMask(map, *source);
  } else if (k == "picture") {
    const std::optional<ImageId> id = FindImage(name ? name : "");
    if (!id) return 0;
    mask = SourceMask(map, PictureSource(*id));
  } else if (k == "element") {
    const std::optional<std::size_t> index = FindElementSection(section ? section : "");
    if (!index) return 0;
    mask = ElementMask(map, *index);
  } else {
    return 0;
  }
  e.result = "{\"count\":" + std::to_string(mask.count) + ",\"left\":" + std::to_string(mask.left) +
             ",\"top\":" + std::to_string(mask.top) + ",\"right\":" + std::to_string(mask.right) +
             ",\"bottom\":" + std::to_string(mask.bottom) + "}";
  const PixelMask zoomed = ZoomMask(mask, zoom);
  e.width = zoomed.width;
  e.height = zoomed.height;
  e.pixels.resize(zoomed.pixels.size());
  for (std::size_t i = 0; i < zoomed.pixels.size(); ++i) e.pixels[i] = zoomed.pixels[i] ? 0xFF : 0;
  return 1;
}

// Every field of the skin in file order, with its kind and value: JSON
// [{"section", "key", "kind", "value"}] (a colour as [r, g, b], a text as
// the file holds it, Latin-1 read as Unicode).
EMSCRIPTEN_KEEPALIVE void engine_fields() {
  Engine& e = E();
  const Skin& skin = e.document.skin();
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
  e.result = out + "]";
}

// Where the skin comes from, whether it has unsaved changes, and what Undo
// and Redo would do: JSON.
EMSCRIPTEN_KEEPALIVE void engine_state() {
  Engine& e = E();
  const Document& d = e.document;
  const SkinOrigin& o = d.origin();
  e.result = "{\"modified\":" + std::string(d.modified() ? "true" : "false") +
             ",\"previewing\":" + std::string(d.previewing() ? "true" : "false") + ",\"origin\":{\"kind\":" +
             JsonString(OriginKindName(o.kind)) + ",\"path\":" + JsonString(o.path) +
             ",\"saveTarget\":" + JsonString(o.saveTarget) + "},\"undo\":" + StepJson(d.history().UndoText()) +
             ",\"redo\":" + StepJson(d.history().RedoText()) + "}";
}

// The changes: 1 when the skin changed, 0 when nothing changed, -1 for a
// field or value that is not one. With `preview`, the change is shown and
// not recorded, until the next preview or engine_end_preview.
EMSCRIPTEN_KEEPALIVE int engine_set_number(const char* section, const char* key, int value, int preview) {
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Number) return -1;
  return Make(SetNumber(*f, value), preview);
}

EMSCRIPTEN_KEEPALIVE int engine_set_flag(const char* section, const char* key, int on) {
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Number) return -1;
  return Make(SetFlag(*f, on != 0), 0);
}

// A text typed (UTF-8): -1 when the settings file cannot hold it (a
// character outside Latin-1, or a line break).
EMSCRIPTEN_KEEPALIVE int engine_set_text(const char* section, const char* key, const char* utf8) {
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Text) return -1;
  std::optional<std::string> latin1 = SettingsText(utf8 ? utf8 : "");
  if (!latin1) return -1;
  return Make(SetText(*f, std::move(*latin1)), 0);
}

EMSCRIPTEN_KEEPALIVE int engine_set_colour(const char* section, const char* key, std::uint32_t rgb, int preview) {
  const std::optional<SkinField> f = Field(section, key);
  if (!f || f->field->kind != FieldKind::Colour) return -1;
  return Make(SetColour(*f, Rgb24{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)}), preview);
}

// An element's x and y; the moves of one gesture merge into one step.
EMSCRIPTEN_KEEPALIVE int engine_move_element(const char* section, int x, int y, const char* gesture) {
  if (!section || !FindElementSection(section)) return -1;
  return Make(MoveElement(section, x, y, gesture ? gesture : ""), 0);
}

EMSCRIPTEN_KEEPALIVE int engine_replace_colour(int from, int to, int preview) {
  if (from < 0 || from >= 0x8000 || to < 0 || to >= 0x8000) return -1;
  return Make(ReplaceColour(Rgb15(from), Rgb15(to)), preview);
}

// scope: 0 everything, 1 the pictures, 2 the colour fields.
EMSCRIPTEN_KEEPALIVE int engine_recolour(int hue, int saturation, int lightness, int scope, int preview) {
  if (hue < -180 || hue > 180 || saturation < -100 || saturation > 100 || lightness < -100 || lightness > 100 ||
      scope < 0 || scope > 2) {
    return -1;
  }
  return Make(RecolourSkinChange(HslShift{hue, saturation, lightness}, static_cast<RecolourScope>(scope)), preview);
}

// Picture `name` from the file at `path` (BMP, PNG or JPEG), fitted by `fit`
// (0 keep, 1 cover, 2 stretch), as an import makes it. 1 when it was
// replaced (or, with `preview`, shown), 0 when the file gave no picture;
// the messages (and the note of half-transparent pixels), in the result.
EMSCRIPTEN_KEEPALIVE int engine_import(const char* name, const char* path, int fit, int preview) {
  Engine& e = E();
  const std::optional<ImageId> id = FindImage(name ? name : "");
  if (!id || !path || fit < 0 || fit > 2) return -1;
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  std::optional<Picture> picture;
  if (std::optional<SourcePicture> source = ReadSourceFile(path, ctx)) {
    const long long allowance = PixelAllowance(e.document.CommittedSkin(), *id, ctx.budget);
    picture = FinishImport(*id, std::move(*source), static_cast<FitMode>(fit), allowance, path, ctx);
  }
  e.result = MessagesJson(feedback.messages);
  if (!picture) return 0;
  return Make(ReplacePictures(*id, std::move(*picture)), preview) >= 0 ? 1 : 0;
}

// The size an imported picture is expected to have, and the size of the
// picture in the file at `path`: JSON, or 0 when it gives none.
EMSCRIPTEN_KEEPALIVE int engine_import_sizes(const char* name, const char* path) {
  Engine& e = E();
  const std::optional<ImageId> id = FindImage(name ? name : "");
  if (!id || !path) return -1;
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const std::optional<SourcePicture> source = ReadSourceFile(path, ctx);
  if (!source) {
    e.result = MessagesJson(feedback.messages);
    return 0;
  }
  e.result = "{\"width\":" + std::to_string(source->width()) + ",\"height\":" + std::to_string(source->height()) +
             ",\"expectedWidth\":" + std::to_string(ExpectedWidth(*id)) +
             ",\"expectedHeight\":" + std::to_string(ExpectedHeight(*id)) + "}";
  return 1;
}

EMSCRIPTEN_KEEPALIVE void engine_end_preview() { E().document.EndPreview(); }
EMSCRIPTEN_KEEPALIVE int engine_undo() {
  Document& d = E().document;
  if (!d.history().CanUndo()) return 0;
  d.Undo();
  return 1;
}
EMSCRIPTEN_KEEPALIVE int engine_redo() {
  Document& d = E().document;
  if (!d.history().CanRedo()) return 0;
  d.Redo();
  return 1;
}

// The skin check of the skin being edited, as skintool check --json gives
// it, each problem with its template's name and parameters besides.
EMSCRIPTEN_KEEPALIVE void engine_check() {
  Engine& e = E();
  const Document& d = e.document;
  const std::vector<Problem> problems = CheckSkin(d.skin(), CheckInputOf(d.disk(), d.skin()));
  const ProblemTemplates templates = e.texts.Problems();
  std::string out = "[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Problem& p = problems[i];
    out += i ? ",{" : "{";
    out += "\"severity\":" + JsonString(SeverityName(p.severity)) + ",\"code\":" + JsonString(ProblemCodeName(p.code)) +
           ",\"text\":" + JsonString(ProblemTextName(p.text)) + ",\"subject\":" + JsonString(p.subject) +
           ",\"message\":" + JsonString(p.message) + ",\"shown\":" + JsonString(FormatProblem(p, templates)) +
           ",\"params\":[";
    for (std::size_t k = 0; k < p.params.size(); ++k) out += (k ? "," : "") + JsonString(p.params[k]);
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
  e.result = out + "]";
}

// The palette, as skintool palette --json gives it.
// A colour as a person types or pastes it (#rrggbb, rrggbb or the settings
// file's 0xBBBB), by the desktop's rule: 0xRRGGBB, or -1 when it is none.
EMSCRIPTEN_KEEPALIVE int engine_parse_colour(const char* text) {
  const std::optional<Rgb24> c = ParseColourText(text ? text : "");
  return c ? static_cast<int>((c->r << 16) | (c->g << 8) | c->b) : -1;
}

// A name from a file (a folder's, an archive's, a journal's) as the page may
// show it: control and direction characters escaped, as in every message.
EMSCRIPTEN_KEEPALIVE void engine_printable(const char* text) { E().result = PrintableText(text ? text : ""); }

EMSCRIPTEN_KEEPALIVE void engine_archive_folder_name(const char* name) {
  E().result = ArchiveFolderName(std::string(name ? name : ""));
}

EMSCRIPTEN_KEEPALIVE void engine_palette() { E().result = PaletteJson(SkinPalette(E().document.skin())); }

// Saves the skin into the folder `folder` (created when missing), as the
// desktop's Save does, LastUpdate stamped at `when` (StampTime): 1 when
// every file was written. The document does not count it saved until
// engine_mark_saved (the page still has to put the files where the user
// wants them).
EMSCRIPTEN_KEEPALIVE int engine_save_folder(const char* folder, double when) {
  Engine& e = E();
  const std::string where = folder ? folder : "";
  if (!IsExistingFolder(where) && !MakeFolder(where)) return 0;
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const std::vector<SkinFile> files = e.document.StampForSave(StampTime(when));
  WriteSkinFiles(files, where, ctx);
  e.result = MessagesJson(feedback.messages);
  return std::none_of(feedback.messages.begin(), feedback.messages.end(), IsSaveFailure) ? 1 : 0;
}

// Saves the skin into the archive `path`, inside a folder named after it, as
// the desktop's Save to archive does, stamped at `when`: 1 when written.
EMSCRIPTEN_KEEPALIVE int engine_save_archive(const char* path, double when) {
  Engine& e = E();
  const std::string where = path ? path : "";
  Collected feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const DateTime now = StampTime(when);
  const std::vector<SkinFile> files = e.document.StampForSave(now);
  WriteSkinArchive(files, where, ArchiveFolderName(where), now, ctx);
  e.result = MessagesJson(feedback.messages);
  return std::none_of(feedback.messages.begin(), feedback.messages.end(), IsSaveFailure) ? 1 : 0;
}

// What a save wrote to `path` (a folder, or with `archive` an archive) is
// where the skin is now, as AdoptSavedSkin tells; with `becomeOrigin`, an
// archive that is not the skin's origin becomes it first (the page's Save
// of a skin that came from nowhere, or from a folder it cannot write).
EMSCRIPTEN_KEEPALIVE void engine_mark_saved(const char* path, int archive, int becomeOrigin) {
  Document& d = E().document;
  const std::string where = path ? path : "";
  if (becomeOrigin) d.MoveOrigin(OriginOfPath(where, archive != 0));
  AdoptSavedSkin(d, where, archive != 0);
}

// A screenshot of screen `screen`: 0 PNG, 1 BMP, 2 JPEG, written to `path`.
EMSCRIPTEN_KEEPALIVE int engine_screenshot(int screen, int format, const char* path) {
  const std::optional<ScreenshotFormat> f = FormatOf(format);
  if (!f || !path) return 0;
  return WriteScreenshotFile(ComposeScreenshot(E().document.skin(), screen), *f, path) ? 1 : 0;
}

// The journal of unsaved changes: the skin without what a preview shows,
// as an archive at `path`; its manifest in the result. `lastEdit`: seconds
// since 1970 (UTC) of the last edit; `keeper` (a positive number) and
// `started` tell which page keeps it, as a process id and its start do on
// the desktop.
EMSCRIPTEN_KEEPALIVE int engine_journal(const char* path, double lastEdit, double keeper, double started) {
  if (!(keeper >= 1 && keeper <= 2147483647.0)) return 0;
  Engine& e = E();
  const std::string bytes = EncodeJournalArchive(e.document.CommittedSkin());
  if (bytes.empty() || !path) return 0;
  FILE* f = std::fopen(path, "wb");
  if (!f) return 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return 0;
  const std::time_t t = static_cast<std::time_t>(lastEdit);
  std::tm utc{};
  gmtime_r(&t, &utc);
  const DateTime when{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
  e.result = FormatJournalManifest(JournalManifestOf(e.document, when, static_cast<long long>(keeper), static_cast<long long>(started)));
  return 1;
}

// What a journal's manifest says, as JSON: where its skin came from, the
// time of its last edit (UTC) and the skin's LastUpdate; 0 when it is no
// manifest.
EMSCRIPTEN_KEEPALIVE int engine_read_manifest(const char* manifestText) {
  Engine& e = E();
  const std::optional<JournalManifest> m = ParseJournalManifest(manifestText ? manifestText : "");
  if (!m) return 0;
  const SkinOrigin origin = OriginOfJournal(*m);
  const DateTime& t = m->time;
  e.result = "{\"kind\":" + JsonString(OriginKindName(origin.kind)) + ",\"origin\":" + JsonString(m->origin) +
             ",\"time\":[" + std::to_string(t.year) + "," + std::to_string(t.month) + "," + std::to_string(t.day) + "," +
             std::to_string(t.hour) + "," + std::to_string(t.minute) + "," + std::to_string(t.second) +
             "],\"lastUpdate\":" + JsonString(m->lastUpdate) + "}";
  return 1;
}

// Restores a journal, its archive at `path` and its manifest, over the skin
// open now (the caller opens the journal's origin first where it still can,
// as the desktop does): the skin becomes the journal's, one step of Undo,
// and unsaved even where it equals the files. 0 when the journal cannot be
// read (nothing changes).
EMSCRIPTEN_KEEPALIVE int engine_restore(const char* path, const char* manifestText) {
  Engine& e = E();
  const std::optional<JournalManifest> manifest = ParseJournalManifest(manifestText ? manifestText : "");
  if (!manifest || !path) return 0;
  std::optional<Skin> restored = ReadJournalSkin(path, *manifest);
  if (!restored) return 0;
  e.document.Apply(BecomeSkin::Restore(std::move(*restored)));
  e.document.MarkUnsaved();
  return 1;
}

// The document whole, for a fresh engine to adopt (edit/document_snapshot.h):
// its bytes in the result. The next call that leaves a result frees them.
EMSCRIPTEN_KEEPALIVE std::size_t engine_snapshot() {
  Engine& e = E();
  e.result = SnapshotDocument(e.document);
  return e.result.size();
}

// The files and folders of the memory file system that the document still
// refers to, which a Save in place or a reload reads again: its origin, and
// its files as last read (the same, but for a moment during a save). JSON:
// the paths, each once.
EMSCRIPTEN_KEEPALIVE void engine_snapshot_paths() {
  Engine& e = E();
  const Document& d = e.document;
  std::vector<std::string> paths;
  for (const std::string* p : {&d.origin().path, &d.origin().saveTarget, &d.disk().path, &d.disk().source.path,
                               &d.disk().stamps.path}) {
    if (!p->empty() && std::find(paths.begin(), paths.end(), *p) == paths.end()) paths.push_back(*p);
  }
  std::string out = "[";
  for (std::size_t i = 0; i < paths.size(); ++i) out += (i ? "," : "") + JsonString(paths[i]);
  e.result = out + "]";
}

// The document becomes what a snapshot of another engine holds (the files
// it refers to written back first): 1, or 0 when the bytes are no whole
// snapshot of this build, and then nothing changed.
EMSCRIPTEN_KEEPALIVE int engine_adopt(const char* bytes, std::size_t size) {
  if (!bytes) return 0;
  return RestoreDocument(E().document, std::string_view(bytes, size)) ? 1 : 0;
}

// The language menu, in the desktop's order: JSON [{"index", "file" (null
// for the built-in English), "label"}].
EMSCRIPTEN_KEEPALIVE void engine_languages() {
  std::string out = "[";
  for (const LanguageEntry& l : LanguageMenu()) {
    out += out.size() > 1 ? ",{" : "{";
    out += "\"index\":" + std::to_string(l.index) + ",\"file\":" + (l.file ? JsonString(l.file) : "null") +
           ",\"label\":" + JsonString(l.label) + "}";
  }
  E().result = out + "]";
}

// The texts of a language file's bytes over the built-in English (none:
// English); the engine's messages, problems and step names follow them.
EMSCRIPTEN_KEEPALIVE void engine_set_language(const char* bytes, std::size_t size) {
  Engine& e = E();
  if (bytes) e.texts.ReadLanguageFile(std::string_view(bytes, size));
  else e.texts.Reset();
}

// Every language key the program knows and its text in force: a JSON object.
EMSCRIPTEN_KEEPALIVE void engine_texts() {
  std::string out = "{";
  for (const auto& [key, text] : E().texts.all()) out += (out.size() > 1 ? "," : "") + JsonString(key) + ":" + JsonString(text);
  E().result = out + "}";
}

// The tables of the editor panel, as the desktop builds its panel from them.
EMSCRIPTEN_KEEPALIVE void engine_panel() {
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
  E().result = out;
}

}  // extern "C"
