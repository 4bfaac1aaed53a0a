// The recovery journal's manifest is read from a folder any program of the
// user may write into: names of every kind come back as they went in, and
// anything that does not hold together is refused whole.
#include <gtest/gtest.h>

#include "edit/journal_manifest.h"

namespace {

JournalManifest FolderManifest(const std::string& origin) {
  return {4242, 99, {2026, 3, 4, 5, 6, 7}, JournalManifest::Kind::Folder, origin, origin, "2026/03/04-05:06:07"};
}

TEST(JournalManifestTest, NamesOfAnyKindComeBackAsTheyWent) {
  const std::string names[] = {
      "/skins/plain",
      "/skins/My Skin\nsaveTarget = /elsewhere",  // a name that would forge a line
      "/skins/ends in blanks  ",
      "/skins/ a blank after the slash",
      "/skins/\"quoted\" and back\\slash\\x41",
      "/skins/tab\tcr\rdel\x7f" "esc\x1b",
      "/skins/not utf-8 \xff\xfe caf\xc3\xa9",
      "/skins/= and ; and [journal]",
  };
  for (const std::string& name : names) {
    const JournalManifest m = FolderManifest(name);
    const std::string bytes = FormatJournalManifest(m);
    // Every value on its own line: the name added none.
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 9) << name;
    const std::optional<JournalManifest> back = ParseJournalManifest(bytes);
    ASSERT_TRUE(back) << name;
    EXPECT_EQ(*back, m) << name;
  }
  JournalManifest builtIn{1, 0, {1970, 1, 1, 0, 0, 0}, JournalManifest::Kind::BuiltIn, "", "", ""};
  EXPECT_EQ(ParseJournalManifest(FormatJournalManifest(builtIn)), builtIn);
  JournalManifest archive{2147483647, 1, {9999, 12, 31, 23, 59, 60}, JournalManifest::Kind::Archive, "/a.zip", "", "x"};
  EXPECT_EQ(ParseJournalManifest(FormatJournalManifest(archive)), archive);
}

TEST(JournalManifestTest, AManifestOfTheEarlierFormatIsReadUnderTheSameChecks) {
  const std::string old = "\xEF\xBB\xBF[journal]\r\npid = 12\r\nstarted = 34\r\ntime = 2024-05-06T07:08:09Z\r\n"
                          "kind = folder\r\norigin = /skins/Old One\r\nsaveTarget = /skins/Old One\r\n"
                          "lastUpdate = 2024/05/06-07:08:09\r\n";
  const std::optional<JournalManifest> m = ParseJournalManifest(old);
  ASSERT_TRUE(m);
  EXPECT_EQ(*m, (JournalManifest{12, 34, {2024, 5, 6, 7, 8, 9}, JournalManifest::Kind::Folder, "/skins/Old One",
                                 "/skins/Old One", "2024/05/06-07:08:09"}));
  // The forged line of a name with a line break, as the earlier format wrote it.
  EXPECT_FALSE(ParseJournalManifest("[journal]\npid = 12\ntime = 2024-05-06T07:08:09Z\nkind = folder\n"
                                    "origin = /skins/a\nsaveTarget = /elsewhere\nsaveTarget = /skins/a\n"));
}

TEST(JournalManifestTest, WhatDoesNotHoldTogetherIsRefused) {
  const std::string good = FormatJournalManifest(FolderManifest("/skins/a"));
  const auto with = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
  };
  const std::pair<std::string, std::string> cases[] = {
      {"saveTarget = \"/skins/a\"", "saveTarget = \"/elsewhere\""},  // Save would write another folder
      {"origin = \"/skins/a\"", "origin = \"skins/a\""},             // not absolute
      {"kind = folder", "kind = built-in"},                          // the built-in skin has no origin
      {"kind = folder", "kind = drive"},
      {"pid = 4242", "pid = 0"},
      {"pid = 4242", "pid = 2147483648"},
      {"pid = 4242", "pid = -1"},
      {"pid = 4242", "pid = 12x"},
      {"started = 99", "started = 9999999999999999999"},
      {"time = 2026-03-04T05:06:07Z", "time = 2026-13-04T05:06:07Z"},
      {"time = 2026-03-04T05:06:07Z", "time = 2026-03-04T24:06:07Z"},
      {"time = 2026-03-04T05:06:07Z", "time = 2026-03-04 05:06:07"},
      {"time = 2026-03-04T05:06:07Z", "time = 1969-12-31T23:59:59Z"},
      {"format = 2", "format = 3"},
      {"[journal]", "[journal2]"},
      {"lastUpdate = \"2026/03/04-05:06:07\"", "lastUpdate = \"2026\\n\""},  // a line break in the settings file
      {"lastUpdate = \"2026/03/04-05:06:07\"", "lastUpdate = 2026"},        // unquoted in the second format
      {"origin = \"/skins/a\"", "origin = \"/skins/a\\q\""},                // no such escape
      {"origin = \"/skins/a\"", "origin = \"/skins/a\\x4\""},               // an escape cut short
      {"origin = \"/skins/a\"", "origin = \"/skins/a\\x00\""},              // NUL ends a path
      {"origin = \"/skins/a\"", "origin = \"/skins/\"a\""},
      {"lastUpdate", "colour"},                                             // an unknown key
      {"lastUpdate = \"2026/03/04-05:06:07\"", "lastUpdate = \"x\"\r\nlastUpdate = \"y\""},
      {"kind = folder\r\n", ""},                                            // a key missing
  };
  for (const auto& [from, to] : cases) EXPECT_FALSE(ParseJournalManifest(with(from, to))) << to;
  EXPECT_FALSE(ParseJournalManifest(""));
  EXPECT_FALSE(ParseJournalManifest(good + std::string(kMaxManifestSize, ';')));
  EXPECT_TRUE(ParseJournalManifest(good + std::string(kMaxManifestSize - good.size(), '\n')));
}

}  // namespace
