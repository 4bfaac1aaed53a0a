// Saving on a disk that fills up: every old file stays as it was. The disk
// is a small file system the test makes itself, which needs root; elsewhere
// the tests say so and are skipped.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "images/defaults.h"
#include "images/skin_io.h"
#include "test_util.h"

namespace {

using testutil::ReadFile;
using testutil::RecordingFeedback;
using testutil::TempDir;

const MessageTexts kTexts = MessageTexts::BuiltIn();

// A memory-backed file system of `bytes`, mounted on a fresh folder.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      why_ = std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }
  std::string operator/(const std::string& rel) const { return dir_ / rel; }
  const std::string& path() const { return dir_.path(); }

 private:
  TempDir dir_;
  bool mounted_ = false;
  std::string why_;
};

// Fills the disk with one file until no block is left.
void FillUp(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  const std::string block(4096, 'f');
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
  }
  std::fclose(f);
}

class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSkinToDefaults(skin); }
  std::vector<SkinFile> Files() { return EncodeSkinFiles(skin, TypedInfoOf(skin), {2020, 1, 2, 3, 4, 5}); }
  static std::size_t Size(const std::vector<SkinFile>& files) {
    std::size_t n = 0;
    for (const SkinFile& f : files) n += (f.bytes.size() + 4095) / 4096 * 4096;
    return n;
  }
  // Every file of the folder and its bytes.
  static std::vector<std::pair<std::string, std::string>> Contents(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& sub : {std::string(), std::string("icon/")}) {
      std::vector<std::string> names = testutil::ListFolder(folder + "/" + sub);
      std::sort(names.begin(), names.end());
      for (const std::string& n : names) out.emplace_back(sub + n, ReadFile(folder + "/" + sub + n));
    }
    return out;
  }
  void Write(const std::vector<SkinFile>& files, const std::string& folder) {
    SkinIoContext ctx{feedback, kTexts};
    WriteSkinFiles(files, folder, ctx);
  }

  static inline Skin skin;
  RecordingFeedback feedback;
};

TEST_F(FullDiskTest, AFolderSaveThatRunsOutOfRoomChangesNoFile) {
  const std::vector<SkinFile> first = Files();
  // Room for one save and a half: the second save's new files, written
  // beside the old ones, run out half way.
  SmallDisk disk(Size(first) * 3 / 2 + 64 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "no small file system to fill (mounting tmpfs: " << disk.why() << ")";
  const std::string folder = disk / "skin";
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  Write(first, folder);
  ASSERT_TRUE(feedback.messages.empty()) << feedback.messages[0];
  const auto before = Contents(folder);

  skin.info.Title = "Second";
  for (const CatalogueEntry& e : ImageCatalogue()) skin.image(e.id).pixels.front() = {248, 0, 248};
  Write(Files(), folder);
  ASSERT_GE(feedback.messages.size(), 2u);
  EXPECT_NE(feedback.messages.front().find(kTexts.diskFull), std::string::npos) << feedback.messages.front();
  EXPECT_EQ(feedback.messages.back(), folder + ": " + kTexts.saveAbandoned);
  // Not one file new, none left beside them.
  EXPECT_EQ(Contents(folder), before);
}

TEST_F(FullDiskTest, AHardLinkedPictureOnAFullDiskKeepsItsBytes) {
  const std::vector<SkinFile> first = Files();
  SmallDisk disk(Size(first) * 2 + 256 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "no small file system to fill (mounting tmpfs: " << disk.why() << ")";
  const std::string folder = disk / "skin";
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  Write(first, folder);
  ASSERT_TRUE(feedback.messages.empty());
  // Another name for the upper screen: it can only be written in place.
  ASSERT_EQ(::link((folder + "/upper_screen.bmp").c_str(), (disk / "shared.bmp").c_str()), 0);
  // Room for the new files beside the old ones, but not for the larger
  // picture that must be written in place.
  FillUp(disk / "filler");
  const std::size_t others = Size(first) - Size({first[1 + std::size_t(ImageId::upper_screen)]});
  struct stat filler {};
  ASSERT_EQ(::stat((disk / "filler").c_str(), &filler), 0);
  ASSERT_EQ(::truncate((disk / "filler").c_str(), filler.st_size - off_t(others + 64 * 1024)), 0);
  const auto before = Contents(folder);
  const std::string shared = ReadFile(disk / "shared.bmp");

  // Four times the pixels: the new bytes need room the disk does not have.
  // The lamp gets other colours at its size: its new file, ready beside the
  // old one when the write in place fails, must not take the old one's place.
  skin.image(ImageId::upper_screen) = testutil::MakePicture(512, 384, 7);
  const int lampWidth = skin.image(ImageId::lamp).width, lampHeight = skin.image(ImageId::lamp).height;
  skin.image(ImageId::lamp) = testutil::MakePicture(lampWidth, lampHeight, 3);
  Write(Files(), folder);
  ASSERT_EQ(feedback.messages.size(), 2u);
  EXPECT_EQ(feedback.messages[0], folder + "/upper_screen.bmp: " + kTexts.diskFull);
  EXPECT_EQ(Contents(folder), before);
  EXPECT_EQ(ReadFile(disk / "shared.bmp"), shared);

  // With room again, the file and its other name get the new bytes together.
  ::unlink((disk / "filler").c_str());
  feedback.messages.clear();
  Write(Files(), folder);
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_EQ(ReadFile(disk / "shared.bmp"), ReadFile(folder + "/upper_screen.bmp"));
  EXPECT_EQ(ReadFile(disk / "shared.bmp"), Files()[1 + std::size_t(ImageId::upper_screen)].bytes);
}

}  // namespace
