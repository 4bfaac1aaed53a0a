#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "skin/schema.h"
#include "skin/settings_file.h"

namespace {

constexpr DateTime kStamp{2010, 6, 3, 9, 5, 7};

Skin DefaultSkin() {
  Skin skin;
  ResetSkinFieldsToDefaults(skin);
  return skin;
}

std::string Crlf(std::string_view lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Skin Read(std::string_view lfText, Skin skin = DefaultSkin()) {
  ReadSkinSettings(skin, Crlf(lfText));
  return skin;
}

TEST(SettingsWriter, DefaultSkinWritesTheKnownFileByteForByte) {
  Skin skin = DefaultSkin();
  const std::string bytes = WriteSkinSettings(skin, {}, kStamp);
  const std::string expected = Crlf(ReadFile(SKIN_TEST_DATA "/default_uisettings.txt"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(bytes, expected);

  std::size_t lines = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) lines += bytes[i] == '\r' && bytes[i + 1] == '\n';
  EXPECT_EQ(lines, 243u);
  EXPECT_EQ(bytes.substr(bytes.size() - 7), "[end]\r\n");
  EXPECT_NE(bytes.find("\r\n\r\n[global settings]\r\nformFrameColor=0x180c\r\n"), std::string::npos);
  EXPECT_EQ(skin.info.LastUpdate, "2010/06/03-09:05:07");
  EXPECT_EQ(skin.colours.formFrameColor, (Rgb24{96, 0, 48}));
}

TEST(SettingsWriter, TypedTextsAreStoredAndWrittenWholeWithoutLineBreaks) {
  Skin skin = DefaultSkin();
  const std::string longTitle(150000, 'T');
  TypedInfo typed{longTitle, "Ann\r\nEvil=1", "a@b.c", "http://x.y/\xE9\xFF"};
  const std::string bytes = WriteSkinSettings(skin, typed, {2026, 12, 31, 23, 59, 58});
  EXPECT_NE(bytes.find("Title=" + longTitle + "\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nAuthor=AnnEvil=1\r\neMail=a@b.c\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("Url=http://x.y/\xE9\xFF\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("LastUpdate=2026/12/31-23:59:58\r\n"), std::string::npos);
  EXPECT_EQ(skin.info.Author, "Ann\r\nEvil=1");  // the model keeps what was typed

  // Bytes 0x80..0xFF read from a file come back unchanged.
  Skin again = DefaultSkin();
  ReadSkinSettings(again, bytes);
  EXPECT_EQ(again.info.Url, "http://x.y/\xE9\xFF");
  EXPECT_EQ(again.info.Author, "AnnEvil");  // read only up to the second "="
  EXPECT_EQ(again.info.Title, longTitle);
}

TEST(SettingsReader, HeadersAndKeysIgnoreCaseAndSpaces) {
  Skin a = Read("[Start Button]\nX = 5\nY=6\n");
  EXPECT_EQ(a.startButton.x, 5);
  EXPECT_EQ(a.startButton.y, 6);
  Skin b = Read("[ start button ]\nx=7\n");
  EXPECT_EQ(b.startButton.x, 7);
  Skin c = Read("[START MENU]\nITEMHEIGHT=3\n");
  EXPECT_EQ(c.startMenu.itemHeight, 3);

  // The misspelt header is the close button; a later proper header overwrites it.
  Skin d = Read("[clsoe btn]\nx=10\n");
  EXPECT_EQ(d.closeBtn.x, 10);
  Skin e = Read("[clsoe btn]\nx=10\n[close btn]\nx=11\n");
  EXPECT_EQ(e.closeBtn.x, 11);

  // A tab at the start of a line is part of the key, which then matches nothing.
  Skin f = Read("[file name]\n\tx=9\n");
  EXPECT_EQ(f.fileName.x, 127);

  // A key given twice: the later line wins.
  Skin g = Read("[game name]\nx=1\nx=2\n");
  EXPECT_EQ(g.gameName.x, 2);
}

TEST(SettingsReader, NumberForms) {
  const auto x = [](std::string_view line) {
    return Read("[file name]\n" + std::string(line) + "\n").fileName.x;
  };
  EXPECT_EQ(x("x"), 0);  // no "=": empty value
  EXPECT_EQ(x("x=12abc"), 12);
  EXPECT_EQ(x("x=$10"), 16);
  EXPECT_EQ(x("x=$fF"), 255);
  EXPECT_EQ(x("x=%101"), 5);
  EXPECT_EQ(x("x= -5"), -5);
  EXPECT_EQ(x("x=\t+8"), 8);
  EXPECT_EQ(x("x=0x10"), 0);
  EXPECT_EQ(x("x=abc"), 0);
  EXPECT_EQ(x("x=3=4"), 3);
  EXPECT_EQ(x("x=4294967295"), -1);      // low 32 bits of a 64-bit sum
  EXPECT_EQ(x("x=2147483648"), INT32_MIN);
  EXPECT_EQ(x("x=-$80000000"), INT32_MIN);
  EXPECT_EQ(x("x=99999999999999999999999"), -159383553);  // wraps in 64 bits, keeps the low 32
}

TEST(SettingsReader, ColourLines) {
  Skin a = Read("[global settings]\nformFrameColor = 0x7f ff\nformBodyColor\n");
  EXPECT_EQ(a.colours.formFrameColor, (Rgb24{248, 248, 248}));
  EXPECT_EQ(a.colours.formBodyColor, (Rgb24{0, 0, 0}));  // matched without "=": black

  // The colour pass does not know [start menu]: its textColor line lands in
  // [start button]. A color line under any unknown header lands in the last
  // known section.
  Skin b = Read("[start button]\n[start menu]\ntextColor=0x001f\n");
  EXPECT_EQ(b.startButton.textColor, (Rgb24{248, 0, 0}));
  Skin c = Read("[time text]\n[cheat title]\ncolor=0x03e0\n");
  EXPECT_EQ(c.timeText.color, (Rgb24{0, 248, 0}));

  // The element pass does not know [global settings]: numbers after it still
  // belong to the record before.
  Skin d = Read("[logo info]\n[global settings]\nx=3\n");
  EXPECT_EQ(d.logoInfo.x, 3);
}

TEST(SettingsReader, LineEnds) {
  EXPECT_EQ(Read("[file name]\nx=5\n").fileName.x, 5);
  Skin lfOnly = DefaultSkin();
  ReadSkinSettings(lfOnly, "[file name]\nx=5\ny=6\n");
  EXPECT_EQ(lfOnly.fileName.x, 5);
  EXPECT_EQ(lfOnly.fileName.y, 6);

  // CR alone: the byte after each CR is lost, so "x=5" reads as "=5".
  Skin crOnly = DefaultSkin();
  ReadSkinSettings(crOnly, "[file name]\rx=5\ry=6\r");
  EXPECT_EQ(crOnly.fileName.x, 127);
  EXPECT_EQ(crOnly.fileName.y, 71);
  Skin crOnly2 = DefaultSkin();
  ReadSkinSettings(crOnly2, "[file name]\rQx=5\r");
  EXPECT_EQ(crOnly2.fileName.x, 5);

  // A last line without its line end is not read.
  Skin unterminated = DefaultSkin();
  ReadSkinSettings(unterminated, "[file name]\r\nx=5\r\ny=6");
  EXPECT_EQ(unterminated.fileName.x, 5);
  EXPECT_EQ(unterminated.fileName.y, 71);
}

TEST(SettingsReader, SectionsStartEndAndUnknownHeaders) {
  // After [end] nothing is set by the element pass.
  Skin a = Read("[file name]\nx=1\n[end]\nx=2\n[nonsense]\nx=3\n");
  EXPECT_EQ(a.fileName.x, 1);

  // An unknown header keeps the previous section.
  Skin b = Read("[file name]\n[whatever]\ny=4\n");
  EXPECT_EQ(b.fileName.y, 4);

  // A byte-order mark makes the first header unknown.
  Skin c = Read("\xEF\xBB\xBF[SkinInfo]\nTitle=T\nAuthor=A\n[file name]\nx=9\n");
  EXPECT_EQ(c.info.Title, "");
  EXPECT_EQ(c.info.Author, "");
  EXPECT_EQ(c.fileName.x, 9);

  // A line before any header matches nothing.
  EXPECT_EQ(Read("x=5\n").fileName.x, 127);
}

TEST(SettingsReader, FileHandleMenuPositionBecomesZeroWhenNotSet) {
  Skin empty = DefaultSkin();
  ReadSkinSettings(empty, "");
  EXPECT_EQ(empty.fileHandleMenu.x, 0);
  EXPECT_EQ(empty.fileHandleMenu.y, 0);
  EXPECT_EQ(empty.fileHandleMenu.w, 45);
  Skin other = DefaultSkin();
  other.fileName.x = 77;
  ReadSkinSettings(other, "");
  EXPECT_EQ(other.fileName.x, 77);

  Skin explicitMinusOne = Read("[file handle menu]\nx=-1\ny=12\n");
  EXPECT_EQ(explicitMinusOne.fileHandleMenu.x, 0);
  EXPECT_EQ(explicitMinusOne.fileHandleMenu.y, 12);
  EXPECT_EQ(Read("[file handle menu]\nx=-2\n").fileHandleMenu.x, -2);
}

TEST(SettingsReader, InformationTextsLoseOneLeadingSpacePerLine) {
  // Laid out as the writer lays it out: the lines after Title each take one
  // space, so two leading spaces are gone.
  Skin a = Read("[SkinInfo]\nTitle=  Two\nAuthor=\neMail=\nUrl=\nLastUpdate=\n\n[global settings]\n");
  EXPECT_EQ(a.info.Title, "Two");

  // The last line of the section, followed at once by a header the element
  // pass knows, loses only one.
  Skin b = Read("[SkinInfo]\nUrl=  site\n[file name]\n");
  EXPECT_EQ(b.info.Url, " site");

  // "[global settings]" is unknown to that pass, so it still counts.
  Skin c = Read("[SkinInfo]\nUrl=   site\n[global settings]\n[file name]\n");
  EXPECT_EQ(c.info.Url, " site");

  // A text holding "=" is read up to it.
  Skin d = Read("[SkinInfo]\nUrl=http://a/?b=c\n[file name]\n");
  EXPECT_EQ(d.info.Url, "http://a/?b");
  Skin e = Read("[SkinInfo]\nTitle\n[file name]\n", [] {
    Skin s = DefaultSkin();
    s.info.Title = "old";
    return s;
  }());
  EXPECT_EQ(e.info.Title, "");
}

TEST(SettingsReader, OpeningOverAnOpenSkinKeepsWhatTheFileLacks) {
  Skin skin = DefaultSkin();
  ReadSkinSettings(skin, Crlf("[start menu]\nitemHeight=25\n[global settings]\nformTextColor=0x001f\n"));
  ReadSkinSettings(skin, Crlf("[start menu]\nitemX=3\n"));
  EXPECT_EQ(skin.startMenu.itemHeight, 25);
  EXPECT_EQ(skin.startMenu.itemX, 3);
  EXPECT_EQ(skin.colours.formTextColor, (Rgb24{248, 0, 0}));

  // Only [SkinInfo]: every colour and number keeps its default.
  Skin info = Read("[SkinInfo]\nTitle=Hello\n[end]\n");
  Skin reference = DefaultSkin();
  reference.fileHandleMenu.x = reference.fileHandleMenu.y = 0;
  reference.info.Title = "Hello";
  EXPECT_EQ(WriteSkinSettings(info, {"Hello", "", "", ""}, kStamp), WriteSkinSettings(reference, {"Hello", "", "", ""}, kStamp));
}

TEST(SettingsFile, EveryValueSurvivesAWriteAndARead) {
  Skin skin = DefaultSkin();
  const std::int32_t values[] = {INT32_MIN, INT32_MAX, -1, 0, 255, -256, 1000000007};
  std::size_t i = 0;
  unsigned c = 1;
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& f : s.fields) {
      if (f.kind == FieldKind::Number) *f.number(skin) = values[i++ % std::size(values)];
      if (f.kind == FieldKind::Colour) *f.colour(skin) = Rgb15ToRgb24(static_cast<Rgb15>(c = (c * 7919 + 3) & 0x7fff));
    }
  }
  // -1 is the one value that does not come back: it reads as "not set" there.
  skin.fileHandleMenu.x = skin.fileHandleMenu.y = -2;
  TypedInfo typed{" lead", "x", "y", "z"};
  const std::string bytes = WriteSkinSettings(skin, typed, kStamp);
  Skin back = DefaultSkin();
  ReadSkinSettings(back, bytes);
  EXPECT_TRUE(WriteSkinSettings(back, typed, kStamp) == bytes);
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& f : s.fields) {
      if (f.kind == FieldKind::Number) {
        EXPECT_EQ(*f.number(back), *f.number(skin)) << s.name << f.key;
      } else if (f.kind == FieldKind::Colour) {
        EXPECT_EQ(*f.colour(back), *f.colour(skin)) << s.name << f.key;
      }
    }
  }
}

}  // namespace
