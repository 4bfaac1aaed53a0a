#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "images/archive_writer.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "test_util.h"

namespace {

using testutil::Data;
using testutil::ReadFile;
using testutil::RecordingFeedback;
using testutil::TempDir;
using testutil::WriteFile;

const MessageTexts kTexts{"File not found", "Unknown file format", "File could not be saved", "No settings",
                          "picture empty", "cannot extract", "too large"};

struct FixedClock : Clock {
  DateTime Now() const override { return {2011, 2, 3, 4, 5, 6}; }
};

class SkinIoTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSkinToDefaults(skin); }
  SkinIoContext ctx() { return {feedback, kTexts}; }
  void Save(const std::string& folder, const Clock& clock = FixedClock()) {
    SkinIoContext c = ctx();
    SaveSkinFolder(skin, folder, {skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url}, clock, c);
  }
  void OpenFolder(const std::string& folder) {
    SkinIoContext c = ctx();
    OpenSkinFolder(skin, folder, c);
  }
  void OpenArchive(const std::string& path) {
    SkinIoContext c = ctx();
    OpenSkinArchive(skin, path, c);
  }
  static bool Clean15(const Picture& p) {
    for (const Rgb24& px : p.pixels) {
      if (px.r % 8 || px.g % 8 || px.b % 8) return false;
    }
    return true;
  }
  std::vector<int> FullProgress() {
    std::vector<int> v;
    for (int k = 1; k <= 53; ++k) v.push_back(k);
    v.push_back(0);
    return v;
  }

  static inline Skin skin;
  RecordingFeedback feedback;
};

TEST_F(SkinIoTest, BuiltInDefaultSkin) {
  // Sizes the firmware's own default pictures have.
  const std::pair<ImageId, std::pair<int, int>> sizes[] = {
      {ImageId::upper_screen, {256, 192}}, {ImageId::lower_screen, {256, 192}}, {ImageId::startbar, {256, 20}},
      {ImageId::noactivehotke, {9, 9}},    {ImageId::progress_bar, {102, 12}},  {ImageId::icon_nds, {32, 32}},
  };
  for (const auto& [id, size] : sizes) {
    EXPECT_EQ(skin.image(id).width, size.first) << CatalogueEntryOf(id).name;
    EXPECT_EQ(skin.image(id).height, size.second) << CatalogueEntryOf(id).name;
  }
  // Every picture as large as the catalogue says, and in 15-bit colour but
  // three (drawn with colours of their own); the key green marks what is
  // transparent in the keyed pictures.
  int clean = 0;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const Picture& p = skin.image(e.id);
    EXPECT_EQ(p.width, e.builtinWidth) << e.name;
    EXPECT_EQ(p.height, e.builtinHeight) << e.name;
    clean += Clean15(p) ? 1 : 0;
  }
  EXPECT_EQ(clean, 50);
  EXPECT_FALSE(Clean15(skin.image(ImageId::progress_bar)));
  EXPECT_NE(std::count(skin.image(ImageId::icon_nds).pixels.begin(), skin.image(ImageId::icon_nds).pixels.end(),
                       (Rgb24{0, 248, 0})),
            0);
  EXPECT_EQ(BuiltinPicture(BuiltinPictureId::SampleGameIcon).width, 32);
  EXPECT_EQ(BuiltinPicture(BuiltinPictureId::Hinge).width, 266);
  EXPECT_EQ(BuiltinPicture(BuiltinPictureId::Hinge).height, 86);
  EXPECT_EQ(BuiltinPicture(BuiltinPictureId::AboutBanner).width, 468);
  EXPECT_EQ(skin.colours.formFrameColor, (Rgb24{96, 0, 48}));
  EXPECT_EQ(skin.startMenu.itemHeight, 17);
}

TEST_F(SkinIoTest, LoadingOnePicture) {
  TempDir dir;
  const Picture before = skin.image(ImageId::lamp);
  SkinIoContext c = ctx();
  LoadSkinImageFile(skin, ImageId::lamp, dir / "lamp.bmp", c);
  EXPECT_EQ(feedback.messages, std::vector<std::string>{dir / "lamp.bmp" + " : File not found"});
  EXPECT_EQ(skin.image(ImageId::lamp), before);

  WriteFile(dir / "junk.png", "not a picture");
  LoadSkinImageFile(skin, ImageId::lamp, dir / "junk.png", c);
  EXPECT_EQ(feedback.messages.back(), dir / "junk.png" + ": Unknown file format");
  EXPECT_TRUE(skin.image(ImageId::lamp).empty());

  // Any size is kept; a 24-bit picture is diffused to 15 bits.
  Picture big = testutil::MakePicture(100, 100, 7);
  WriteFile(dir / "big.bmp", testutil::MakeBmp16(1, {{0x7FFF}}));
  LoadSkinImageFile(skin, ImageId::active, dir / "big.bmp", c);
  EXPECT_EQ(skin.image(ImageId::active).width, 1);
  LoadSkinImageFile(skin, ImageId::active, Data("images/card_rgb8.png"), c);
  EXPECT_EQ(skin.image(ImageId::active).width, 4);
  EXPECT_TRUE(Clean15(skin.image(ImageId::active)));
  EXPECT_EQ(feedback.messages.size(), 2u);
}

TEST_F(SkinIoTest, PicturesOverTheLimitsAreCalledTooLarge) {
  TempDir dir;
  std::string wide = testutil::MakeBmp16(1, {{0}});
  testutil::Put32(wide, 18, 20000);
  WriteFile(dir / "wide.bmp", wide);
  // A file over the size limit is not even read: a sparse one will do.
  WriteFile(dir / "huge.bmp", "BM");
  ASSERT_EQ(::truncate((dir / "huge.bmp").c_str(), static_cast<off_t>(kMaxPictureFileSize) + 1), 0);
  SkinIoContext c = ctx();
  for (const char* name : {"wide.bmp", "huge.bmp"}) {
    LoadSkinImageFile(skin, ImageId::lamp, dir / name, c);
    EXPECT_EQ(feedback.messages.back(), dir / name + ": too large");
    EXPECT_TRUE(skin.image(ImageId::lamp).empty());  // opening: a file without a picture empties it
  }
}

TEST_F(SkinIoTest, FolderFailures) {
  TempDir dir;
  skin.startMenu.itemHeight = 40;
  const auto pictures = skin.images;
  OpenFolder(dir.path());  // no settings file: one message, nothing changes, no progress
  EXPECT_EQ(feedback.messages.size(), 1u);
  EXPECT_EQ(feedback.messages[0], dir / "uisettings.ini" + " : No settings");
  EXPECT_TRUE(feedback.progress.empty());
  EXPECT_EQ(skin.startMenu.itemHeight, 40);

  // Settings but no pictures: 53 not-found messages, every picture kept.
  feedback.messages.clear();
  WriteFile(dir / "uisettings.ini", "[start menu]\r\nitemX=3\r\n");
  OpenFolder(dir.path());
  ASSERT_EQ(feedback.messages.size(), 53u);
  EXPECT_EQ(feedback.messages[0], dir / "active.bmp" + " : File not found");
  EXPECT_EQ(feedback.messages[52], dir / "icon/unk.bmp" + " : File not found");
  EXPECT_EQ(feedback.progress, FullProgress());
  EXPECT_EQ(skin.images, pictures);
  EXPECT_EQ(skin.startMenu.itemX, 3);
  EXPECT_EQ(skin.startMenu.itemHeight, 40);
}

TEST_F(SkinIoTest, SaveThenOpenGivesTheSameSkinAndSavesAreRepeatable) {
  TempDir a, b;
  skin.info.Title = "Round trip";
  skin.startMenu.itemHeight = -7;
  skin.colours.formBodyColor = {255, 128, 1};  // saved without the low bits
  Save(a.path());
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(feedback.progress, FullProgress());
  ASSERT_EQ(ReadFile(a / "active.bmp").size(), 54u + 6 * 12 + 2);
  EXPECT_EQ(ReadFile(a / "upper_screen.bmp").size(), 98360u);
  EXPECT_EQ(testutil::ListFolder(a.path()).size(), 44u);  // ini, 42 pictures, icon/ - no temporary files
  EXPECT_EQ(testutil::ListFolder(a / "icon").size(), 11u);

  ResetSkinToDefaults(skin);
  feedback.progress.clear();
  OpenFolder(a.path());
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(skin.info.Title, "Round trip");
  EXPECT_EQ(skin.startMenu.itemHeight, -7);
  EXPECT_EQ(skin.colours.formBodyColor, (Rgb24{248, 128, 0}));
  Save(b.path(), FixedClock());
  for (const CatalogueEntry& e : ImageCatalogue()) {
    EXPECT_EQ(ReadFile(a / std::string(e.file)), ReadFile(b / std::string(e.file))) << e.name;
  }
  EXPECT_EQ(ReadFile(a / "uisettings.ini"), ReadFile(b / "uisettings.ini"));
}

TEST_F(SkinIoTest, FolderNamesInAnotherLetterCase) {
  TempDir dir;
  WriteFile(dir / "UISettings.INI", "[start menu]\r\nitemX=9\r\n");
  ::mkdir((dir / "Icon").c_str(), 0777);
  WriteFile(dir / "Icon/NDS.bmp", testutil::MakeBmp16(2, {{0x001F, 0x7C00}}));
  WriteFile(dir / "LAMP.BMP", testutil::MakeBmp16(1, {{0x03E0}}));
  OpenFolder(dir.path());
  EXPECT_EQ(skin.startMenu.itemX, 9);
  EXPECT_EQ(skin.image(ImageId::icon_nds).pixels, (std::vector<Rgb24>{{0, 0, 248}, {248, 0, 0}}));
  EXPECT_EQ(skin.image(ImageId::lamp).pixels, (std::vector<Rgb24>{{0, 248, 0}}));
  EXPECT_EQ(feedback.messages.size(), 51u);
}

TEST_F(SkinIoTest, ASaveThatFailsAnywhereChangesNothing) {
  TempDir dir;
  Save(dir.path());
  const std::string savedBtn = ReadFile(dir / "btn.bmp");
  WriteFile(dir / "uisettings.ini", std::string(20000, 'x'));
  ::unlink((dir / "lamp.bmp").c_str());
  ::mkdir((dir / "lamp.bmp").c_str(), 0777);  // a folder where a picture goes
  WriteFile(dir / "cheatbg.bmp", "old content");
  skin.image(ImageId::cheatbg) = Picture();  // could not be decoded: not written
  skin.image(ImageId::btn) = Picture(2, 2, {8, 8, 8});
  const std::vector<std::string> before = testutil::ListFolder(dir.path());
  Save(dir.path());
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{dir / "cheatbg.bmp" + ": picture empty",
                                                         dir / "lamp.bmp" + ": File could not be saved",
                                                         dir.path() + ": "}));
  // The files before the failing one, and after it, are as they were, and
  // nothing was left beside them.
  EXPECT_EQ(ReadFile(dir / "cheatbg.bmp"), "old content");
  EXPECT_EQ(ReadFile(dir / "uisettings.ini"), std::string(20000, 'x'));
  EXPECT_EQ(ReadFile(dir / "btn.bmp"), savedBtn);
  EXPECT_EQ(testutil::ListFolder(dir.path()), before);

  // Once the way is clear, the same save writes everything.
  ::rmdir((dir / "lamp.bmp").c_str());
  feedback.messages.clear();
  Save(dir.path());
  EXPECT_EQ(feedback.messages, std::vector<std::string>{dir / "cheatbg.bmp" + ": picture empty"});
  EXPECT_EQ(ReadFile(dir / "uisettings.ini").substr(0, 12), "[SkinInfo]\r\n");
  EXPECT_NE(ReadFile(dir / "btn.bmp"), savedBtn);

  // A folder that does not exist: the first file fails, nothing is made.
  feedback.messages.clear();
  Save(dir / "missing");
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{dir / "missing/uisettings.ini" + ": File could not be saved",
                                                         dir / "missing/cheatbg.bmp: picture empty",
                                                         dir / "missing" + ": "}));
  struct stat st {};
  EXPECT_NE(::lstat((dir / "missing").c_str(), &st), 0);
}

TEST_F(SkinIoTest, StampsTellWhichFilesAnotherProgramChanged) {
  TempDir dir;
  Save(dir.path());
  ::unlink((dir / "cheatbg.bmp").c_str());
  const SkinStamps stamps = StampSkin(dir.path(), false);
  EXPECT_TRUE(ChangedOnDisk(stamps).empty());
  // Rewritten with the same size, replaced through a rename, made anew, removed.
  const std::string lamp = ReadFile(dir / "lamp.bmp");
  WriteFile(dir / "lamp.bmp", std::string(lamp.size(), 'x'));
  WriteFile(dir / "new-btn", ReadFile(dir / "btn.bmp"));
  ::rename((dir / "new-btn").c_str(), (dir / "btn.bmp").c_str());
  WriteFile(dir / "cheatbg.bmp", "made");
  ::unlink((dir / "icon/nds.bmp").c_str());
  std::vector<std::string> changed = ChangedOnDisk(stamps);
  std::sort(changed.begin(), changed.end());
  EXPECT_EQ(changed, (std::vector<std::string>{"btn.bmp", "cheatbg.bmp", "icon/nds.bmp", "lamp.bmp"}));
  // Read again, a file is known as it is now.
  SkinStamps again = stamps;
  RestampFile(again, "lamp.bmp");
  changed = ChangedOnDisk(again);
  EXPECT_EQ(std::count(changed.begin(), changed.end(), "lamp.bmp"), 0);
  EXPECT_EQ(changed.size(), 3u);
  const SkinStamps archive = StampSkin(Data("archives/python_top.zip"), true);
  EXPECT_TRUE(ChangedOnDisk(archive).empty());
  EXPECT_EQ(archive.files.size(), 1u);
}

TEST_F(SkinIoTest, ArchiveMadeByInfoZip) {
  OpenArchive(Data("archives/infozip_mixed.zip"));
  EXPECT_EQ(skin.info.Title, "Zipped");
  EXPECT_EQ(skin.startMenu.itemHeight, 21);
  // Stored lamp, deflated icon: decoded as they are, not reduced.
  EXPECT_EQ(skin.image(ImageId::lamp).width, 3);
  EXPECT_EQ(skin.image(ImageId::lamp).at(0, 0), (Rgb24{8, 16, 24}));
  EXPECT_EQ(skin.image(ImageId::icon_nds).at(1, 1), (Rgb24{255, 255, 255}));
  // A JPEG under a .bmp name keeps all its colours.
  EXPECT_EQ(skin.image(ImageId::cheatbg).width, 16);
  EXPECT_FALSE(Clean15(skin.image(ImageId::cheatbg)));
  EXPECT_EQ(feedback.messages.size(), 50u);
  EXPECT_EQ(feedback.messages[0], "MySkin\\active.bmp : File not found");
  EXPECT_EQ(feedback.progress, FullProgress());
}

TEST_F(SkinIoTest, ArchiveNamesCaseAndFirstSettingsEntry) {
  OpenArchive(Data("archives/python_backslash.zip"));
  EXPECT_EQ(skin.startMenu.itemHeight, 30);  // the first settings entry wins
  EXPECT_EQ(skin.image(ImageId::icon_nds).width, 5);  // "skin\ICON\NDS.BMP"
  EXPECT_EQ(skin.image(ImageId::lamp).width, 1);      // "Skin/lamp.bmp", not Other's
  EXPECT_EQ(skin.image(ImageId::lamp).at(0, 0), (Rgb24{255, 255, 255}));
  EXPECT_EQ(feedback.messages.size(), 51u);

  ResetSkinToDefaults(skin);
  feedback.messages.clear();
  OpenArchive(Data("archives/python_top.zip"));
  EXPECT_EQ(skin.image(ImageId::lamp).width, 2);
  EXPECT_EQ(feedback.messages[0], "active.bmp : File not found");

  // Settings in a folder, pictures at the top: 53 not found, no picture changes.
  ResetSkinToDefaults(skin);
  const auto pictures = skin.images;
  feedback.messages.clear();
  OpenArchive(Data("archives/python_split.zip"));
  EXPECT_EQ(feedback.messages.size(), 53u);
  EXPECT_EQ(feedback.messages[20], "deep\\lamp.bmp : File not found");
  EXPECT_EQ(skin.images, pictures);
}

TEST_F(SkinIoTest, BrokenArchives) {
  // Members that are there but fail to come out (too large, damaged) are
  // reported as such and leave the picture empty.
  const std::pair<const char*, const char*> members[] = {{"archives/bomb.zip", "lamp.bmp: too large"},
                                                         {"archives/bad_crc.zip", "lamp.bmp: cannot extract"},
                                                         {"archives/claims_60mb.zip", "lamp.bmp: cannot extract"}};
  for (const auto& [name, message] : members) {
    ResetSkinToDefaults(skin);
    feedback.messages.clear();
    OpenArchive(Data(name));
    EXPECT_EQ(skin.startMenu.itemHeight, 30) << name;
    EXPECT_TRUE(skin.image(ImageId::lamp).empty()) << name;
    EXPECT_EQ(std::count(feedback.messages.begin(), feedback.messages.end(), message), 1) << name;
  }
  // No readable settings: one message, nothing changes. A settings entry
  // that is there but encrypted is not called missing, nor is a file that
  // is there but no archive at all (cut short, or another kind of file):
  // it is damaged.
  const std::pair<const char*, std::string> cases[] = {
      {"archives/encrypted.zip", "MySkin\\UISettings.INI: cannot extract"},
      {"archives/truncated.zip", Data("archives/truncated.zip") + ": cannot extract"},
      {"archives/none.zip", Data("archives/none.zip") + " : No settings"},
      {"images/card_rgb8.png", Data("images/card_rgb8.png") + ": cannot extract"},
  };
  for (const auto& [name, message] : cases) {
    ResetSkinToDefaults(skin);
    feedback.messages.clear();
    feedback.progress.clear();
    OpenArchive(Data(name));
    EXPECT_EQ(feedback.messages, std::vector<std::string>{message}) << name;
    EXPECT_TRUE(feedback.progress.empty());
    EXPECT_EQ(skin.startMenu.itemHeight, 17);
  }
  // A whole archive that holds pictures but no settings file is a skin
  // without one, not a damaged archive.
  TempDir dir;
  WriteFile(dir / "pictures.zip",
            EncodeSkinArchive({{"lamp.bmp", EncodeBmp16(Picture(2, 2)), ImageId::lamp, false}}, "art", {2020, 1, 1}));
  ResetSkinToDefaults(skin);
  feedback.messages.clear();
  OpenArchive(dir / "pictures.zip");
  EXPECT_EQ(feedback.messages, std::vector<std::string>{dir / "pictures.zip" + " : No settings"});
}

}  // namespace

// Save writes back over an archive only when it holds nothing but the skin:
// a member named by nothing (an empty name) is another program's, and it
// would be lost.
TEST(ArchiveHoldsOnlySkinTest, EveryMemberMustBeTheSkins) {
  EXPECT_TRUE(ArchiveHoldsOnlySkin(Data("archives/python_top.zip")));
  EXPECT_FALSE(ArchiveHoldsOnlySkin(Data("archives/empty_name.zip")));
}

