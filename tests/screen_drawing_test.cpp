#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/font.h"
#include "preview/render.h"
#include "preview/screens.h"
#include "test_util.h"

namespace {

constexpr Rgb24 kBlack{0, 0, 0};
constexpr Rgb24 kRed{248, 0, 0};
constexpr Rgb24 kBlue{0, 0, 248};
constexpr Rgb24 kWhite{248, 248, 248};
constexpr Rgb24 kGreenKey{0, 248, 0};

// Every picture a plain colour of its own, so that positions can be read off
// the canvas; every colour a distinct value.
Skin FlatSkin() {
  Skin s;
  ResetSkinToDefaults(s);
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const int i = static_cast<int>(e.id);
    s.image(e.id) = Picture(e.builtinWidth, e.builtinHeight,
                            Rgb24{static_cast<std::uint8_t>(8 + i * 4), 100, static_cast<std::uint8_t>(200 - i)});
  }
  return s;
}

Rgb24 ColourOf(const Skin& s, ImageId id) { return s.image(id).pixels.at(0); }

int InkColumns(const Picture& c, Rgb24 ink, int y) {
  int n = 0;
  for (int x = 0; x < c.width; ++x) n += c.at(x, y) == ink;
  return n;
}

// A screen drawer's fresh canvas.
Picture Drawn(void (*drawer)(Canvas&, const Skin&), const Skin& s) {
  Canvas c;
  drawer(c, s);
  return c.picture;
}

TEST(Primitives, GreenKeyAndOpaqueDrawing) {
  // The key and its neighbours: only (0, 248, 0) and (0, 255, 0) are left out.
  Picture img(8, 1);
  img.pixels = {{0, 248, 0}, {0, 255, 0}, {0, 247, 0}, {1, 248, 0}, {0, 248, 1}, {0, 255, 8}, {0, 240, 0}, {8, 248, 8}};
  Canvas c{Picture(8, 1, kBlue)};
  DrawSkinImage(c, img, 0, 0, Blit::GreenKey);
  std::vector<Rgb24> keyed = img.pixels;
  keyed[0] = keyed[1] = kBlue;
  EXPECT_EQ(c.picture.pixels, keyed);
  DrawSkinImage(c, img, 0, 0, Blit::Opaque);
  EXPECT_EQ(c.picture.pixels, img.pixels);

  Canvas canvas;
  DrawSkinImage(canvas, Picture(10, 10, kRed), 250, 0, Blit::GreenKey);
  EXPECT_EQ(InkColumns(canvas.picture, kRed, 0), 6);
  EXPECT_EQ(canvas.picture.at(0, 1), kBlack);  // nothing past the edge wraps into the next row
  canvas = Canvas();
  DrawSkinImage(canvas, Picture(1, 10, kRed), 0, -5, Blit::GreenKey);
  EXPECT_EQ(canvas.picture.at(0, 4), kRed);
  EXPECT_EQ(canvas.picture.at(0, 5), kBlack);
  // Far away or empty: nothing, and no crash.
  DrawSkinImage(canvas, Picture(10, 10, kRed), INT32_MIN, INT32_MAX, Blit::Opaque);
  DrawSkinImage(canvas, Picture(), 0, 0, Blit::Opaque);
  EXPECT_EQ(canvas.picture.at(1, 1), kBlack);
}

TEST(Primitives, LinesAndBoxes) {
  Canvas canvas;
  const Picture& c = canvas.picture;
  FillBox(canvas, 10, 10, 0, 5, kRed);
  FillBox(canvas, 10, 10, 5, -1, kRed);
  DrawLine(canvas, 10, 10, -3, 1, kRed);
  EXPECT_EQ(InkColumns(c, kRed, 10), 0);
  DrawLine(canvas, 250, 3, 20, 1, kRed);
  EXPECT_EQ(InkColumns(c, kRed, 3), 6);
  FillBox(canvas, -10, 190, 15, 10, kBlue);
  EXPECT_EQ(InkColumns(c, kBlue, 191), 5);
  FillBox(canvas, INT32_MIN, INT32_MIN, INT64_C(1) << 40, INT64_C(1) << 40, kWhite);  // covers everything
  EXPECT_EQ(InkColumns(c, kWhite, 100), 256);
}

TEST(Font, AdvanceWidthsAndRows) {
  const std::map<int, std::string> widths = {
      {2, "!.:Ii"},
      {3, " ',1l|"},
      {4, "\"()/;<>[\\]`j"},
      {5, "-3EFJLS^fkrst"},
      {6, "+025678ABCDGHKMNOPQRTUVWXYZabcdeghnopuvwxyz~9"},
      {7, "#$%*4=?q"},
      {8, "_m{}"},
      {9, "&"},
      {11, "@"},
  };
  int count = 0;
  for (const auto& [w, chars] : widths) {
    for (char ch : chars) {
      EXPECT_EQ(MeasureText(std::string(1, ch)), w) << ch;
      ++count;
    }
  }
  EXPECT_EQ(count, 95);  // every printable ASCII character
  for (const char* symbol : {"\u00e0", "\u00e1", "\u00e2", "\u00e3", "\u00e4", "\u00e5"}) EXPECT_EQ(MeasureText(symbol), 10);
  EXPECT_EQ(MeasureText("\u00e6"), 9);
  EXPECT_EQ(MeasureText(""), 0);
  EXPECT_EQ(MeasureText("0022 - Gear Hollow"), 91);
  for (char32_t cp = 0xA1; cp <= 0xFF; ++cp) EXPECT_NE(PreviewFont().Find(cp), nullptr) << int(cp);

  // Capitals stand on rows y + 4 to y + 12, 5 pixels wide ('I' 1); lower
  // case without ascenders on y + 7 to y + 12.
  for (char ch : std::string("ABCDGHKMNOPQRTUVWXYZI")) {
    Canvas canvas{Picture(20, 20)};
    const Picture& c = canvas.picture;
    PutText(canvas, 2, 1, std::string(1, ch), kWhite);
    int top = 99, bottom = -1, left = 99, right = -1;
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        if (c.at(x, y) == kWhite) top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
                                  right = std::max(right, x);
      }
    }
    EXPECT_EQ(top, 5) << ch;
    EXPECT_EQ(bottom, 13) << ch;
    EXPECT_EQ(right - left + 1, ch == 'I' ? 1 : 5) << ch;
  }
  Canvas a{Picture(20, 20)};
  PutText(a, 0, 0, "A", kWhite);
  const Picture& c = a.picture;
  EXPECT_EQ(c.at(2, 4), kWhite);  // the apex in the middle column
  EXPECT_EQ(c.at(0, 4), kBlack);
  Canvas xc{Picture(20, 20)};
  PutText(xc, 0, 0, "x", kWhite);
  const Picture& x = xc.picture;
  EXPECT_EQ(InkColumns(x, kWhite, 6), 0);
  EXPECT_GT(InkColumns(x, kWhite, 7), 0);
  EXPECT_GT(InkColumns(x, kWhite, 12), 0);
}

TEST(Font, GlyphsUpToSixteenPixelsWide) {
  // A glyph is its advance in columns on each of the 15 rows; wider than 16,
  // or a row of another length, and it is left out.
  const auto glyph = [](const char* code, int advance, int rowLength) {
    std::string text = std::string("glyph U+") + code + " " + std::to_string(advance) + "\n";
    for (int r = 0; r < PixelFont::kCellHeight; ++r) text += std::string(std::size_t(rowLength), r == 0 ? '#' : '.') + "\n";
    return text;
  };
  const PixelFont font(glyph("41", 16, 16) + glyph("42", 17, 17) + glyph("43", 0, 0) + glyph("44", 5, 4) +
                       glyph("45", 5, 5));
  ASSERT_NE(font.Find(0x41), nullptr);
  EXPECT_EQ(font.Find(0x41)->advance, 16);
  EXPECT_EQ(font.Find(0x41)->rows[0], 0xFFFF);
  EXPECT_EQ(font.Find(0x42), nullptr);
  ASSERT_NE(font.Find(0x43), nullptr);
  EXPECT_EQ(font.Find(0x44), nullptr);
  EXPECT_NE(font.Find(0x45), nullptr);  // the glyph after a broken one is read
  EXPECT_EQ(font.size(), 3u);
}

TEST(Primitives, FitText) {
  EXPECT_EQ(FitText("0022 - Gear Hollow", 60), "0022 - Gear");
  EXPECT_EQ(MeasureText("0022 - Gear"), 58);
  // What is kept is narrower than the limit, never as wide.
  EXPECT_EQ(FitText("0022 - Gear Hollow", 59), "0022 - Gear");
  EXPECT_EQ(FitText("0022 - Gear Hollow", 58), "0022 - Gea");
  EXPECT_EQ((60 - MeasureText(FitText("0022 - Gear Hollow", 60))) / 2, 1);
  EXPECT_EQ(FitText("Fits ", 1000), "Fits");  // at least one character goes
  EXPECT_EQ(FitText("W", 1), "");
  EXPECT_EQ(FitText("W", 500), "");
  EXPECT_EQ(FitText("", 10), "");
  EXPECT_EQ(FitText("Long text", 0), "");
  EXPECT_EQ(FitText("Long text", INT32_MIN), "");
  EXPECT_EQ(FitText("\u00e0\u00e1 ", 21), "\u00e0\u00e1");  // whole characters, never half of one
}

TEST(Primitives, MenuFrameAndAnchors) {
  Skin s = FlatSkin();
  s.startMenu.x = 0;
  s.startMenu.y = 0;
  const Rgb24 middle = ColourOf(s, ImageId::form_M);
  // The right cap is all key green, so the middle pieces under it show.
  const auto framed = [&](int caps, int m) {
    s.image(ImageId::form_L) = Picture(caps, 4, kRed);
    s.image(ImageId::form_R) = Picture(caps, 4, kGreenKey);
    s.image(ImageId::form_M) = Picture(m, 4, middle);
    Canvas c;
    DrawMenuFrame(c, s);
    return c.picture;
  };
  EXPECT_EQ(InkColumns(framed(60, 10), middle, 0), 0);  // n = -1: no middle piece
  Picture one = framed(55, 10);                        // n = 0: one piece
  EXPECT_EQ(InkColumns(one, middle, 0), 10);
  EXPECT_EQ(one.at(54, 0), kRed);
  EXPECT_EQ(one.at(55, 0), middle);
  Picture seven = framed(20, 10);  // n = 6: seven pieces, 20 .. 89
  EXPECT_EQ(InkColumns(seven, middle, 0), 70);
  EXPECT_EQ(seven.at(89, 0), middle);
  EXPECT_EQ(seven.at(90, 0), kBlack);
  s.image(ImageId::form_R) = Picture(20, 4, kBlue);
  {
    s.image(ImageId::form_L) = Picture(20, 4, kRed);
    s.image(ImageId::form_M) = Picture(10, 4, middle);
    Canvas c;
    DrawMenuFrame(c, s);
    EXPECT_EQ(c.picture.at(88, 0), kBlue);  // the right cap at 108 - 20, over the last piece
  }
  framed(20, 0);  // a middle piece without width: no division by zero

  EXPECT_EQ(MarkerAnchor(7), 5);
  EXPECT_EQ(MarkerAnchor(8), 5);
  EXPECT_EQ(MarkerAnchor(38), 20);
  EXPECT_EQ(MarkerAnchor(0), 1);
}

TEST(Primitives, BigClock) {
  Skin s = FlatSkin();
  Picture digits(12, 100);
  for (int d = 0; d < 10; ++d) {
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 12; ++x) digits.at(x, d * 10 + y) = Rgb24{static_cast<std::uint8_t>(10 * d), 1, 1};
    }
  }
  s.image(ImageId::clock_numbers) = digits;
  s.image(ImageId::clock_colon) = Picture(5, 10, kWhite);
  s.bigClock = {100, 50, 1};
  Canvas canvas;
  DrawBigClock(canvas, s);
  const Picture& c = canvas.picture;
  EXPECT_EQ(c.at(100, 50), (Rgb24{10, 1, 1}));   // 1
  EXPECT_EQ(c.at(112, 59), (Rgb24{20, 1, 1}));   // 2
  EXPECT_EQ(c.at(124, 50), kWhite);              // colon
  EXPECT_EQ(c.at(129, 50), (Rgb24{30, 1, 1}));   // 3
  EXPECT_EQ(c.at(141, 50), (Rgb24{40, 1, 1}));   // 4
  EXPECT_EQ(c.at(153, 50), kBlack);              // 12 + 12 + 5 + 12 + 12 wide
  EXPECT_EQ(c.at(100, 60), kBlack);
  for (int show : {0, 2, -1}) {
    s.bigClock.show = show;
    Canvas none;
    DrawBigClock(none, s);
    EXPECT_EQ(none.picture, Canvas().picture) << show;
  }
  s.bigClock.show = 1;
  s.image(ImageId::clock_numbers) = Picture(12, 7, kWhite);  // less than ten rows: digits of height 0
  Canvas small;
  DrawBigClock(small, s);
  EXPECT_EQ(small.picture.at(100, 50), kBlack);
}

TEST(UpperScreens, PositionsAndVisibility) {
  Skin s = FlatSkin();
  const Rgb24 bg = ColourOf(s, ImageId::upper_screen);
  s.colours.gameInfoTitleColor = kRed;
  s.colours.fileNameTextColor = kBlue;
  s.colours.gameInfoTextColor = kWhite;
  Picture c = Drawn(DrawGameInformation, s);
  // "File name": the F's stem from (127, 69 + 4) down to row 69 + 12.
  EXPECT_EQ(c.at(127, 73), kRed);
  EXPECT_EQ(c.at(127, 81), kRed);
  EXPECT_EQ(c.at(127, 72), bg);
  // The sample icon at [logo info], (0, 248, 0) left out.
  const Picture& icon = BuiltinPicture(BuiltinPictureId::SampleGameIcon);
  EXPECT_EQ(c.at(127, 30), icon.at(0, 0) == kGreenKey ? bg : icon.at(0, 0));

  // A flag is on only when it is 1: any other value hides, as the firmware reads it.
  s.fileName.x = 10;
  for (int off : {0, 2, -1}) {
    s.fileName.titleshow = off;
    c = Drawn(DrawGameInformation, s);
    EXPECT_EQ(c.at(127, 73), bg) << off;
    EXPECT_EQ(c.at(10, 73), bg) << off;  // no title, the value still drawn
    int valueInk = 0;
    for (int y = 84; y <= 97; ++y) valueInk += InkColumns(c, kBlue, y);
    EXPECT_GT(valueInk, 0) << off;
  }

  // Everything hidden: the background and the icon only.
  s.image(ImageId::upper_screen) = Picture(256, 192, bg);
  for (int off : {0, 2, -1}) {
    s.fileName.show = s.gameName.show = s.fileType.show = s.folderText.show = s.bigClock.show = off;
    c = Drawn(DrawGameInformation, s);
    Canvas expected{Picture(256, 192, bg)};
    DrawSkinImage(expected, icon, s.logoInfo.x, s.logoInfo.y, Blit::GreenKey);
    EXPECT_EQ(c, expected.picture) << off;
    // The folder information draws the folder icon there instead.
    c = Drawn(DrawFolderInformation, s);
    expected = Canvas{Picture(256, 192, bg)};
    DrawSkinImage(expected, s.image(ImageId::icon_pth), s.logoInfo.x, s.logoInfo.y, Blit::GreenKey);
    EXPECT_EQ(c, expected.picture) << off;
  }
}

TEST(BrowserScreens, IconAndListView) {
  Skin s = FlatSkin();
  s.colours.logoFrameColor = kRed;
  s.colours.listTextBgColor = kBlue;
  s.image(ImageId::startbar) = Picture(256, 20, kGreenKey);  // opaque: still covers
  Picture c = Drawn(DrawIconViewScreen, s);
  EXPECT_EQ(c.at(15, 63), kRed);
  EXPECT_EQ(c.at(48, 96), kRed);
  EXPECT_EQ(c.at(63, 110), kBlue);
  EXPECT_EQ(c.at(2, 110), ColourOf(s, ImageId::lower_screen));
  EXPECT_EQ(c.at(100, 175), kGreenKey);
  // Screen 0 draws the buttons after the icons and the card indicator; the
  // base draws the buttons first and no card indicator.
  EXPECT_EQ(c.at(178, 174), ColourOf(s, ImageId::cardFrame0));
  s.image(ImageId::icon_unk) = Picture(30, 30, kWhite);
  s.rebackBtn = {193, 118, 23, 18};
  EXPECT_EQ(Drawn(DrawIconViewScreen, s).at(200, 120), ColourOf(s, ImageId::reBack));
  Picture base = Drawn(DrawIconViewBase, s);
  EXPECT_EQ(base.at(200, 120), kWhite);
  EXPECT_NE(base.at(180, 176), ColourOf(s, ImageId::cardFrame0));

  const auto barTop = [&](int h) {
    s.image(ImageId::selectbar) = Picture(256, h, kWhite);
    const Picture l = Drawn(DrawListViewScreen, s);
    for (int y = 0; y < 192; ++y) {
      if (l.at(255, y) == kWhite) return y;
    }
    return -1;
  };
  EXPECT_EQ(barTop(40), 51);
  EXPECT_EQ(barTop(32), 55);
  EXPECT_EQ(barTop(33), 55);
  s.logoOffset = {10, 10};
  Picture l = Drawn(DrawListViewScreen, s);
  EXPECT_EQ(l.at(26, 65), ColourOf(s, ImageId::icon_pth));  // moved right and down
  EXPECT_NE(l.at(16, 55), ColourOf(s, ImageId::icon_pth));
}

TEST(StartMenuScreens, LampSubmenusAndBar) {
  Skin s = FlatSkin();
  s.image(ImageId::lamp) = Picture(4, 8, kRed);
  const StartMenuRecord& m = s.startMenu;
  // Item 3: my + 18 + 8 + 51 - 5 = my + 72.
  Picture c = Drawn(DrawDisplayMenuScreen, s);
  EXPECT_EQ(c.at(m.x + m.leftlogoupX, m.y + 72), kRed);
  EXPECT_NE(c.at(m.x + m.leftlogoupX, m.y + 71), kRed);
  // Item 0 loses its top leftlogoupY rows but keeps its place; item 4 its bottom rows.
  s.image(ImageId::lamp) = Picture(4, 20, kRed);
  const int k = 11, c0 = m.y + m.itemY + m.itemHeight / 2;
  c = Drawn(DrawFileOperationMenuScreen, s);
  EXPECT_NE(c.at(m.x + m.leftlogoupX, c0 - k + m.leftlogoupY - 1), kRed);
  EXPECT_EQ(c.at(m.x + m.leftlogoupX, c0 - k + m.leftlogoupY), kRed);
  c = Drawn(DrawHelpScreen, s);
  const int c4 = c0 + 4 * m.itemHeight;
  EXPECT_EQ(c.at(m.x + m.leftlogoupX, c4 - k + 20 - m.leftlogodownY - 1), kRed);
  s.startMenu.leftlogoupY = 0;
  c = Drawn(DrawFileOperationMenuScreen, s);
  EXPECT_EQ(c.at(m.x + m.leftlogoupX, c0 - k), kRed);

  // Submenu box of screen 2 at (mx + x + 107, y); screen 10 one pixel further right than 8.
  s.colours.formFrameColor = kBlue;
  s.image(ImageId::hotkeybk) = Picture();
  c = Drawn(DrawFileOperationMenuScreen, s);
  EXPECT_EQ(c.at(m.x + s.fileHandleMenu.x + 107, s.fileHandleMenu.y), kBlue);
  const int sx = m.x + s.sysetMenu.x;
  EXPECT_EQ(Drawn(DrawDisplayMenuScreen, s).at(sx + 107, s.sysetMenu.y), kBlue);
  EXPECT_NE(Drawn(DrawHotkeyScreen, s).at(sx + 107, s.sysetMenu.y), kBlue);
  EXPECT_EQ(Drawn(DrawHotkeyScreen, s).at(sx + 108, s.sysetMenu.y), kBlue);

  // The bar: a piece exactly L wide is drawn once; a wider one not at all.
  const int barY = s.fileHandleMenu.y + m.submenuoffsetY + m.subMenuItemHeight / 2 - 6 - 1 + 3 * m.subMenuItemHeight;
  s.colours.popSubMenuTextHighLightColor = kRed;
  s.image(ImageId::popsubbar) = Picture(66, 12, kWhite);
  EXPECT_EQ(InkColumns(Drawn(DrawFileOperationMenuScreen, s), kWhite, barY), 66);
  s.image(ImageId::popsubbar) = Picture(67, 12, kWhite);
  EXPECT_EQ(InkColumns(Drawn(DrawFileOperationMenuScreen, s), kWhite, barY), 0);
}

TEST(DialogScreens, ButtonsTitleBarAndHelpWindow) {
  Skin s = FlatSkin();
  s.image(ImageId::btn3) = Picture(40, 14, kRed);
  s.image(ImageId::title_left) = Picture(10, 15, kWhite);
  s.image(ImageId::title_right) = Picture(10, 15, kBlue);
  Picture bg(2, 16);
  for (int y = 0; y < 16; ++y) bg.at(0, y) = {1, 1, 1}, bg.at(1, y) = {2, 2, 2};
  s.image(ImageId::title_bg) = bg;
  s.colours.buttonTextColor = kBlue;
  Picture c = Drawn(DrawDeleteConfirmScreen, s);
  EXPECT_EQ(c.at(149, 139), kRed);
  EXPECT_EQ(c.at(148, 139), s.colours.formBodyColor);
  EXPECT_EQ(c.at(197, 139), kRed);
  EXPECT_EQ(c.at(236, 139), kRed);
  EXPECT_EQ(c.at(12, 50), kWhite);   // title bar from (12, 65 - 15)
  EXPECT_EQ(c.at(22, 55), (Rgb24{1, 1, 1}));   // copies of the middle piece from 22 ...
  EXPECT_EQ(c.at(234, 55), (Rgb24{1, 1, 1}));  // ... to 234
  EXPECT_EQ(c.at(235, 55), (Rgb24{2, 2, 2}));  // the rest of the last copy
  EXPECT_EQ(c.at(236, 55), kBlue);             // right cap at 236
  // "YES(A) " at 152 and "NO(B) " at 202: the Y and N stems.
  int yes = 0, no = 0;
  for (int y = 125; y < 140; ++y) yes += c.at(152, y) == kBlue, no += c.at(202, y) == kBlue;
  EXPECT_GT(yes, 0);
  EXPECT_GT(no, 0);

  // Help window 200 x 160 at (28, 16); with a 16-row title_left its box
  // starts at y = 32 and is 144 rows high.
  s.image(ImageId::title_left) = Picture(56, 16, kWhite);
  s.colours.formFrameColor = kRed;
  c = Drawn(DrawHelpScreen, s);
  EXPECT_EQ(c.at(28, 16), kWhite);
  EXPECT_EQ(c.at(28, 32), kRed);
  EXPECT_EQ(c.at(28, 175), kRed);
  EXPECT_NE(c.at(28, 176), kRed);
  EXPECT_EQ(c.at(227, 100), kRed);
}

TEST(GameScreens, SettingsAndCheatList) {
  Skin s = FlatSkin();
  s.image(ImageId::spin_btn_left) = Picture(10, 14, kRed);
  Picture c = Drawn(DrawGameSettingsScreen, s);
  EXPECT_EQ(c.at(135, 72), kRed);
  EXPECT_EQ(c.at(144, 112), kRed);
  EXPECT_EQ(c.at(207, 92), ColourOf(s, ImageId::spin_btn_right));
  EXPECT_EQ(c.at(148, 72), s.colours.spinBoxFrameColor);

  s.image(ImageId::cheatbg) = Picture(256, 192, kGreenKey);  // copied without a key
  s.image(ImageId::cheatselectbar) = Picture(203, 25, kWhite);
  c = Drawn(DrawCheatListScreen, s);
  EXPECT_EQ(c.at(0, 0), kGreenKey);
  EXPECT_EQ(c.at(18, 79), kWhite);   // the lower copy, drawn last, reaches 55 + 24
  EXPECT_EQ(c.at(18, 81), ColourOf(s, ImageId::pitchdown));
  EXPECT_EQ(c.at(18, 161), ColourOf(s, ImageId::fathernode));
}

TEST(RenderPreview, CompositionScalingAndScreenshot) {
  Skin s = FlatSkin();
  const Rgb24 bg{1, 2, 3};
  const Picture p = RenderPreview(s, 0, 1.0f, bg);
  ASSERT_EQ(p.width, 266);
  ASSERT_EQ(p.height, 490);
  const ScreenPair screens = DrawPreviewScreens(s, 0);
  EXPECT_EQ(p.at(4, 4), bg);
  EXPECT_EQ(p.at(5, 5), screens.upper.at(0, 0));
  EXPECT_EQ(p.at(260, 196), screens.upper.at(255, 191));
  EXPECT_EQ(p.at(261, 196), bg);
  EXPECT_EQ(p.at(3, 201), bg);
  EXPECT_EQ(p.at(0, 202), BuiltinPicture(BuiltinPictureId::Hinge).at(0, 0));
  EXPECT_EQ(p.at(5, 293), screens.lower.at(0, 0));
  EXPECT_EQ(p.at(5, 485), bg);
  EXPECT_EQ(RenderPreview(s, 0, 0.99f, bg), p);

  const Picture z2 = RenderPreview(s, 0, 2.0f, bg);
  ASSERT_EQ(z2.width, 532);
  ASSERT_EQ(z2.height, 980);
  for (int y = 0; y < 490; y += 7) {
    for (int x = 0; x < 266; x += 5) {
      ASSERT_EQ(z2.at(2 * x + 1, 2 * y + 1), p.at(x, y));
      ASSERT_EQ(z2.at(2 * x, 2 * y), p.at(x, y));
    }
  }
  // The largest zoom of the wheel: 27 single-precision steps of 0.15.
  float zoom = 1.0f;
  for (int i = 0; i < 27; ++i) zoom += 0.15f;
  int w = 0, h = 0;
  PreviewSize(zoom, w, h);
  // 5.0500016 in single precision: 1343.3004 and 2474.5007, to the nearest.
  EXPECT_EQ(w, 1343);
  EXPECT_EQ(h, 2475);
  PreviewSize(1000.0f, w, h);  // far beyond the wheel: taken as 16
  EXPECT_EQ(w, 266 * 16);
  PreviewSize(std::nanf(""), w, h);
  EXPECT_EQ(w, 266);
  PreviewSize(1.15f, w, h);  // 305.9 and 563.5 in single precision: up, and the half to even
  EXPECT_EQ(w, 306);
  EXPECT_EQ(h, 564);
  PreviewSize(1.25f, w, h);  // 332.5 and 612.5: halves go to even
  EXPECT_EQ(w, 332);
  EXPECT_EQ(h, 612);

  const Picture shot = ComposeScreenshot(s);
  ASSERT_EQ(shot.width, 256);
  ASSERT_EQ(shot.height, 384);
  EXPECT_EQ(shot.at(0, 191), screens.upper.at(0, 191));
  EXPECT_EQ(shot.at(0, 192), screens.lower.at(0, 0));
  EXPECT_EQ(shot.at(255, 383), screens.lower.at(255, 191));
}

TEST(RenderPreview, ScalingMatchesThePixelRule) {
  const Picture src = testutil::MakePicture(266, 490, 3);
  float largest = 1.0f;
  for (int i = 0; i < 27; ++i) largest += 0.15f;
  for (float zoom : {1.15f, 1.3f, 2.0f, 2.5f, 3.85f, largest, 16.0f}) {
    int w = 0, h = 0;
    PreviewSize(zoom, w, h);
    const Picture scaled = ScaleNearest(src, w, h);
    ASSERT_EQ(scaled.width, w);
    ASSERT_EQ(scaled.height, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(scaled.at(x, y), src.at(int(std::int64_t(x) * 266 / w), int(std::int64_t(y) * 490 / h)))
            << zoom << " at " << x << "," << y;
      }
    }
  }
  // Shrinking and odd sizes take the plain path and follow the same rule.
  const Picture small = ScaleNearest(src, 7, 3);
  EXPECT_EQ(small.at(6, 2), src.at(228, 326));  // 6 x 266 / 7 = 228, 2 x 490 / 3 = 326.67
  EXPECT_EQ(small.at(0, 0), src.at(0, 0));
}

TEST(RenderPreview, AnySkinRendersWithoutFault) {
  // Empty pictures, zero widths, wild positions: every screen still draws.
  Skin s;
  ResetSkinToDefaults(s);
  for (Picture& p : s.images) p = Picture();
  for (std::int32_t v : {INT32_MIN, -1, 0, 1, 100000, INT32_MAX}) {
    for (auto* r : {&s.startMenu.x, &s.startMenu.y, &s.startMenu.itemHeight, &s.startMenu.subMenuItemHeight,
                    &s.startMenu.submenuoffsetY, &s.startMenu.leftlogoupY, &s.startMenu.leftlogodownY,
                    &s.fileName.w, &s.fileName.x, &s.helpWindow.w, &s.helpWindow.h, &s.sysetMenu.x,
                    &s.cheatTitle.w, &s.logoInfo.y, &s.bigClock.x}) {
      *r = v;
    }
    for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
      const Picture p = RenderPreview(s, screen, 1.0f, kBlack);
      ASSERT_EQ(p.width, 266);
    }
  }
  ResetSkinToDefaults(s);
  s.image(ImageId::form_M) = Picture(0, 116);
  s.image(ImageId::clock_numbers) = Picture(24, 9, kWhite);
  s.image(ImageId::lamp) = Picture(22, 1, kWhite);
  s.startMenu.leftlogoupY = 100;
  s.startMenu.leftlogodownY = -100;
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) EXPECT_EQ(RenderPreview(s, screen, 1.0f, kBlack).height, 490);
}

}  // namespace
