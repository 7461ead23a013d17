#include <gtest/gtest.h>

#include "storage/bank_files.h"
#include "test_folder.h"

namespace vesko {
namespace {

std::vector<std::string> names(const StrList& list) {
  std::vector<std::string> out;
  for (const Str& s : list) out.push_back(s.std());
  return out;
}

TEST(MindFile, PackingDropsEmptyLinesAndLeadingBlanksAndKeepsAnUnendedLastLine) {
  TestFolder f;
  f.write("x.mbk", "\n\n  a\n   \nb  \r\n\tc");
  f.write("y.mbk", "");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path(), "*.mbk", false).isOk());
  EXPECT_EQ(f.read("m.mnd"), "[{[x.mbk]}]\na\nb  \nc\n[{[y.mbk]}]\n");

  TestFolder g;
  StrList written;
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), g.path(), &written).isOk());
  EXPECT_EQ(g.read("x.mbk"), "a\nb  \nc\n");
  EXPECT_EQ(g.read("y.mbk"), "");
  EXPECT_EQ(names(written), (std::vector<std::string>{"x.mbk", "y.mbk"}));
}

TEST(MindFile, UnpackingSplitsMembersDropsLinesBeforeTheFirstHeaderAndLetsTheLastOfANameWin) {
  TestFolder f;
  f.write("m.mnd", "stray\n[{[a.mbk]}]\n1\n2\n[{[b.mbk]}]\r\n3\n[{[a.mbk]}]\nlast");
  StrList written;
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), f.path(), &written).isOk());
  EXPECT_EQ(f.read("a.mbk"), "last\n");
  EXPECT_EQ(f.read("b.mbk"), "3\n");
  EXPECT_EQ(names(written), (std::vector<std::string>{"a.mbk", "b.mbk"}));
}

TEST(MindFile, UnpackingRefusesUnsafeMembersAndFilesWithoutHeadersAndWritesNothing) {
  for (const std::string bad : {"../evil.mbk", "sub/x.mbk", "x.txt", ".mbk", "a..mbk", "ab"}) {
    TestFolder f;
    f.write("m.mnd", "[{[good.mbk]}]\nline\n[{[" + bad + "]}]\nline\n");
    const Status s = unpackBanks(f.path("m.mnd"), f.path());
    EXPECT_FALSE(s.isOk()) << bad;
    EXPECT_NE(s.message().find("m.mnd\", line 3"), std::string::npos) << s.message();
    EXPECT_TRUE(f.files(".mbk").empty()) << bad;
  }
  TestFolder f;
  f.write("plain.mnd", "\n  hello\nworld\n");
  const Status s = unpackBanks(f.path("plain.mnd"), f.path());
  EXPECT_NE(s.message().find("\"plain.mnd\", line 2"), std::string::npos) << s.message();
  f.write("empty.mnd", " \n\n");
  EXPECT_TRUE(unpackBanks(f.path("empty.mnd"), f.path()).isOk());
  EXPECT_TRUE(unpackBanks(f.path("missing.mnd"), f.path()).isOk());
  EXPECT_EQ(f.files(".mbk").size(), 0u);
}

TEST(MindFile, AMindFileNamedLikeABankIsRefused) {
  TestFolder f;
  f.write("a.mbk", "x\n");
  for (const char* name : {"m.mbk", "m.x"}) {
    f.write(name, "[{[a.mbk]}]\ny\n");
    EXPECT_FALSE(unpackBanks(f.path(name), f.path()).isOk()) << name;
    EXPECT_FALSE(packBanks(f.path(name), f.path(), "*.mbk", true).isOk()) << name;
    EXPECT_FALSE(packDefaults(f.path(name), f.path()).isOk()) << name;
    EXPECT_EQ(f.read(name), "[{[a.mbk]}]\ny\n");
  }
  EXPECT_EQ(f.read("a.mbk"), "x\n");
}

TEST(MindFile, PackingAnEmptyFolderTruncatesTheMindFile) {
  TestFolder f;
  f.write("m.mnd", "[{[a.mbk]}]\nold\n");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path(), "*.mbk", true).isOk());
  EXPECT_TRUE(f.has("m.mnd"));
  EXPECT_EQ(f.read("m.mnd"), "");
}

TEST(MindFile, PackingWithDeleteRemovesOnlyThePackedBanksAndDropsHeaderLikeLines) {
  TestFolder f;
  f.write("b.mbk", "two\n[{[c.mbk]}]\nthree\n");
  f.write("a.mbk", "one\n");
  f.write("names.x", "default\n");
  f.write("notes.txt", "keep\n");
  f.write("dir.mbk/inner.mbk", "folder\n");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path(), "*.mbk", true).isOk());
  EXPECT_EQ(f.read("m.mnd"), "[{[a.mbk]}]\none\n[{[b.mbk]}]\ntwo\nthree\n");
  EXPECT_EQ(f.files(".mbk"), (std::vector<std::string>{"dir.mbk"}));
  EXPECT_TRUE(f.has("names.x") && f.has("notes.txt"));
  EXPECT_EQ(f.files(".tmp").size(), 0u);
}

TEST(MindFile, PackDefaultsNamesMembersAsBanksAndKeepsTheDefaults) {
  TestFolder f;
  f.write("names.x", "ANNA\n");
  f.write("bad.x", "no\n");
  f.write("stray.mbk", "not a default\n");
  TestFolder other;
  ASSERT_TRUE(packDefaults(other.path("new.mnd"), f.path()).isOk());
  EXPECT_EQ(other.read("new.mnd"), "[{[bad.mbk]}]\nno\n[{[names.mbk]}]\nANNA\n");
  EXPECT_EQ(f.read("names.x"), "ANNA\n");
}

// A mind file that cannot be written must leave both the old mind file and
// the banks alone. Permissions do not stop root, so the paths are made folders.
TEST(MindFile, APackThatCannotWriteKeepsTheOldMindFileAndTheBanks) {
  TestFolder f;
  f.write("a.mbk", "one\n");
  f.write("m.mnd", "[{[a.mbk]}]\nold\n");
  f.write("m.mnd.tmp/blocker", "");
  Status s = packBanks(f.path("m.mnd"), f.path(), "*.mbk", true);
  EXPECT_FALSE(s.isOk());
  EXPECT_NE(s.message().find("cannot write the mind file " + f.path("m.mnd").std()), std::string::npos) << s.message();
  EXPECT_NE(s.message().find(f.path().std()), std::string::npos) << s.message();
  EXPECT_EQ(f.read("m.mnd"), "[{[a.mbk]}]\nold\n");
  EXPECT_EQ(f.read("a.mbk"), "one\n");

  f.write("dir.mnd/blocker", "");
  s = packBanks(f.path("dir.mnd"), f.path(), "*.mbk", true);
  EXPECT_FALSE(s.isOk());
  EXPECT_EQ(f.read("a.mbk"), "one\n");
  EXPECT_FALSE(f.has("dir.mnd.tmp"));
}

TEST(MindFile, ListFilesMatchesTheWildcardAndSortsByName) {
  TestFolder f;
  for (const char* name : {"b.mbk", "a.mbk", "c.mbkx", "d.x", "B.mbk"}) f.write(name, "");
  f.write("e.mbk/inner", "");
  StrList list;
  listFiles(f.path() + "*.mbk", list);
  EXPECT_EQ(names(list), (std::vector<std::string>{"B.mbk", "a.mbk", "b.mbk"}));
  listFiles(f.path() + "?.x", list);
  EXPECT_EQ(list.count(), 4);
  listFiles(f.path() + "missing/*.mbk", list);
  EXPECT_EQ(list.count(), 4);
}

}  // namespace
}  // namespace vesko
