// The engine's calls for a page: the editing core's EngineSession
// (edit/engine_session.h) behind a flat C interface that
// web/engine/engine.ts wraps in a typed module, each call passed on as it
// is. One document per module. The skin's files live in the module's memory
// file system, where the page writes what the user gives it and reads back
// what a save wrote. Structured answers are JSON, left in the result
// (engine_result); pictures are RGBA in the module's memory (engine_pixels,
// engine_width, engine_height), valid until the next call. What the last
// call that can change something did, named, is engine_changes().
//
// The older calls keep their numbers for engine.ts: 1 changed (or done), 0
// unchanged (or nothing found), -1 refused.
#include <emscripten.h>

#include <cstdint>
#include <string>

#include "check/problem_json.h"
#include "edit/engine_session.h"
#include "images/archive_writer.h"
#include "images/screenshot.h"
#include "skin/colour.h"
#include "skin/printable.h"

namespace {

// How far an open or a save has come, told to the page's engine
// (SkinEngine.onProgress) as it goes.
EM_JS(void, SkinEngineProgress, (int value), {
  if (Module.skinProgress) Module.skinProgress(value);
});

EngineSession& E() {
  static EngineSession* engine = [] {
    auto* e = new EngineSession();
    e->SetProgress([](int value) { SkinEngineProgress(value); });
    return e;
  }();
  return *engine;
}

// The text answers that are not the session's.
std::string& Text() {
  static std::string text;
  return text;
}
const std::string* answer = nullptr;

void Answer() { answer = &E().result(); }
void AnswerText(std::string text) {
  Text() = std::move(text);
  answer = &Text();
}

int Code(Outcome outcome) {
  switch (outcome) {
    case Outcome::Changed: return 1;
    case Outcome::Unchanged: return 0;
    case Outcome::Refused: return -1;
    case Outcome::Failed: return 0;
  }
  return 0;
}

std::string S(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* engine_result() { return answer ? answer->c_str() : ""; }
EMSCRIPTEN_KEEPALIVE std::size_t engine_result_size() { return answer ? answer->size() : 0; }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* engine_pixels() { return E().pixels().data(); }
EMSCRIPTEN_KEEPALIVE int engine_width() { return E().width(); }
EMSCRIPTEN_KEEPALIVE int engine_height() { return E().height(); }

// {outcome, changed}: what the last call that can change something did.
EMSCRIPTEN_KEEPALIVE void engine_changes() { AnswerText(E().Changes()); }

// The built-in skin, a new history.
EMSCRIPTEN_KEEPALIVE void engine_new_skin() { E().NewSkin(); }

// Opens the folder or archive at `path` over the skin being edited: 1 when
// its settings were read, 0 when nothing could be opened; the messages.
EMSCRIPTEN_KEEPALIVE int engine_open(const char* path) {
  const Outcome o = E().Open(S(path));
  Answer();
  return o == Outcome::Changed ? 1 : 0;
}

// The skin being edited (`which` 0), as saved (1), or the skin it is
// compared with (2): 0 when there is none.
EMSCRIPTEN_KEEPALIVE int engine_render(int screen, float zoom, int filter, std::uint32_t background, int which) {
  return E().Render(screen, zoom, filter, background, which == 1, which == 2) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_picture(const char* name) { return E().Picture(S(name)) ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE int engine_trace(int screen, float zoom, int zx, int zy) {
  const bool found = E().Trace(screen, zoom, zx, zy);
  Answer();
  return found ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_mask(int screen, float zoom, const char* kind, const char* section, const char* name) {
  const bool found = E().Mask(screen, zoom, S(kind), S(section), S(name));
  Answer();
  return found ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void engine_fields() {
  E().Fields();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_state() {
  E().State();
  Answer();
}

EMSCRIPTEN_KEEPALIVE int engine_set_number(const char* section, const char* key, int value, int preview) {
  return Code(E().SetNumber(S(section), S(key), value, preview != 0));
}

EMSCRIPTEN_KEEPALIVE int engine_set_flag(const char* section, const char* key, int on) {
  return Code(E().SetFlag(S(section), S(key), on != 0));
}

EMSCRIPTEN_KEEPALIVE int engine_set_text(const char* section, const char* key, const char* utf8) {
  return Code(E().SetText(S(section), S(key), S(utf8)));
}

EMSCRIPTEN_KEEPALIVE int engine_set_colour(const char* section, const char* key, std::uint32_t rgb, int preview) {
  return Code(E().SetColour(S(section), S(key), rgb, preview != 0));
}

EMSCRIPTEN_KEEPALIVE int engine_move_element(const char* section, int x, int y, const char* gesture) {
  return Code(E().MoveElement(S(section), x, y, S(gesture)));
}

EMSCRIPTEN_KEEPALIVE int engine_replace_colour(int from, int to, int preview) {
  return Code(E().ReplaceColour(from, to, preview != 0));
}

EMSCRIPTEN_KEEPALIVE int engine_recolour(int hue, int saturation, int lightness, int scope, int preview) {
  return Code(E().Recolour(hue, saturation, lightness, scope, preview != 0));
}

// 1 when the picture was replaced (or shown), 0 when the file gave none,
// -1 for no such picture or fit; the messages.
EMSCRIPTEN_KEEPALIVE int engine_import(const char* name, const char* path, int fit, int preview) {
  if (!path) return -1;
  const Outcome o = E().Import(S(name), path, fit, preview != 0);
  Answer();
  return o == Outcome::Refused ? -1 : o == Outcome::Failed ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE int engine_import_sizes(const char* name, const char* path) {
  if (!path) return -1;
  const Outcome o = E().ImportSizes(S(name), path);
  Answer();
  return o == Outcome::Refused ? -1 : o == Outcome::Failed ? 0 : 1;
}

// The fit question's sizes and its three pictures (cover, stretch, keep)
// one after the other in the pixels; like engine_import_sizes otherwise.
EMSCRIPTEN_KEEPALIVE int engine_import_previews(const char* name, const char* path) {
  if (!path) return -1;
  const Outcome o = E().ImportPreviews(S(name), path);
  Answer();
  return o == Outcome::Refused ? -1 : o == Outcome::Failed ? 0 : 1;
}

// Every picture a folder names: first the question, then the import.
EMSCRIPTEN_KEEPALIVE int engine_import_folder_sizes(const char* folder) {
  const Outcome o = E().ImportFolderSizes(S(folder));
  Answer();
  return o == Outcome::Failed ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE int engine_import_folder(const char* folder, int fit, int preview) {
  const Outcome o = E().ImportFolder(S(folder), fit, preview != 0);
  Answer();
  return Code(o);
}

// The skin to compare with, from the folder or archive at `path`: 1 when
// it was read, 0 when nothing could be; the messages.
EMSCRIPTEN_KEEPALIVE int engine_compare_with(const char* path) {
  const Outcome o = E().CompareWith(S(path));
  Answer();
  return o == Outcome::Changed ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void engine_stop_compare() { E().StopCompare(); }

// The skin's files that changed on disk, their names one a line, already
// written where the skin's folder (or archive) is; -1 for a skin from no
// files.
EMSCRIPTEN_KEEPALIVE int engine_disk_changed(const char* names) {
  const Outcome o = E().ReadChangedFiles(S(names));
  Answer();
  return Code(o);
}

EMSCRIPTEN_KEEPALIVE int engine_answer_reload(int take) {
  const Outcome o = E().AnswerReload(take != 0);
  Answer();
  return Code(o);
}

EMSCRIPTEN_KEEPALIVE void engine_about() {
  E().About();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_about_banner() { E().AboutBanner(); }

EMSCRIPTEN_KEEPALIVE void engine_end_preview() { E().EndPreview(); }
EMSCRIPTEN_KEEPALIVE int engine_undo() { return Code(E().Undo()); }
EMSCRIPTEN_KEEPALIVE int engine_redo() { return Code(E().Redo()); }

EMSCRIPTEN_KEEPALIVE void engine_check() {
  E().Check();
  Answer();
}

// A colour as a person types or pastes it: 0xRRGGBB, or -1 when it is none.
EMSCRIPTEN_KEEPALIVE int engine_parse_colour(const char* text) {
  const std::optional<Rgb24> c = ParseColourText(S(text));
  return c ? static_cast<int>((c->r << 16) | (c->g << 8) | c->b) : -1;
}

EMSCRIPTEN_KEEPALIVE void engine_printable(const char* text) { AnswerText(PrintableText(S(text))); }
EMSCRIPTEN_KEEPALIVE void engine_archive_folder_name(const char* name) { AnswerText(ArchiveFolderName(S(name))); }

EMSCRIPTEN_KEEPALIVE void engine_palette() {
  E().Palette();
  Answer();
}

EMSCRIPTEN_KEEPALIVE int engine_save_folder(const char* folder, double when) {
  const Outcome o = E().SaveFolder(S(folder), when);
  Answer();
  return o == Outcome::Changed ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_save_archive(const char* path, double when) {
  const Outcome o = E().SaveArchive(S(path), when);
  Answer();
  return o == Outcome::Changed ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void engine_mark_saved(const char* path, int archive, int becomeOrigin) {
  E().MarkSaved(S(path), archive != 0, becomeOrigin != 0);
}

// A screenshot of screen `screen`: 0 PNG, 1 BMP, 2 JPEG, written to `path`.
EMSCRIPTEN_KEEPALIVE int engine_screenshot(int screen, int format, const char* path) {
  static constexpr ScreenshotFormat kFormats[] = {ScreenshotFormat::Png, ScreenshotFormat::Bmp, ScreenshotFormat::Jpeg};
  if (format < 0 || format > 2 || !path) return 0;
  return WriteScreenshotFile(ComposeScreenshot(E().document().skin(), screen), kFormats[format], path) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_journal(const char* path, double lastEdit, double keeper, double started) {
  const bool written = E().Journal(S(path), lastEdit, keeper, started);
  Answer();
  return written ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_read_manifest(const char* manifestText) {
  const bool read = E().ReadManifest(S(manifestText));
  Answer();
  return read ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int engine_restore(const char* path, const char* manifestText) {
  return E().Restore(S(path), S(manifestText)) == Outcome::Changed ? 1 : 0;
}

// The document whole, for a fresh engine to adopt (edit/document_snapshot.h):
// its bytes in the result, their size returned.
EMSCRIPTEN_KEEPALIVE std::size_t engine_snapshot() {
  AnswerText(E().Snapshot());
  return engine_result_size();
}

// The files and folders of the memory file system that the document still
// refers to, which a Save in place or a reload reads again: JSON, the paths,
// each once.
EMSCRIPTEN_KEEPALIVE void engine_snapshot_paths() { AnswerText(E().SnapshotPaths()); }

// The document becomes what a snapshot of another engine holds (the files
// it refers to written back first): 1, or 0 when the bytes are no whole
// snapshot of this build, and then nothing changed.
EMSCRIPTEN_KEEPALIVE int engine_adopt(const char* bytes, std::size_t size) {
  return bytes && E().Adopt(std::string_view(bytes, size)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void engine_languages() {
  E().Languages();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_set_language(const char* bytes, std::size_t size) { E().SetLanguage(bytes, size); }

EMSCRIPTEN_KEEPALIVE void engine_texts() {
  E().Texts();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_panel() {
  E().Panel();
  Answer();
}

// The session's rules (edit/editor_session.h, edit/command_catalogue.h),
// each answering JSON.
EMSCRIPTEN_KEEPALIVE void engine_catalogue() {
  E().Catalogue();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_command_states(int shown, int compare, int filter, int screen, int language,
                                                int missingLanguages, const char* colour) {
  E().CommandStates(shown, compare, filter, screen, language, missingLanguages, S(colour));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_cursor(int screen, float zoom, int zx, int zy) {
  E().Cursor(screen, zoom, zx, zy);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_press(int screen, float zoom, int zx, int zy) {
  E().Press(screen, zoom, zx, zy);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_drag(int zx, int zy, float zoom) {
  E().Drag(zx, zy, zoom);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_release() {
  E().Release();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_escape() {
  E().Escape();
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_nudge(int dx, int dy, int shift) {
  E().Nudge(dx, dy, shift != 0);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_hover(const char* kind, const char* section, const char* name) {
  E().Hover(S(kind), S(section), S(name));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_problem_focus(int index) {
  E().ProblemFocus(index);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_screen_after(const char* cause) {
  E().ScreenAfter(S(cause));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_mnemonics(const char* texts) {
  E().Mnemonics(S(texts));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_zoom_step(float zoom, int steps, int whole) {
  E().ZoomStep(zoom, steps, whole != 0);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_zoom_to_fit(int width, int height, int whole) {
  E().ZoomToFit(width, height, whole != 0);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_render_overview(int screen, int filter, std::uint32_t background, int half) {
  E().RenderOverview(screen, filter, background, half != 0);
}

EMSCRIPTEN_KEEPALIVE void engine_colour_texts(std::uint32_t rgb) {
  E().ColourTexts(rgb);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_wheel(int delta) {
  E().Wheel(delta);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_whole_zoom(float zoom) {
  E().WholeZoom(zoom);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_typed_text(const char* section, const char* key, const char* utf8) {
  E().TypedText(S(section), S(key), S(utf8));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_journal_schedule(double firstUnsavedMs, double lastEditMs) {
  E().JournalSchedule(firstUnsavedMs, lastEditMs);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_remember_seen(const char* path, const char* seen) { E().RememberSeen(S(path), S(seen)); }

EMSCRIPTEN_KEEPALIVE void engine_changed_before_save(const char* target, const char* seen) {
  E().ChangedBeforeSave(S(target), S(seen));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_colour_open(std::uint32_t rgb) {
  E().ColourOpen(rgb);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_colour_field(int channel, const char* red, const char* green, const char* blue) {
  E().ColourField(channel, S(red), S(green), S(blue));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_colour_chooser(std::uint32_t rgb) {
  E().ColourChooser(rgb);
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_colour_text(const char* text) {
  E().ColourText(S(text));
  Answer();
}

EMSCRIPTEN_KEEPALIVE void engine_colour_eyedropper(std::uint32_t rgb) {
  E().ColourEyedropper(rgb);
  Answer();
}

// Take from skin: the skin at `path` (a folder or an archive) read for
// taking from, the document untouched: 1 when it was read, 0 when its
// settings could not be; the messages (its pictures' too).
EMSCRIPTEN_KEEPALIVE int engine_take_open(const char* path) {
  const bool read = E().TakeOpen(S(path));
  Answer();
  return read ? 1 : 0;
}

// What the skin taken from holds, group by group (edit/take_from.h): 0 when
// none was read.
EMSCRIPTEN_KEEPALIVE int engine_take_list() {
  const bool listed = E().TakeList();
  Answer();
  return listed ? 1 : 0;
}

// One picture of the skin taken from, as RGBA: 0 when it has none of that name.
EMSCRIPTEN_KEEPALIVE int engine_take_picture(const char* name) { return E().TakePicture(S(name)) ? 1 : 0; }

// A choice ("colours;pictures=startbar,icon/nds") shown (`preview`) or made
// one step of Undo: as engine_set_colour answers, -1 for a choice that names
// nothing or no skin read; {error, notTaken, overBudget: messages}.
EMSCRIPTEN_KEEPALIVE int engine_take_from(const char* choice, int preview) {
  const Outcome o = E().TakeFrom(S(choice), preview != 0);
  Answer();
  return Code(o);
}

// The preview ended and the skin taken from let go.
EMSCRIPTEN_KEEPALIVE void engine_take_close() { E().TakeClose(); }

}  // extern "C"
