#include "storage/bank_files.h"

#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {


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
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), f.path()).isOk());
  EXPECT_EQ(f.read("x.mbk"), "a\nb  \nc\n");
  // Stray lines before the first header are dropped; the last member of a name wins.
  f.write("n.mnd", "stray\n[{[a.mbk]}]\n1\n2\n[{[b.mbk]}]\r\n3\n[{[a.mbk]}]\nlast");
  ASSERT_TRUE(unpackBanks(f.path("n.mnd"), f.path()).isOk());
  EXPECT_EQ(f.read("a.mbk") + f.read("b.mbk"), "last\n3\n");
  f.write("empty/keep.txt", "");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path("empty/"), "*.mbk", false).isOk());
  EXPECT_EQ(f.read("m.mnd"), "");
}

// Unsafe member names and files without headers are refused when a mind loads.
TEST(MindFile, AMindNamedLikeABankIsRefusedAndAnEmptyOneIsNone) {
  TestFolder f;
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

}  // namespace
}  // namespace vesko
