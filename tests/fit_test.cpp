#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "images/bmp_writer.h"
#include "images/decode.h"
#include "images/fit.h"
#include "images/import_folder.h"
#include "images/skin_io.h"
#include "test_util.h"

namespace {

using testutil::Data;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

const MessageTexts kTexts = MessageTexts::BuiltIn();

SourcePicture Source(int w, int h, std::vector<Rgb24> pixels, std::vector<std::uint8_t> alpha = {}) {
  SourcePicture s;
  s.rgb = Picture(w, h);
  s.rgb.pixels = std::move(pixels);
  s.alpha = std::move(alpha);
  return s;
}

Rgb24 Grey(std::uint8_t v) { return {v, v, v}; }

// Every pixel repeated fx times across and fy times down, by hand.
SourcePicture Enlarged(const SourcePicture& s, int fx, int fy) {
  SourcePicture out;
  out.rgb = Picture(s.width() * fx, s.height() * fy);
  if (!s.alpha.empty()) out.alpha.resize(out.rgb.pixels.size());
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      out.rgb.at(x, y) = s.rgb.at(x / fx, y / fy);
      if (!s.alpha.empty()) {
        out.alpha[std::size_t(y * out.width() + x)] = s.alpha[std::size_t((y / fy) * s.width() + x / fx)];
      }
    }
  }
  return out;
}

// A 32-bit BMP with an alpha mask; pixels top to bottom as 0xAARRGGBB.
std::string MakeArgbBmp(int w, int h, const std::vector<std::uint32_t>& argb) {
  constexpr std::size_t kData = 14 + 40 + 16;
  std::string b(kData + std::size_t(w) * std::size_t(h) * 4, '\0');
  b[0] = 'B';
  b[1] = 'M';
  testutil::Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  testutil::Put32(b, 10, kData);
  testutil::Put32(b, 14, 40);
  testutil::Put32(b, 18, static_cast<std::uint32_t>(w));
  testutil::Put32(b, 22, static_cast<std::uint32_t>(-h));  // top-down
  testutil::Put16(b, 26, 1);
  testutil::Put16(b, 28, 32);
  testutil::Put32(b, 30, 6);  // bit fields with alpha, masks after the header
  testutil::Put32(b, 54, 0x00FF0000);
  testutil::Put32(b, 58, 0x0000FF00);
  testutil::Put32(b, 62, 0x000000FF);
  testutil::Put32(b, 66, 0xFF000000);
  for (std::size_t i = 0; i < argb.size(); ++i) testutil::Put32(b, kData + i * 4, argb[i]);
  return b;
}

struct NoteRecorder : testutil::RecordingFeedback {
  std::vector<Message> notes;
  std::vector<std::string> noteTexts;
  std::vector<MessageKind> reported;
  void Note(const Message& m, const std::string& body) override {
    notes.push_back(m);
    noteTexts.push_back(body);
  }
  void Report(const Message& m, const std::string& body) override {
    reported.push_back(m.kind);
    ShowError(body);
  }
};

TEST(Fit, HalvingAPictureOfTwoByTwoBlocksGivesItBack) {
  const SourcePicture small = Source(3, 2, {{10, 20, 30}, {255, 0, 7}, Grey(99), {1, 2, 3}, Grey(0), Grey(255)});
  const SourcePicture big = Enlarged(small, 2, 2);
  EXPECT_EQ(ScalePicture(big, 3, 2).rgb, small.rgb);
}

TEST(Fit, WholeFactorEnlargementRepeatsPixelsAlphaAndAll) {
  const SourcePicture small = Source(2, 2, {{10, 20, 30}, {200, 100, 50}, Grey(7), {0, 0, 255}}, {255, 0, 128, 1});
  const SourcePicture up = ScalePicture(small, 6, 4);
  const SourcePicture expected = Enlarged(small, 3, 2);
  EXPECT_EQ(up.rgb, expected.rgb);  // the transparent pixel keeps its colour too
  EXPECT_EQ(up.alpha, expected.alpha);
}

TEST(Fit, OtherSizesAverageByCoverageRoundingHalfUp) {
  struct Case {
    std::vector<std::uint8_t> row;
    int width;
    std::vector<std::uint8_t> expected;
  };
  // Output pixel 0 of three to two covers source pixel 0 and half of pixel 1:
  // (0 + 90 / 2) / 1.5 = 30; pixel 1 half of pixel 1 and pixel 2: (45 + 180) / 1.5 = 150.
  const Case cases[] = {
      {{0, 90, 180}, 2, {30, 150}},
      {{10, 11}, 1, {11}},                  // 10.5 rounds up
      {{0, 0, 0, 1}, 1, {0}},               // 0.25 rounds down
      {{0, 255}, 3, {0, 128, 255}},         // the middle one covers half of each
      {{30, 60}, 3, {30, 45, 60}},
  };
  for (const Case& c : cases) {
    std::vector<Rgb24> pixels;
    for (std::uint8_t v : c.row) pixels.push_back(Grey(v));
    const SourcePicture out = ScalePicture(Source(int(c.row.size()), 1, pixels), c.width, 1);
    std::vector<std::uint8_t> got;
    for (const Rgb24& p : out.rgb.pixels) got.push_back(p.g);
    EXPECT_EQ(got, c.expected) << "from " << c.row.size() << " to " << c.width;
  }
}

TEST(Fit, TransparentPixelsLendNoColour) {
  // A half-transparent red edge beside transparent blue: the blue must not
  // show, however much of the area it covers.
  const SourcePicture edge = Source(4, 1, {{200, 0, 0}, {200, 0, 0}, {0, 0, 255}, {0, 0, 255}}, {255, 128, 0, 0});
  const SourcePicture out = ScalePicture(edge, 2, 1);
  EXPECT_EQ(out.rgb.at(0, 0), (Rgb24{200, 0, 0}));
  EXPECT_EQ(out.alpha, (std::vector<std::uint8_t>{192, 0}));  // (255 + 128) / 2 rounded up; nothing

  const SourcePicture faint = Source(2, 1, {{100, 50, 0}, {0, 0, 255}}, {64, 0});
  const SourcePicture one = ScalePicture(faint, 1, 1);
  EXPECT_EQ(one.rgb.at(0, 0), (Rgb24{100, 50, 0}));
  EXPECT_EQ(one.alpha, (std::vector<std::uint8_t>{32}));

  // Weighted by alpha: (255 x 100 + 85 x 10) / 340 = 77.5 -> 78.
  const SourcePicture mixed = Source(2, 1, {Grey(100), Grey(10)}, {255, 85});
  EXPECT_EQ(ScalePicture(mixed, 1, 1).rgb.at(0, 0), Grey(78));
}

TEST(Fit, CoverCutsTheMiddleAndStretchTakesTheWholePicture) {
  // Eight columns 0, 10, ..., 70, two rows.
  std::vector<Rgb24> wide;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) wide.push_back(Grey(std::uint8_t(x * 10)));
  }
  const SourcePicture source = Source(8, 2, wide);
  const auto row = [](const SourcePicture& s) {
    std::vector<int> v;
    for (int x = 0; x < s.width(); ++x) v.push_back(s.rgb.at(x, 0).r);
    return v;
  };
  const SourcePicture same = FitPicture(source, 4, 2, FitMode::Cover);  // no scaling: columns 2 to 5
  EXPECT_EQ(row(same), (std::vector<int>{20, 30, 40, 50}));
  const SourcePicture halved = FitPicture(source, 2, 1, FitMode::Cover);  // 4 x 1 of pairs, the middle two
  EXPECT_EQ(row(halved), (std::vector<int>{25, 45}));
  const SourcePicture odd = FitPicture(Source(7, 2, std::vector<Rgb24>(wide.begin(), wide.begin() + 14)), 4, 2,
                                       FitMode::Cover);  // 7 to 4: one column off the left, two off the right
  EXPECT_EQ(row(odd), (std::vector<int>{10, 20, 30, 40}));
  // A tall picture is cut at top and bottom the same way.
  const SourcePicture tall = Source(1, 5, {Grey(0), Grey(1), Grey(2), Grey(3), Grey(4)});
  const SourcePicture cut = FitPicture(tall, 1, 2, FitMode::Cover);
  EXPECT_EQ(cut.rgb.pixels, (std::vector<Rgb24>{Grey(1), Grey(2)}));

  struct Size {
    int w, h;
  };
  for (const Size s : {Size{1, 1}, Size{3, 7}, Size{256, 192}, Size{8, 2}}) {
    for (const FitMode mode : {FitMode::Cover, FitMode::Stretch}) {
      const SourcePicture fitted = FitPicture(source, s.w, s.h, mode);
      EXPECT_EQ(fitted.width(), s.w);
      EXPECT_EQ(fitted.height(), s.h);
    }
  }
  const SourcePicture stretched = FitPicture(source, 2, 2, FitMode::Stretch);  // all eight columns in two
  EXPECT_EQ(row(stretched), (std::vector<int>{15, 55}));
  EXPECT_EQ(FitPicture(source, 2, 2, FitMode::Keep).rgb, source.rgb);
}

TEST(Fit, Direct16SurvivesOnlyUnscaled) {
  SourcePicture s = Source(4, 2, std::vector<Rgb24>(8, Grey(8)));
  s.direct16 = true;
  EXPECT_TRUE(ScalePicture(s, 4, 2).direct16);
  EXPECT_TRUE(FitPicture(s, 2, 2, FitMode::Cover).direct16);  // only cut
  EXPECT_FALSE(ScalePicture(s, 2, 1).direct16);
  EXPECT_FALSE(ScalePicture(s, 8, 4).direct16);
}

TEST(Fit, FinishPictureKeysByAlphaAndTellsWhatBecameOfTheHalfTransparent) {
  const std::vector<std::uint8_t> alpha = {0, 1, 127, 128, 254, 255};
  SourcePicture s = Source(6, 1, std::vector<Rgb24>(6, {8, 16, 24}), alpha);
  AlphaReport report;
  const Picture p = FinishPicture(s, &report);
  EXPECT_EQ(report.halfTransparent, 4);
  EXPECT_EQ(report.keptOpaque, 2);
  EXPECT_EQ(report.madeKey(), 2);
  const Rgb24 key{0, 248, 0}, kept{8, 16, 24};
  EXPECT_EQ(p.pixels, (std::vector<Rgb24>{key, key, key, kept, kept, kept}));

  // Reduced to 15 bits unless the colours came as they are from a 16-bit BMP.
  SourcePicture odd = Source(1, 1, {Grey(13)});
  EXPECT_EQ(FinishPicture(odd).at(0, 0), Grey(8));
  odd.direct16 = true;
  EXPECT_EQ(FinishPicture(odd).at(0, 0), Grey(13));
}

TEST(Fit, DecodingForAnImportThenFinishingIsWhatOpeningDecodes) {
  const std::string files[] = {"images/alpha_rgba.png", "images/palette_trns.png", "images/card_interlaced.png",
                               "images/baseline.jpg",   "bmp/argb32_v5.bmp",       "bmp/rle8.bmp",
                               "bmp/rgb555_v5.bmp",     "bmp/pal4.bmp"};
  for (const std::string& f : files) {
    const std::string bytes = ReadFile(Data(f));
    SourcePicture source;
    ASSERT_TRUE(DecodeSource(bytes, source)) << f;
    const std::optional<Picture> opened = DecodeSkinImage(bytes, true);
    ASSERT_TRUE(opened) << f;
    EXPECT_EQ(FinishPicture(source), *opened) << f;
  }
  SourcePicture direct;
  ASSERT_TRUE(DecodeSource(testutil::MakeBmp16(2, {{0x7FFF, 0x03E0}}), direct));
  EXPECT_TRUE(direct.direct16);
  EXPECT_TRUE(direct.alpha.empty());

  SourcePicture rgba;
  ASSERT_TRUE(DecodeSource(ReadFile(Data("images/alpha_rgba.png")), rgba));
  EXPECT_EQ(rgba.alpha, (std::vector<std::uint8_t>{0, 127, 128, 255}));
  SourcePicture opaque;
  ASSERT_TRUE(DecodeSource(MakeArgbBmp(2, 1, {0xFF102030, 0xFF405060}), opaque));
  EXPECT_TRUE(opaque.alpha.empty());
  EXPECT_EQ(opaque.rgb.at(1, 0), (Rgb24{0x40, 0x50, 0x60}));

  // A refusal leaves the picture alone.
  SourcePicture before = Source(1, 1, {Grey(1)});
  EXPECT_FALSE(DecodeSource("BM not a picture", before));
  EXPECT_EQ(before.rgb.at(0, 0), Grey(1));
}

TEST(Fit, ImportFitsToTheBuiltInSizeNotesHalfTransparencyAndKeepsTheBudget) {
  TempDir dir;
  // 44 x 76, twice the lamp's 22 x 38, one half-transparent pixel kept and
  // one made key.
  std::vector<std::uint32_t> argb(44 * 76, 0xFF808080);
  argb[0] = 0xC0808080;
  argb[1] = 0x40808080;
  const std::string path = dir / "lamp.bmp";
  WriteFile(path, MakeArgbBmp(44, 76, argb));

  NoteRecorder feedback;
  SkinIoContext ctx{feedback, kTexts};
  const std::optional<Picture> kept = ReadSkinImageFile(ImageId::lamp, path, ctx);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->width, 44);
  ASSERT_EQ(feedback.notes.size(), 1u);
  EXPECT_EQ(feedback.notes[0].kind, MessageKind::HalfTransparent);
  EXPECT_EQ(feedback.notes[0].image, ImageId::lamp);
  EXPECT_EQ(feedback.notes[0].count, 2);
  EXPECT_EQ(feedback.notes[0].kept, 1);
  EXPECT_EQ(feedback.noteTexts[0],
            path + ": 2 pixels are half transparent: 1 of them were kept opaque, 1 became the key green");
  EXPECT_TRUE(feedback.messages.empty());

  // Fitted, the picture is the lamp's size and the budget counts that size.
  const long long lamp = 22 * 38;
  for (const FitMode mode : {FitMode::Cover, FitMode::Stretch}) {
    const std::optional<Picture> fitted = ReadSkinImageFile(ImageId::lamp, path, ctx, lamp, mode);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->width, ExpectedWidth(ImageId::lamp));
    EXPECT_EQ(fitted->height, ExpectedHeight(ImageId::lamp));
    // Alpha (0xC0 + 0x40 + 2 x 0xFF) / 4 = 191.5 -> 192: kept, and noted.
    EXPECT_EQ(fitted->at(0, 0), Grey(128));
    EXPECT_EQ(feedback.notes.back().count, 1);
    EXPECT_EQ(feedback.notes.back().kept, 1);
  }
  EXPECT_EQ(feedback.notes.size(), 3u);
  EXPECT_TRUE(feedback.messages.empty());
  EXPECT_FALSE(ReadSkinImageFile(ImageId::lamp, path, ctx, lamp, FitMode::Keep));
  EXPECT_FALSE(ReadSkinImageFile(ImageId::lamp, path, ctx, lamp - 1, FitMode::Cover));
  EXPECT_EQ(feedback.reported, (std::vector<MessageKind>{MessageKind::OverBudget, MessageKind::OverBudget}));

  // A folder import fits every picture it takes.
  ASSERT_EQ(::mkdir((dir / "drawings").c_str(), 0777), 0);
  WriteFile(dir / "drawings/startbar.png", ReadFile(Data("images/card_rgb8.png")));
  const FolderImport folder = ReadPictureFolder(dir / "drawings", ctx, Skin(), FitMode::Stretch);
  ASSERT_EQ(folder.pictures.size(), 1u);
  EXPECT_EQ(folder.pictures[0].picture.width, 256);
  EXPECT_EQ(folder.pictures[0].picture.height, 20);
}

TEST(Fit, SourceFileAndFinishImportInTwoSteps) {
  NoteRecorder feedback;
  SkinIoContext ctx{feedback, kTexts};
  EXPECT_FALSE(ReadSourceFile("/nonexistent/picture.png", ctx));
  EXPECT_EQ(feedback.reported, (std::vector<MessageKind>{MessageKind::FileNotFound}));
  std::optional<SourcePicture> source = ReadSourceFile(Data("images/alpha_rgba.png"), ctx);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->width(), 4);
  const std::optional<Picture> icon =
      FinishImport(ImageId::icon_nds, *source, FitMode::Stretch, kMaxImagePixels, "shown.png", ctx);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  ASSERT_EQ(feedback.notes.size(), 1u);
  EXPECT_EQ(feedback.notes[0].subject, "shown.png");
}

}  // namespace
