#include <gtest/gtest.h>

#include <minizip/unzip.h>

#include "images/archive_writer.h"
#include "images/defaults.h"
#include "platform/archive.h"
#include "test_util.h"

namespace {

using testutil::Data;
using testutil::ReadFile;
using testutil::RecordingFeedback;
using testutil::TempDir;

struct FixedClock : Clock {
  DateTime now;
  explicit FixedClock(DateTime t) : now(t) {}
  DateTime Now() const override { return now; }
};

const MessageTexts kTexts = MessageTexts::BuiltIn();

class ArchiveWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSkinToDefaults(skin);
    // Something of everything: a text, a colour, a number, an imported picture.
    skin.info.Title = "Night Orchard";
    skin.colours.formBodyColor = {8, 16, 24};
    skin.startMenu.itemHeight = 19;
    SkinIoContext ctx{feedback, kTexts};
    LoadSkinImageFile(skin, ImageId::startbar, Data("images/card_rgb8.png"), ctx);
  }
  std::string Save(const std::string& path, const DateTime& when = {2021, 7, 8, 9, 10, 11}) {
    SkinIoContext ctx{feedback, kTexts};
    SaveSkinArchive(skin, path, {skin.info.Title, "", "", ""}, FixedClock(when), ctx);
    return ReadFile(path);
  }
  static inline Skin skin, reopened;
  RecordingFeedback feedback;
};

TEST_F(ArchiveWriterTest, TwoExportsAreTheSameBytesAndOpenBackToTheSameSkin) {
  TempDir a, b;
  const std::string first = Save(a / "Night.zip");
  const std::string second = Save(b / "Night.zip");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, second);
  EXPECT_TRUE(feedback.messages.empty());

  // The members: one folder named after the archive, the folder save's order.
  std::unique_ptr<SkinArchive> archive = SkinArchive::Open(a / "Night.zip");
  ASSERT_TRUE(archive);
  ASSERT_EQ(archive->entries().size(), kImageCount + 1);
  EXPECT_EQ(archive->entries()[0].name, "Night\\uisettings.ini");
  for (const CatalogueEntry& e : ImageCatalogue()) {
    std::string expected = "Night\\" + std::string(e.file);
    for (char& c : expected) c = c == '/' ? '\\' : c;
    EXPECT_EQ(archive->entries()[static_cast<std::size_t>(e.id) + 1].name, expected);
  }

  // Opened again, the skin saves to the same files, byte for byte.
  ResetSkinToDefaults(reopened);
  SkinIoContext ctx{feedback, kTexts};
  OpenSkinArchive(reopened, a / "Night.zip", ctx);
  EXPECT_TRUE(feedback.messages.empty());
  const DateTime t{2021, 7, 8, 9, 10, 11};
  const std::vector<SkinFile> original = EncodeSkinFiles(skin, {skin.info.Title, "", "", ""}, t);
  const std::vector<SkinFile> again = EncodeSkinFiles(reopened, {reopened.info.Title, "", "", ""}, t);
  ASSERT_EQ(original.size(), again.size());
  for (std::size_t i = 0; i < original.size(); ++i) EXPECT_EQ(original[i].bytes, again[i].bytes) << original[i].path;
}

TEST_F(ArchiveWriterTest, EntriesAreDatedWithLastUpdateAndOldDatesBecome1980) {
  TempDir dir;
  for (const auto& [when, dosDate] : {std::pair{DateTime{2021, 7, 8, 9, 10, 11}, (41u << 25) | (7u << 21) | (8u << 16) |
                                                                                      (9u << 11) | (10u << 5) | 5u},
                                      std::pair{DateTime{1970, 1, 1, 0, 0, 0}, (1u << 21) | (1u << 16)}}) {
    Save(dir / "s.zip", when);
    unzFile zip = unzOpen64((dir / "s.zip").c_str());
    ASSERT_TRUE(zip);
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
      unz_file_info64 info{};
      ASSERT_EQ(unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0), UNZ_OK);
      EXPECT_EQ(info.dosDate, dosDate);
      EXPECT_EQ(info.compression_method, unsigned(Z_DEFLATED));
    }
    unzClose(zip);
  }
}

TEST_F(ArchiveWriterTest, FailuresAreReportedAndEmptyPicturesLeftOut) {
  TempDir dir;
  const std::string folderInTheWay = dir / "taken.zip";
  ASSERT_EQ(::mkdir(folderInTheWay.c_str(), 0777), 0);
  Save(folderInTheWay);
  ASSERT_EQ(feedback.messages.size(), 1u);
  EXPECT_EQ(feedback.messages[0], folderInTheWay + ": " + kTexts.fileNotSaved);

  feedback.messages.clear();
  skin.image(ImageId::lamp) = Picture();
  Save(dir / "skin.zip");
  ASSERT_EQ(feedback.messages.size(), 1u);
  EXPECT_EQ(feedback.messages[0], "skin/lamp.bmp: " + kTexts.pictureEmpty);
  std::unique_ptr<SkinArchive> archive = SkinArchive::Open(dir / "skin.zip");
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->entries().size(), kImageCount);
  EXPECT_FALSE(archive->Find("skin\\lamp.bmp"));
}

TEST_F(ArchiveWriterTest, TheFolderNameCannotClimbOutOrForgeALine) {
  const std::pair<const char*, const char*> cases[] = {
      {"/a/b.c/My Skin.ZIP", "My Skin"}, {"../x.zip", "x"},       {"...zip", "skin"},  {"..zip", "skin"},
      {".zip", "skin"},                  {"a..b.zip", "a.b"},     {"a\\b.zip", "a_b"}, {"a\nb\x1b[1m.zip", "a_b_[1m"},
      {"plain", "plain"},                {"/tmp/....zip", "skin"}, {"a\x7f\x1f b.zip", "a__ b"},
      // Direction controls, separators and C1 controls go whole; other letters stay.
      {"\xE2\x80\xAEpiz.exe.zip", "_piz.exe"}, {"a\xE2\x80\xA8" "b\xC2\x85" "c.zip", "a_b_c"}, {"Caf\xC3\xA9.zip", "Caf\xC3\xA9"},
      {"\xD8\x9Cx\xE2\x81\xA6.zip", "_x_"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(ArchiveFolderName(path), folder) << path;
}

TEST_F(ArchiveWriterTest, AnArchiveIsReplacedWholeOrNotAtAll) {
  TempDir dir;
  // A second hard link: a rename would part them, writing in place could
  // leave a damaged archive behind. Nothing is written.
  testutil::WriteFile(dir / "shared.zip", "old archive");
  ASSERT_EQ(::link((dir / "shared.zip").c_str(), (dir / "other-name.zip").c_str()), 0);
  Save(dir / "shared.zip");
  ASSERT_EQ(feedback.messages.size(), 1u);
  EXPECT_EQ(feedback.messages[0], dir / "shared.zip" + ": " + kTexts.notReplacedWhole);
  EXPECT_EQ(ReadFile(dir / "shared.zip"), "old archive");
  EXPECT_EQ(ReadFile(dir / "other-name.zip"), "old archive");

  // What a killed export left beside it goes with the next one; the files
  // of a process that still runs, and names that only look alike, stay.
  feedback.messages.clear();
  const std::string mine = "a.zip.~" + std::to_string(::getpid()) + "-3";
  for (const std::string name : {"a.zip.~999999999-0", "b.bmp.~999999998-12", mine.c_str(), "c.~x-1", "d.~5-"}) {
    testutil::WriteFile(dir / name, "left over");
  }
  Save(dir / "a.zip");
  EXPECT_TRUE(feedback.messages.empty());
  std::vector<std::string> left = testutil::ListFolder(dir.path());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a.zip", mine, "c.~x-1", "d.~5-", "other-name.zip", "shared.zip"}));
}

TEST_F(ArchiveWriterTest, NamesOutsideAsciiAreMarkedAsUtf8) {
  TempDir dir;
  // General purpose bit 11 of every local and central header, by the folder's name.
  const std::pair<std::string, bool> cases[] = {
      {"Plain.zip", false}, {"Caf\xC3\xA9 Noir.zip", true}, {"\xE6\x9C\x88.zip", true}, {"Latin\xE9.zip", false}};
  for (const auto& [name, marked] : cases) {
    const std::string bytes = Save(dir / name);
    ASSERT_FALSE(bytes.empty()) << name;
    int headers = 0;
    for (const std::string sig : {std::string("PK\3\4"), std::string("PK\1\2")}) {
      const std::size_t flagsAt = sig[2] == 3 ? 6 : 8;
      for (std::size_t at = bytes.find(sig); at != std::string::npos; at = bytes.find(sig, at + 1)) {
        const unsigned flags = static_cast<unsigned char>(bytes[at + flagsAt]) |
                               static_cast<unsigned char>(bytes[at + flagsAt + 1]) << 8;
        EXPECT_EQ((flags & 0x800) != 0, marked) << name;
        ++headers;
      }
    }
    EXPECT_EQ(headers, 2 * int(kImageCount + 1)) << name;
  }
}

TEST_F(ArchiveWriterTest, WritingBackIntoItsArchiveLosesNoMember) {
  TempDir dir;
  std::vector<SkinFile> files = EncodeSkinFiles(skin, TypedInfoOf(skin), {2021, 1, 1, 0, 0, 0});
  const std::string gif = "GIF89a\1\0\1\0\200\0\0\0\0\0\377\377\377!\371\4\1\0\0\0\0,\0\0\0\0";
  const std::size_t startbar = 1 + std::size_t(ImageId::startbar);
  files[startbar].bytes = gif;  // a picture the editor could not read
  testutil::WriteFile(dir / "mine.zip", EncodeSkinArchive(files, "Mine", {2021, 1, 1, 0, 0, 0}));
  std::vector<SkinFile> extra = files;
  extra.push_back({"README.txt", "added by another program", std::nullopt, false});
  testutil::WriteFile(dir / "more.zip", EncodeSkinArchive(extra, "Mine", {2021, 1, 1, 0, 0, 0}));

  // What a save has for the unreadable picture: nothing. The archive keeps
  // its bytes.
  std::vector<SkinFile> saving = files;
  saving[startbar] = {files[startbar].path, "", ImageId::startbar, true};
  ArchiveResave resave = PrepareArchiveResave(saving, dir / "mine.zip");
  EXPECT_TRUE(resave.possible());
  EXPECT_EQ(resave.folder, "Mine");
  EXPECT_EQ(saving[startbar].bytes, gif);
  EXPECT_TRUE(saving[startbar].carried);
  EXPECT_FALSE(saving[startbar].empty);

  // An archive that holds more than the skin now is not written back whole.
  saving[startbar] = {files[startbar].path, "", ImageId::startbar, true};
  resave = PrepareArchiveResave(saving, dir / "more.zip");
  EXPECT_TRUE(resave.skinFound);
  EXPECT_FALSE(resave.holdsOnlySkin);
  EXPECT_FALSE(resave.possible());

  // A member that cannot even be read as bytes is named as lost.
  std::vector<SkinFile> damaged(1 + kImageCount);
  damaged[1 + std::size_t(ImageId::lamp)] = {"lamp.bmp", "", ImageId::lamp, true};
  resave = PrepareArchiveResave(damaged, Data("archives/bad_crc.zip"));
  EXPECT_TRUE(resave.holdsOnlySkin);
  EXPECT_EQ(resave.lost, std::vector<std::string>{"lamp.bmp"});
  EXPECT_FALSE(resave.possible());
  EXPECT_FALSE(PrepareArchiveResave(saving, dir / "none.zip").skinFound);
}

}  // namespace
