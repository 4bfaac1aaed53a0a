// A document carried to a fresh one through a snapshot: the skin, every
// step of the history, the saved state, the origin and the disk come back
// exactly, and Undo and Redo go on as they would have; a snapshot damaged in
// any way is refused and leaves the target as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "edit/changes.h"
#include "edit/document.h"
#include "edit/document_snapshot.h"
#include "images/defaults.h"
#include "test_util.h"

namespace {

SkinField Field(const char* section, const char* key) { return SkinFieldOf(section, key); }

constexpr char kPath[] = "/skins/7/Sunset";

// A skin opened from a folder, with what its opening said: a picture
// missing, another of an unknown kind, the settings read.
void OpenFolder(Document& doc, Skin skin) {
  DiskSkin disk;
  disk.path = kPath;
  disk.skin = skin;
  disk.source.path = kPath;
  disk.source.settingsFound = true;
  disk.source.settings = "[SkinInfo]\r\nTitle=Sunset\r\n";
  disk.source.files = {"uisettings.ini", "btn.bmp", "notes.txt"};
  disk.source.pictureFound[static_cast<std::size_t>(ImageId::btn)] = true;
  disk.source.picturePath[static_cast<std::size_t>(ImageId::btn)] = std::string(kPath) + "/btn.bmp";
  disk.source.pictureKind[static_cast<std::size_t>(ImageId::btn)] = "PNG";
  disk.messages.push_back({MessageKind::FileNotFound, std::string(kPath) + "/lamp.bmp", ImageId::lamp});
  disk.messages.push_back({MessageKind::UnknownFormat, "notes.txt", std::nullopt, 3, 1, true});
  disk.stamps.path = kPath;
  disk.stamps.files = {{"uisettings.ini", {true, 27, 1262347200000000123LL, 41, 7}}, {"lamp.bmp", {}}};
  doc.Replace(std::move(skin), {SkinOrigin::Kind::Folder, kPath, kPath}, std::move(disk));
}

// Every kind of step, the saved state in the middle, one step undone and a
// preview on show: [number (two merged), typing (three merged), colour,
// picture | saved | recolour, number] with the last undone.
void Edit(Document& doc) {
  const SkinField y = Field("[start bar]", "y"), title = Field("[SkinInfo]", "Title");
  doc.Apply(SetNumber(y, 10));
  doc.Apply(SetNumber(y, 11));
  for (const char* typed : {"N", "Ni", "Nig"}) doc.Apply(SetText(title, typed));
  doc.Apply(SetColour(Field("[global settings]", "formBodyColor"), {8, 16, 24}));
  Picture lamp(3, 2, {8, 8, 8});
  lamp.at(2, 1) = {248, 0, 120};
  doc.Apply(ReplacePictures(ImageId::lamp, lamp));
  DiskSkin disk = doc.disk();
  disk.skin = doc.skin();
  doc.MarkSaved(doc.origin(), std::move(disk));
  doc.Apply(RecolourSkinChange(HslShift{40, 0, -5}, RecolourScope::Everything));
  doc.Apply(SetNumber(y, 12));
  doc.Undo();
  doc.Preview(SetColour(Field("[global settings]", "formTextColor"), {0, 248, 0}));
}

void ExpectSameStep(const SkinEdit& a, const SkinEdit& b, int i) {
  EXPECT_EQ(a.name, b.name) << i;
  EXPECT_EQ(a.mergeKey, b.mergeKey) << i;
  ASSERT_EQ(a.fields.size(), b.fields.size()) << i;
  for (std::size_t k = 0; k < a.fields.size(); ++k) {
    EXPECT_TRUE(a.fields[k].field == b.fields[k].field && a.fields[k].before == b.fields[k].before &&
                a.fields[k].after == b.fields[k].after) << i << " field " << a.fields[k].field.Name();
  }
  ASSERT_EQ(a.pictures.size(), b.pictures.size()) << i;
  for (std::size_t k = 0; k < a.pictures.size(); ++k) {
    EXPECT_TRUE(a.pictures[k].image == b.pictures[k].image && a.pictures[k].before == b.pictures[k].before &&
                a.pictures[k].after == b.pictures[k].after) << i << " picture " << k;
  }
}

// What the user would see of both: the skin, every step, the saved state,
// where it comes from and what its origin holds.
void ExpectSameDocument(const Document& original, const Document& restored) {
  EXPECT_FALSE(restored.previewing());
  EXPECT_TRUE(SameSkin(original.CommittedSkin(), restored.skin()));
  const History &a = original.history(), &b = restored.history();
  ASSERT_EQ(a.count(), b.count());
  EXPECT_EQ(a.index(), b.index());
  EXPECT_EQ(a.cleanIndex(), b.cleanIndex());
  EXPECT_EQ(a.bytes(), b.bytes());
  for (int i = 0; i < a.count(); ++i) ExpectSameStep(a.step(i), b.step(i), i);
  EXPECT_EQ(original.modified(), restored.modified());
  EXPECT_EQ(original.origin(), restored.origin());
  EXPECT_EQ(original.undoBudget(), restored.undoBudget());
  const DiskSkin &d = original.disk(), &e = restored.disk();
  EXPECT_EQ(d.path, e.path);
  EXPECT_TRUE(SameSkin(d.skin, e.skin));
  EXPECT_EQ(d.source.path, e.source.path);
  EXPECT_EQ(d.source.settingsFound, e.source.settingsFound);
  EXPECT_EQ(d.source.settings, e.source.settings);
  EXPECT_EQ(d.source.files, e.source.files);
  EXPECT_EQ(d.source.pictureFound, e.source.pictureFound);
  EXPECT_EQ(d.source.picturePath, e.source.picturePath);
  EXPECT_EQ(d.source.pictureKind, e.source.pictureKind);
  ASSERT_EQ(d.messages.size(), e.messages.size());
  for (std::size_t i = 0; i < d.messages.size(); ++i) {
    const Message &m = d.messages[i], &n = e.messages[i];
    EXPECT_TRUE(m.kind == n.kind && m.subject == n.subject && m.image == n.image && m.count == n.count &&
                m.kept == n.kept && m.pictureKept == n.pictureKept) << i;
  }
  EXPECT_EQ(d.stamps.path, e.stamps.path);
  EXPECT_EQ(d.stamps.archive, e.stamps.archive);
  EXPECT_EQ(d.stamps.files, e.stamps.files);
}

TEST(DocumentSnapshot, CarriesEverythingAndUndoGoesOnTheSame) {
  Skin defaults;
  ResetSkinToDefaults(defaults);
  Document original;
  original.SetUndoBudget(64u << 20);
  OpenFolder(original, defaults);
  Edit(original);
  ASSERT_EQ(original.history().count(), 6);
  ASSERT_EQ(original.history().index(), 5);
  ASSERT_EQ(original.history().cleanIndex(), 4);

  Document restored;
  struct Heard : DocumentObserver {
    int replaced = 0, whole = 0;
    void Replaced() override { ++replaced; }
    void SkinChanged(const SkinChange& c) override { whole += c.whole; }
  } heard;
  restored.AddObserver(&heard);
  ASSERT_TRUE(RestoreDocument(restored, SnapshotDocument(original)));
  EXPECT_EQ(heard.replaced, 1);
  EXPECT_EQ(heard.whole, 1);
  ExpectSameDocument(original, restored);

  // Undo to the start and Redo to the end, side by side.
  original.EndPreview();
  auto same = [&](const char* where) {
    EXPECT_TRUE(SameSkin(original.skin(), restored.skin())) << where;
    EXPECT_EQ(original.history().UndoText(), restored.history().UndoText()) << where;
    EXPECT_EQ(original.history().RedoText(), restored.history().RedoText()) << where;
    EXPECT_EQ(original.modified(), restored.modified()) << where;
  };
  while (original.history().CanUndo()) {
    original.Undo();
    restored.Undo();
    same("undo");
  }
  EXPECT_FALSE(restored.history().CanUndo());
  while (original.history().CanRedo()) {
    original.Redo();
    restored.Redo();
    same("redo");
  }
  // The number typed last merges with the next step of its field in both.
  original.Apply(SetNumber(Field("[start bar]", "y"), 30));
  restored.Apply(SetNumber(Field("[start bar]", "y"), 30));
  EXPECT_EQ(restored.history().count(), 6);
  ExpectSameDocument(original, restored);
}

// A small document: no pictures but the one a step imports.
std::string SmallSnapshot() {
  Document doc;
  OpenFolder(doc, Skin{});
  Edit(doc);
  return SnapshotDocument(doc);
}

TEST(DocumentSnapshot, DamagedSnapshotsAreRefusedAndChangeNothing) {
  const std::string good = SmallSnapshot();
  const std::string content = good.substr(0, good.size() - 8);
  Document target;
  target.Apply(SetNumber(Field("[start bar]", "x"), 3));
  const std::string before = SnapshotDocument(target);
  auto refused = [&](std::string_view bytes) {
    return !RestoreDocument(target, bytes) && SnapshotDocument(target) == before;
  };

  for (std::size_t n = 0; n < good.size(); ++n) {
    ASSERT_TRUE(refused(good.substr(0, n))) << "cut at " << n;
    if (n < content.size()) ASSERT_TRUE(refused(SealSnapshot(content.substr(0, n)))) << "sealed after " << n;
  }
  // A bit of a pixel (the table's second picture, after an empty one), which
  // only the checksum tells.
  std::string flipped = good;
  flipped[64] ^= 1;
  EXPECT_TRUE(refused(flipped)) << "a byte changed on the way";

  // Values that lie, each put in a known place of the small snapshot.
  const auto at = [&](std::string_view marker) { return content.find(marker); };
  const std::size_t arg = at("[start bar] y"), originPath = at(kPath), stampsPath = content.rfind(kPath),
                    subject = at(std::string_view("notes.txt\0\0\0\0\0\x03", 15));
  ASSERT_NE(subject, std::string::npos);
  struct Case {
    const char* what;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"another version", 8, {2, 0, 0, 0}},
      {"another schema", 12, {1, 0, 0, 0}},
      {"an undo budget over the largest", 20, {0, 0, 0, 0x40, 0, 0, 0, 0}},
      {"an undo budget the pictures of the history do not fit", 20, {1, 0, 0, 0, 0, 0, 0, 0}},
      {"more pictures than there are bytes", 28, {0xff, 0xff, 0xff, 0xff}},
      {"a picture wider than a picture may be", 32, {0x01, 0x40, 0, 0}},
      {"a picture narrower than its pixels", 48, {2, 0, 0, 0}},
      {"more arguments of a step's name than there are", arg - 8, {0xff, 0xff, 0xff, 0xff}},
      {"a step's field changes counted past the end", arg + 13 + 4 + 20, {0xff, 0xff, 0xff, 0}},
      {"a field of no schema", arg + 13 + 4 + 20 + 4, {0xff, 0xff, 0, 0}},
      {"a number given a text", arg + 13 + 4 + 20 + 8, {2}},
      {"more steps applied than there are", originPath - 13, {7, 0, 0, 0}},
      {"a saved state past the steps", originPath - 9, {7, 0, 0, 0}},
      {"a saved state below none", originPath - 9, {0xfe, 0xff, 0xff, 0xff}},
      {"an origin of no kind", originPath - 5, {3}},
      {"a message of no kind", subject - 4 - 4, {99, 0, 0, 0}},
      {"a yes or no that is neither", stampsPath + 15, {2}},
      {"more stamps than there are bytes", stampsPath + 16, {0, 0, 1, 0}},
  };
  Document probe;  // as it is, taken: each case below is refused for its lie alone
  ASSERT_TRUE(RestoreDocument(probe, SealSnapshot(content)));
  for (const Case& c : cases) {
    ASSERT_LE(c.offset + c.bytes.size(), content.size()) << c.what;
    std::string lie = content;
    std::memcpy(lie.data() + c.offset, c.bytes.data(), c.bytes.size());
    EXPECT_TRUE(refused(SealSnapshot(lie))) << c.what;
  }
  EXPECT_TRUE(refused(SealSnapshot(content + '\0'))) << "a byte past the end";
}

// The seeds of the fuzz target (fuzz/snapshot_fuzz.cpp) are snapshots of
// this build without their checksum, as the target takes them; they are
// written again with SKIN_WRITE_SNAPSHOT_SEEDS=tests/fuzz/snapshot.
TEST(DocumentSnapshot, FuzzSeedsAreSnapshotsOfThisBuild) {
  if (const char* dir = std::getenv("SKIN_WRITE_SNAPSHOT_SEEDS")) {
    const std::string small = SmallSnapshot();
    testutil::WriteFile(std::string(dir) + "/small.snap", small.substr(0, small.size() - 8));
    const std::string empty = SnapshotDocument(Document());
    testutil::WriteFile(std::string(dir) + "/empty.snap", empty.substr(0, empty.size() - 8));
  }
  const std::string seeds = std::string(SKIN_TEST_DATA) + "/../fuzz/snapshot";
  const std::vector<std::string> names = testutil::ListFolder(seeds);
  ASSERT_EQ(names.size(), 2u);
  for (const std::string& name : names) {
    Document doc;
    EXPECT_TRUE(RestoreDocument(doc, SealSnapshot(testutil::ReadFile(seeds + "/" + name)))) << name;
  }
}

}  // namespace
