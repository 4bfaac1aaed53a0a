// The editor as a page's engine holds it: one document, the trace of the
// screen shown, the interface texts, the session's rules (selection,
// gestures, colour dialog) and the answers of the last call, behind calls a
// flat C interface (web/engine/engine_api.cpp) passes on one for one.
//
// Answers that have structure are JSON, left in result(); pictures are RGBA
// (or a mask, one byte a pixel) in pixels(), valid until the next call.
// Every call that can change something ends with an Outcome and a record of
// what it changed (changes(), as JSON), so that a page redraws only that.
//
// The JSON shapes a page reads (web/engine/engine.ts declares each as a
// TypeScript interface; web/tests/engine-shapes.test.mjs compares the keys
// the engine gives with those interfaces):
//
//   call                 result                      engine.ts type
//   Open, Import*, Save* [message]                   EngineMessage[]
//   Trace                {x, y, source, elements}    Trace
//   Mask                 {count, left, top, right, bottom}  Mask['bounds']
//   Fields               [{section, key, kind, value}]      Field[]
//   State                {modified, previewing, origin, undo, redo}  EngineState
//   Check                [problem]                   Problem[]
//   Changes              {outcome, changed: {fields, pictures, whole, history,
//                        clean, origin, problems, selection}}  EngineChange
//   Press, Drag, Release, Escape, Nudge
//                        {outcome, changed, selection, cursor, record}  GestureAnswer
//   Cursor               {cursor}                    CursorAnswer
//   Hover                {outcome, hover}            HoverAnswer
//   Catalogue            {commands, menus}           CommandCatalogue
//   CommandStates        {"<id>": {enabled, checkable, checked}}
//   ProblemFocus         {screen, tab, section, key, picture}  ProblemFocus
//   Colour*              {input, shown, code, hex, inputCode, inputHex, r5, g5, b5,
//                        fieldText, refreshed, ok, cancel}  ColourDialogState
//   TypedText            {outcome, latin1, refusal}  TypedTextAnswer
//   ChangedBeforeSave    {ask, files}                OverwriteQuestion
//   JournalSchedule      {next}                      JournalSchedule
//   ScreenAfter          {screen}                    ScreenAnswer
//   Mnemonics            [{before, letter, after}]   MnemonicText[]
//   Zoom*                {zoom}                      ZoomAnswer
//   Wheel                {steps}                     WheelAnswer
//   ColourTexts          {code, hex}                 ColourTexts
//   ImportSizes          {width, height, expectedWidth, expectedHeight}  ImportSizes
//   ImportPreviews       {width, height, expectedWidth, expectedHeight,
//                        pictures: [[width, height] x3]}  ImportPreviews (with the pictures)
//   ImportFolderSizes    {count, first: {name, file, width, height, expectedWidth,
//                        expectedHeight} | null, text}  FolderQuestion
//   ImportFolder         {imported, messages, status, report: {title, lines, summary,
//                        details, warning}}           FolderImportResult
//   CompareWith          [message]                   EngineMessage[]
//   ReadChangedFiles, AnswerReload
//                        {taken, held, failed, status, question, messages}  ReloadAnswer
//   About                {title, version, text, linkText, linkAddress, bannerAddress}  AboutTexts
//   TakeOpen             [message]                   EngineMessage[]
//   TakeList             {name, groups, missing, unreadable}  TakeListing
//   TakeFrom             {error, notTaken}           TakeAnswer
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edit/colour_choice.h"
#include "edit/command_catalogue.h"
#include "edit/disk_reload.h"
#include "edit/document.h"
#include "edit/editor_session.h"
#include "edit/interface_texts.h"
#include "edit/take_from.h"
#include "edit/view_zoom.h"
#include "images/fit.h"
#include "preview/render.h"
#include "preview/trace.h"
#include "skin/clock.h"

// What a call did.
enum class Outcome {
  Changed,    // the skin, the history, the selection or the state it names changed
  Unchanged,  // done, and nothing changed
  Refused,    // not done: an argument that names nothing, a value out of range, a text the file cannot hold
  Failed,     // tried, and the files gave nothing (nothing opened, nothing written)
};
const char* OutcomeName(Outcome outcome);  // "changed", "unchanged", "refused", "failed"

class EngineSession : private DocumentObserver {
 public:
  EngineSession();
  ~EngineSession() override;
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  Document& document() { return document_; }
  const std::string& result() const { return result_; }
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // What the last call that can change something did: {outcome, changed}.
  std::string Changes() const;
  // Hears how far an open, a save or a reopened archive has come over the
  // 53 pictures (1..53, then 0 when it is done), as it goes.
  void SetProgress(std::function<void(int)> progress) { progress_ = std::move(progress); }

  // The document whole, for a fresh engine (edit/document_snapshot.h), the
  // paths of the files it refers to (JSON), and a snapshot adopted: false,
  // and nothing changed, when it is no whole snapshot of this build.
  std::string Snapshot() const;
  std::string SnapshotPaths() const;
  bool Adopt(std::string_view snapshot);

  // The skin and its files.
  Outcome NewSkin();
  Outcome Open(const std::string& path);
  Outcome SaveFolder(const std::string& folder, double when);
  Outcome SaveArchive(const std::string& path, double when);
  void MarkSaved(const std::string& path, bool archive, bool becomeOrigin);
  // Before a save into `target`: `seen` is what the page sees of the
  // skin's files now, a line each, "name TAB size TAB modified" (the time in
  // milliseconds); RememberSeen keeps what it saw when it opened or saved
  // them at `path` (the known state).
  void RememberSeen(const std::string& path, std::string_view seen);
  void ChangedBeforeSave(const std::string& target, std::string_view seen);

  // The preview: the skin being edited, as saved, or (`other`) the skin it
  // is compared with; false, and nothing drawn, when there is none.
  bool Render(int screen, float zoom, int filter, std::uint32_t background, bool saved, bool other = false);
  // A thumbnail of All screens: the screen at zoom 1 through the filter, at half size (the mean of each 2 x 2) or whole.
  void RenderOverview(int screen, int filter, std::uint32_t background, bool half);
  bool Picture(std::string_view name);
  bool Trace(int screen, float zoom, int zx, int zy);
  bool Mask(int screen, float zoom, std::string_view kind, std::string_view section, std::string_view name);

  // The skin's state.
  void Fields();
  void State();
  void Check();
  void Palette();

  // Changes.
  Outcome SetNumber(std::string_view section, std::string_view key, int value, bool preview);
  Outcome SetFlag(std::string_view section, std::string_view key, bool on);
  Outcome SetText(std::string_view section, std::string_view key, std::string_view utf8);
  Outcome SetColour(std::string_view section, std::string_view key, std::uint32_t rgb, bool preview);
  Outcome MoveElement(std::string_view section, int x, int y, std::string_view gesture);
  Outcome ReplaceColour(int from, int to, bool preview);
  Outcome Recolour(int hue, int saturation, int lightness, int scope, bool preview);
  Outcome Import(std::string_view name, const std::string& path, int fit, bool preview);
  Outcome ImportSizes(std::string_view name, const std::string& path);
  // The fit question of a picture file in one call: its sizes in result(),
  // and each way's picture as the console shows it (FitQuestionPictures),
  // cover, stretch and keep, one after the other in pixels() as RGBA.
  Outcome ImportPreviews(std::string_view name, const std::string& path);
  // The sizes, the previews and the import of one file decode it once: its
  // picture is held from the first of them (keyed by the file's name and
  // bytes) until the import is done, the preview ends, or another file comes.
  bool importSourceHeld() const { return held_.has_value(); }
  // Every picture a folder names (images/import_folder.h), as the desktop's
  // Import pictures from folder: first the one question for the pictures of
  // another size, then the import with the fit chosen, as one step.
  Outcome ImportFolderSizes(const std::string& folder);
  Outcome ImportFolder(const std::string& folder, int fit, bool preview);
  void EndPreview();
  Outcome Undo();
  Outcome Redo();

  // Another skin to compare with, read from a folder or an archive as
  // opening reads it, apart from the document; StopCompare lets it go.
  Outcome CompareWith(const std::string& path);
  void StopCompare();
  bool comparing() const { return other_ != nullptr; }

  // The files of the skin that changed on disk, their names in the skin
  // ("uisettings.ini", "icon/nds.bmp") one a line, already as they are now
  // in its folder (or its archive): read again by edit/disk_reload.h's rule.
  Outcome ReadChangedFiles(std::string_view names);
  // The answer to the question of files held: true takes the disk's.
  Outcome AnswerReload(bool take);

  // The about box's texts, and its banner as a picture.
  void About();
  void AboutBanner();

  // The journal.
  bool Journal(const std::string& path, double lastEdit, double keeper, double started);
  bool ReadManifest(std::string_view manifest);
  Outcome Restore(const std::string& path, std::string_view manifest);
  void JournalSchedule(double firstUnsavedMs, double lastEditMs);

  // Texts.
  void Languages();
  void SetLanguage(const char* bytes, std::size_t size);
  void Texts();
  void Panel();
  const InterfaceTexts& texts() const { return texts_; }

  // The session's rules.
  void Catalogue();
  // What the page alone knows: `shown` (kShown* bits), `compare` (0 off, 1
  // the saved skin, 2 another), the filter, the screen, the language in
  // force (its index), the language menu's entries whose files are missing
  // (bit i: entry i), and the colour a context menu is about; the history
  // is the engine's.
  static constexpr int kShownOverview = 1, kShownProblems = 2, kShownPalette = 4, kWholeZoom = 8, kSwapped = 16,
                       kClipboardColour = 32;
  void CommandStates(int shown, int compare, int filter, int screen, int language, int missingLanguages,
                     std::string_view colour);
  // The preview's pointer at (zx, zy) of screen `screen` shown at `zoom`.
  void Cursor(int screen, float zoom, int zx, int zy);
  void Press(int screen, float zoom, int zx, int zy);
  void Drag(int zx, int zy, float zoom);
  void Release();
  void Escape();
  void Nudge(int dx, int dy, bool shift);
  // A control hovered: "colour" (section, key), "picture" (name), "element"
  // (section), or "" for none.
  void Hover(std::string_view kind, std::string_view section, std::string_view name);
  void ProblemFocus(int index);
  void ScreenAfter(std::string_view cause);  // "new", "open", "language"
  // The mnemonics of one menu's entries, given one a line: [{before, letter, after}].
  void Mnemonics(std::string_view texts);
  // The zoom after `steps` of the keys or the wheel, and the fitting zoom: {zoom}.
  void ZoomStep(float zoom, int steps, bool whole);
  void ZoomToFit(int width, int height, bool whole);
  void WholeZoom(float zoom);
  // A colour as the settings file writes it and as #rrggbb: {code, hex}.
  void ColourTexts(std::uint32_t rgb);
  // A wheel's or touchpad's movement (120 a notch) over the preview: {steps} it makes, the rest kept.
  void Wheel(int delta);
  void TypedText(std::string_view section, std::string_view key, std::string_view utf8);
  // The colour dialog: opened on a colour (0xRRGGBB), then each thing the
  // user does; each answers the dialog's state.
  void ColourOpen(std::uint32_t rgb);
  void ColourField(int channel, std::string_view red, std::string_view green, std::string_view blue);
  void ColourChooser(std::uint32_t rgb);
  void ColourText(std::string_view text);
  void ColourEyedropper(std::uint32_t rgb);
  void ColourState();

  // Take from skin: another skin read from the folder or archive at `path`
  // for taking from, the document untouched (false when its settings could
  // not be read; the messages either way); what it holds; one of its
  // pictures; a choice (edit/take_from.h: "colours;pictures=startbar")
  // shown or made one step of Undo; and the other skin let go.
  bool TakeOpen(const std::string& path);
  bool TakeList();
  bool TakePicture(std::string_view name);
  Outcome TakeFrom(std::string_view choice, bool preview);
  void TakeClose();

 private:
  void SkinChanged(const SkinChange& change) override;
  void HistoryChanged() override { changed_.history = true; }
  void CleanChanged(bool) override { changed_.clean = true; }
  void OriginChanged() override { changed_.origin = true; }
  void ProblemsChanged() override { changed_.problems = true; }
  void DiskChanged() override {
    if (!reload_.updating()) reload_.Forget();
  }
  // ImportSizes, and with `previewsToo` ImportPreviews.
  Outcome ImportAnswer(std::string_view name, const std::string& path, bool previewsToo);

  // A call that can change something starts with Begin and ends with End.
  void Begin();
  Outcome End(Outcome outcome);
  Outcome Make(Change&& change, bool preview);
  const TraceMap& TraceOf(int screen);
  void ShowPicture(const ::Picture& picture);
  std::string MessagesJson(const std::vector<Message>& messages) const;
  std::string StepJson(const std::optional<StepText>& step) const;
  std::string ChangedJson() const;
  void GestureAnswer(const GestureResult& gesture);
  void ColourAnswer(const std::string& fieldText = {});
  const SourcePicture* SourceOf(const std::string& path, SkinIoContext& ctx);
  void ReloadAnswer(const DiskReload::Result& result, const std::vector<Message>& messages);

  struct Changed {
    std::vector<SkinField> fields;
    std::vector<ImageId> pictures;
    bool whole = false, history = false, clean = false, origin = false, problems = false, selection = false;
  };

  Document document_;
  DiskReload reload_{document_};
  EditorSession session_;
  RenderWorkspace work_;
  ::Picture shown_;
  std::vector<std::uint8_t> pixels_;
  int width_ = 0, height_ = 0;
  std::string result_;
  InterfaceTexts texts_;
  TraceMap trace_;
  int traceScreen_ = -1;
  bool traceStale_ = true;
  WheelSteps wheel_;
  SystemClock clock_;
  Changed changed_;
  Outcome outcome_ = Outcome::Unchanged;
  std::optional<ColourChoice> colour_;
  std::optional<PreviewPick> lastPick_;
  SkinStamps seen_;  // what the page saw of the skin's files when it opened or saved them
  std::function<void(int)> progress_;
  // The picture file an import is about, decoded once.
  struct HeldSource {
    std::string file;   // its name
    std::string bytes;  // and its bytes, which name it
    SourcePicture source;
  };
  std::optional<HeldSource> held_;
  std::unique_ptr<Skin> other_;  // the skin compared with
  std::unique_ptr<TakeSource> take_;  // the skin Take from skin takes from
};
