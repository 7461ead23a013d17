#include "storage/bank_files.h"

#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

// Packing drops blank lines and leading blanks and carriage returns, keeps a
// last line without a line end, refuses header-like lines and leaves the
// defaults (".x") alone; unpacking takes a mind written on Windows too.
TEST(MindFile, PacksBankLinesCleanedAndInNameOrderAndUnpacksThemBack) {
  TestFolder f;
  f.write("x.mbk", "\n\n  a\n   \nb  \r\n\tc");  // the last line has no line end
  f.write("w.mbk", "one\n[{[v.mbk]}]\ntwo\n");
  f.write("names.x", "default\n");
  ASSERT_TRUE(packBanks(f.path("m.mnd"), f.path(), "*.mbk", true).isOk());
  EXPECT_EQ(f.read("m.mnd"), "[{[w.mbk]}]\none\ntwo\n[{[x.mbk]}]\na\nb  \nc\n");
  EXPECT_TRUE(f.files(".mbk").empty() && f.has("names.x") && f.files(".tmp").empty());
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), f.path()).isOk());
  EXPECT_EQ(f.read("x.mbk"), "a\nb  \nc\n");
  f.write("n.mnd", "[{[a.mbk]}]\r\n1\r\n[{[b.mbk]}]\r\n2\r\n");
  ASSERT_TRUE(unpackBanks(f.path("n.mnd"), f.path()).isOk());
  EXPECT_EQ(f.read("a.mbk") + f.read("b.mbk"), "1\n2\n");
}

// A missing or blank mind unpacks to nothing; a mind named like a bank is
// refused and left as it was.
TEST(MindFile, AMindNamedLikeABankIsRefusedAndAnEmptyOneIsNone) {
  TestFolder f;
  f.write("empty.mnd", " \n\n");
  EXPECT_TRUE(unpackBanks(f.path("empty.mnd"), f.path()).isOk() && unpackBanks(f.path("missing.mnd"), f.path()).isOk());
  for (const char* name : {"m.mbk", "m.x"}) {
    f.write(name, "[{[a.mbk]}]\ny\n");
    EXPECT_FALSE(unpackBanks(f.path(name), f.path()).isOk() || packBanks(f.path(name), f.path(), "*.mbk", true).isOk() ||
                 packDefaults(f.path(name), f.path()).isOk()) << name;
    EXPECT_TRUE(f.read(name) == "[{[a.mbk]}]\ny\n" && !f.has("a.mbk")) << name;
  }
}

}  // namespace
}  // namespace vesko
