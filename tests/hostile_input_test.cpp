// What a skin made to hurt cannot do: pass the budgets, make the program
// wait on a pipe or read a device, or forge a line of output.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "check/check.h"
#include "check/problem_json.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "images/import_folder.h"
#include "images/skin_io.h"
#include "platform/archive.h"
#include "test_util.h"

namespace {

using testutil::MakeBmp16;
using testutil::RecordingFeedback;
using testutil::TempDir;
using testutil::WriteFile;

const MessageTexts kTexts = MessageTexts::BuiltIn();

struct FixedClock : Clock {
  DateTime Now() const override { return {2024, 5, 6, 7, 8, 9}; }
};

// A 16-bit BMP of `pixels` white pixels in one row.
std::string Row(int pixels) { return MakeBmp16(pixels, {std::vector<std::uint16_t>(std::size_t(pixels), 0x7FFF)}); }

class HostileInputTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSkinToDefaults(skin); }
  SkinIoContext Ctx(SkinBudget budget = {}) { return {feedback, kTexts, budget}; }
  // The default skin saved into `folder`, its files as a save writes them.
  std::vector<SkinFile> SaveDefaultSkin(const std::string& folder) {
    Skin fresh;
    ResetSkinToDefaults(fresh);
    std::vector<SkinFile> files = EncodeSkinFiles(fresh, TypedInfoOf(fresh), FixedClock().Now());
    SkinIoContext c = Ctx();
    WriteSkinFiles(files, folder, c, FileSync::NoFlush);
    feedback.messages.clear();
    feedback.progress.clear();
    return files;
  }
  static long long SkinPixels(const Skin& s) {
    long long n = 0;
    for (const Picture& p : s.images) n += static_cast<long long>(p.pixels.size());
    return n;
  }
  static inline Skin skin;
  RecordingFeedback feedback;
};

TEST_F(HostileInputTest, SettingsFileIsReadUpToItsLimit) {
  TempDir dir;
  std::vector<SkinFile> files = SaveDefaultSkin(dir.path());
  const std::string head = "[start menu]\r\nitemX=5\r\n;";
  const std::int32_t before = skin.startMenu.itemX;
  for (const std::size_t size : {kMaxSettingsFileSize, kMaxSettingsFileSize + 1}) {
    const bool read = size <= kMaxSettingsFileSize;
    const std::string settings = head + std::string(size - head.size(), 'x');
    // In a folder and in an archive alike.
    WriteFile(dir / "uisettings.ini", settings);
    files[0].bytes = settings;
    WriteFile(dir / "skin.zip", EncodeSkinArchive(files, "skin", FixedClock().Now()));
    for (const std::string& path : {dir.path(), dir / "skin.zip"}) {
      ResetSkinToDefaults(skin);
      feedback.messages.clear();
      feedback.progress.clear();
      SkinIoContext c = Ctx();
      if (path == dir.path()) OpenSkinFolder(skin, path, c);
      else OpenSkinArchive(skin, path, c);
      EXPECT_EQ(skin.startMenu.itemX, read ? 5 : before) << size << " " << path;
      if (read) {
        EXPECT_TRUE(feedback.messages.empty()) << path;
      } else {
        // Refused whole: the settings keep their values and no picture is read.
        const std::string shown = path == dir.path() ? dir / "uisettings.ini" : "skin\\uisettings.ini";
        EXPECT_EQ(feedback.messages, std::vector<std::string>{shown + ": " + kTexts.settingsTooLarge});
        EXPECT_TRUE(feedback.progress.empty());
      }
    }
  }
}

TEST_F(HostileInputTest, PicturesOfOneSkinStayWithinThePixelBudget) {
  TempDir dir;
  SaveDefaultSkin(dir.path());
  const long long others = SkinPixels(skin) - static_cast<long long>(skin.image(ImageId::lamp).pixels.size());
  const SkinBudget budget{others + 100, kMaxArchiveInflate};
  // Opening: a lamp of 100 pixels fits, one of 101 is refused and left
  // empty, and the open goes on with the pictures after it.
  for (const int pixels : {100, 101}) {
    ResetSkinToDefaults(skin);
    skin.image(ImageId::lamp) = Picture();  // what the skin holds counts until it is replaced
    WriteFile(dir / "lamp.bmp", Row(pixels));
    feedback.messages.clear();
    SkinIoContext c = Ctx(budget);
    OpenSkinFolder(skin, dir.path(), c);
    EXPECT_EQ(skin.image(ImageId::lamp).width, pixels == 100 ? 100 : 0);
    EXPECT_EQ(feedback.messages.size(), pixels == 100 ? 0u : 1u);
    EXPECT_FALSE(skin.image(ImageId::upper_screen).empty());
    EXPECT_LE(SkinPixels(skin), budget.pixels);
  }
  EXPECT_EQ(feedback.messages.back(), dir / "lamp.bmp" + ": " + kTexts.overBudget);

  // An import over the budget keeps the picture it would replace.
  ResetSkinToDefaults(skin);
  const Picture lamp = skin.image(ImageId::lamp);
  SkinIoContext c = Ctx(budget);
  EXPECT_FALSE(ImportSkinImageFile(skin, ImageId::lamp, dir / "lamp.bmp", c));
  EXPECT_EQ(skin.image(ImageId::lamp), lamp);

  // A folder import counts what it takes: of two pictures of 60 pixels in a
  // budget of 100, the first (in catalogue order) is taken.
  TempDir drawings;
  WriteFile(drawings / "lamp.bmp", Row(60));
  WriteFile(drawings / "active.bmp", Row(60));
  feedback.messages.clear();
  SkinIoContext small = Ctx({100, kMaxArchiveInflate});
  const FolderImport taken = ReadPictureFolder(drawings.path(), small, Skin());
  ASSERT_EQ(taken.pictures.size(), 1u);
  EXPECT_EQ(taken.pictures[0].image, ImageId::active);
  EXPECT_EQ(feedback.messages, std::vector<std::string>{drawings / "lamp.bmp" + ": " + kTexts.overBudget});
}

TEST_F(HostileInputTest, AnArchiveOpenInflatesWithinItsBudget) {
  TempDir dir;
  Skin fresh;
  ResetSkinToDefaults(fresh);
  const std::vector<SkinFile> files = EncodeSkinFiles(fresh, TypedInfoOf(fresh), FixedClock().Now());
  WriteFile(dir / "skin.zip", EncodeSkinArchive(files, "skin", FixedClock().Now()));
  // Room for the settings and the first two pictures (and the heads of the
  // rest): the third picture is refused, and every one after it.
  const std::uint64_t room = files[0].bytes.size() + files[1].bytes.size() + files[2].bytes.size() + 64 * 3;
  SkinIoContext c = Ctx({kMaxSkinPixels, room});
  OpenSkinArchive(skin, dir / "skin.zip", c);
  EXPECT_FALSE(skin.image(ImageId::active).empty());
  EXPECT_FALSE(skin.image(ImageId::activehotkey).empty());
  EXPECT_TRUE(skin.image(ImageId::brightness).empty());
  EXPECT_TRUE(skin.image(ImageId::icon_unk).empty());
  ASSERT_FALSE(feedback.messages.empty());
  EXPECT_EQ(feedback.messages[0], "skin\\brightness.bmp: " + kTexts.overBudget);
}

TEST_F(HostileInputTest, OnlyRegularFilesAreReadAndNothingWaits) {
  TempDir dir;
  SaveDefaultSkin(dir.path());
  ::mkdir((dir / "elsewhere").c_str(), 0777);
  // Each kind of file that is no file, in a picture's place and in the
  // settings file's place: refused at once (a pipe would block an open for
  // ever, /dev/zero never ends), named in the message.
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> kinds = {
      {"pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0); }},
      {"device", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }},
      {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0777), 0); }},
  };
  for (const auto& [kind, make] : kinds) {
    for (const std::string file : {"lamp.bmp", "uisettings.ini"}) {
      const std::string path = dir / file;
      ::rename(path.c_str(), (dir / "elsewhere/saved").c_str());
      make(path);
      std::string bytes;
      EXPECT_EQ(ReadWholeFile(path, bytes, 1 << 20), ReadStatus::NotRegular) << kind;
      EXPECT_EQ(ReadFileHead(path, bytes, 64), ReadStatus::NotRegular) << kind;
      EXPECT_EQ(SkinArchive::Open(path), nullptr) << kind;

      ResetSkinToDefaults(skin);
      const Picture lamp = skin.image(ImageId::lamp);
      feedback.messages.clear();
      SkinIoContext c = Ctx();
      OpenSkinFolder(skin, dir.path(), c);
      EXPECT_EQ(feedback.messages, std::vector<std::string>{path + ": " + kTexts.notAFile}) << kind;
      EXPECT_EQ(skin.image(ImageId::lamp), lamp) << kind;
      const SkinSource source = ReadSkinSource(dir.path());
      EXPECT_EQ(source.settingsFound, file != "uisettings.ini") << kind;
      EXPECT_FALSE(source.pictureFound[std::size_t(ImageId::lamp)] && file == "lamp.bmp") << kind;

      std::system(("rm -rf '" + path + "'").c_str());
      ::rename((dir / "elsewhere/saved").c_str(), path.c_str());
    }
  }
  // A file that is there but may not be read is not called missing (root
  // may read anything, so this is only seen as a user).
  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod((dir / "lamp.bmp").c_str(), 0), 0);
    feedback.messages.clear();
    SkinIoContext c = Ctx();
    OpenSkinFolder(skin, dir.path(), c);
    EXPECT_EQ(feedback.messages, std::vector<std::string>{dir / "lamp.bmp" + ": " + kTexts.cannotRead});
  }
}

TEST_F(HostileInputTest, NamesAreShownEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain name.bmp", "plain name.bmp"},
      {"a\nerror missing-settings x", "a\\nerror missing-settings x"},
      {"\x1b[31mred\r\t\x7f", "\\x1B[31mred\\r\\t\\x7F"},
      {"caf\xC3\xA9 \xE6\xAA\x94 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE6\xAA\x94 \xF0\x9F\x98\x80"},  // valid UTF-8 stays
      {"\xC2\x9B" "2J", "\\xC2\\x9B2J"},                         // a C1 control (CSI)
      {"\xC2\x9F\xC2\xA0", "\\xC2\\x9F\xC2\xA0"},                // the last C1 control; no-break space stays
      {"\xE0\x80\x80", "\\xE0\\x80\\x80"},                       // overlong
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},                       // a surrogate
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},              // above U+10FFFF
      {"caf\xE9", "caf\\xE9"},                                   // Latin-1
      {"\xE6\xAA", "\\xE6\\xAA"},                                // cut short
      // Line separators and bidirectional controls, and their neighbours that stay.
      {"a\xE2\x80\xA8" "b\xE2\x80\xA9", "a\\xE2\\x80\\xA8b\\xE2\\x80\\xA9"},
      {"\xE2\x80\xAE" "gnp.bmp\xE2\x80\xAA", "\\xE2\\x80\\xAEgnp.bmp\\xE2\\x80\\xAA"},
      {"\xE2\x81\xA6" "x\xE2\x81\xA9\xE2\x80\x8E\xE2\x80\x8F\xD8\x9C",
       "\\xE2\\x81\\xA6x\\xE2\\x81\\xA9\\xE2\\x80\\x8E\\xE2\\x80\\x8F\\xD8\\x9C"},
      {"\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xE2\x80\x8D\xD8\x9B",
       "\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xE2\x80\x8D\xD8\x9B"},
  };
  for (const auto& [raw, shown] : cases) {
    EXPECT_EQ(PrintableText(raw), shown);
    EXPECT_EQ(PrintableText(shown), shown);  // escaping twice changes nothing
    const Message m{MessageKind::UnknownFormat, "/skins/" + raw, ImageId::lamp};
    EXPECT_EQ(FormatMessage(m, kTexts), "/skins/" + shown + ": " + kTexts.fileUnknown);
    const Problem p = *ProblemFromMessage(m);
    EXPECT_EQ(p.message.find_first_of("\n\r\x1b"), std::string::npos);
  }
  EXPECT_EQ(PrintableText("caf\xC3\xA9", /*escapeHigh=*/true), "caf\\xC3\\xA9");
}

// A strict UTF-8 decoder written apart from the program's: code point by
// code point, refusing the shortest form's violations, surrogates and
// anything past U+10FFFF.
bool IsStrictUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + std::size_t(n) > s.size()) return false;
    std::uint32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + std::size_t(k)]);
      if ((t >> 6) != 2) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += std::size_t(n);
  }
  return true;
}

TEST_F(HostileInputTest, CheckJsonIsStrictUtf8) {
  std::vector<Problem> problems;
  for (const char* raw : {"\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0\xAF", "\xFF", "caf\xE9",
                          "\xE6\xAA", "a\"b\\c\n\x1b", "caf\xC3\xA9", "\x1f \x7f"}) {
    Problem p;  // subject and message raw, as no problem of the check holds them
    p.subject = raw;
    p.message = raw;
    problems.push_back(p);
  }
  const std::string json = ProblemsJson(problems);
  EXPECT_TRUE(IsStrictUtf8(json)) << json;
  EXPECT_NE(json.find("\"caf\\u00e9\""), std::string::npos);      // a stray byte is its Latin-1 character
  EXPECT_NE(json.find("\"caf\xC3\xA9\""), std::string::npos);      // valid UTF-8 passes
  EXPECT_NE(json.find("\"a\\\"b\\\\c\\u000a\\u001b\""), std::string::npos);
  EXPECT_NE(json.find("\"\\u001f \\u007f\""), std::string::npos);  // the edges of the controls
  EXPECT_TRUE(IsStrictUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));      // the decoder itself
  EXPECT_FALSE(IsStrictUtf8("\xED\xA0\x80"));
}

TEST_F(HostileInputTest, WhatEachMessageBecomesInTheCheck) {
  struct Case {
    MessageKind kind;
    std::optional<ImageId> image;
    ProblemCode code;
    ProblemText text;
  };
  const Case cases[] = {
      {MessageKind::SettingsMissing, {}, ProblemCode::MissingSettings, ProblemText::MissingSettings},
      {MessageKind::SettingsTooLarge, {}, ProblemCode::UnreadableSettings, ProblemText::SettingsTooLarge},
      {MessageKind::CannotExtract, {}, ProblemCode::UnreadableSettings, ProblemText::UnreadableSettings},
      {MessageKind::CannotRead, {}, ProblemCode::UnreadableSettings, ProblemText::UnreadableSettings},
      {MessageKind::NotAFile, {}, ProblemCode::UnreadableSettings, ProblemText::UnreadableSettings},
      {MessageKind::FileNotFound, ImageId::lamp, ProblemCode::MissingPicture, ProblemText::MissingPicture},
      {MessageKind::CannotRead, ImageId::lamp, ProblemCode::UnreadablePicture, ProblemText::PictureNoAccess},
      {MessageKind::NotAFile, ImageId::lamp, ProblemCode::UnreadablePicture, ProblemText::PictureNoAccess},
      {MessageKind::CannotExtract, ImageId::lamp, ProblemCode::UnreadablePicture, ProblemText::UnreadablePicture},
      {MessageKind::TooLarge, ImageId::lamp, ProblemCode::UnreadablePicture, ProblemText::PictureTooLarge},
      {MessageKind::OverBudget, ImageId::lamp, ProblemCode::UnreadablePicture, ProblemText::PictureOverBudget},
  };
  for (const Case& c : cases) {
    const std::optional<Problem> p = ProblemFromMessage({c.kind, "x", c.image});
    ASSERT_TRUE(p) << int(c.kind);
    EXPECT_EQ(p->code, c.code) << int(c.kind);
    EXPECT_EQ(p->text, c.text) << int(c.kind);
    EXPECT_EQ(p->severity, Severity::Error);
    EXPECT_EQ(p->subject, c.image ? "lamp" : "uisettings.ini");
  }
  for (const MessageKind saving : {MessageKind::NotSaved, MessageKind::PictureEmpty, MessageKind::NotReplacedWhole}) {
    EXPECT_FALSE(ProblemFromMessage({saving, "x", ImageId::lamp}));
  }
}

TEST_F(HostileInputTest, AtMostAHundredProblemsOfOneCode) {
  for (const std::size_t found : {std::size_t(100), std::size_t(101), std::size_t(5000)}) {
    std::vector<Problem> problems;
    problems.push_back(MakeProblem(ProblemCode::OffScreen, ProblemText::OffScreen, ProblemSubject::Section("[first]"), {}));
    for (std::size_t i = 0; i < found; ++i) {
      problems.push_back(MakeProblem(ProblemCode::SettingsUnknownKey, ProblemText::SettingsUnknownKey,
                                     ProblemSubject::Field("", "k" + std::to_string(i)), {}));
    }
    problems.push_back(MakeProblem(ProblemCode::OffScreen, ProblemText::OffScreen, ProblemSubject::Section("[last]"), {}));
    const std::vector<Problem> shown = LimitPerCode(problems, 100);
    const bool more = found > 100;
    ASSERT_EQ(shown.size(), 102u + (more ? 1 : 0)) << found;
    EXPECT_EQ(shown[100].subject, "k99");
    EXPECT_EQ(shown.back().subject, "[last]");
    if (more) {
      EXPECT_EQ(shown[101].code, ProblemCode::SettingsUnknownKey);
      EXPECT_EQ(shown[101].message, std::to_string(found - 100) + " more problems of this kind are not listed");
    }
  }
}

}  // namespace
