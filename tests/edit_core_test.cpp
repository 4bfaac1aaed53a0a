// The editing core on its own, without a window: every kind of change done,
// undone, redone and merged; the saved state across undo, save and restore;
// the memory budget; what observers hear; a journal read back.
#include <gtest/gtest.h>

#include <functional>

#include "edit/changes.h"
#include "edit/document.h"
#include "edit/journal.h"
#include "images/defaults.h"
#include "skin/settings_file.h"
#include "test_util.h"

namespace {

// The skin as a save writes it: settings text and pictures, LastUpdate fixed.
std::vector<std::string> Bytes(const Skin& skin) {
  Skin copy = skin;
  std::vector<std::string> out;
  for (const SkinFile& f : EncodeSkinFiles(copy, TypedInfoOf(copy), {2020, 1, 1, 0, 0, 0})) out.push_back(f.bytes);
  return out;
}

SkinField Field(const char* section, const char* key) { return SkinFieldOf(section, key); }

class EditCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fresh_.images[0].empty()) ResetSkinToDefaults(fresh_);
    DiskSkin disk;
    disk.skin = fresh_;
    doc.Replace(fresh_, SkinOrigin{}, std::move(disk));
  }
  static inline Skin fresh_;
  Document doc;
};

TEST_F(EditCoreTest, EveryKindOfChangeIsOneStepThatUndoesAndRedoes) {
  const Rgb24 body = fresh_.colours.formBodyColor;
  struct Case {
    const char* what;
    std::function<std::unique_ptr<Change>()> change;
    StepText undo;
    std::function<bool(const Skin&)> done;  // the change is in the skin
    bool again = false;                      // made again, it changes the skin again (a shift)
  };
  const Case cases[] = {
      {"number", [] { return std::make_unique<SetNumber>(Field("[start bar]", "y"), 99); },
       StepText::Named("[start bar] y"), [](const Skin& s) { return s.startBar.y == 99; }},
      {"flag", [] { return std::make_unique<SetFlag>(Field("[file name]", "show"), false); },
       StepText::Named("[file name] show"), [](const Skin& s) { return s.fileName.show == 0; }},
      {"text", [] { return std::make_unique<SetText>(Field("[SkinInfo]", "Title"), "Caf\xE9"); },
       StepText::Named("Title"), [](const Skin& s) { return s.info.Title == "Caf\xE9"; }},
      {"colour", [] { return std::make_unique<SetColour>(Field("[global settings]", "formBodyColor"), Rgb24{8, 16, 24}); },
       StepText::Named("formBodyColor"), [](const Skin& s) { return s.colours.formBodyColor == Rgb24{8, 16, 24}; }},
      {"move", [] { return std::make_unique<MoveElement>("[start bar]", 7, 9, "drag 1"); }, StepText::Named("[start bar]"),
       [](const Skin& s) { return s.startBar.x == 7 && s.startBar.y == 9; }},
      {"picture", [] { return std::make_unique<ReplacePictures>(ImageId::lamp, Picture(2, 3, {8, 8, 8})); },
       StepText::Named("lamp"), [](const Skin& s) { return s.image(ImageId::lamp) == Picture(2, 3, {8, 8, 8}); }},
      {"pictures",
       [] {
         return std::make_unique<ReplacePictures>(
             std::vector<std::pair<ImageId, Picture>>{{ImageId::lamp, Picture(1, 1)}, {ImageId::btn, Picture(2, 1)}},
             StepText::Of("LANG_STEP_IMPORT_FOLDER$", {"drawings"}));
       },
       StepText::Of("LANG_STEP_IMPORT_FOLDER$", {"drawings"}),
       [](const Skin& s) { return s.image(ImageId::lamp).width == 1 && s.image(ImageId::btn).width == 2; }},
      {"replace colour", [&] { return std::make_unique<ReplaceColour>(Rgb24ToRgb15(body), Rgb15(0x001f)); },
       StepText::Of("LANG_STEP_REPLACE_COLOR$", {FormatSkinColour(body), "0x001f"}),
       [](const Skin& s) { return s.colours.formBodyColor == Rgb24{248, 0, 0}; }},
      {"recolour", [] { return std::make_unique<RecolourSkinChange>(HslShift{180, 0, 0}, RecolourScope::Fields); },
       StepText::Of("LANG_STEP_RECOLOR$"),
       [](const Skin& s) { return !(s.colours.fileNameTextColor == fresh_.colours.fileNameTextColor); }, true},
      {"restore",
       [] {
         Skin target = fresh_;
         target.info.Author = "Restored";
         return std::make_unique<BecomeSkin>(BecomeSkin::Restore(std::move(target)));
       },
       StepText::Of("LANG_STEP_RESTORE$"), [](const Skin& s) { return s.info.Author == "Restored"; }},
  };
  for (const Case& c : cases) {
    SetUp();
    const std::vector<std::string> before = Bytes(doc.skin());
    ASSERT_TRUE(doc.Apply(*c.change())) << c.what;
    const std::vector<std::string> after = Bytes(doc.skin());
    EXPECT_TRUE(c.done(doc.skin())) << c.what;
    EXPECT_EQ(doc.history().count(), 1) << c.what;
    EXPECT_EQ(doc.history().UndoText(), c.undo) << c.what;
    EXPECT_TRUE(doc.modified()) << c.what;
    doc.Undo();
    EXPECT_EQ(Bytes(doc.skin()), before) << c.what;
    EXPECT_FALSE(doc.modified()) << c.what;
    EXPECT_EQ(doc.history().RedoText(), c.undo) << c.what;
    doc.Redo();
    EXPECT_EQ(Bytes(doc.skin()), after) << c.what;
    // The same change again changes nothing, and makes no step.
    if (c.again) continue;
    EXPECT_FALSE(doc.Apply(*c.change())) << c.what;
    EXPECT_EQ(doc.history().count(), 1) << c.what;
  }
}

TEST_F(EditCoreTest, StepsOfOneFieldOrGestureMergeAndNothingElseDoes) {
  const SkinField y = Field("[start bar]", "y"), x = Field("[start bar]", "x");
  for (int v : {10, 11, 12}) doc.Apply(SetNumber(y, v));
  EXPECT_EQ(doc.history().count(), 1);
  doc.Apply(SetNumber(x, 5));  // another field: a step of its own
  doc.Apply(SetNumber(y, 13));
  EXPECT_EQ(doc.history().count(), 3);
  for (const char* gesture : {"drag 1", "drag 1", "drag 2"}) doc.Apply(MoveElement(kStartBarSection, 1, 2, gesture));
  doc.Apply(MoveElement(kStartBarSection, 3, 4, "drag 2"));
  EXPECT_EQ(doc.history().count(), 5);
  // A colour of the dialog is one step each time, never merged.
  doc.Apply(SetColour(Field("[global settings]", "formBodyColor"), {8, 8, 8}));
  doc.Apply(SetColour(Field("[global settings]", "formBodyColor"), {16, 16, 16}));
  EXPECT_EQ(doc.history().count(), 7);
  while (doc.history().CanUndo()) doc.Undo();
  EXPECT_EQ(Bytes(doc.skin()), Bytes(fresh_));

  // Typed and deleted again, a text leaves no step, and the skin is as saved.
  const SkinField author = Field("[SkinInfo]", "Author");
  doc.Apply(SetNumber(y, 99));
  doc.Undo();
  for (const char* typed : {"A", "An", "A", ""}) doc.Apply(SetText(author, typed));
  EXPECT_EQ(doc.history().count(), 0);
  EXPECT_FALSE(doc.modified());
}

TEST_F(EditCoreTest, TheSavedStateAcrossUndoSaveAndRestore) {
  const SkinField y = Field("[start bar]", "y");
  doc.Apply(SetNumber(y, 1));
  doc.Apply(SetFlag(Field("[file name]", "show"), false));
  EXPECT_TRUE(doc.modified());
  doc.MarkSaved(doc.origin(), doc.disk());
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.history().cleanIndex(), 2);
  doc.Undo();
  EXPECT_TRUE(doc.modified());
  doc.Redo();
  EXPECT_FALSE(doc.modified());
  // After a save, the next step of the same field is a step of its own:
  // one Undo goes back to what is saved.
  doc.Apply(SetNumber(y, 2));
  doc.MarkSaved(doc.origin(), doc.disk());
  doc.Apply(SetNumber(y, 3));
  doc.Apply(SetNumber(y, 4));
  EXPECT_EQ(doc.history().count(), 4);
  doc.Undo();
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.skin().startBar.y, 2);
  // A new step after undoing past the saved state cuts it off for good.
  doc.Undo();
  doc.Apply(SetNumber(y, 5));
  EXPECT_EQ(doc.history().cleanIndex(), -1);
  while (doc.history().CanUndo()) doc.Undo();
  EXPECT_TRUE(doc.modified());
  // Restored changes are unsaved even when they equal the files.
  SetUp();
  doc.Apply(BecomeSkin::Restore(fresh_));
  EXPECT_FALSE(doc.modified());
  doc.MarkUnsaved();
  EXPECT_TRUE(doc.modified());
  // What the disk holds now is the skin: saved again without a save.
  doc.MarkCleanIfSameAsDisk();
  EXPECT_FALSE(doc.modified());
}

TEST_F(EditCoreTest, TheHistoryKeepsItsPicturesWithinTheBudgetOldestFirst) {
  // Each step of a 10 x 10 picture holds 600 bytes (before and after).
  const auto picture = [](std::uint8_t v) { return Picture(10, 10, {v, v, v}); };
  doc.Apply(ReplacePictures(ImageId::lamp, picture(1)));  // the step before holds the built-in lamp
  doc.Replace(doc.skin(), doc.origin(), doc.disk());
  const std::size_t step = 2 * 10 * 10 * sizeof(Rgb24);
  doc.SetUndoBudget(3 * step);  // exactly three steps
  for (std::uint8_t v : {2, 3, 4}) doc.Apply(ReplacePictures(ImageId::lamp, picture(v)));
  doc.MarkSaved(doc.origin(), doc.disk());
  doc.Apply(SetNumber(Field("[start bar]", "y"), 1));  // costs nothing
  EXPECT_EQ(doc.history().count(), 4);
  EXPECT_EQ(doc.history().bytes(), 3 * step);
  // One byte over: the oldest step goes, and the saved state moves with its step.
  doc.SetUndoBudget(3 * step - 1);
  doc.Apply(ReplacePictures(ImageId::lamp, picture(5)));
  EXPECT_EQ(doc.history().count(), 3);
  EXPECT_EQ(doc.history().cleanIndex(), 1);
  EXPECT_EQ(doc.history().step(0).name, StepText::Named("lamp"));
  doc.Undo();
  doc.Undo();
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.skin().image(ImageId::lamp), picture(4));
  doc.Undo();
  EXPECT_EQ(doc.skin().image(ImageId::lamp), picture(3));
  EXPECT_FALSE(doc.history().CanUndo());
  // A step over the budget on its own stays, alone; the saved state is lost.
  doc.Redo();
  doc.Redo();
  doc.Redo();
  doc.SetUndoBudget(1);
  doc.Apply(ReplacePictures(ImageId::lamp, picture(6)));
  EXPECT_EQ(doc.history().count(), 1);
  EXPECT_EQ(doc.history().cleanIndex(), -1);
}

struct Heard : DocumentObserver {
  std::vector<std::string> calls;
  SkinChange last;
  void SkinChanged(const SkinChange& c) override {
    last = c;
    calls.push_back(c.whole ? "skin:whole" : "skin:" + std::to_string(c.fields.size()) + "f" +
                                                 std::to_string(c.pictures.size()) + "p");
  }
  void Replaced() override { calls.push_back("replaced"); }
  void HistoryChanged() override { calls.push_back("history"); }
  void CleanChanged(bool clean) override { calls.push_back(clean ? "clean" : "unclean"); }
  void OriginChanged() override { calls.push_back("origin"); }
  void DiskChanged() override { calls.push_back("disk"); }
  void ProblemsChanged() override { calls.push_back("problems"); }
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

TEST_F(EditCoreTest, ObserversHearExactlyWhatChanged) {
  Heard heard;
  doc.AddObserver(&heard);
  const SkinField y = Field("[start bar]", "y");
  doc.Apply(SetNumber(y, 1));
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:1f0p", "history", "unclean"}));
  EXPECT_TRUE(heard.last.Touches(y));
  EXPECT_FALSE(heard.last.Touches(Field("[start bar]", "x")));
  doc.Apply(SetNumber(y, 2));  // merged: no word of the saved state
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:1f0p", "history"}));
  doc.Apply(MoveElement(kStartBarSection, 5, 6, "nudge 1"));
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:2f0p", "history"}));
  doc.Undo();
  doc.Undo();
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:2f0p", "history", "skin:1f0p", "history", "clean"}));
  // A preview is heard by the views only; the history does not move.
  doc.Preview(ReplacePictures(ImageId::lamp, Picture(1, 1)));
  doc.Preview(ReplacePictures(ImageId::btn, Picture(1, 1)));
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:0f1p", "skin:0f2p"}));
  EXPECT_TRUE(heard.last.Touches(ImageId::lamp));  // taken away again
  doc.EndPreview();
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"skin:0f1p"}));
  doc.ReadDiskPicture(ImageId::lamp, Picture(1, 1));
  doc.SetProblems({});
  SkinOrigin elsewhere{SkinOrigin::Kind::Folder, "/skins/a", "/skins/a"};
  doc.MoveOrigin(elsewhere);
  doc.MoveOrigin(elsewhere);  // the same again: nothing to hear
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"disk", "problems", "origin"}));
  doc.Replace(fresh_, SkinOrigin{}, DiskSkin{});
  EXPECT_EQ(heard.Take(),
            (std::vector<std::string>{"replaced", "skin:whole", "disk", "origin", "history", "clean"}));
  doc.RemoveObserver(&heard);
  doc.Apply(SetNumber(y, 3));
  EXPECT_TRUE(heard.Take().empty());
}

TEST_F(EditCoreTest, APreviewIsNeitherInTheHistoryNorInTheCommittedSkin) {
  const SkinField body = Field("[global settings]", "formBodyColor");
  doc.Apply(SetNumber(Field("[start bar]", "y"), 42));
  const std::vector<std::string> committed = Bytes(doc.skin());
  doc.Preview(RecolourSkinChange({120, 0, 0}, RecolourScope::Everything));
  doc.Preview(SetColour(body, {248, 248, 248}));  // the next replaces the last
  EXPECT_EQ(doc.skin().colours.formBodyColor, (Rgb24{248, 248, 248}));
  EXPECT_EQ(doc.skin().image(ImageId::lamp), fresh_.image(ImageId::lamp));
  EXPECT_EQ(Bytes(doc.CommittedSkin()), committed);
  EXPECT_EQ(doc.history().count(), 1);
  // Applying ends the preview: only what is applied is a step.
  doc.Apply(SetColour(body, {8, 8, 8}));
  EXPECT_FALSE(doc.previewing());
  EXPECT_EQ(doc.history().count(), 2);
  doc.Undo();
  EXPECT_EQ(Bytes(doc.skin()), committed);
}

TEST_F(EditCoreTest, AJournalReadsBackAsTheSkinItHolds) {
  testutil::TempDir dir;
  doc.Apply(SetText(Field("[SkinInfo]", "Title"), "Journalled"));
  doc.Apply(ReplacePictures(ImageId::lamp, Picture(3, 2, {8, 16, 24})));
  doc.StampForSave({2024, 5, 6, 7, 8, 9});
  doc.MoveOrigin({SkinOrigin::Kind::Folder, "/skins/My\nSkin ", "/skins/My\nSkin "});
  const JournalManifest manifest = JournalManifestOf(doc, {2024, 5, 6, 7, 9, 0}, 4242, 77);
  EXPECT_EQ(manifest.lastUpdate, "2024/05/06-07:08:09");
  const std::optional<JournalManifest> read = ParseJournalManifest(FormatJournalManifest(manifest));
  ASSERT_TRUE(read);
  EXPECT_EQ(OriginOfJournal(*read), doc.origin());
  testutil::WriteFile(dir / "j.zip", EncodeJournalArchive(doc.skin()));
  const std::optional<Skin> skin = ReadJournalSkin(dir / "j.zip", *read);
  ASSERT_TRUE(skin);
  EXPECT_EQ(Bytes(*skin), Bytes(doc.skin()));
  EXPECT_EQ(skin->info.LastUpdate, "2024/05/06-07:08:09");
  // The same skin gives the same archive: nothing in it depends on the moment.
  EXPECT_EQ(EncodeJournalArchive(doc.skin()), testutil::ReadFile(dir / "j.zip"));
  testutil::WriteFile(dir / "bad.zip", "not an archive");
  EXPECT_FALSE(ReadJournalSkin(dir / "bad.zip", *read));
}

TEST(SettingsText, WhatTheSettingsFileCanHold) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"Plain", "Plain"},
      {"Caf\xC3\xA9 \xC2\xA0\xC3\xBF", "Caf\xE9 \xA0\xFF"},  // U+00E9, U+00A0, U+00FF: Latin-1
      {"\xC4\x80", std::nullopt},                           // U+0100: just outside
      {"\xE2\x82\xAC", std::nullopt},                       // the euro sign
      {"two\nlines", std::nullopt},
      {"cr\r", std::nullopt},
      {"\xC3", std::nullopt},                               // cut short
      {"", ""},
  };
  for (const auto& [typed, held] : cases) EXPECT_EQ(SettingsText(typed), held) << typed;
}

}  // namespace
