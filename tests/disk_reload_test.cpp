// Files of the open skin read again after they changed on disk, by the rule
// both faces follow: taken at once where nothing unsaved stands in the way,
// held for the user's answer where it does, an archive always held.
#include <gtest/gtest.h>

#include <functional>

#include "edit/disk_reload.h"
#include "edit/document_files.h"
#include "images/archive_writer.h"
#include "images/bmp_writer.h"
#include "images/defaults.h"
#include "skin/settings_file.h"
#include "test_util.h"

namespace {

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

struct FixedClock : Clock {
  DateTime Now() const override { return {2020, 1, 2, 3, 4, 5}; }
};

const InterfaceTexts kTexts;
const MessageTexts kMessages = MessageTexts::BuiltIn();

// The built-in skin saved into a folder (or an archive) and opened from there.
class DiskReloadTest : public ::testing::Test {
 protected:
  DiskReloadTest() {
    ResetSkinToDefaults(saved_);
    SkinIoContext ctx{quiet_, kMessages};
    SaveSkinFolder(saved_, dir_.path(), TypedInfoOf(saved_), FixedClock(), ctx);
    opened_ = OpenSkinInto(doc_, dir_.path(), false, ctx);
  }
  void SetUp() override {
    ASSERT_TRUE(opened_);
    ASSERT_FALSE(doc_.modified());
  }
  void OpenArchive() {
    SkinIoContext ctx{quiet_, kMessages};
    SaveSkinArchive(saved_, dir_ / "Ember.zip", {}, FixedClock(), ctx);
    ASSERT_TRUE(OpenSkinInto(doc_, dir_ / "Ember.zip", true, ctx));
  }
  DiskReload::Result Changed(DiskChanges changes) { return reload_.Changed(changes, kTexts); }
  DiskReload::Result Answer(bool reload) {
    SkinIoContext ctx{quiet_, kMessages};
    return reload_.Answer(reload, kTexts, ctx);
  }
  void WritePicture(const char* file, const Picture& p) { WriteFile(dir_ / file, EncodeBmp16(p)); }

  testutil::RecordingFeedback quiet_;
  bool opened_ = false;
  TempDir dir_;
  Skin saved_;
  Document doc_;
  DiskReload reload_{doc_};
};

DiskChanges Pictures(std::vector<ImageId> images) {
  DiskChanges c;
  c.images = std::move(images);
  return c;
}
DiskChanges Settings() {
  DiskChanges c;
  c.settings = true;
  return c;
}
DiskChanges Archive() {
  DiskChanges c;
  c.archive = true;
  return c;
}

const Picture kRed(256, 192, Rgb24{248, 0, 0});
const Picture kBlue(256, 192, Rgb24{0, 0, 248});

TEST_F(DiskReloadTest, WhatNothingUnsavedStandsInTheWayOfIsTakenAsOneCleanStep) {
  WritePicture("upper_screen.bmp", kRed);
  const DiskReload::Result r = Changed(Pictures({ImageId::upper_screen}));
  EXPECT_EQ(r.taken, std::vector<std::string>{"upper_screen.bmp"});
  EXPECT_TRUE(r.held.empty());
  EXPECT_FALSE(r.ask);
  EXPECT_EQ(r.status, "Read again from disk: upper_screen.bmp");
  EXPECT_EQ(doc_.skin().image(ImageId::upper_screen), kRed);
  EXPECT_EQ(doc_.disk().skin.image(ImageId::upper_screen), kRed);
  EXPECT_EQ(doc_.history().UndoText(), StepText::Of("LANG_STEP_RELOAD$"));
  EXPECT_FALSE(doc_.modified()) << "the skin is what its folder holds";
  EXPECT_TRUE(reload_.Question(kTexts).empty());
}

// Each case on a skin of its own, opened afresh.
class HeldFile : public DiskReloadTest {
 public:
  void TestBody() override {}
  using DiskReloadTest::SetUp;
  using DiskReloadTest::Answer;
  using DiskReloadTest::Changed;
  Document& doc() { return doc_; }
  DiskReload& reload() { return reload_; }
  std::string folder() const { return dir_.path(); }
};

TEST(DiskReload, AFileWithUnsavedChangesWaitsForTheAnswer) {
  struct Case {
    const char* what;
    const char* file;
    std::function<void(Document&)> mine;
    std::function<void(const std::string& folder)> onDisk;
    DiskChanges changes;
    std::function<bool(const Skin&)> isMine, isDisk;
  };
  const Case cases[] = {
      {"picture", "upper_screen.bmp",
       [](Document& d) { d.Apply(ReplacePictures(ImageId::upper_screen, kRed)); },
       [](const std::string& folder) { WriteFile(folder + "/upper_screen.bmp", EncodeBmp16(kBlue)); },
       Pictures({ImageId::upper_screen}),
       [](const Skin& s) { return s.image(ImageId::upper_screen) == kRed; },
       [](const Skin& s) { return s.image(ImageId::upper_screen) == kBlue; }},
      {"settings", "uisettings.ini",
       [](Document& d) { d.Apply(SetNumber(SkinFieldOf("[start bar]", "y"), 100)); },
       [](const std::string& folder) {
         std::string ini = ReadFile(folder + "/uisettings.ini");
         const std::string was = "[start bar]\r\nx=0\r\ny=172";
         const std::size_t at = ini.find(was);
         ASSERT_NE(at, std::string::npos);
         ini.replace(at, was.size(), "[start bar]\r\nx=0\r\ny=150");
         WriteFile(folder + "/uisettings.ini", ini);
       },
       Settings(),
       [](const Skin& s) { return s.startBar.y == 100; }, [](const Skin& s) { return s.startBar.y == 150; }},
  };
  for (const Case& c : cases) {
    for (const bool take : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (take ? " reloaded" : " kept"));
      HeldFile f;
      f.SetUp();
      Document& doc = f.doc();
      c.mine(doc);
      c.onDisk(f.folder());
      const DiskReload::Result r = f.Changed(c.changes);
      EXPECT_TRUE(r.taken.empty());
      EXPECT_EQ(r.held, std::vector<std::string>{c.file});
      EXPECT_TRUE(r.ask);
      EXPECT_EQ(r.status, std::string("Not reloaded: ") + c.file);
      EXPECT_EQ(f.reload().Question(kTexts),
                std::string("Changed on disk: ") + c.file + ". The skin here has unsaved changes to it.");
      EXPECT_TRUE(c.isMine(doc.skin())) << "asked, not taken";
      EXPECT_TRUE(c.isDisk(doc.disk().skin)) << "the disk state follows";
      const DiskReload::Result a = f.Answer(take);
      EXPECT_FALSE(f.reload().waiting());
      EXPECT_EQ(a.status, (take ? "Read again from disk: " : "Kept your ") + std::string(c.file));
      if (take) {
        EXPECT_TRUE(c.isDisk(doc.skin()));
        EXPECT_EQ(doc.history().UndoText(), StepText::Of("LANG_STEP_RELOAD$"));
        EXPECT_FALSE(doc.modified());
        doc.Undo();
      }
      // Kept (or the reload undone): the user's change, unsaved, so Save writes it.
      EXPECT_TRUE(c.isMine(doc.skin()));
      EXPECT_TRUE(doc.modified());
      EXPECT_TRUE(f.Answer(take).status.empty()) << "nothing waits any more";
    }
  }
}

TEST_F(DiskReloadTest, AHalfWrittenPictureIsReadAgainLaterAndAGoneOneChangesNothing) {
  const std::string bytes = EncodeBmp16(kRed);
  WriteFile(dir_ / "upper_screen.bmp", bytes.substr(0, bytes.size() / 2));
  DiskReload::Result r = Changed(Pictures({ImageId::upper_screen}));
  EXPECT_EQ(r.failed, std::vector<std::string>{"upper_screen.bmp"});
  EXPECT_EQ(r.retry, std::vector<ImageId>{ImageId::upper_screen});
  EXPECT_EQ(r.status, "Could not read upper_screen.bmp; the skin keeps what it had until the file changes again");
  EXPECT_EQ(doc_.skin().image(ImageId::upper_screen), saved_.image(ImageId::upper_screen));
  EXPECT_FALSE(doc_.history().CanUndo());
  // Gone: as opening without it, the picture stays; nothing to retry.
  ASSERT_EQ(std::remove((dir_ / "lamp.bmp").c_str()), 0);
  r = Changed(Pictures({ImageId::lamp}));
  EXPECT_TRUE(r.failed.empty() && r.retry.empty() && r.taken.empty());
  EXPECT_EQ(doc_.skin().image(ImageId::lamp), saved_.image(ImageId::lamp));
}

TEST_F(DiskReloadTest, AnArchiveIsAlwaysAskedAboutAndReopenedWhole) {
  OpenArchive();
  Skin changed = saved_;
  changed.startBar.y = 120;
  SkinIoContext ctx{quiet_, kMessages};
  SaveSkinArchive(changed, dir_ / "Ember.zip", {}, FixedClock(), ctx);
  DiskReload::Result r = Changed(Archive());
  EXPECT_EQ(r.held, std::vector<std::string>{"Ember.zip"});
  EXPECT_TRUE(r.ask);
  EXPECT_EQ(reload_.Question(kTexts), "Ember.zip changed on disk.");
  EXPECT_EQ(doc_.skin().startBar.y, 172) << "never taken behind the user's back";
  r = Answer(true);
  EXPECT_TRUE(r.reopened);
  EXPECT_EQ(r.status, "Read again from disk: Ember.zip");
  EXPECT_EQ(doc_.skin().startBar.y, 120);
  EXPECT_FALSE(doc_.modified());
  // A damaged archive gives nothing: offered again when it changes.
  WriteFile(dir_ / "Ember.zip", "PK\x03\x04 cut short");
  Changed(Archive());
  r = Answer(true);
  EXPECT_TRUE(r.retryArchive);
  EXPECT_FALSE(r.reopened);
  EXPECT_EQ(doc_.skin().startBar.y, 120);
}

TEST(ReloadNameList, FourNamesThenACount) {
  EXPECT_EQ(ReloadNameList({}), "");
  EXPECT_EQ(ReloadNameList({"a.bmp"}), "a.bmp");
  EXPECT_EQ(ReloadNameList({"a", "b", "c", "d"}), "a, b, c, d");
  EXPECT_EQ(ReloadNameList({"a", "b", "c", "d", "e"}), "a, b, c, d, +1");
  EXPECT_EQ(ReloadNameList({"a", "b", "c", "d", "e", "f", "g"}), "a, b, c, d, +3");
}

}  // namespace
