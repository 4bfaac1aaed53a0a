// The rules of editing that are not changes of the skin: what is selected
// and hovered on the preview, what a press, a drag, Escape and the arrow
// keys do there, when the journal of unsaved changes is written, where a
// problem leads, what a typed text may hold, which screen follows New, Open
// or a language change, and what to ask before a save overwrites files that
// another program changed. Both faces of the editor (the desktop's widgets,
// the page's engine) ask these; neither decides them itself, so they cannot
// come to differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/problem.h"
#include "edit/document.h"
#include "edit/preview_pick.h"
#include "edit/skin_field.h"
#include "platform/file_io.h"

// ---------------------------------------------------------------------------
// The preview: selection, hover and the pointer's gestures.

// What the pointer shows over the preview: an arrow over nothing of the
// skin, a move cursor where a drag moves an element, a hand where a click
// selects without moving anything.
enum class PreviewCursor { Arrow, Move, Point };
PreviewCursor CursorFor(const std::optional<PreviewPick>& pick);

// What a press selects: the source of the pixel, or the record that places
// it when no skin field is its source (the sample game icon).
PreviewTarget SelectionOf(const PreviewPick& pick);

// How far a pointer goes, in pixels of the zoomed preview, before a press
// becomes a drag (as the desktop's toolkit counts it: |dx| + |dy|). A press
// that stays closer is a click and moves nothing.
inline constexpr int kDragThreshold = 10;

// The arrow keys' step: 10 pixels with Shift, else 1.
int NudgeStep(bool shift);

// What one gesture did, for a face to redraw only that.
struct GestureResult {
  bool selectionChanged = false;  // the selection is another one (or the same, chosen again)
  bool moved = false;             // an element record moved (the skin and the history changed)
  std::optional<std::size_t> record;  // the record the press took hold of, if any
};

class EditorSession {
 public:
  // `threshold`: the drag threshold of the face (the desktop passes its
  // toolkit's, the page the default).
  explicit EditorSession(Document& document, int threshold = kDragThreshold);
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  const PreviewTarget& selection() const { return selection_; }
  const PreviewTarget& hover() const { return hover_; }
  // The selection's pixels on the screen traced by `map` (its outline is
  // their bounds).
  PixelMask SelectionMask(const TraceMap& map) const { return TargetMask(map, selection_); }
  // Whether a drag under way has moved its record.
  bool dragging() const { return state_ == Held::Moving; }
  // The record that a drag and the arrow keys move after the last press.
  std::optional<std::size_t> heldRecord() const { return held_; }

  // A control of the panel, or a file over a picture, hovered; false when
  // the hover was that already.
  bool Hover(const PreviewTarget& target);
  void Select(const PreviewTarget& target) { selection_ = target; }
  // Forgets selection, hover and the press (another window, another skin).
  void Forget();

  // The left button pressed at (zx, zy) of the zoomed preview, where `pick`
  // is what that pixel shows (none outside the picture: nothing changes).
  GestureResult Press(const std::optional<PreviewPick>& pick, int zx, int zy);
  // The pointer moved to (zx, zy) with the button held: past the threshold
  // the held record follows, by the distance over the zoom (PreviewDistance),
  // kept in the panel's ranges (MovedValue); the moves of one drag are one
  // step of Undo.
  GestureResult Move(int zx, int zy, float zoom);
  // The button released: the gesture ends.
  void Release();
  // Escape during a press: a moved record goes back where it was, the
  // drag's step with it, and the rest of the press moves nothing.
  GestureResult Escape();
  // An arrow key after a press: the held record moves by (dx, dy); the
  // nudges after one press are one step of Undo.
  GestureResult Nudge(int dx, int dy);

 private:
  enum class Held { None, Pressed, Moving, Cancelled };
  bool MoveHeld(std::int32_t x, std::int32_t y, const std::string& gesture);

  Document& document_;
  int threshold_;
  PreviewTarget selection_, hover_;
  Held state_ = Held::None;
  std::optional<std::size_t> held_;
  int pressX_ = 0, pressY_ = 0;
  std::int32_t startX_ = 0, startY_ = 0;
  int serial_ = 0;
};

// ---------------------------------------------------------------------------
// The journal of unsaved changes.

// An edit waits this long for the next before the journal is written, and
// edits that keep coming wait at most the longest delay after the first
// edit not journalled yet.
inline constexpr std::int64_t kJournalQuietMs = 1000;
inline constexpr std::int64_t kJournalLongestDelayMs = 5000;

// When the journal is written next (milliseconds on any one clock): a
// second after the last edit, and never later than five seconds after the
// first unsaved one.
std::int64_t NextJournalWrite(std::int64_t firstUnsavedMs, std::int64_t lastEditMs);

// ---------------------------------------------------------------------------
// From a problem to the control that mends it.

struct PanelFocus {
  enum class Tab { None, Colours, Images, Elements, Information };
  std::optional<int> screen;  // the preview screen to show first (0..13)
  Tab tab = Tab::None;        // the panel's tab; None: no control to focus
  std::string section;        // the field's or the row's section as the schema spells it
  std::string key;            // the field's key; empty for a whole element row
  std::string picture;        // Images: the picture's catalogue name
};
const char* PanelTabName(PanelFocus::Tab tab);  // "colours", "images", "elements", "information", "none"

// The screen that shows the problem (`screen`, when the check names one),
// else the one whose controls edit its subject; and the control that gets
// the focus: the field's own, else the row of its section.
PanelFocus FocusOfProblem(const ProblemSubject& subject, std::optional<int> screen = std::nullopt);

// ---------------------------------------------------------------------------
// The preview screen after an operation.

enum class ScreenCause { NewSkin, Opened, LanguageChanged };
// The first screen, after each of them (even an open that read nothing):
// what was shown belonged to another skin or another window.
int ScreenAfter(ScreenCause cause);

// ---------------------------------------------------------------------------
// Typed texts.

// The language key that says why a typed text was refused.
inline constexpr const char* kLatin1RefusalKey = "LANG_INFO_LATIN1$";

// What becomes of a text typed into a field: taken as the Latin-1 bytes
// uisettings.ini holds (SettingsText), refused while typing when it holds a
// character outside Latin-1 or a line break (never dropped at save), or
// refused because nobody types into the field (LastUpdate, which a save
// stamps).
struct TypedText {
  enum class Outcome { Taken, Refused, ReadOnly };
  Outcome outcome = Outcome::Refused;
  std::string latin1;  // Taken: what the field holds now
};
TypedText TakeTypedText(const SkinField& field, std::string_view utf8);
bool IsReadOnlyField(const SkinField& field);

// ---------------------------------------------------------------------------
// Before a save: files another program changed.

// One file of the skin as a face sees it now, by its name in the skin
// ("uisettings.ini", "icon/nds.bmp"; the archive's path for an archive).
struct SeenFile {
  std::string name;
  FileStamp stamp;  // a face that knows no inode leaves it 0, on both sides
};

// The files to name in the question before a save into `target`: those
// whose stamp differs from when the editor last read or wrote them (`known`;
// a file not seen now counts as missing). Nothing to ask when the save goes
// elsewhere than where they were read.
std::vector<std::string> FilesChangedSinceRead(const SkinStamps& known, const std::string& target,
                                               const std::vector<SeenFile>& now);
// The stamps of `known`'s files as the disk holds them now (the desktop's
// way of seeing).
std::vector<SeenFile> SeeOnDisk(const SkinStamps& known);
