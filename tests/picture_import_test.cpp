// What an import asks and tells, for both faces: the fit question's three
// pictures and their one zoom, the folder import's one question, its step
// and its report, and the message box's summary.
#include <gtest/gtest.h>

#include "edit/document.h"
#include "edit/picture_import.h"
#include "images/defaults.h"

namespace {

const InterfaceTexts kTexts;

// A picture file of one colour the 15-bit reduction keeps as it is, with a
// top-left block of another.
SourcePicture TwoColours(int width, int height, int blockWidth, int blockHeight) {
  SourcePicture s;
  s.rgb = Picture(width, height, Rgb24{0, 0, 248});
  for (int y = 0; y < blockHeight; ++y) {
    for (int x = 0; x < blockWidth; ++x) s.rgb.at(x, y) = Rgb24{248, 0, 0};
  }
  return s;
}

struct Size {
  int width, height;
  friend bool operator==(const Size&, const Size&) = default;
};
Size SizeOf(const Picture& p) { return {p.width, p.height}; }

TEST(FitQuestion, EachWayAsTheScreenShowsItFromItsTopLeft) {
  struct Case {
    const char* what;
    Size source, expected;
    Size cover, stretch, keep;
  };
  const Case cases[] = {
      {"a photo for the upper screen", {600, 450}, {256, 192}, {256, 192}, {256, 192}, {256, 192}},
      {"a photo for an icon: kept, only the screen's part shows", {600, 450}, {32, 32}, {32, 32}, {32, 32}, {256, 192}},
      {"a small drawing for an icon", {16, 12}, {32, 32}, {32, 32}, {32, 32}, {16, 12}},
      {"one pixel wider than the screen", {257, 193}, {256, 192}, {256, 192}, {256, 192}, {256, 192}},
      {"as large as the screen", {256, 192}, {32, 32}, {32, 32}, {32, 32}, {256, 192}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FitPreviews p = FitQuestionPictures(TwoColours(c.source.width, c.source.height, 1, 1), c.expected.width,
                                              c.expected.height);
    EXPECT_EQ(SizeOf(p.cover), c.cover);
    EXPECT_EQ(SizeOf(p.stretch), c.stretch);
    EXPECT_EQ(SizeOf(p.keep), c.keep);
    EXPECT_EQ((Size{p.expectedWidth, p.expectedHeight}), c.expected);
  }
  // Kept as it is, a photo shows its top-left corner, not the photo made
  // small: a red corner larger than the screen fills it.
  const FitPreviews corner = FitQuestionPictures(TwoColours(1000, 800, 300, 200), 256, 192);
  EXPECT_EQ(corner.keep, Picture(256, 192, Rgb24{248, 0, 0}));
  // Stretched, the whole photo shows: the corner is its top-left third or so.
  EXPECT_EQ(corner.stretch.at(0, 0), (Rgb24{248, 0, 0}));
  EXPECT_EQ(corner.stretch.at(255, 191), (Rgb24{0, 0, 248}));
  // A wide photo: stretched, its left edge shows; covering, its middle.
  const FitPreviews wide = FitQuestionPictures(TwoColours(1000, 200, 300, 200), 256, 192);
  EXPECT_EQ(wide.stretch.at(0, 0), (Rgb24{248, 0, 0}));
  EXPECT_EQ(wide.cover.at(0, 0), (Rgb24{0, 0, 248}));
  // A transparent pixel becomes the key green, as the import makes it.
  SourcePicture clear = TwoColours(4, 4, 0, 0);
  clear.alpha.assign(16, 255);
  clear.alpha[0] = 0;
  EXPECT_EQ(FitQuestionPictures(clear, 4, 4).keep.at(0, 0), (Rgb24{0, 248, 0}));
}

TEST(FitQuestion, AllThreeAtTheLargestWholeZoomTheLargestFits) {
  const auto previews = [](Size a, Size b, Size c) {
    FitPreviews p;
    p.cover = Picture(a.width, a.height);
    p.stretch = Picture(b.width, b.height);
    p.keep = Picture(c.width, c.height);
    return p;
  };
  struct Case {
    FitPreviews previews;
    int boxWidth, boxHeight, zoom;
  };
  const Case cases[] = {
      {previews({32, 32}, {32, 32}, {16, 12}), 256, 192, 6},    // 192 / 32
      {previews({32, 32}, {32, 33}, {16, 12}), 256, 192, 5},    // 192 / 33
      {previews({16, 12}, {16, 12}, {16, 12}), 256, 192, 16},
      {previews({256, 192}, {32, 32}, {32, 32}), 256, 192, 1},
      {previews({256, 192}, {32, 32}, {32, 32}), 100, 100, 1},  // never below 1
      {previews({0, 0}, {0, 0}, {0, 0}), 256, 192, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(FitPreviewZoom(c.previews, c.boxWidth, c.boxHeight), c.zoom);
}

FolderImport::Taken Taken(ImageId image, int width, int height, std::string path) {
  return {image, std::move(path), Picture(width, height, Rgb24{8, 8, 8})};
}

TEST(FolderImport, OneQuestionForThePicturesOfAnotherSizeTheFirstOfThemDrawn) {
  const int lampW = ExpectedWidth(ImageId::lamp), lampH = ExpectedHeight(ImageId::lamp);
  FolderImport import;
  import.folderFound = true;
  import.pictures = {Taken(ImageId::lamp, lampW, lampH, "/art/lamp.bmp")};
  EXPECT_FALSE(FolderFitQuestionOf(import)) << "every picture has its size: nothing to ask";
  // One pixel off either way is another size.
  import.pictures.push_back(Taken(ImageId::startbar, 300, 20, "/art/startbar.png"));
  import.pictures.push_back(Taken(ImageId::icon_nds, 32, 33, "/art/icon/nds.bmp"));
  const std::optional<FolderFitQuestion> q = FolderFitQuestionOf(import);
  ASSERT_TRUE(q);
  EXPECT_EQ(q->count, 2);
  EXPECT_EQ(q->image, ImageId::startbar);
  EXPECT_EQ(q->path, "/art/startbar.png");
  EXPECT_EQ(FolderFitQuestionText(*q, kTexts),
            "2 of the pictures differ in size from the skin's (startbar: 300 x 20 pixels, " +
                std::to_string(ExpectedWidth(ImageId::startbar)) + " x " +
                std::to_string(ExpectedHeight(ImageId::startbar)) + " in the skin). How should they be taken?");
}

TEST(FolderImport, OneStepNamedAfterTheFolderAndOneReport) {
  FolderImport import;
  import.folderFound = true;
  EXPECT_FALSE(TakeFolderImport(import, "Art")) << "nothing taken, no step";
  import.pictures = {Taken(ImageId::btn, 30, 18, "/a/Art/btn.bmp"), Taken(ImageId::lamp, 6, 6, "/a/Art/LAMP.BMP")};
  import.unmatched = {"/a/Art/sketch.png", "/a/Art/broken.bmp"};
  import.passedOver = {{"/a/Art/lamp.png", ImageId::lamp, "/a/Art/LAMP.BMP"}};

  const FolderImportReport plain = ReportFolderImport(import, "/a/Art", {}, {}, kTexts);
  EXPECT_EQ(plain.taken, (std::vector<std::string>{"btn", "lamp"}));
  EXPECT_EQ(plain.status, "Took 2 pictures from /a/Art");
  EXPECT_EQ(plain.lines, (std::vector<std::string>{
                             "Took 2 pictures: btn, lamp",
                             "No picture of the skin is named like these files: /a/Art/sketch.png, /a/Art/broken.bmp",
                             "Passed over /a/Art/lamp.png: /a/Art/LAMP.BMP was taken for the same picture"}));
  EXPECT_FALSE(plain.warning);
  const FolderImportReport failed =
      ReportFolderImport(import, "/a/Art", {"/a/Art/close.bmp: Unknown file format"}, {"n1", "n2"}, kTexts);
  EXPECT_TRUE(failed.warning);
  EXPECT_EQ(failed.lines.back(), "/a/Art/close.bmp: Unknown file format");
  EXPECT_EQ(failed.status, "Took 2 pictures from /a/Art; n1; n2");

  Document document;
  std::optional<ReplacePictures> step = TakeFolderImport(import, "Art");
  ASSERT_TRUE(step);
  EXPECT_TRUE(document.Apply(std::move(*step)));
  EXPECT_EQ(document.history().UndoText(), StepText::Of("LANG_STEP_IMPORT_FOLDER$", {"Art"}));
  EXPECT_EQ(document.skin().image(ImageId::btn).width, 30);
  EXPECT_EQ(document.skin().image(ImageId::lamp), Picture(6, 6, Rgb24{8, 8, 8}));
}

TEST(MessageBox, FiveLinesThenHowManyMoreTheDetailsHold) {
  const std::vector<std::string> five = {"a", "b", "c", "d", "e"};
  EXPECT_EQ(MessageSummary(five, kTexts), "a\nb\nc\nd\ne");
  EXPECT_EQ(MessageDetails(five), "");
  std::vector<std::string> seven = five;
  seven.insert(seven.end(), {"f", "g"});
  EXPECT_EQ(MessageSummary(seven, kTexts), "a\nb\nc\nd\ne\n\n... and 2 more: see the details");
  EXPECT_EQ(MessageDetails(seven), "a\nb\nc\nd\ne\nf\ng");
  std::vector<std::string> six = five;
  six.push_back("f");
  EXPECT_EQ(MessageSummary(six, kTexts), "a\nb\nc\nd\ne\n\n... and 1 more: see the details");
}

}  // namespace
