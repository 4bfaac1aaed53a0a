// Take from skin: what each group and each single item takes of another
// skin and nothing else, as one step of Undo named after that skin; a
// picture the other skin lacks or could not read is never taken; the choice
// as skintool writes it; and skintool's result the same archive, byte for
// byte, as the editor's for the same choice.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "edit/document.h"
#include "edit/document_files.h"
#include "edit/interface_texts.h"
#include "edit/take_from.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "skin/schema.h"
#include "test_util.h"

namespace {

using testutil::TempDir;

const Skin& BuiltIn() {
  static const Skin skin = [] {
    Skin s;
    ResetSkinToDefaults(s);
    return s;
  }();
  return skin;
}

// A skin whose every field and picture differs from the built-in one.
TakeSource Sunset() {
  TakeSource source;
  source.name = "Sunset";
  source.skin = BuiltIn();
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& field : s.fields) {
      const SkinField f{s.name, &field};
      switch (field.kind) {
        case FieldKind::Number: WriteField(source.skin, f, std::get<std::int32_t>(ReadField(BuiltIn(), f)) + 1); break;
        case FieldKind::Colour: {
          Rgb24 c = std::get<Rgb24>(ReadField(BuiltIn(), f));
          c.r = static_cast<std::uint8_t>(c.r ^ 0x80);
          WriteField(source.skin, f, c);
          break;
        }
        case FieldKind::Text: WriteField(source.skin, f, std::string("Sunset ") + std::string(field.key)); break;
      }
    }
  }
  for (std::size_t i = 0; i < kImageCount; ++i) source.skin.images[i] = testutil::MakePicture(3, 2, std::uint32_t(i + 1));
  return source;
}

// What an edit touches, by the names the Undo menu and skintool use.
std::set<std::string> FieldNames(const SkinEdit& edit) {
  std::set<std::string> names;
  for (const FieldChange& c : edit.fields) names.insert(c.field.Name());
  return names;
}
std::set<std::string> PictureNames(const SkinEdit& edit) {
  std::set<std::string> names;
  for (const PictureChange& c : edit.pictures) names.insert(std::string(CatalogueEntryOf(c.image).name));
  return names;
}

TakeChoice Parsed(const std::string& text) {
  std::string error;
  const std::optional<TakeChoice> choice = ParseTakeChoice(text, error);
  EXPECT_TRUE(choice) << text << ": " << error;
  return choice.value_or(TakeChoice());
}

TEST(TakeFrom, EachGroupTakesExactlyItsFieldsAndPictures) {
  const TakeSource sunset = Sunset();
  // Counted from the skin's structure (skin/skin.h): 34 global colours and
  // seven of element records; 53 pictures; the numbers of 33 records ([main
  // list] has colours only); four of the five information texts.
  struct Case {
    const char* group;
    std::size_t fields, pictures;
    std::vector<std::string> in, out;  // names it covers, names next to them it does not
  };
  const Case cases[] = {
      {"colours", 41, 0, {"formFrameColor", "cheatTitleTextColor", "[start button] textColor", "[main list] selectionBarColor2",
                          "[time text] color"}, {"[start button] file", "[folder text] show", "Title"}},
      {"pictures", 0, 53, {"startbar", "icon/nds", "icon/unk", "noactivehotke", "progress_wnd"}, {}},
      {"positions", 124, 0, {"[start bar] x", "[start button] file", "[folder text] show", "[List type menu] h",
                             "[file name] titleshow"}, {"[start button] textColor", "[folder text] color"}},
      {"info", 4, 0, {"Title", "Author", "eMail", "Url"}, {"LastUpdate"}},
  };
  std::set<std::string> everyField;
  for (const Case& c : cases) {
    const SkinEdit edit = TakeFromSkin(sunset, Parsed(c.group)).Make(BuiltIn());
    const std::set<std::string> fields = FieldNames(edit), pictures = PictureNames(edit);
    EXPECT_EQ(fields.size(), c.fields) << c.group;
    EXPECT_EQ(pictures.size(), c.pictures) << c.group;
    for (const std::string& name : c.in) EXPECT_TRUE(fields.count(name) + pictures.count(name)) << c.group << " " << name;
    for (const std::string& name : c.out) EXPECT_FALSE(fields.count(name)) << c.group << " " << name;
    for (const std::string& name : fields) EXPECT_TRUE(everyField.insert(name).second) << name << " in two groups";
    EXPECT_EQ(edit.name, StepText::Of("LANG_STEP_TAKE_FROM$", {"Sunset"}));
  }
  // One item a colour field, a picture, a record with numbers, a text.
  std::map<TakeGroup, int> items;
  for (const TakeItem& item : TakeItems()) ++items[item.group];
  EXPECT_EQ(items, (std::map<TakeGroup, int>{{TakeGroup::Colours, 41}, {TakeGroup::Pictures, 53},
                                             {TakeGroup::Positions, 33}, {TakeGroup::Info, 4}}));
  // Together they cover every field of the file but LastUpdate.
  std::size_t schemaFields = 0;
  for (const SchemaSection& s : SkinSchema()) schemaFields += s.fields.size();
  EXPECT_EQ(everyField.size(), schemaFields - 1);
  // Everything at once is the other skin, but for its stamp.
  Skin all = BuiltIn();
  TakeFromSkin(sunset, TakeChoice::All()).Make(all).Apply(all, false);
  EXPECT_FALSE(SettingsDiffer(all, sunset.skin));
  EXPECT_EQ(all.images, sunset.skin.images);
  EXPECT_EQ(all.info.LastUpdate, BuiltIn().info.LastUpdate);
}

TEST(TakeFrom, SingleItemsTakeThemselvesAlone) {
  const TakeSource sunset = Sunset();
  struct Case {
    const char* choice;
    std::set<std::string> fields, pictures;
  };
  const Case cases[] = {
      {"colours=formFrameColor", {"formFrameColor"}, {}},
      {"colours=[main list] textColor", {"[main list] textColor"}, {}},
      {"pictures=startbar,icon/nds", {}, {"startbar", "icon/nds"}},
      {"positions=[start bar]", {"[start bar] x", "[start bar] y"}, {}},
      {"positions=game name", {"[game name] x", "[game name] y", "[game name] show"}, {}},
      {"info=Title", {"Title"}, {}},
      {" info = Url ; pictures=lamp", {"Url"}, {"lamp"}},
      {"colours=popMenuBodyColor;positions=[disk icon];info=eMail,Author", {"popMenuBodyColor", "[disk icon] x",
                                                                          "[disk icon] y", "eMail", "Author"}, {}},
  };
  for (const Case& c : cases) {
    const SkinEdit edit = TakeFromSkin(sunset, Parsed(c.choice)).Make(BuiltIn());
    EXPECT_EQ(FieldNames(edit), c.fields) << c.choice;
    EXPECT_EQ(PictureNames(edit), c.pictures) << c.choice;
  }
  // What is already the same is no part of the step.
  Skin same = BuiltIn();
  same.colours.formFrameColor = sunset.skin.colours.formFrameColor;
  EXPECT_TRUE(TakeFromSkin(sunset, Parsed("colours=formFrameColor")).Make(same).Unchanged());
  EXPECT_EQ(FieldNames(TakeFromSkin(sunset, Parsed("colours")).Make(same)).count("formFrameColor"), 0u);
}

TEST(TakeFrom, ChoicesAsTextAndTheirMistakes) {
  struct Good {
    const char* text;
    const char* canonical;
  };
  for (const Good g : {Good{"colours", "colours"}, Good{"info,colours", "colours;info"},
                       Good{"pictures=icon/nds,startbar", "pictures=startbar,icon/nds"},
                       Good{"positions=start bar", "positions=[start bar]"},
                       Good{"colours;pictures;positions;info", "colours;pictures;positions;info"}}) {
    EXPECT_EQ(FormatTakeChoice(Parsed(g.text)), g.canonical) << g.text;
  }
  EXPECT_EQ(Parsed("colours;pictures;positions;info"), TakeChoice::All());
  struct Bad {
    const char* text;
    const char* says;
  };
  for (const Bad b : {Bad{"", "no group"}, Bad{"colors", "unknown group 'colors'"}, Bad{"colours;", "missing"},
                      Bad{"pictures=", "missing a name"}, Bad{"pictures=startbar,,lamp", "missing a name"},
                      Bad{"pictures=icon/xyz", "no picture"}, Bad{"colours=formFrameColr", "no colour field"},
                      Bad{"colours=textColor", "no colour field"}, Bad{"positions=[main list]", "no element record"},
                      Bad{"info=LastUpdate", "stamped by a save"}, Bad{"shapes=startbar", "unknown group 'shapes'"}}) {
    std::string error;
    EXPECT_FALSE(ParseTakeChoice(b.text, error)) << b.text;
    EXPECT_NE(error.find(b.says), std::string::npos) << b.text << ": " << error;
  }
}

TEST(TakeFrom, OneStepOfUndoNamedAfterTheOtherSkin) {
  const TakeSource sunset = Sunset();
  Document doc;
  ResetToBuiltInSkin(doc);
  // Shown only: neither the history nor the skin as committed change.
  doc.Preview(TakeFromSkin(sunset, Parsed("pictures")));
  EXPECT_EQ(doc.skin().image(ImageId::lamp), sunset.skin.image(ImageId::lamp));
  EXPECT_EQ(doc.history().count(), 0u);
  EXPECT_TRUE(SameSkin(doc.CommittedSkin(), BuiltIn()));
  doc.EndPreview();
  EXPECT_TRUE(SameSkin(doc.skin(), BuiltIn()));

  EXPECT_TRUE(doc.Apply(TakeFromSkin(sunset, Parsed("colours;positions"))));
  EXPECT_EQ(doc.history().count(), 1u);
  EXPECT_EQ(InterfaceTexts().Step(*doc.history().UndoText()), "take from Sunset");
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(doc.skin().startBar.y, BuiltIn().startBar.y + 1);
  EXPECT_EQ(doc.skin().info.Title, BuiltIn().info.Title);
  doc.Undo();
  EXPECT_TRUE(SameSkin(doc.skin(), BuiltIn()));
  EXPECT_FALSE(doc.modified());
  doc.Redo();
  EXPECT_FALSE(SettingsDiffer(doc.skin(), [&] {
    Skin expected = sunset.skin;
    expected.info = BuiltIn().info;
    return expected;
  }()));
  // The same again changes nothing, and is no step.
  EXPECT_FALSE(doc.Apply(TakeFromSkin(sunset, Parsed("colours"))));
  EXPECT_EQ(doc.history().count(), 1u);
}

// A skin folder: the built-in skin with `change` made, saved as the editor saves.
std::string SkinFolder(const TempDir& dir, const std::string& name, const std::function<void(Skin&)>& change) {
  Skin skin = BuiltIn();
  change(skin);
  const std::string folder = dir / name;
  testutil::RecordingFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  EXPECT_EQ(::mkdir(folder.c_str(), 0777), 0);
  SaveSkinFolder(skin, folder, TypedInfoOf(skin), SystemClock(), ctx);
  EXPECT_TRUE(feedback.messages.empty());
  return folder;
}

TEST(TakeFrom, PicturesTheOtherSkinLacksOrCannotReadAreListedAndNeverTaken) {
  TempDir dir;
  const std::string sunset = SkinFolder(dir, "Sunset", [](Skin& s) {
    for (Picture& p : s.images) p = Picture(4, 4, {248, 0, 0});
    s.colours.formFrameColor = {0, 0, 248};
  });
  std::remove((sunset + "/icon/nds.bmp").c_str());
  testutil::WriteFile(sunset + "/lamp.bmp", "not a picture");
  testutil::RecordingFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  const std::optional<TakeSource> source = ReadTakeSource(sunset, false, ctx);
  ASSERT_TRUE(source);
  EXPECT_TRUE(feedback.messages.empty());  // kept for the face, beside the pictures
  EXPECT_EQ(source->name, "Sunset");
  EXPECT_EQ(source->state(ImageId::icon_nds), TakePictureState::Missing);
  EXPECT_EQ(source->state(ImageId::lamp), TakePictureState::Unreadable);
  EXPECT_EQ(source->state(ImageId::icon_gba), TakePictureState::Read);

  const TakeChoice pictures = Parsed("pictures");
  EXPECT_EQ(PicturesNotTaken(*source, pictures), (std::vector<ImageId>{ImageId::icon_nds, ImageId::lamp}));  // as the Images tab shows them
  EXPECT_EQ(TakeMessages(*source, pictures, BuiltIn()).size(), 2u);
  EXPECT_TRUE(TakeMessages(*source, Parsed("pictures=startbar"), BuiltIn()).empty());
  const SkinEdit edit = TakeFromSkin(*source, pictures).Make(BuiltIn());
  EXPECT_EQ(edit.pictures.size(), 51u);
  EXPECT_EQ(PictureNames(edit).count("lamp") + PictureNames(edit).count("icon/nds"), 0u);
  EXPECT_TRUE(TakeFromSkin(*source, Parsed("pictures=icon/nds")).Make(BuiltIn()).Unchanged());

  const std::string listing = TakeSourceJson(*source, BuiltIn());
  EXPECT_NE(listing.find("\"missing\":[\"icon/nds\"],\"unreadable\":[\"lamp\"]"), std::string::npos) << listing;
  EXPECT_NE(listing.find("{\"name\":\"icon/nds\",\"state\":\"missing\",\"screen\":0,\"width\":0,\"height\":0,\"differs\":false}"),
            std::string::npos);

  // Without its settings nothing is read, and the face is told why.
  std::remove((sunset + "/uisettings.ini").c_str());
  EXPECT_FALSE(ReadTakeSource(sunset, false, ctx));
  EXPECT_EQ(feedback.messages.size(), 1u);
  EXPECT_EQ(SkinNameOfPath("/a/Sunset.ZIP"), "Sunset");
  EXPECT_EQ(SkinNameOfPath("/a/Sunset/"), "Sunset");
}

// skintool's --take-from and the editor, for the same choice: the same archive.
// Mixing two skins cannot make one past the pixel budget: pictures that
// shrink the skin count first, then the others while they fit, and those
// left are said so.
TEST(TakeFrom, PicturesThatWouldPassThePixelBudgetAreLeft) {
  Skin mine = BuiltIn();
  mine.image(ImageId::startbar) = Picture(2, 2, {0, 0, 0});
  mine.image(ImageId::icon_nds) = Picture(2, 2, {0, 0, 0});
  mine.image(ImageId::lamp) = Picture(10, 10, {0, 0, 0});
  long long total = 0;
  for (const Picture& p : mine.images) total += static_cast<long long>(p.pixels.size());
  TakeSource source;
  source.name = "Wide";
  source.skin = mine;
  source.skin.image(ImageId::startbar) = Picture(8, 13, {8, 8, 8});  // 100 more
  source.skin.image(ImageId::icon_nds) = Picture(8, 8, {8, 8, 8});   // 60 more
  source.skin.image(ImageId::lamp) = Picture(5, 10, {8, 8, 8});      // 50 fewer, after the others in order
  const TakeChoice all = Parsed("pictures");
  const struct {
    long long budget;
    std::set<std::string> taken;
  } cases[] = {
      {total + 110, {"startbar", "icon/nds", "lamp"}},
      {total + 109, {"startbar", "lamp"}},
      {total + 50, {"startbar", "lamp"}},
      {total + 49, {"icon/nds", "lamp"}},
      {total + 9, {"lamp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.budget - total);
    EXPECT_EQ(PictureNames(TakeFromSkin(source, all, c.budget).Make(mine)), c.taken);
    std::set<std::string> told;
    for (const Message& m : TakeMessages(source, all, mine, c.budget)) {
      EXPECT_EQ(m.kind, MessageKind::OverBudget);
      told.insert(m.subject);
    }
    EXPECT_EQ(told.size() + c.taken.size(), 3u);
    for (const std::string& name : told) EXPECT_EQ(c.taken.count(name), 0u) << name;
  }
  // A choice without the growing pictures never meets the budget.
  EXPECT_TRUE(TakeMessages(source, Parsed("pictures=lamp"), mine, total - 50).empty());
}

TEST(TakeFrom, SkintoolMakesTheArchiveTheEditorSaves) {
  TempDir dir;
  const std::string mine = SkinFolder(dir, "Mine", [](Skin& s) {
    s.info.Title = "Mine";
    s.colours.formFrameColor = {8, 8, 8};
  });
  const std::string sunset = SkinFolder(dir, "Sunset", [](Skin& s) {
    s.info.Title = "Sunset";
    s.colours.formFrameColor = {248, 120, 0};
    s.colours.formBodyColor = {248, 200, 0};
    s.startBar.y = 150;
    s.image(ImageId::startbar) = Picture(256, 20, {248, 96, 0});
    s.image(ImageId::icon_nds) = Picture(32, 32, {0, 96, 248});
  });
  std::remove((sunset + "/lamp.bmp").c_str());
  const std::string choice = "pictures;colours=formFrameColor;info=Title";
  ::setenv("SOURCE_DATE_EPOCH", "1300000000", 1);
  // Archives name their folder inside after themselves: both are editor.zip.
  ASSERT_EQ(::mkdir((dir / "cli").c_str(), 0777), 0);
  const std::string cli = dir / "cli/editor.zip";
  const std::string command = std::string("'") + SKINTOOL + "' convert --skin '" + mine + "' --take-from '" + sunset + ":" +
                              choice + "' --out '" + cli + "' 2>'" + (dir / "stderr") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  // A picture the other skin lacks is noted, and no failure.
  EXPECT_NE(testutil::ReadFile(dir / "stderr").find("skintool: note: " + sunset + "/lamp.bmp"), std::string::npos);

  // The editor: open, Take from skin, Save to archive.
  Document doc;
  ResetToBuiltInSkin(doc);
  testutil::RecordingFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  ASSERT_TRUE(OpenSkinInto(doc, mine, false, ctx));
  const std::optional<TakeSource> source = ReadTakeSource(sunset, false, ctx);
  ASSERT_TRUE(source);
  ASSERT_TRUE(doc.Apply(TakeFromSkin(*source, Parsed(choice))));
  const std::string editor = dir / "editor.zip";
  const DateTime now = SourceDateEpochClock().Now();
  WriteSkinArchive(doc.StampForSave(now), editor, ArchiveFolderName(editor), now, ctx);
  ::unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(doc.skin().info.Title, "Sunset");
  EXPECT_EQ(doc.skin().colours.formBodyColor, BuiltIn().colours.formBodyColor);
  EXPECT_EQ(doc.skin().startBar.y, BuiltIn().startBar.y);
  EXPECT_EQ(doc.skin().image(ImageId::lamp), BuiltIn().image(ImageId::lamp));
  const std::string bytes = testutil::ReadFile(editor);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_TRUE(testutil::ReadFile(cli) == bytes);
}

// --take-from comes after --skin and before the imports: an import wins for its picture.
TEST(TakeFrom, SkintoolTakesAfterTheSkinsAndBeforeTheImports) {
  TempDir dir;
  const std::string sunset = SkinFolder(dir, "Sunset", [](Skin& s) {
    s.image(ImageId::startbar) = Picture(256, 20, {248, 96, 0});
    s.image(ImageId::lamp) = Picture(22, 38, {0, 96, 248});
  });
  const std::string bar = dir / "bar.bmp";
  testutil::WriteFile(bar, testutil::MakeBmp16(2, {{0x7fff, 0x7fff}}));
  const std::string out = dir / "out";
  const std::string command = std::string("'") + SKINTOOL + "' convert --import startbar='" + bar + "' --take-from '" +
                              sunset + ":pictures=startbar,lamp' --out '" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  testutil::RecordingFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  Skin made = BuiltIn();
  OpenSkinFolder(made, out, ctx);
  EXPECT_EQ(made.image(ImageId::startbar), Picture(2, 1, {248, 248, 248}));
  EXPECT_EQ(made.image(ImageId::lamp), Picture(22, 38, {0, 96, 248}));
}

// A PATH:GROUPS skintool cannot read is a usage error that says what is wrong.
TEST(TakeFrom, SkintoolRefusesAMalformedChoice) {
  TempDir dir;
  struct Case {
    const char* value;
    const char* says;
  };
  for (const Case c : {Case{"b.zip:colors", "unknown group 'colors'"}, Case{":colours", "needs PATH[:GROUPS]"},
                       Case{"b.zip:pictures=bar", "no picture"}}) {
    const std::string command = std::string("'") + SKINTOOL + "' check --take-from '" + c.value + "' 2>'" + (dir / "err") + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.value;
    EXPECT_NE(testutil::ReadFile(dir / "err").find(c.says), std::string::npos) << testutil::ReadFile(dir / "err");
  }
}

}  // namespace
