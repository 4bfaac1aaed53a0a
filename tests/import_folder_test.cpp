#include <gtest/gtest.h>

#include <sys/stat.h>

#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "images/import_folder.h"
#include "test_util.h"

namespace {

using testutil::Data;
using testutil::ReadFile;
using testutil::RecordingFeedback;
using testutil::TempDir;
using testutil::WriteFile;

const MessageTexts kTexts = MessageTexts::BuiltIn();

TEST(ImportFolder, TakesEachPictureByNameAndLeavesTheSkinAlone) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "icon").c_str(), 0777), 0);
  const std::string png = ReadFile(Data("images/card_rgb8.png"));  // 4 x 3
  WriteFile(dir / "LAMP.bmp", EncodeBmp16(Picture(2, 2, Rgb24{8, 8, 8})));
  WriteFile(dir / "lamp.png", png);                  // passed over: BMP first
  WriteFile(dir / "cardFrame0.bmp", EncodeBmp16(Picture(5, 5)));
  WriteFile(dir / "CARDFRAME0.bmp", EncodeBmp16(Picture(6, 6)));  // passed over: the catalogue's spelling first
  WriteFile(dir / "Startbar.PNG", png);
  WriteFile(dir / "icon/NDS.jpeg", ReadFile(Data("images/baseline.jpg")));
  WriteFile(dir / "nds.png", png);                   // an icon belongs in icon/
  WriteFile(dir / "holiday.jpg", png);
  WriteFile(dir / "readme.txt", "not a picture, not a picture name");
  WriteFile(dir / "active.bmp", "broken");

  RecordingFeedback feedback;
  SkinIoContext ctx{feedback, kTexts};
  const FolderImport import = ReadPictureFolder(dir.path(), ctx, Skin());
  EXPECT_TRUE(import.folderFound);

  std::vector<std::pair<ImageId, std::string>> taken;
  for (const FolderImport::Taken& t : import.pictures) taken.emplace_back(t.image, t.path);
  const std::vector<std::pair<ImageId, std::string>> expected = {{ImageId::cardFrame0, dir / "cardFrame0.bmp"},
                                                                 {ImageId::lamp, dir / "LAMP.bmp"},
                                                                 {ImageId::startbar, dir / "Startbar.PNG"},
                                                                 {ImageId::icon_nds, dir / "icon/NDS.jpeg"}};
  EXPECT_EQ(taken, expected);
  EXPECT_EQ(import.pictures[1].picture, Picture(2, 2, Rgb24{8, 8, 8}));
  EXPECT_EQ(import.pictures[2].picture.width, 4);

  ASSERT_EQ(import.passedOver.size(), 2u);
  EXPECT_EQ(import.passedOver[0].path, dir / "CARDFRAME0.bmp");
  EXPECT_EQ(import.passedOver[1].path, dir / "lamp.png");
  EXPECT_EQ(import.passedOver[1].taken, dir / "LAMP.bmp");
  EXPECT_EQ(import.unmatched, (std::vector<std::string>{dir / "holiday.jpg", dir / "nds.png"}));
  // The broken file is reported by the import's rules and taken for nothing.
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{dir / "active.bmp" + ": " + kTexts.fileUnknown}));

  static Skin skin;
  ResetSkinToDefaults(skin);
  const Picture active = skin.image(ImageId::active);
  ApplyFolderImport(skin, import);
  EXPECT_EQ(skin.image(ImageId::lamp), import.pictures[1].picture);
  EXPECT_EQ(skin.image(ImageId::active), active);
}

TEST(ImportFolder, MissingFolderIsReported) {
  RecordingFeedback feedback;
  SkinIoContext ctx{feedback, kTexts};
  const FolderImport import = ReadPictureFolder("/nonexistent/pictures", ctx, Skin());
  EXPECT_FALSE(import.folderFound);
  EXPECT_TRUE(import.pictures.empty());
  EXPECT_EQ(feedback.messages, (std::vector<std::string>{"/nonexistent/pictures : " + kTexts.fileNotFound}));
}

}  // namespace
