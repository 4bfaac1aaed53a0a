// Every command of the editor, once, for both faces: its id, the language
// key of its text, its key chords as portable text ("Ctrl+S",
// "Ctrl+Shift+Z", "F8", "PageUp"), where it stands in the menus, and when
// it is enabled or checked as far as that is a rule of the editor's state.
// A face builds its menus, its shortcuts and their greying from here and
// registers one handler per id; it decides nothing of this itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// When a command can be run, beyond "always".
enum class EnabledRule {
  Always,
  CanUndo,
  CanRedo,
  Comparing,          // a comparison is shown (Stop comparing)
  LanguageAvailable,  // the language's file is there
  ColourPasteable,    // the colour's control is on the screen shown and the clipboard holds a colour
};

// What a check mark shows; None: the command has none.
enum class CheckedRule {
  None,
  WholeZoom,
  Filter,         // the screen filter `choice` is in force
  CompareSaved,
  DockOverview,
  DockProblems,
  DockPalette,
  Screen,         // screen `choice` is shown
  Language,       // the language of index `choice` is in force
  Swapped,        // the panel is on the left
};

struct CommandEntry {
  std::string id;             // "save", "screenAction:3", "language:2"
  std::string text;           // a language key ("LANG_FILE_SAVE$"), or the text itself when !textIsKey
  bool textIsKey = true;
  std::vector<std::string> chords;  // portable text, the first one shown in the menu
  // The platform's standard binding the chords stand for ("Save", "Undo",
  // "ZoomIn"); a face may add the platform's own keys for it.
  std::string standard;
  EnabledRule enabled = EnabledRule::Always;
  CheckedRule checked = CheckedRule::None;
  int choice = 0;  // the filter, screen or language index the rules compare with
  // Entries of one group (in one menu) are a choice of one: "filter", "screen".
  std::string group;
};

// Every command, in menu order first, then those that only the panel, the
// preview, the docks and the reload bar run.
const std::vector<CommandEntry>& CommandCatalogue();
const CommandEntry* FindCommand(std::string_view id);

// One entry of a menu: a command, a separator, a submenu (with its own
// entries), or the list of recent skins (a face's own).
struct MenuItem {
  enum class Kind { Command, Separator, Submenu, Recent };
  Kind kind = Kind::Command;
  std::string id;    // Command: its id; Submenu, Recent: a name for the menu ("file", "file/open")
  std::string text;  // Submenu, Recent: the language key of its title, or the title when !textIsKey
  bool textIsKey = true;
  std::vector<MenuItem> items;  // Submenu
};

// The menu bar: its menus, in order, each a Submenu.
const std::vector<MenuItem>& MenuBar();

// What a face knows of the editor's state that the rules ask about.
struct CommandFacts {
  bool canUndo = false, canRedo = false;
  enum class Compare { Off, Saved, Other } compare = Compare::Off;
  bool wholeZoom = false;
  int filter = 0;    // ScreenFilter
  int screen = 0;    // shown
  int language = 0;  // the index of the language in force (LanguageEntry::index)
  std::vector<int> missingLanguages;  // indices whose files are not there
  bool overviewShown = false, problemsShown = false, paletteShown = false;
  bool swapped = false;
  // ColourPasteable: the colour button's name ("formFrameColor") and the clipboard.
  std::string colour;
  bool clipboardHoldsColour = false;
};

struct CommandState {
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
};
CommandState StateOf(const CommandEntry& command, const CommandFacts& facts);

// Whether the colour button `name` belongs to screen `screen` (a colour of
// another screen takes no paste, as its button takes no click).
bool ColourOnScreen(std::string_view name, int screen);

// The catalogue and the menu bar as JSON, for a page: {"commands": [{"id",
// "text", "textIsKey", "chords", "standard", "enabled", "checked", "choice",
// "group"}], "menus": [{"kind", "id", "text", "textIsKey", "items"}]}.
std::string CommandCatalogueJson();
// Each command's state for `facts`: {"<id>": {"enabled", "checkable", "checked"}}.
std::string CommandStatesJson(const CommandFacts& facts);
