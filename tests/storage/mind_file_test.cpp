#include "storage/bank_files.h"

#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

bool mentions(const Status& status, const std::string& text) { return status.message().find(text) != std::string::npos; }

TEST(MindFile, PacksBankLinesCleanedAndInNameOrderAndUnpacksThemBack) {
  TestFolder f;
  f.write("x.mbk", "\n\n  a\n   \nb  \r\n\tc");  // the last line has no line end
  f.write("w.mbk", "one\n[{[v.mbk]}]\ntwo\n");  // a header-like line cannot be stored
  f.write("names.x", "default\n");
  f.write("dir.mbk/inner.mbk", "");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path(), "*.mbk", true).isOk());
  EXPECT_EQ(f.read("m.mnd"), "[{[w.mbk]}]\none\ntwo\n[{[x.mbk]}]\na\nb  \nc\n");
  EXPECT_EQ(f.files(".mbk"), std::vector<std::string>{"dir.mbk"});
  EXPECT_TRUE(f.has("names.x") && f.files(".tmp").empty());

  StrList written;
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), f.path(), &written).isOk());
  EXPECT_EQ(f.read("x.mbk"), "a\nb  \nc\n");
  EXPECT_EQ(written.count(), 2);
  // Stray lines before the first header are dropped; the last member of a name wins.
  f.write("n.mnd", "stray\n[{[a.mbk]}]\n1\n2\n[{[b.mbk]}]\r\n3\n[{[a.mbk]}]\nlast");
  ASSERT_TRUE(unpackBanks(f.path("n.mnd"), f.path(), &written).isOk());
  EXPECT_EQ(f.read("a.mbk") + f.read("b.mbk"), "last\n3\n");
  EXPECT_EQ(written.count(), 4);

  f.write("empty/keep.txt", "");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path("empty/"), "*.mbk", false).isOk());
  EXPECT_EQ(f.read("m.mnd"), "");
}

TEST(MindFile, UnpackingRefusesUnsafeMembersAndHeaderlessFilesAndWritesNothing) {
  for (const std::string bad : {"../evil.mbk", "sub/x.mbk", "x.txt", ".mbk", "a..mbk", "ab"}) {
    TestFolder f;
    f.write("m.mnd", "[{[good.mbk]}]\nline\n[{[" + bad + "]}]\nline\n");
    const Status s = unpackBanks(f.path("m.mnd"), f.path());
    EXPECT_TRUE(mentions(s, "\"m.mnd\", line 3")) << bad << ": " << s.message();
    EXPECT_TRUE(f.files(".mbk").empty()) << bad;
  }
  TestFolder f;
  f.write("plain.mnd", "\n  hello\nworld\n");
  EXPECT_TRUE(mentions(unpackBanks(f.path("plain.mnd"), f.path()), "\"plain.mnd\", line 2"));
  f.write("empty.mnd", " \n\n");
  EXPECT_TRUE(unpackBanks(f.path("empty.mnd"), f.path()).isOk());
  EXPECT_TRUE(unpackBanks(f.path("missing.mnd"), f.path()).isOk());
  for (const char* name : {"m.mbk", "m.x"}) {  // a mind named like a bank
    f.write(name, "[{[a.mbk]}]\ny\n");
    EXPECT_FALSE(unpackBanks(f.path(name), f.path()).isOk()) << name;
    EXPECT_FALSE(packBanks(f.path(name), f.path(), "*.mbk", true).isOk()) << name;
    EXPECT_FALSE(packDefaults(f.path(name), f.path()).isOk()) << name;
    EXPECT_EQ(f.read(name), "[{[a.mbk]}]\ny\n");
  }
  EXPECT_FALSE(f.has("a.mbk"));
}

// Permissions do not stop root, so the paths that must fail are made folders.
TEST(MindFile, APackThatCannotWriteKeepsTheOldMindFileAndTheBanks) {
  TestFolder f;
  f.write("a.mbk", "one\n");
  f.write("m.mnd", "[{[a.mbk]}]\nold\n");
  f.write("m.mnd.tmp/blocker", "");
  const Status s = packBanks(f.path("m.mnd"), f.path(), "*.mbk", true);
  EXPECT_TRUE(mentions(s, "cannot write the mind file " + f.path("m.mnd").std())) << s.message();
  EXPECT_TRUE(mentions(s, "stay in " + f.path().std())) << s.message();
  EXPECT_EQ(f.read("m.mnd"), "[{[a.mbk]}]\nold\n");

  f.write("dir.mnd/blocker", "");
  EXPECT_FALSE(packBanks(f.path("dir.mnd"), f.path(), "*.mbk", true).isOk());
  EXPECT_FALSE(f.has("dir.mnd.tmp"));
  EXPECT_EQ(f.read("a.mbk"), "one\n");
}

}  // namespace
}  // namespace vesko
