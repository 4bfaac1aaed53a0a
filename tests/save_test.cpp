// Saving over a skin folder that already exists: the files there keep their
// links, modes, owners, hard links and names, and only their bytes change.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <functional>

#include "images/defaults.h"
#include "images/skin_io.h"
#include "test_util.h"

namespace {

using testutil::ReadFile;
using testutil::RecordingFeedback;
using testutil::TempDir;
using testutil::WriteFile;

const MessageTexts kTexts = MessageTexts::BuiltIn();

struct FixedClock : Clock {
  DateTime Now() const override { return {2012, 3, 4, 5, 6, 7}; }
};

struct stat Lstat(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSkinToDefaults(skin);
    // The folder holds an older save of another skin.
    skin.info.Title = "Old";
    skin.image(ImageId::lamp) = Picture(2, 2, {8, 8, 8});
    Save(dir / "skin");
    skin.info.Title = "New";
    skin.image(ImageId::lamp) = Picture(3, 1, {248, 0, 0});
    skin.image(ImageId::btn) = Picture(1, 1, {0, 0, 248});
    skin.image(ImageId::icon_nds) = Picture(1, 2, {0, 248, 0});
  }
  void Save(const std::string& folder, OutsideLinks links = OutsideLinks::Refuse) {
    ::mkdir(folder.c_str(), 0777);
    SkinIoContext ctx{feedback, kTexts};
    SaveSkinFolder(skin, folder, {skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url}, FixedClock(),
                   ctx, links);
  }
  // The bytes a save writes for `file`.
  std::string Expected(std::string_view file) {
    for (const SkinFile& f :
         EncodeSkinFiles(skin, {skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url}, FixedClock().Now())) {
      if (f.path == file) return f.bytes;
    }
    return {};
  }
  std::string Path(const std::string& rel) { return dir / ("skin/" + rel); }

  static inline Skin skin;
  TempDir dir;
  RecordingFeedback feedback;
};

TEST_F(SaveTest, LinksModesOwnersAndHardLinksStay) {
  const bool root = ::geteuid() == 0;
  ::mkdir((dir / "shared").c_str(), 0777);
  // A settings file shared through a relative link, a link to a file not made yet.
  ::rename(Path("uisettings.ini").c_str(), (dir / "shared/uisettings.ini").c_str());
  ASSERT_EQ(::symlink("../shared/uisettings.ini", Path("uisettings.ini").c_str()), 0);
  ::unlink(Path("lamp.bmp").c_str());
  ASSERT_EQ(::symlink((dir / "shared/lamp.bmp").c_str(), Path("lamp.bmp").c_str()), 0);
  ::chmod(Path("active.bmp").c_str(), 0600);
  ASSERT_EQ(::link(Path("btn.bmp").c_str(), (dir / "shared/btn.bmp").c_str()), 0);
  if (root) {
    ASSERT_EQ(::chown(Path("icon/nds.bmp").c_str(), 65534, 65534), 0);
  }
  const ino_t btnInode = Lstat(Path("btn.bmp")).st_ino;

  // Two links lead out of the skin's folder: unless the user agrees, nothing
  // at all is written, and the two are named.
  const std::string oldSettings = ReadFile(dir / "shared/uisettings.ini");
  const std::string oldActive = ReadFile(Path("active.bmp"));
  Save(dir / "skin");
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{Path("uisettings.ini") + ": " + kTexts.linkOutside,
                                                         dir / "skin" + ": " + kTexts.saveAbandoned}));
  EXPECT_EQ(ReadFile(dir / "shared/uisettings.ini"), oldSettings);
  EXPECT_EQ(ReadFile(Path("active.bmp")), oldActive);
  EXPECT_EQ(LinksLeavingFolder(SavedFileNames(skin), dir / "skin"),
            (std::vector<std::string>{"uisettings.ini", "lamp.bmp"}));

  feedback.messages.clear();
  Save(dir / "skin", OutsideLinks::Follow);
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_TRUE(S_ISLNK(Lstat(Path("uisettings.ini")).st_mode));
  EXPECT_NE(ReadFile(dir / "shared/uisettings.ini").find("Title=New"), std::string::npos);
  EXPECT_TRUE(S_ISLNK(Lstat(Path("lamp.bmp")).st_mode));
  EXPECT_EQ(ReadFile(dir / "shared/lamp.bmp"), Expected("lamp.bmp"));
  EXPECT_EQ(Lstat(Path("active.bmp")).st_mode & 07777, 0600u);
  EXPECT_EQ(ReadFile(Path("active.bmp")), Expected("active.bmp"));
  EXPECT_EQ(Lstat(Path("btn.bmp")).st_ino, btnInode);
  EXPECT_EQ(ReadFile(dir / "shared/btn.bmp"), Expected("btn.bmp"));
  EXPECT_EQ(ReadFile(Path("icon/nds.bmp")), Expected("icon/nds.bmp"));
  if (root) {
    EXPECT_EQ(Lstat(Path("icon/nds.bmp")).st_uid, 65534u);
    EXPECT_EQ(Lstat(Path("icon/nds.bmp")).st_gid, 65534u);
  }
  EXPECT_EQ(testutil::ListFolder(dir / "skin").size(), 44u);  // no temporary file left behind
  EXPECT_EQ(testutil::ListFolder(dir / "shared").size(), 3u);
}

TEST_F(SaveTest, NamesInAnotherLetterCaseAreWrittenUnderThatName) {
  // As copied from a card that ignores case: upper-case names, and two
  // spellings of one picture where the first in byte order is the one used.
  for (const char* name : {"btn.bmp", "lamp.bmp", "uisettings.ini"}) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    ::rename(Path(name).c_str(), Path(upper).c_str());
  }
  ::rename(Path("icon").c_str(), Path("ICON").c_str());
  ::rename(Path("ICON/nds.bmp").c_str(), Path("ICON/NDS.BMP").c_str());
  WriteFile(Path("Lamp.bmp"), "not the one");

  Save(dir / "skin");
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(testutil::ListFolder(dir / "skin").size(), 45u);  // nothing new beside the 44 and Lamp.bmp
  EXPECT_EQ(testutil::ListFolder(Path("ICON")).size(), 11u);
  EXPECT_EQ(ReadFile(Path("BTN.BMP")), Expected("btn.bmp"));
  EXPECT_EQ(ReadFile(Path("LAMP.BMP")), Expected("lamp.bmp"));
  EXPECT_EQ(ReadFile(Path("Lamp.bmp")), "not the one");
  EXPECT_EQ(ReadFile(Path("ICON/NDS.BMP")), Expected("icon/nds.bmp"));
  EXPECT_NE(ReadFile(Path("UISETTINGS.INI")).find("Title=New"), std::string::npos);

  // Opening reads from the very files the save wrote.
  const Skin saved = skin;
  ResetSkinToDefaults(skin);
  SkinIoContext ctx{feedback, kTexts};
  OpenSkinFolder(skin, dir / "skin", ctx);
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(skin.image(ImageId::lamp), saved.image(ImageId::lamp));
  EXPECT_EQ(skin.image(ImageId::icon_nds), saved.image(ImageId::icon_nds));
}

// Runs `save` as an unprivileged user: in a child that drops root for
// "nobody", or right here when the tests do not run as root. Returns the
// number of messages, or -1 when the privileges could not be dropped.
int SaveWithoutPrivileges(const std::function<int()>& save) {
  if (::geteuid() != 0) return save();
  const pid_t child = ::fork();
  if (child == 0) {
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) {
      ::_exit(255);
    }
    ::_exit(std::min(save(), 254));
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

TEST_F(SaveTest, ReadOnlyFolderWithWritableFilesIsWrittenInPlace) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() == 0 && !nobody) GTEST_SKIP() << "no user 'nobody' to save as";
  // The folder belongs to the saving user but allows no new file; its files
  // allow writing.
  ::chmod(dir.path().c_str(), 0755);
  for (const std::string& folder : {Path(""), Path("icon")}) {
    for (const std::string& name : testutil::ListFolder(folder)) {
      if (nobody && ::geteuid() == 0) (void)::chown((folder + "/" + name).c_str(), nobody->pw_uid, nobody->pw_gid);
    }
    if (nobody && ::geteuid() == 0) (void)::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid);
    ::chmod(folder.c_str(), 0555);
  }
  const int messages = SaveWithoutPrivileges([&] {
    Save(dir / "skin");
    return static_cast<int>(feedback.messages.size());
  });
  ::chmod(Path("").c_str(), 0755);
  ::chmod(Path("icon").c_str(), 0755);
  if (messages < 0) GTEST_SKIP() << "could not drop root privileges to save as 'nobody'";
  EXPECT_EQ(messages, 0);
  EXPECT_NE(ReadFile(Path("uisettings.ini")).find("Title=New"), std::string::npos);
  EXPECT_EQ(ReadFile(Path("lamp.bmp")), Expected("lamp.bmp"));
  EXPECT_EQ(ReadFile(Path("icon/nds.bmp")), Expected("icon/nds.bmp"));
  EXPECT_EQ(testutil::ListFolder(dir / "skin").size(), 44u);
}

TEST_F(SaveTest, FailedImportKeepsThePicture) {
  WriteFile(dir / "junk.png", "not a picture");
  const Picture before = skin.image(ImageId::startbar);
  SkinIoContext ctx{feedback, kTexts};
  EXPECT_FALSE(ImportSkinImageFile(skin, ImageId::startbar, dir / "junk.png", ctx));
  EXPECT_FALSE(ImportSkinImageFile(skin, ImageId::startbar, dir / "missing.png", ctx));
  EXPECT_EQ(skin.image(ImageId::startbar), before);
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{dir / "junk.png" + ": Unknown file format",
                                                         dir / "missing.png" + " : File not found"}));
  EXPECT_TRUE(ImportSkinImageFile(skin, ImageId::startbar, testutil::Data("images/card_rgb8.png"), ctx));
  EXPECT_EQ(skin.image(ImageId::startbar).width, 4);
}

}  // namespace
