// The one catalogue of commands both faces build their menus and keys
// from: every id once, no key chord twice, every menu entry a command, and
// the rules of greying and check marks.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "edit/command_catalogue.h"
#include "edit/interface_texts.h"
#include "preview/filters.h"

namespace {

void MenuIds(const std::vector<MenuItem>& items, std::vector<std::string>& ids) {
  for (const MenuItem& m : items) {
    if (m.kind == MenuItem::Kind::Command) ids.push_back(m.id);
    MenuIds(m.items, ids);
  }
}

TEST(CommandCatalogue, IdsAndChordsAreEachOnceAndEveryMenuEntryIsACommand) {
  std::set<std::string> ids;
  std::map<std::string, std::string> chords;
  for (const CommandEntry& c : CommandCatalogue()) {
    EXPECT_TRUE(ids.insert(c.id).second) << "twice: " << c.id;
    for (const std::string& chord : c.chords) {
      const auto [at, fresh] = chords.emplace(chord, c.id);
      EXPECT_TRUE(fresh) << chord << " is " << at->second << "'s and " << c.id << "'s";
    }
  }
  std::vector<std::string> inMenus;
  MenuIds(MenuBar(), inMenus);
  for (const std::string& id : inMenus) EXPECT_NE(FindCommand(id), nullptr) << id;
  EXPECT_EQ(std::set<std::string>(inMenus.begin(), inMenus.end()).size(), inMenus.size());
  EXPECT_EQ(FindCommand("nothing"), nullptr);
  // The desktop's ids and chords, as its users know them.
  const std::map<std::string, std::string> known = {
      {"new", "Ctrl+N"},    {"openFolder", "Ctrl+O"},        {"save", "Ctrl+S"},     {"saveFolder", "Ctrl+Shift+S"},
      {"undo", "Ctrl+Z"},   {"redo", "Ctrl+Shift+Z"},        {"zoomIn", "Ctrl+="},   {"zoomReset", "Ctrl+0"},
      {"problems", "F8"},   {"palette", "F9"},               {"overview", "F10"},    {"screenAction:0", "Ctrl+1"},
      {"screenAction:8", "Ctrl+9"}, {"previousScreen", "PageUp"}, {"nextScreen", "PageDown"}, {"quit", "Ctrl+Q"}};
  for (const auto& [id, chord] : known) {
    ASSERT_NE(FindCommand(id), nullptr) << id;
    EXPECT_EQ(FindCommand(id)->chords.front(), chord) << id;
  }
  EXPECT_EQ(FindCommand("redo")->chords, (std::vector<std::string>{"Ctrl+Shift+Z", "Ctrl+Y"}));
  EXPECT_TRUE(FindCommand("screenAction:9")->chords.empty());
  EXPECT_NE(FindCommand("language:" + std::to_string(LanguageMenu().size() - 1)), nullptr);
}

TEST(CommandCatalogue, GreyingAndCheckMarksFollowTheFacts) {
  CommandFacts f;
  f.screen = 3;
  f.language = LanguageMenu()[1].index;
  f.missingLanguages = {LanguageMenu()[2].index};
  f.filter = 2;
  f.problemsShown = true;
  const auto state = [&](const char* id) { return StateOf(*FindCommand(id), f); };
  EXPECT_FALSE(state("undo").enabled);
  EXPECT_FALSE(state("redo").enabled);
  EXPECT_FALSE(state("stopCompare").enabled);
  EXPECT_TRUE(state("save").enabled);
  EXPECT_FALSE(state("save").checkable);
  EXPECT_TRUE(state("screenAction:3").checked);
  EXPECT_FALSE(state("screenAction:4").checked);
  EXPECT_TRUE(state("language:1").checked);
  EXPECT_FALSE(state("language:0").checked);
  EXPECT_FALSE(state("language:2").enabled);
  EXPECT_TRUE(state("language:3").enabled);
  EXPECT_TRUE(state("problems").checked);
  EXPECT_FALSE(state("palette").checked);
  EXPECT_FALSE(state("overview").checked);
  EXPECT_TRUE(state("overview").checkable);
  EXPECT_FALSE(state("wholeZoom").checked);
  EXPECT_FALSE(state("compareSaved").checked);
  EXPECT_FALSE(state("swapView").checked);
  f.canUndo = f.canRedo = f.wholeZoom = f.swapped = f.paletteShown = f.overviewShown = true;
  f.compare = CommandFacts::Compare::Other;
  EXPECT_TRUE(state("undo").enabled);
  EXPECT_TRUE(state("redo").enabled);
  EXPECT_TRUE(state("stopCompare").enabled);
  EXPECT_FALSE(state("compareSaved").checked);
  f.compare = CommandFacts::Compare::Saved;
  EXPECT_TRUE(state("compareSaved").checked);
  EXPECT_TRUE(state("wholeZoom").checked);
  EXPECT_TRUE(state("swapView").checked);
  EXPECT_TRUE(state("palette").checked);
  EXPECT_TRUE(state("overview").checked);
  // A paste needs a colour in the clipboard and the colour's button on the screen shown.
  f.colour = "formFrameColor";
  f.clipboardHoldsColour = true;
  f.screen = -1;
  for (int screen = 0; screen < 14 && !state("pasteColour").enabled; ++screen) f.screen = screen;
  EXPECT_TRUE(state("pasteColour").enabled);
  EXPECT_TRUE(ColourOnScreen("formFrameColor", f.screen));
  f.clipboardHoldsColour = false;
  EXPECT_FALSE(state("pasteColour").enabled);
  f.clipboardHoldsColour = true;
  f.screen = (f.screen + 1) % 14;
  EXPECT_EQ(state("pasteColour").enabled, ColourOnScreen("formFrameColor", f.screen));
  const std::string console = "simulate:" + std::string(ScreenFilterName(ScreenFilter(1)));
  const std::string none = "simulate:" + std::string(ScreenFilterName(ScreenFilter(0)));
  f.filter = 1;
  EXPECT_TRUE(state(console.c_str()).checked);
  EXPECT_FALSE(state(none.c_str()).checked);
}

TEST(CommandCatalogue, TheJsonNamesEveryCommandAndMenu) {
  const std::string json = CommandCatalogueJson();
  for (const CommandEntry& c : CommandCatalogue()) {
    EXPECT_NE(json.find("{\"id\":\"" + c.id + "\""), std::string::npos) << c.id;
  }
  EXPECT_NE(json.find("\"kind\":\"recent\""), std::string::npos);
  const std::string states = CommandStatesJson({});
  EXPECT_NE(states.find("\"undo\":{\"enabled\":false,\"checkable\":false,\"checked\":false}"), std::string::npos);
  EXPECT_NE(states.find("\"screenAction:0\":{\"enabled\":true,\"checkable\":true,\"checked\":true}"), std::string::npos);
}

}  // namespace
