#include "edit/command_catalogue.h"

#include <algorithm>

#include "check/problem_json.h"
#include "edit/interface_texts.h"
#include "edit/panel_tables.h"
#include "preview/filters.h"
#include "preview/render.h"

namespace {

constexpr const char* kFilterKeys[kScreenFilterCount] = {"LANG_SIMULATE_NONE$", "LANG_SIMULATE_CONSOLE$",
                                                          "LANG_SIMULATE_PROTANOPIA$", "LANG_SIMULATE_DEUTERANOPIA$",
                                                          "LANG_SIMULATE_TRITANOPIA$"};

std::string ScreenKey(int i) { return std::string("LANG_SCREEN_") + (i < 10 ? "0" : "") + std::to_string(i) + "$"; }
std::string FilterId(int f) { return "simulate:" + std::string(ScreenFilterName(ScreenFilter(f))); }

CommandEntry Entry(std::string id, std::string text, std::vector<std::string> chords = {}, std::string standard = {}) {
  CommandEntry e;
  e.id = std::move(id);
  e.text = std::move(text);
  e.chords = std::move(chords);
  e.standard = std::move(standard);
  return e;
}

CommandEntry Checked(std::string id, std::string text, CheckedRule rule, std::vector<std::string> chords = {}) {
  CommandEntry e = Entry(std::move(id), std::move(text), std::move(chords));
  e.checked = rule;
  return e;
}

std::vector<CommandEntry> MakeCatalogue() {
  std::vector<CommandEntry> c;
  // File.
  c.push_back(Entry("new", "LANG_FILE_NEW$", {"Ctrl+N"}, "New"));
  c.push_back(Entry("openFolder", "LANG_FILE_OPEN_FOLDER$", {"Ctrl+O"}, "Open"));
  CommandEntry archive = Entry("openArchive", "*.zip");
  archive.textIsKey = false;
  c.push_back(archive);
  c.push_back(Entry("save", "LANG_FILE_SAVE$", {"Ctrl+S"}, "Save"));
  c.push_back(Entry("saveFolder", "LANG_FILE_SAVE_FOLDER$", {"Ctrl+Shift+S"}, "SaveAs"));
  c.push_back(Entry("saveArchive", "LANG_FILE_SAVE_ARCHIVE$"));
  c.push_back(Entry("importFolder", "LANG_FILE_IMPORT_FOLDER$"));
  c.push_back(Entry("screenshotFile", "LANG_FILE_SCREENSHOT2D$"));
  c.push_back(Entry("screenshotClipboard", "LANG_FILE_SCREENSHOT2C$"));
  c.push_back(Entry("screenshotShownFile", "LANG_FILE_SCREENSHOT_SHOWN_FILE$"));
  c.push_back(Entry("screenshotShownClipboard", "LANG_FILE_SCREENSHOT_SHOWN_CLIP$"));
  c.push_back(Entry("compareFolder", "LANG_FILE_OPEN_FOLDER$"));
  CommandEntry compareArchive = Entry("compareArchive", "*.zip");
  compareArchive.textIsKey = false;
  c.push_back(compareArchive);
  CommandEntry stop = Entry("stopCompare", "LANG_FILE_COMPARE_STOP$");
  stop.enabled = EnabledRule::Comparing;
  c.push_back(stop);
  c.push_back(Entry("quit", "LANG_FILE_CLOSE$", {"Ctrl+Q"}, "Quit"));

  // Edit: Ctrl+Y redoes as well, whatever the platform's own binding for Redo is.
  CommandEntry undo = Entry("undo", "LANG_EDIT_UNDO$", {"Ctrl+Z"}, "Undo");
  undo.enabled = EnabledRule::CanUndo;
  c.push_back(undo);
  CommandEntry redo = Entry("redo", "LANG_EDIT_REDO$", {"Ctrl+Shift+Z", "Ctrl+Y"}, "Redo");
  redo.enabled = EnabledRule::CanRedo;
  c.push_back(redo);

  // View.
  c.push_back(Entry("zoomIn", "LANG_VIEW_ZOOM_IN$", {"Ctrl+=", "Ctrl++"}, "ZoomIn"));
  c.push_back(Entry("zoomOut", "LANG_VIEW_ZOOM_OUT$", {"Ctrl+-"}, "ZoomOut"));
  c.push_back(Entry("zoomReset", "LANG_VIEW_ZOOM_RESET$", {"Ctrl+0"}));
  c.push_back(Entry("zoomFit", "LANG_VIEW_ZOOM_FIT$"));
  c.push_back(Checked("wholeZoom", "LANG_VIEW_ZOOM_WHOLE$", CheckedRule::WholeZoom));
  for (int f = 0; f < kScreenFilterCount; ++f) {
    CommandEntry e = Checked(FilterId(f), kFilterKeys[f], CheckedRule::Filter);
    e.choice = f;
    e.group = "filter";
    c.push_back(e);
  }
  c.push_back(Checked("compareSaved", "LANG_VIEW_COMPARE_SAVED$", CheckedRule::CompareSaved));
  // The docks: F10 all screens, F8 the problems, F9 the palette.
  c.push_back(Checked("overview", "LANG_VIEW_OVERVIEW$", CheckedRule::DockOverview, {"F10"}));
  c.push_back(Checked("problems", "LANG_VIEW_PROBLEMS$", CheckedRule::DockProblems, {"F8"}));
  c.push_back(Checked("palette", "LANG_VIEW_PALETTE$", CheckedRule::DockPalette, {"F9"}));

  // Skin.
  c.push_back(Entry("recolour", "LANG_SKIN_RECOLOR$"));

  // Language: an entry whose file is not there is greyed.
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) {
    const LanguageEntry& l = LanguageMenu()[i];
    CommandEntry e = Checked("language:" + std::to_string(i), l.label, CheckedRule::Language);
    e.textIsKey = false;
    e.choice = l.index;
    e.enabled = EnabledRule::LanguageAvailable;
    c.push_back(e);
  }

  // Options and Help.
  c.push_back(Entry("backgroundColour", "LANG_OPTIONS_BACKCOLOR$"));
  c.push_back(Checked("swapView", "LANG_OPTIONS_SWAPVIEW$", CheckedRule::Swapped));

  // Screen: Ctrl+1 ... Ctrl+9 for the first nine, Page Up and Page Down.
  for (int i = 0; i < kPreviewScreenCount; ++i) {
    CommandEntry e = Checked("screenAction:" + std::to_string(i), ScreenKey(i), CheckedRule::Screen);
    if (i < 9) e.chords = {"Ctrl+" + std::to_string(i + 1)};
    e.choice = i;
    e.group = "screen";
    c.push_back(e);
  }
  c.push_back(Entry("previousScreen", "LANG_SCREEN_PREV$", {"PageUp"}));
  c.push_back(Entry("nextScreen", "LANG_SCREEN_NEXT$", {"PageDown"}));
  c.push_back(Entry("shortcuts", "LANG_HELP_SHORTCUTS$", {"F1"}));
  c.push_back(Entry("about", "LANG_ABOUT_ABOUT$"));

  // Outside the menu bar: a colour button's context menu, the preview, the
  // docks and the reload bar.
  c.push_back(Entry("copyColour", "LANG_COPY_COLOR$"));
  CommandEntry paste = Entry("pasteColour", "LANG_PASTE_COLOR$");
  paste.enabled = EnabledRule::ColourPasteable;
  c.push_back(paste);
  c.push_back(Entry("reloadTake", "LANG_RELOAD$"));
  c.push_back(Entry("reloadKeep", "LANG_RELOAD_KEEP$"));
  // Without a text of their own: what they open or show names itself.
  for (const char* id : {"openSkin", "editColour", "replaceColour", "importPicture", "importPictureFile", "showProblem",
                         "reveal"}) {
    c.push_back(Entry(id, ""));
  }
  return c;
}

MenuItem Command(const std::string& id) { return {MenuItem::Kind::Command, id, {}, true, {}}; }
MenuItem Separator() { return {MenuItem::Kind::Separator, {}, {}, true, {}}; }
MenuItem Submenu(std::string id, std::string text, std::vector<MenuItem> items) {
  return {MenuItem::Kind::Submenu, std::move(id), std::move(text), true, std::move(items)};
}
std::vector<MenuItem> Commands(std::initializer_list<const char*> ids) {
  std::vector<MenuItem> items;
  for (const char* id : ids) items.push_back(std::string_view(id) == "-" ? Separator() : Command(id));
  return items;
}
std::vector<MenuItem> Join(std::vector<MenuItem> a, const std::vector<MenuItem>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<MenuItem> MakeMenuBar() {
  std::vector<MenuItem> bar;
  std::vector<MenuItem> file = Commands({"new"});
  file.push_back(Submenu("file/open", "LANG_FILE_OPEN$", Commands({"openFolder", "openArchive"})));
  file.push_back({MenuItem::Kind::Recent, "recentMenu", "LANG_FILE_OPEN_RECENT$", true, {}});
  file = Join(file, Commands({"save", "saveFolder", "saveArchive", "-", "importFolder", "-"}));
  file.push_back(Submenu("file/screenshot", "LANG_FILE_SCREENSHOT$",
                         Commands({"screenshotFile", "screenshotClipboard", "-", "screenshotShownFile",
                                   "screenshotShownClipboard"})));
  file.push_back(Submenu("file/compare", "LANG_FILE_COMPARE$",
                         Commands({"compareFolder", "compareArchive", "-", "stopCompare"})));
  file = Join(file, Commands({"-", "quit"}));
  bar.push_back(Submenu("file", "LANG_FILE$", file));

  bar.push_back(Submenu("edit", "LANG_EDIT$", Commands({"undo", "redo"})));

  std::vector<MenuItem> view = Commands({"zoomIn", "zoomOut", "zoomReset", "zoomFit", "wholeZoom", "-"});
  std::vector<MenuItem> filters;
  for (int f = 0; f < kScreenFilterCount; ++f) filters.push_back(Command(FilterId(f)));
  view.push_back(Submenu("view/simulate", "LANG_VIEW_SIMULATE$", filters));
  view = Join(view, Commands({"compareSaved", "-", "overview", "problems", "palette"}));
  bar.push_back(Submenu("view", "LANG_VIEW$", view));

  bar.push_back(Submenu("skin", "LANG_SKIN$", Commands({"recolour"})));

  std::vector<MenuItem> languages;
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) languages.push_back(Command("language:" + std::to_string(i)));
  MenuItem language = Submenu("language", LanguageMenuTitle(), languages);
  language.textIsKey = false;
  bar.push_back(language);

  bar.push_back(Submenu("options", "LANG_OPTIONS$", Commands({"backgroundColour", "swapView"})));

  std::vector<MenuItem> screens;
  for (int i = 0; i < kPreviewScreenCount; ++i) screens.push_back(Command("screenAction:" + std::to_string(i)));
  bar.push_back(Submenu("screen", "LANG_SCREEN$", Join(screens, Commands({"-", "previousScreen", "nextScreen"}))));

  bar.push_back(Submenu("about", "LANG_ABOUT$", Commands({"shortcuts", "-", "about"})));
  return bar;
}

const char* EnabledName(EnabledRule r) {
  switch (r) {
    case EnabledRule::Always: return "always";
    case EnabledRule::CanUndo: return "can-undo";
    case EnabledRule::CanRedo: return "can-redo";
    case EnabledRule::Comparing: return "comparing";
    case EnabledRule::LanguageAvailable: return "language-available";
    case EnabledRule::ColourPasteable: return "colour-pasteable";
  }
  return "";
}

const char* CheckedName(CheckedRule r) {
  switch (r) {
    case CheckedRule::None: return "none";
    case CheckedRule::WholeZoom: return "whole-zoom";
    case CheckedRule::Filter: return "filter";
    case CheckedRule::CompareSaved: return "compare-saved";
    case CheckedRule::DockOverview: return "dock-overview";
    case CheckedRule::DockProblems: return "dock-problems";
    case CheckedRule::DockPalette: return "dock-palette";
    case CheckedRule::Screen: return "screen";
    case CheckedRule::Language: return "language";
    case CheckedRule::Swapped: return "swapped";
  }
  return "";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

std::string MenuJson(const MenuItem& m) {
  static constexpr const char* kKinds[] = {"command", "separator", "submenu", "recent"};
  std::string out = "{\"kind\":" + JsonString(kKinds[static_cast<int>(m.kind)]) + ",\"id\":" + JsonString(m.id) +
                    ",\"text\":" + JsonString(m.text) + ",\"textIsKey\":" + Bool(m.textIsKey) + ",\"items\":[";
  for (std::size_t i = 0; i < m.items.size(); ++i) {
    if (i) out += ",";
    out += MenuJson(m.items[i]);
  }
  return out + "]}";
}

}  // namespace

const std::vector<CommandEntry>& CommandCatalogue() {
  static const std::vector<CommandEntry> catalogue = MakeCatalogue();
  return catalogue;
}

const CommandEntry* FindCommand(std::string_view id) {
  const auto& all = CommandCatalogue();
  const auto it = std::find_if(all.begin(), all.end(), [&](const CommandEntry& e) { return e.id == id; });
  return it == all.end() ? nullptr : &*it;
}

const std::vector<MenuItem>& MenuBar() {
  static const std::vector<MenuItem> bar = MakeMenuBar();
  return bar;
}

bool ColourOnScreen(std::string_view name, int screen) {
  for (const ColourControl& c : ColourControls()) {
    if (name == c.name) return c.screen == screen;
  }
  return false;
}

CommandState StateOf(const CommandEntry& c, const CommandFacts& f) {
  CommandState s;
  switch (c.enabled) {
    case EnabledRule::Always: break;
    case EnabledRule::CanUndo: s.enabled = f.canUndo; break;
    case EnabledRule::CanRedo: s.enabled = f.canRedo; break;
    case EnabledRule::Comparing: s.enabled = f.compare != CommandFacts::Compare::Off; break;
    case EnabledRule::LanguageAvailable:
      s.enabled = std::find(f.missingLanguages.begin(), f.missingLanguages.end(), c.choice) == f.missingLanguages.end();
      break;
    case EnabledRule::ColourPasteable: s.enabled = ColourOnScreen(f.colour, f.screen) && f.clipboardHoldsColour; break;
  }
  s.checkable = c.checked != CheckedRule::None;
  switch (c.checked) {
    case CheckedRule::None: break;
    case CheckedRule::WholeZoom: s.checked = f.wholeZoom; break;
    case CheckedRule::Filter: s.checked = f.filter == c.choice; break;
    case CheckedRule::CompareSaved: s.checked = f.compare == CommandFacts::Compare::Saved; break;
    case CheckedRule::DockOverview: s.checked = f.overviewShown; break;
    case CheckedRule::DockProblems: s.checked = f.problemsShown; break;
    case CheckedRule::DockPalette: s.checked = f.paletteShown; break;
    case CheckedRule::Screen: s.checked = f.screen == c.choice; break;
    case CheckedRule::Language: s.checked = f.language == c.choice; break;
    case CheckedRule::Swapped: s.checked = f.swapped; break;
  }
  return s;
}

std::string CommandCatalogueJson() {
  std::string out = "{\"commands\":[";
  bool first = true;
  for (const CommandEntry& c : CommandCatalogue()) {
    out += first ? "{" : ",{";
    first = false;
    out += "\"id\":" + JsonString(c.id) + ",\"text\":" + JsonString(c.text) + ",\"textIsKey\":" + Bool(c.textIsKey) +
           ",\"chords\":[";
    for (std::size_t i = 0; i < c.chords.size(); ++i) {
      if (i) out += ",";
      out += JsonString(c.chords[i]);
    }
    out += "],\"standard\":" + JsonString(c.standard) + ",\"enabled\":" + JsonString(EnabledName(c.enabled)) +
           ",\"checked\":" + JsonString(CheckedName(c.checked)) + ",\"choice\":" + std::to_string(c.choice) +
           ",\"group\":" + JsonString(c.group) + "}";
  }
  out += "],\"menus\":[";
  for (std::size_t i = 0; i < MenuBar().size(); ++i) {
    if (i) out += ",";
    out += MenuJson(MenuBar()[i]);
  }
  return out + "]}";
}

std::string CommandStatesJson(const CommandFacts& facts) {
  std::string out = "{";
  bool first = true;
  for (const CommandEntry& c : CommandCatalogue()) {
    const CommandState s = StateOf(c, facts);
    if (!first) out += ",";
    out += JsonString(c.id) + ":{\"enabled\":" + Bool(s.enabled) +
           ",\"checkable\":" + Bool(s.checkable) + ",\"checked\":" + Bool(s.checked) + "}";
    first = false;
  }
  return out + "}";
}
