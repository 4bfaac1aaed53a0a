// The editing rules both faces ask the core: the preview's gestures on both
// sides of each threshold, the journal's schedule, the way from a problem to
// its control, typed texts, the colour dialog, the question before a save
// over files another program changed, and opening over the skin.
#include <gtest/gtest.h>

#include "edit/colour_choice.h"
#include "edit/document_files.h"
#include "edit/editor_session.h"
#include "edit/panel_tables.h"
#include "images/defaults.h"
#include "test_util.h"

namespace {

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetToBuiltInSkin(doc); }
  // A press on a pixel of [start bar] alone, which a drag moves.
  static PreviewPick StartBar() {
    PreviewPick pick;
    const std::size_t s = FindElementSection(kStartBarSection).value();
    pick.elements.bits = std::uint64_t(1) << s;
    pick.moves = s;
    return pick;
  }
  Document doc;
};

TEST_F(SessionTest, APressBecomesADragOnlyPastTheThresholdAndMovesByTheDistanceOverTheZoom) {
  struct Case {
    const char* what;
    int dx, dy;
    float zoom;
    int movedX, movedY;  // worked out by hand: the distance over the zoom, half away from zero
  };
  const Case cases[] = {
      {"9 pixels: still a click", 9, 0, 1.0f, 0, 0},
      {"5 + 4 pixels: still a click", 5, -4, 1.0f, 0, 0},
      {"10 pixels: a drag", 10, 0, 1.0f, 10, 0},
      {"5 + 5 pixels: a drag", 5, 5, 1.0f, 5, 5},
      {"zoom 2.5", 31, -20, 2.5f, 12, -8},
      {"halves round away from zero", 5, -15, 2.0f, 3, -8},
      {"zoom under 1 is shown unscaled", 12, 0, 0.5f, 12, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetToBuiltInSkin(doc);
    doc.Apply(MoveElement(kStartBarSection, 100, 100, "setup"));
    EditorSession session(doc);
    const GestureResult pressed = session.Press(StartBar(), 200, 300);
    EXPECT_TRUE(pressed.selectionChanged);
    session.Move(200 + c.dx, 300 + c.dy, c.zoom);
    session.Release();
    EXPECT_EQ(doc.skin().startBar.x, 100 + c.movedX);
    EXPECT_EQ(doc.skin().startBar.y, 100 + c.movedY);
    // The setup's step, and one more only when something moved.
    EXPECT_EQ(doc.history().count(), c.movedX || c.movedY ? 2 : 1);
  }
}

TEST_F(SessionTest, EscapePutsTheDragBackWithoutAStepAndTheRestOfThePressMovesNothing) {
  doc.Apply(MoveElement(kStartBarSection, 60, 70, "setup"));
  EditorSession session(doc);
  session.Press(StartBar(), 50, 50);
  session.Move(50, 20, 1.0f);
  EXPECT_TRUE(session.dragging());
  EXPECT_EQ(doc.skin().startBar.y, 40);
  EXPECT_EQ(doc.history().count(), 2);
  EXPECT_TRUE(session.Escape().moved);
  EXPECT_EQ(doc.skin().startBar.y, 70);
  EXPECT_EQ(doc.history().count(), 1);
  EXPECT_FALSE(session.Move(50, 10, 1.0f).moved);
  session.Release();
  EXPECT_EQ(doc.skin().startBar.x, 60);
  EXPECT_EQ(doc.skin().startBar.y, 70);
  // Escape with nothing moved changes nothing.
  session.Press(StartBar(), 50, 50);
  session.Move(55, 54, 1.0f);
  EXPECT_FALSE(session.Escape().moved);
  EXPECT_EQ(doc.history().count(), 1);
}

TEST_F(SessionTest, TheNudgesAfterOnePressAreOneStepAndShiftStepsByTen) {
  EXPECT_EQ(NudgeStep(false), 1);
  EXPECT_EQ(NudgeStep(true), 10);
  doc.Apply(MoveElement(kStartBarSection, 40, 40, "setup"));
  EditorSession session(doc);
  EXPECT_FALSE(session.Nudge(1, 0).moved);  // nothing held before a press
  session.Press(StartBar(), 0, 0);
  session.Release();
  for (int i = 0; i < 3; ++i) session.Nudge(NudgeStep(false), 0);
  session.Nudge(0, -NudgeStep(true));
  EXPECT_EQ(doc.skin().startBar.x, 43);
  EXPECT_EQ(doc.skin().startBar.y, 30);
  EXPECT_EQ(doc.history().count(), 2);
  // Another press: another step. A press outside the picture keeps what
  // the arrows move.
  session.Press(StartBar(), 0, 0);
  session.Press(std::nullopt, 0, 0);
  session.Nudge(-1, 0);
  EXPECT_EQ(doc.skin().startBar.x, 42);
  EXPECT_EQ(doc.history().count(), 3);
}

TEST_F(SessionTest, SelectionHoverAndCursor) {
  EditorSession session(doc);
  PreviewPick icon;  // the sample game icon: no source, placed by its records
  icon.elements.bits = (std::uint64_t(1) << 3) | (std::uint64_t(1) << 7);
  EXPECT_EQ(SelectionOf(icon).element, std::optional<std::size_t>(7));
  icon.moves = 3;
  EXPECT_EQ(SelectionOf(icon).element, std::optional<std::size_t>(3));
  PreviewPick colour;
  colour.source = ColourSource(0);
  colour.elements = icon.elements;
  EXPECT_EQ(SelectionOf(colour), (PreviewTarget{ColourSource(0), std::nullopt}));

  EXPECT_EQ(CursorFor(std::nullopt), PreviewCursor::Arrow);
  EXPECT_EQ(CursorFor(PreviewPick{}), PreviewCursor::Arrow);
  EXPECT_EQ(CursorFor(StartBar()), PreviewCursor::Move);
  EXPECT_EQ(CursorFor(colour), PreviewCursor::Point);

  session.Press(colour, 1, 1);
  EXPECT_EQ(session.selection().source, ColourSource(0));
  session.Press(std::nullopt, 1, 1);
  EXPECT_EQ(session.selection().source, ColourSource(0));
  EXPECT_TRUE(session.Hover({PictureSource(ImageId::lamp), {}}));
  EXPECT_FALSE(session.Hover({PictureSource(ImageId::lamp), {}}));
  session.Forget();
  EXPECT_TRUE(session.selection().empty());
  EXPECT_TRUE(session.hover().empty());
}

TEST(JournalSchedule, ASecondAfterTheLastEditAndAtMostFiveAfterTheFirst) {
  struct Case {
    std::int64_t first, last, next;
  };
  const Case cases[] = {{0, 0, 1000},       {0, 3999, 4999},     {0, 4000, 5000}, {0, 4001, 5000},
                        {0, 9000, 5000},    {2000, 2500, 3500},  {2000, 6000, 7000}, {2000, 6001, 7000}};
  for (const Case& c : cases) {
    EXPECT_EQ(NextJournalWrite(c.first, c.last), c.next) << c.first << " " << c.last;
  }
}

TEST(ProblemFocus, EachSubjectLeadsToItsControlAndScreen) {
  const auto colourScreen = [](const char* name) {
    for (const ColourControl& c : ColourControls()) {
      if (std::string_view(name) == c.name) return c.screen;
    }
    return -1;
  };
  struct Case {
    const char* what;
    ProblemSubject subject;
    std::optional<int> screen;
    PanelFocus::Tab tab;
    std::string section, key, picture;
    std::optional<int> shown;
  };
  const Case cases[] = {
      {"a colour", ProblemSubject::Field("[global settings]", "formFrameColor"), {}, PanelFocus::Tab::Colours,
       "[global settings]", "formFrameColor", "", colourScreen("formFrameColor")},
      {"the screen of the problem first", ProblemSubject::Field("[global settings]", "formFrameColor"), 9,
       PanelFocus::Tab::Colours, "[global settings]", "formFrameColor", "", 9},
      {"a picture", ProblemSubject::Picture(ImageId::lamp), {}, PanelFocus::Tab::Images, "", "", "lamp", {}},
      {"a section in another letter case", ProblemSubject::Field("[START BAR]", "x"), {}, PanelFocus::Tab::Elements,
       "[start bar]", "x", "", {}},
      {"a field without a control: its row", ProblemSubject::Field("[start bar]", "nonsense"), {},
       PanelFocus::Tab::Elements, "[start bar]", "", "", {}},
      {"a section", ProblemSubject::Section("[start bar]"), {}, PanelFocus::Tab::Elements, "[start bar]", "", "", {}},
      {"an information text", ProblemSubject::Field("[SkinInfo]", "Title"), {}, PanelFocus::Tab::Information,
       "[SkinInfo]", "Title", "", {}},
      {"a file", ProblemSubject::File("lamp.bmp.bak"), {}, PanelFocus::Tab::None, "", "", "", {}},
      {"an unknown section", ProblemSubject::Section("[nothing]"), {}, PanelFocus::Tab::None, "", "", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PanelFocus f = FocusOfProblem(c.subject, c.screen);
    EXPECT_EQ(f.tab, c.tab);
    EXPECT_EQ(f.section, c.section);
    EXPECT_EQ(f.key, c.key);
    EXPECT_EQ(f.picture, c.picture);
    if (c.shown) {
      EXPECT_EQ(f.screen, c.shown);
    }
    if (c.tab == PanelFocus::Tab::None) {
      EXPECT_FALSE(f.screen.has_value());
    }
  }
  // The picture's and the row's screens are those of their controls.
  for (const ImageControl& c : ImageControls()) {
    EXPECT_EQ(FocusOfProblem(ProblemSubject::Picture(c.image)).screen, std::optional<int>(c.screen));
  }
  EXPECT_EQ(ScreenAfter(ScreenCause::NewSkin), 0);
  EXPECT_EQ(ScreenAfter(ScreenCause::Opened), 0);
  EXPECT_EQ(ScreenAfter(ScreenCause::LanguageChanged), 0);
}

TEST(TypedTexts, WhatTheSettingsFileCannotHoldIsRefusedAndLastUpdateIsNotTyped) {
  const SkinField title = SkinFieldOf(kSkinInfoSection, "Title");
  struct Case {
    const char* utf8;
    TypedText::Outcome outcome;
    const char* latin1;
  };
  const Case cases[] = {{"Caf\xC3\xA9", TypedText::Outcome::Taken, "Caf\xE9"},
                        {"\xC3\xBF", TypedText::Outcome::Taken, "\xFF"},
                        {"\xC4\x80", TypedText::Outcome::Refused, ""},  // U+0100, one past Latin-1
                        {"a\nb", TypedText::Outcome::Refused, ""},
                        {"a\rb", TypedText::Outcome::Refused, ""},
                        {"", TypedText::Outcome::Taken, ""}};
  for (const Case& c : cases) {
    const TypedText t = TakeTypedText(title, c.utf8);
    EXPECT_EQ(t.outcome, c.outcome) << c.utf8;
    EXPECT_EQ(t.latin1, c.latin1) << c.utf8;
  }
  const SkinField lastUpdate = SkinFieldOf(kSkinInfoSection, "LastUpdate");
  EXPECT_TRUE(IsReadOnlyField(lastUpdate));
  EXPECT_FALSE(IsReadOnlyField(title));
  EXPECT_EQ(TakeTypedText(lastUpdate, "2024").outcome, TypedText::Outcome::ReadOnly);
  EXPECT_STREQ(kLatin1RefusalKey, "LANG_INFO_LATIN1$");
}

TEST(ChangedOnDisk, OnlyTheFilesWhoseStampChangedAreNamedAndOnlyForTheSameTarget) {
  const FileStamp a{true, 10, 1000, 1, 1}, b{true, 20, 2000, 2, 1};
  SkinStamps known{"/skins/sunset", false, {{"uisettings.ini", a}, {"lamp.bmp", b}, {"btn.bmp", FileStamp{}}}};
  const std::vector<SeenFile> same{{"uisettings.ini", a}, {"lamp.bmp", b}};
  EXPECT_TRUE(FilesChangedSinceRead(known, "/skins/sunset", same).empty());
  FileStamp longer = b, later = b;
  longer.size = 21;
  later.modifiedNs = 2001;
  EXPECT_EQ(FilesChangedSinceRead(known, "/skins/sunset", {{"uisettings.ini", a}, {"lamp.bmp", longer}}),
            std::vector<std::string>{"lamp.bmp"});
  EXPECT_EQ(FilesChangedSinceRead(known, "/skins/sunset", {{"uisettings.ini", a}, {"lamp.bmp", later}}),
            std::vector<std::string>{"lamp.bmp"});
  // Gone since, and new since.
  EXPECT_EQ(FilesChangedSinceRead(known, "/skins/sunset", {{"lamp.bmp", b}}),
            std::vector<std::string>{"uisettings.ini"});
  EXPECT_EQ(FilesChangedSinceRead(known, "/skins/sunset", {{"uisettings.ini", a}, {"lamp.bmp", b}, {"btn.bmp", a}}),
            std::vector<std::string>{"btn.bmp"});
  // A save elsewhere, or a skin read from nowhere, asks nothing.
  EXPECT_TRUE(FilesChangedSinceRead(known, "/skins/other", {}).empty());
  known.path.clear();
  EXPECT_TRUE(FilesChangedSinceRead(known, "", {}).empty());
}

TEST(ChangedOnDisk, TheDesktopsWayOfSeeingFindsAFileWrittenSince) {
  testutil::TempDir dir;
  testutil::WriteFile(dir.path() + "/uisettings.ini", "[SkinInfo]\n");
  const SkinStamps known = StampSkin(dir.path(), false);
  EXPECT_TRUE(FilesChangedSinceRead(known, dir.path(), SeeOnDisk(known)).empty());
  testutil::WriteFile(dir.path() + "/uisettings.ini", "[SkinInfo]\nTitle=longer\n");
  EXPECT_EQ(FilesChangedSinceRead(known, dir.path(), SeeOnDisk(known)), std::vector<std::string>{"uisettings.ini"});
}

TEST(ColourChoice, ChannelsClampWhatIsChosenStaysUntilOkAndTheCoreFormatsTheCodes) {
  EXPECT_EQ(ParseChannelText("  +17x"), 17);
  EXPECT_EQ(ParseChannelText("-4"), -4);
  EXPECT_EQ(ParseChannelText("x"), 0);
  EXPECT_EQ(ClampChannel(-1), 0);
  EXPECT_EQ(ClampChannel(32), 31);
  EXPECT_EQ(ClampChannel(31), 31);

  ColourChoice c({8, 8, 8});
  EXPECT_EQ(c.FieldEdited(0, "32", "1", "1"), "31");  // shown clamped
  EXPECT_EQ(c.FieldEdited(0, "31", "1", "1"), "31");
  EXPECT_EQ(c.FieldEdited(1, "31", "-5", "1"), "-5");  // left as typed, counts as 0
  EXPECT_TRUE(c.Refresh());
  EXPECT_EQ(c.lastDisplayed(), (Rgb24{248, 0, 8}));
  EXPECT_EQ(c.ChannelShown(1, "-"), "-");   // reads as 0, the value
  EXPECT_EQ(c.ChannelShown(1, "7"), "0");
  EXPECT_EQ(c.code(), "0x041f");
  EXPECT_EQ(c.hex(), "#f80008");

  // The chooser's 8-bit colour is kept as chosen, until OK.
  c.ChooserPicked({255, 128, 1});
  EXPECT_TRUE(c.Refresh());
  EXPECT_FALSE(c.Refresh());
  EXPECT_EQ(c.ResultOk(), (Rgb24{255, 128, 1}));
  EXPECT_EQ(c.ResultCancel(), (Rgb24{8, 8, 8}));
  EXPECT_EQ(c.code(), "0x021f");
  EXPECT_EQ(c.hex(), "#ff8001");
  EXPECT_EQ(c.r5(), 31);
  EXPECT_EQ(c.g5(), 16);
  EXPECT_EQ(c.b5(), 0);
  // The eyedropper's pixel is cut to the 5-bit grid; a text that is no
  // colour changes nothing.
  c.EyedropperPixel({255, 15, 9});
  c.Refresh();
  EXPECT_EQ(c.lastDisplayed(), (Rgb24{248, 8, 8}));
  EXPECT_FALSE(c.TextEntered("#12"));
  EXPECT_TRUE(c.TextEntered("0x001f"));
  c.Refresh();
  EXPECT_EQ(c.lastDisplayed(), (Rgb24{248, 0, 0}));
}

// Every message of an operation, kept.
struct Kept : Feedback {
  void ShowError(const std::string&) override {}
  void SetProgress(int) override {}
  void Report(const Message& m, const std::string&) override { messages.push_back(m); }
  std::vector<Message> messages;
};

TEST_F(SessionTest, OpeningOverTheSkinTakesItOnlyWhenItsSettingsWereRead) {
  testutil::TempDir dir;
  testutil::WriteFile(dir.path() + "/uisettings.ini", "[start bar]\nx=7\ny=9\n");
  doc.Apply(MoveElement(kStartBarSection, 1, 2, "before"));
  Kept feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  EXPECT_FALSE(OpenSkinInto(doc, dir.path() + "/missing", false, ctx));
  EXPECT_FALSE(feedback.messages.empty());
  EXPECT_EQ(doc.skin().startBar.x, 1);
  EXPECT_EQ(doc.history().count(), 1);
  EXPECT_TRUE(OpenSkinInto(doc, dir.path(), false, ctx));
  EXPECT_EQ(doc.skin().startBar.x, 7);
  EXPECT_EQ(doc.history().count(), 0);
  EXPECT_EQ(doc.origin().path, dir.path());
  EXPECT_EQ(doc.origin().kind, SkinOrigin::Kind::Folder);
  ResetToBuiltInSkin(doc);
  Skin fresh;
  ResetSkinToDefaults(fresh);
  EXPECT_TRUE(SameSkin(doc.skin(), fresh));
  EXPECT_EQ(doc.origin().kind, SkinOrigin::Kind::BuiltIn);
}

}  // namespace
