#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "check/check.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "preview/render.h"
#include "test_util.h"

namespace {

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

struct FixedClock : Clock {
  DateTime Now() const override { return {2011, 2, 3, 4, 5, 6}; }
};

// The built-in default skin saved as a folder once, and copied as the
// starting point of every hand-made broken skin.
void SaveDefaultSkin(const std::string& folder) {
  static const TempDir saved;
  static const bool done = [] {
    static Skin skin;
    ResetSkinToDefaults(skin);
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    SaveSkinFolder(skin, saved.path(), {}, FixedClock(), ctx);
    return quiet.messages.empty();
  }();
  ASSERT_TRUE(done);
  ASSERT_EQ(std::system(("cp -r '" + saved.path() + "/.' '" + folder + "'").c_str()), 0);
}

// Opens the folder over the default skin and checks it, as skintool does.
std::vector<Problem> CheckFolder(const std::string& folder) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector collector;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{collector, texts};
  OpenSkinFolder(skin, folder, ctx);
  CheckInput input;
  input.messages = collector.messages;
  input.sources.push_back(ReadSkinSource(folder));
  return CheckSkin(skin, input);
}

void ReplaceInSettings(const std::string& folder, const std::string& from, const std::string& to) {
  const std::string path = folder + "/uisettings.ini";
  std::string s = ReadFile(path);
  const std::size_t at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
  WriteFile(path, s);
}

std::string Bmp16(int w, int h) { return EncodeBmp16(Picture(w, h, Rgb24{64, 32, 8})); }

struct Expected {
  std::string severity, code, subject;
  std::optional<int> line = std::nullopt;
  std::optional<int> screen = std::nullopt;
};

struct BrokenSkin {
  const char* what;
  std::function<void(const std::string& folder)> make;
  std::vector<Expected> problems;
};

const std::vector<BrokenSkin>& BrokenSkins() {
  static const std::vector<BrokenSkin> cases = {
      {"the default skin as saved", [](const std::string&) {}, {}},
      {"no settings file", [](const std::string& f) { std::remove((f + "/uisettings.ini").c_str()); },
       {{"error", "missing-settings", "uisettings.ini"}}},
      {"a picture missing", [](const std::string& f) { std::remove((f + "/lamp.bmp").c_str()); },
       {{"error", "missing-picture", "lamp"}}},
      {"a picture that is no picture", [](const std::string& f) { WriteFile(f + "/icon/nds.bmp", "not a picture"); },
       {{"error", "unreadable-picture", "icon/nds"}}},
      {"a misspelt section", [](const std::string& f) { ReplaceInSettings(f, "[help window]", "[help windw]"); },
       {{"warning", "settings-unknown-section", "[help windw]", 101}}},
      {"a misspelt key", [](const std::string& f) { ReplaceInSettings(f, "formFrameColor=", "formFrameColr="); },
       {{"warning", "settings-unknown-key", "[global settings] formFrameColr", 9}}},
      {"numbers a person reads otherwise",
       [](const std::string& f) {
         ReplaceInSettings(f, "[file name]\r\nx=127", "[file name]\r\nx=0x10");
         ReplaceInSettings(f, "[logo info]\r\nx=127", "[logo info]\r\nx=127px");
       },
       {{"warning", "settings-bad-number", "[file name] x", 45}, {"warning", "settings-bad-number", "[logo info] x", 70}}},
      {"pictures of the wrong size",
       [](const std::string& f) {
         WriteFile(f + "/upper_screen.bmp", Bmp16(255, 192));
         WriteFile(f + "/icon/gba.bmp", Bmp16(40, 32));
         WriteFile(f + "/selectbar.bmp", Bmp16(257, 42));
         WriteFile(f + "/icon/unk.bmp", Bmp16(8, 33));
         WriteFile(f + "/icon/txt.bmp", Bmp16(31, 33));  // one pixel either way is fine
       },
       {{"warning", "picture-size", "selectbar"},
        {"warning", "picture-size", "upper_screen"},
        {"warning", "picture-size", "icon/gba"},
        {"warning", "picture-size", "icon/unk"}}},
      {"an element below the screen",
       [](const std::string& f) { ReplaceInSettings(f, "[start bar]\r\nx=0\r\ny=172", "[start bar]\r\nx=0\r\ny=192"); },
       {{"warning", "off-screen", "[start bar]"}}},
      {"a submenu pushed off the screen by the start menu",
       [](const std::string& f) { ReplaceInSettings(f, "[UiType menu]\r\nx=2", "[UiType menu]\r\nx=200"); },
       {{"warning", "off-screen", "[UiType menu]"}}},
      {"dialog text in the colour of the dialog",
       [](const std::string& f) { ReplaceInSettings(f, "formTextColor=0x3b1f", "formTextColor=0x0c63"); },
       {{"warning", "low-contrast", "[global settings] formTextColor", std::nullopt, 3}}},
      // Grey on the dialog's 0x0c63: a ratio of 1.35 is under the least
      // contrast of 1.5, one of 1.51 is not.
      {"dialog text just under the least contrast",
       [](const std::string& f) { ReplaceInSettings(f, "formTextColor=0x3b1f", "formTextColor=0x18c6"); },
       {{"warning", "low-contrast", "[global settings] formTextColor", std::nullopt, 3}}},
      {"dialog text just over the least contrast",
       [](const std::string& f) { ReplaceInSettings(f, "formTextColor=0x3b1f", "formTextColor=0x1ce7"); },
       {}},
      {"black text on a white dialog",
       [](const std::string& f) {
         ReplaceInSettings(f, "formBodyColor=0x0c63", "formBodyColor=0x7fff");
         ReplaceInSettings(f, "formTextColor=0x3b1f", "formTextColor=0x0000");
       },
       {}},
      {"files the firmware does not read",
       [](const std::string& f) {
         WriteFile(f + "/startbar.png", "x");
         WriteFile(f + "/activ.bmp", "x");
         WriteFile(f + "/icon/nds2.bmp", "x");
         WriteFile(f + "/sav.bmp", "x");
         WriteFile(f + "/notes.txt", "x");
         WriteFile(f + "/.hidden.bmp", "x");
       },
       {{"warning", "stray-file", "activ.bmp"},
        {"warning", "stray-file", "sav.bmp"},
        {"warning", "stray-file", "startbar.png"},
        {"warning", "stray-file", "icon/nds2.bmp"}}},
      {"a picture kept as a 24-bit BMP",
       [](const std::string& f) { WriteFile(f + "/btn.bmp", EncodeBmp24(Picture(47, 14, Rgb24{8, 16, 24}))); },
       {{"warning", "not-16-bit", "btn"}}},
  };
  return cases;
}

TEST(SkinCheck, EachHandMadeSkinGivesExactlyItsProblems) {
  for (const BrokenSkin& c : BrokenSkins()) {
    TempDir dir;
    SaveDefaultSkin(dir.path());
    c.make(dir.path());
    std::vector<Expected> got;
    for (const Problem& p : CheckFolder(dir.path())) {
      got.push_back({std::string(SeverityName(p.severity)), std::string(ProblemCodeName(p.code)), p.subject, p.line,
                     p.screen});
      EXPECT_EQ(p.message, FormatProblem(p, BuiltInProblemTemplates())) << c.what;
    }
    ASSERT_EQ(got.size(), c.problems.size()) << c.what << (got.empty() ? "" : ": first " + got[0].code + " " + got[0].subject);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].severity, c.problems[i].severity) << c.what;
      EXPECT_EQ(got[i].code, c.problems[i].code) << c.what;
      EXPECT_EQ(got[i].subject, c.problems[i].subject) << c.what;
      EXPECT_EQ(got[i].line, c.problems[i].line) << c.what << " " << got[i].subject;
      EXPECT_EQ(got[i].screen, c.problems[i].screen) << c.what << " " << got[i].subject;
    }
  }
}

TEST(SkinCheck, AnElementIsOffTheScreenOnlyWhenNoPixelOfItIsOn) {
  // The start button's picture, 10 x 6, at the edges of the 256 x 192
  // screen; a picture of no width counts as one pixel wide.
  struct Case {
    int width, x, y;
    bool off;
  };
  const Case cases[] = {
      {10, -10, 0, true},  {10, -9, 0, false},  {10, 255, 0, false}, {10, 256, 0, true},
      {10, 0, -6, true},   {10, 0, -5, false},  {10, 0, 191, false}, {10, 0, 192, true},
      {0, -1, 0, true},    {0, 0, 0, false},    {0, 255, 0, false},  {0, 256, 0, true},
  };
  for (const Case& c : cases) {
    Skin skin;
    ResetSkinToDefaults(skin);
    skin.image(ImageId::start_released) = Picture(c.width, 6);
    skin.startButton.x = c.x;
    skin.startButton.y = c.y;
    const std::vector<Problem> problems = CheckPlacement(skin);
    const bool off = std::any_of(problems.begin(), problems.end(), [](const Problem& p) {
      return p.code == ProblemCode::OffScreen && p.subject == "[start button]";
    });
    EXPECT_EQ(off, c.off) << c.width << " wide at " << c.x << "," << c.y;
  }
}

TEST(SkinCheck, BuiltInDefaultSkinHasNoProblem) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  EXPECT_TRUE(CheckSkin(skin, {}).empty());
  // The same skin with one element off the screen has that one problem.
  skin.startButton.x = 300;
  const std::vector<Problem> problems = CheckSkin(skin, {});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].code, ProblemCode::OffScreen);
  EXPECT_EQ(problems[0].subject, "[start button]");
}

TEST(SkinCheck, KeyGreenWarnsOnlyInPicturesDrawnOpaque) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  // Counted by the 15-bit value a save writes: (7, 255, 7) is key green too.
  for (const ImageId id : {ImageId::startbar, ImageId::btn}) {
    Picture& p = skin.image(id);
    p.at(0, 0) = p.at(5, 1) = Rgb24{0, 248, 0};
    p.at(9, 2) = Rgb24{7, 255, 7};
    p.at(10, 2) = Rgb24{8, 248, 0};  // red 1: no key
  }
  const std::vector<Problem> problems = CheckSkin(skin, {});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].code, ProblemCode::KeyInOpaque);
  EXPECT_EQ(problems[0].severity, Severity::Warning);
  EXPECT_EQ(problems[0].about, ProblemSubject::Picture(ImageId::startbar));
  EXPECT_EQ(problems[0].params, (std::vector<std::string>{"startbar", "3"}));
  EXPECT_EQ(problems[0].message,
            "startbar shows 3 bright green pixels on the console: the firmware draws this picture without the key "
            "colour");
  EXPECT_EQ(ProblemCodeName(ProblemCode::KeyInOpaque), "key-in-opaque");
  EXPECT_EQ(ProblemTextName(ProblemText::KeyInOpaque), "key-in-opaque");

  // The renderer's answer: backgrounds, bars and the brightness button.
  std::vector<std::string_view> opaque;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (PicturesDrawnOpaque()[static_cast<std::size_t>(e.id)]) opaque.push_back(e.name);
  }
  EXPECT_EQ(opaque, (std::vector<std::string_view>{"brightness", "cheatbg", "cheatselectbar", "lower_screen",
                                                   "startbar", "title_bg", "upper_screen"}));
}

TEST(SkinCheck, HalfTransparencyNoteIsNoProblem) {
  const Message note{MessageKind::HalfTransparent, "lamp.png", ImageId::lamp, 5, 2};
  EXPECT_FALSE(ProblemFromMessage(note));
  EXPECT_EQ(FormatMessage(note, MessageTexts::BuiltIn()),
            "lamp.png: 5 pixels are half transparent: 2 of them were kept opaque, 3 became the key green");
}

// The reader's own rules decide what counts: both passes with their own
// sections, the misspelt close button section it knows, keys matched
// ignoring case and spaces, and lines that are not fields.
TEST(SkinCheck, SettingsLinesAreJudgedByTheReadersRules) {
  struct Case {
    const char* text;
    std::vector<std::pair<std::string, int>> problems;  // subject, line
  };
  const Case cases[] = {
      {"[clsoe btn]\r\nX = 5\r\n[Start Button]\r\ntextcolor=0x7fff\r\n", {}},
      {"; a comment\r\n\r\n  \r\n# another\r\n", {}},
      // The colour pass does not know [start menu]: it takes the line for [start button].
      {"[start button]\r\n[start menu]\r\ntextColor=0x1f\r\n", {}},
      {"[file name]\r\n\tx=5\r\n", {{"[file name] \\tx", 2}}},
      {"\xEF\xBB\xBF[SkinInfo]\r\nTitle=x\r\n", {{"\\xEF\\xBB\\xBF[SkinInfo]", 1}}},
      {"[mine]\r\nanything=1\r\n", {{"[mine]", 1}}},
      {"[end]\r\nx=1\r\n", {{"[end] x", 2}}},
      {"stray=1\r\n", {{"stray", 1}}},
      {"[file name]\r\nx=1\r\nx=-12\r\nx= +3 \r\nx=4294967296\r\nx\r\ny=12", {{"[file name] x", 5}, {"[file name] x", 6}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, int>> got;
    for (const Problem& p : CheckSettingsText(c.text)) got.emplace_back(p.subject, p.line.value_or(0));
    EXPECT_EQ(got, c.problems) << c.text;
  }
  const std::vector<Problem> bad = CheckSettingsText("[file name]\r\nx=$10\r\n");
  ASSERT_EQ(bad.size(), 1u);
  EXPECT_EQ(bad[0].message, "line 2: \"$10\" is not a plain decimal number; it is read as 16");
}

TEST(SkinCheck, TemplatesTakeNumberedParametersInAnyOrder) {
  EXPECT_EQ(FillTemplate("{2} before {1}, {{1} stays, {3} is empty", {"a", "b"}), "b before a, {1} stays,  is empty");
  Problem p = MakeProblem(ProblemCode::OffScreen, ProblemText::OffScreen, ProblemSubject::Section("[start bar]"),
                          {"0", "300", "256", "192"});
  ProblemTemplates german = BuiltInProblemTemplates();
  german[static_cast<std::size_t>(ProblemText::OffScreen)] = "bei {1}, {2} ganz ausserhalb";
  EXPECT_EQ(FormatProblem(p, german), "bei 0, 300 ganz ausserhalb");
  EXPECT_EQ(p.message, "at 0, 300 it lies wholly outside the 256 x 192 screen");
  EXPECT_EQ(p.severity, Severity::Warning);
}

// A picture replaced after opening no longer comes from the skin's file, and
// an archive is read like a folder.
TEST(SkinCheck, ReplacedPicturesAndArchives) {
  TempDir dir;
  SaveDefaultSkin(dir.path());
  WriteFile(dir / "btn.bmp", EncodeBmp24(Picture(47, 14)));
  static Skin skin;
  ResetSkinToDefaults(skin);
  CheckInput input;
  input.sources.push_back(ReadSkinSource(dir.path()));
  input.replaced[static_cast<std::size_t>(ImageId::btn)] = true;
  EXPECT_TRUE(CheckSkin(skin, input).empty());

  const SkinSource archive = ReadSkinSource(testutil::Data("archives/infozip_mixed.zip"));
  EXPECT_TRUE(archive.settingsFound);
  const auto cheatbg = static_cast<std::size_t>(ImageId::cheatbg);
  EXPECT_EQ(archive.pictureKind[cheatbg], "JPEG");
  EXPECT_EQ(archive.picturePath[cheatbg], "MySkin\\cheatbg.bmp");
  EXPECT_NE(std::find(archive.files.begin(), archive.files.end(), "icon/nds.bmp"), archive.files.end());
}

}  // namespace
