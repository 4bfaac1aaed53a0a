// The page's engine as a class of the core: each call's named outcome and
// what it says it changed, the gestures and the colour dialog through it,
// and the answers a page reads.
#include <gtest/gtest.h>

#include "edit/about_texts.h"
#include "edit/engine_session.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "skin/settings_file.h"
#include "test_util.h"

namespace {

bool Has(const std::string& json, const std::string& part) { return json.find(part) != std::string::npos; }

TEST(EngineSession, EachChangeNamesItsOutcomeAndWhatChanged) {
  EngineSession e;
  struct Case {
    const char* what;
    std::function<Outcome(EngineSession&)> call;
    Outcome outcome;
    std::vector<std::string> said;  // parts of Changes()
  };
  const Case cases[] = {
      {"a number", [](EngineSession& s) { return s.SetNumber("[start bar]", "y", 77, false); }, Outcome::Changed,
       {"\"fields\":[{\"section\":\"[start bar]\",\"key\":\"y\"}]", "\"history\":true", "\"clean\":true"}},
      {"the same number", [](EngineSession& s) { return s.SetNumber("[start bar]", "y", 77, false); },
       Outcome::Unchanged, {"\"fields\":[]", "\"history\":false"}},
      {"no such field", [](EngineSession& s) { return s.SetNumber("[start bar]", "q", 1, false); }, Outcome::Refused,
       {"\"outcome\":\"refused\""}},
      {"a text outside Latin-1", [](EngineSession& s) { return s.SetText("[SkinInfo]", "Title", "\xC4\x80"); },
       Outcome::Refused, {"\"fields\":[]"}},
      {"LastUpdate", [](EngineSession& s) { return s.SetText("[SkinInfo]", "LastUpdate", "2020"); }, Outcome::Refused,
       {}},
      {"a colour shown only", [](EngineSession& s) { return s.SetColour("[global settings]", "formFrameColor", 0xF80000, true); },
       Outcome::Changed, {"\"key\":\"formFrameColor\"", "\"history\":false"}},
      {"undo", [](EngineSession& s) { return s.Undo(); }, Outcome::Changed, {"\"history\":true"}},
      {"undo with nothing to undo", [](EngineSession& s) { return s.Undo(); }, Outcome::Unchanged, {}},
      {"an unknown recolour scope", [](EngineSession& s) { return s.Recolour(0, 0, 0, 3, false); }, Outcome::Refused, {}},
      {"a skin that is not there", [](EngineSession& s) { return s.Open("/nonexistent/skin"); }, Outcome::Failed, {}},
      {"the built-in skin", [](EngineSession& s) { return s.NewSkin(); }, Outcome::Changed,
       {"\"whole\":true", "\"selection\":true"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(e), c.outcome);
    const std::string changes = e.Changes();
    EXPECT_TRUE(Has(changes, std::string("\"outcome\":\"") + OutcomeName(c.outcome) + "\"")) << changes;
    for (const std::string& part : c.said) EXPECT_TRUE(Has(changes, part)) << changes << " lacks " << part;
  }
}

TEST(EngineSession, GesturesOnThePreviewMoveTheRecordUnderThePressAndSayTheCursor) {
  EngineSession e;
  e.MoveElement("[start bar]", 100, 100, "setup");
  // A pixel the start bar's record moves: found through the engine's trace.
  const TraceMap map = TracePreview(e.document().skin(), 0);
  const ElementPixels counts = CountElementPixels(map);
  const std::size_t bar = FindElementSection("[start bar]").value();
  int px = -1, py = -1;
  for (int y = 0; y < kPreviewHeight && px < 0; ++y) {
    for (int x = 0; x < kPreviewWidth && px < 0; ++x) {
      if (PickAt(map, counts, x, y).moves == bar) px = x, py = y;
    }
  }
  ASSERT_GE(px, 0);
  e.Cursor(0, 1.0f, px, py);
  EXPECT_EQ(e.result(), "{\"cursor\":\"move\"}");
  e.Press(0, 1.0f, px, py);
  EXPECT_TRUE(Has(e.result(), "\"record\":\"[start bar]\"")) << e.result();
  EXPECT_TRUE(Has(e.result(), "\"selection\":true"));
  e.Drag(px + 4, py + 4, 1.0f);  // under the threshold
  EXPECT_TRUE(Has(e.result(), "\"outcome\":\"unchanged\"")) << e.result();
  e.Drag(px + 20, py - 6, 2.0f);
  EXPECT_TRUE(Has(e.result(), "\"outcome\":\"changed\""));
  EXPECT_TRUE(Has(e.result(), "\"key\":\"x\""));
  EXPECT_EQ(e.document().skin().startBar.x, 110);
  EXPECT_EQ(e.document().skin().startBar.y, 97);
  e.Escape();
  EXPECT_EQ(e.document().skin().startBar.x, 100);
  e.Release();
  e.Nudge(1, 0, true);
  EXPECT_EQ(e.document().skin().startBar.x, 110);
  e.Cursor(0, 1.0f, -1, -1);
  EXPECT_EQ(e.result(), "{\"cursor\":\"default\"}");
  e.Hover("picture", "", "lamp");
  EXPECT_EQ(e.result(), "{\"outcome\":\"changed\",\"hover\":{\"kind\":\"picture\",\"name\":\"lamp\"}}");
}

TEST(EngineSession, TheColourDialogTypedTextsAndTheQuestionBeforeASave) {
  EngineSession e;
  e.ColourOpen(0x080808);
  e.ColourField(0, "40", "1", "1");
  EXPECT_TRUE(Has(e.result(), "\"fieldText\":\"31\"")) << e.result();
  EXPECT_TRUE(Has(e.result(), "\"shown\":[248,8,8]"));
  e.ColourChooser(0xFF8001);
  EXPECT_TRUE(Has(e.result(), "\"ok\":[255,128,1]"));
  EXPECT_TRUE(Has(e.result(), "\"code\":\"0x021f\",\"hex\":\"#ff8001\""));
  EXPECT_TRUE(Has(e.result(), "\"cancel\":[8,8,8]"));

  e.TypedText("[SkinInfo]", "Title", "Caf\xC3\xA9");
  EXPECT_TRUE(Has(e.result(), "\"outcome\":\"taken\",\"latin1\":\"Caf\\u00e9\"")) << e.result();
  e.TypedText("[SkinInfo]", "Author", "\xE2\x82\xAC");
  EXPECT_TRUE(Has(e.result(), "\"outcome\":\"refused\"")) << e.result();
  EXPECT_FALSE(Has(e.result(), "\"refusal\":null"));
  e.TypedText("[SkinInfo]", "LastUpdate", "x");
  EXPECT_TRUE(Has(e.result(), "\"read-only\""));

  e.RememberSeen("/skins/1/Sunset", "uisettings.ini\t100\t5000\nlamp.bmp\t200\t6000\n");
  e.ChangedBeforeSave("/skins/1/Sunset", "uisettings.ini\t100\t5000\nlamp.bmp\t200\t6000\n");
  EXPECT_EQ(e.result(), "{\"ask\":false,\"files\":[]}");
  e.ChangedBeforeSave("/skins/1/Sunset", "uisettings.ini\t100\t5000\nlamp.bmp\t201\t6000\n");
  EXPECT_EQ(e.result(), "{\"ask\":true,\"files\":[\"lamp.bmp\"]}");
  e.ChangedBeforeSave("/skins/2/Other", "");
  EXPECT_EQ(e.result(), "{\"ask\":false,\"files\":[]}");

  e.JournalSchedule(0, 4500);
  EXPECT_EQ(e.result(), "{\"next\":5000}");
  e.ScreenAfter("open");
  EXPECT_EQ(e.result(), "{\"screen\":0}");
  e.CommandStates(EngineSession::kShownProblems, 0, 0, 2, 0, 0, "");
  EXPECT_TRUE(Has(e.result(), "\"problems\":{\"enabled\":true,\"checkable\":true,\"checked\":true}"));
  EXPECT_TRUE(Has(e.result(), "\"screenAction:2\":{\"enabled\":true,\"checkable\":true,\"checked\":true}"));
  EXPECT_TRUE(Has(e.result(), "\"undo\":{\"enabled\":false"));
}

TEST(EngineSession, AProblemLeadsToItsControl) {
  EngineSession e;
  e.SetNumber(kLogoInfoSection, "y", 400, false);  // off the screen: the check says so
  e.Check();
  const std::vector<Problem>& problems = e.document().problems();
  const auto at = std::find_if(problems.begin(), problems.end(), [](const Problem& p) {
    return p.about.kind == ProblemSubject::Kind::Section && p.about.section == kLogoInfoSection;
  });
  ASSERT_NE(at, problems.end());
  e.ProblemFocus(int(at - problems.begin()));
  EXPECT_TRUE(Has(e.result(), std::string("\"tab\":\"elements\",\"section\":\"") + kLogoInfoSection + "\",\"key\":\"\""))
      << e.result();
  e.ProblemFocus(int(problems.size()));
  EXPECT_EQ(e.result(), "null");
}

TEST(EngineSession, OnePictureFileDecodedOnceForTheQuestionAndTheImport) {
  EngineSession e;
  testutil::TempDir dir;
  const std::string file = dir / "photo.bmp";
  testutil::WriteFile(file, EncodeBmp16(Picture(300, 200, Rgb24{248, 0, 0})));
  EXPECT_EQ(e.ImportSizes("upper_screen", file), Outcome::Unchanged);
  EXPECT_TRUE(e.importSourceHeld());
  EXPECT_EQ(e.ImportPreviews("upper_screen", file), Outcome::Unchanged);
  EXPECT_EQ(e.result(),
            "{\"width\":300,\"height\":200,\"expectedWidth\":256,\"expectedHeight\":192,"
            "\"pictures\":[[256,192],[256,192],[256,192]]}");
  EXPECT_EQ(e.pixels().size(), 3u * 256 * 192 * 4);
  EXPECT_EQ(e.pixels()[0], 248);  // red, as the console shows it
  EXPECT_EQ(e.Import("upper_screen", file, int(FitMode::Stretch), true), Outcome::Changed);
  EXPECT_TRUE(e.importSourceHeld()) << "a preview is no end of the import";
  // The same name with other bytes is another file: decoded anew.
  testutil::WriteFile(file, EncodeBmp16(Picture(30, 20, Rgb24{0, 0, 248})));
  e.ImportSizes("upper_screen", file);
  EXPECT_TRUE(Has(e.result(), "\"width\":30,")) << e.result();
  EXPECT_EQ(e.Import("upper_screen", file, int(FitMode::Keep), false), Outcome::Changed);
  EXPECT_FALSE(e.importSourceHeld()) << "the import done, its picture goes";
  EXPECT_EQ(e.document().skin().image(ImageId::upper_screen), Picture(30, 20, Rgb24{0, 0, 248}));
  // A question cancelled ends with the preview; a file that is no picture holds nothing.
  e.ImportPreviews("upper_screen", file);
  e.EndPreview();
  EXPECT_FALSE(e.importSourceHeld());
  testutil::WriteFile(file, "not a picture");
  EXPECT_EQ(e.ImportPreviews("upper_screen", file), Outcome::Failed);
  EXPECT_FALSE(e.importSourceHeld());
  EXPECT_EQ(e.ImportPreviews("no/such", file), Outcome::Refused);
}

TEST(EngineSession, AnotherSkinToCompareWithAndTheProgressOfAnOpen) {
  EngineSession e;
  testutil::TempDir dir;
  Skin other;
  ResetSkinToDefaults(other);
  other.colours.formBodyColor = Rgb24{248, 0, 248};
  struct Clock2020 : Clock {
    DateTime Now() const override { return {2020, 1, 1, 0, 0, 0}; }
  };
  testutil::RecordingFeedback quiet;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{quiet, texts};
  SaveSkinFolder(other, dir.path(), TypedInfoOf(other), Clock2020(), ctx);

  EXPECT_FALSE(e.Render(2, 1.0f, 0, 0, false, true)) << "nothing to compare with yet";
  EXPECT_EQ(e.CompareWith("/nonexistent/skin"), Outcome::Failed);
  EXPECT_FALSE(e.comparing());
  std::vector<int> progress;
  e.SetProgress([&](int value) { progress.push_back(value); });
  EXPECT_EQ(e.CompareWith(dir.path()), Outcome::Changed);
  ASSERT_TRUE(e.Render(2, 1.0f, 0, 0, false, true));
  RenderWorkspace work;
  Picture expected;
  RenderPreview(other, 2, 1.0f, Rgb24{}, work, expected);
  std::vector<std::uint8_t> rgba(expected.pixels.size() * 4);
  CopyAsRgba(expected, rgba.data());
  EXPECT_EQ(e.pixels(), rgba);
  EXPECT_TRUE(SettingsDiffer(e.document().skin(), other)) << "the skin being edited stays";
  e.StopCompare();
  EXPECT_FALSE(e.Render(2, 1.0f, 0, 0, false, true));

  // An open tells each picture as it comes, then that it is done.
  progress.clear();
  EXPECT_EQ(e.Open(dir.path()), Outcome::Changed);
  std::vector<int> expectedProgress;
  for (int k = 1; k <= int(kImageCount); ++k) expectedProgress.push_back(k);
  expectedProgress.push_back(0);
  EXPECT_EQ(progress, expectedProgress);
}

TEST(EngineSession, FilesChangedOnDiskNamedAsThePageNamesThem) {
  EngineSession e;
  EXPECT_EQ(e.ReadChangedFiles("lamp.bmp"), Outcome::Refused) << "the built-in skin has no files";
  testutil::TempDir dir;
  Skin skin;
  ResetSkinToDefaults(skin);
  struct Clock2020 : Clock {
    DateTime Now() const override { return {2020, 1, 1, 0, 0, 0}; }
  };
  testutil::RecordingFeedback quiet;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{quiet, texts};
  SaveSkinFolder(skin, dir.path(), TypedInfoOf(skin), Clock2020(), ctx);
  ASSERT_EQ(e.Open(dir.path()), Outcome::Changed);
  testutil::WriteFile(dir / "lamp.bmp", EncodeBmp16(Picture(6, 6, Rgb24{248, 0, 0})));
  testutil::WriteFile(dir / "icon/nds.bmp", EncodeBmp16(Picture(32, 32, Rgb24{0, 0, 248})));
  // Any letter case, and a file that is none of the skin's among them.
  EXPECT_EQ(e.ReadChangedFiles("LAMP.BMP\nnotes.txt\nicon/NDS.bmp\n"), Outcome::Changed);
  EXPECT_TRUE(Has(e.result(), "\"taken\":[\"lamp.bmp\",\"icon/nds.bmp\"],\"held\":[]")) << e.result();
  EXPECT_TRUE(Has(e.result(), "\"question\":null"));
  EXPECT_EQ(e.document().skin().image(ImageId::lamp), Picture(6, 6, Rgb24{248, 0, 0}));
  // Changed by the user too, held; a new open, and nothing waits any more.
  e.SetNumber("[start bar]", "y", 90, false);
  e.ReadChangedFiles("uisettings.ini");
  EXPECT_TRUE(Has(e.result(), "\"held\":[\"uisettings.ini\"]")) << e.result();
  ASSERT_EQ(e.Open(dir.path()), Outcome::Changed);
  EXPECT_EQ(e.AnswerReload(true), Outcome::Unchanged);
}

TEST(EngineSession, TheAboutBoxAsTheDesktopShowsIt) {
  EngineSession e;
  e.About();
  EXPECT_TRUE(Has(e.result(), "\"title\":\"Skin Editor \",\"version\":\"v0.100603\"")) << e.result();
  EXPECT_TRUE(Has(e.result(), "\"linkAddress\":\"https://skin-editor.example.org/\""));
  EXPECT_TRUE(Has(e.result(), "\"bannerAddress\":\"https://skin-editor.example.org/skins/\""));
  // The text: the first block, two blank lines, the title line with the
  // version and the second block, then the other two.
  const std::string text = about::BoxText();
  EXPECT_EQ(text.find(about::Text(0) + "\n\n\nSkin Editor v0.100603 - free software"), 0u);
  EXPECT_TRUE(text.ends_with(about::Text(2) + "\n\n" + about::Text(3)));
  e.AboutBanner();
  EXPECT_EQ(e.width(), BuiltinPicture(BuiltinPictureId::AboutBanner).width);
  EXPECT_EQ(e.pixels().size(), std::size_t(e.width()) * std::size_t(e.height()) * 4);
}

}  // namespace
