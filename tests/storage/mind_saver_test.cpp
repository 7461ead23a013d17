#include <gtest/gtest.h>

#include "storage/bank_files.h"
#include "test_folder.h"

namespace vesko {
namespace {

const std::string kMind = mindText({{"version.mbk", "4.1\n300\n"},
                                    {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                                    {"context.mbk", "rule line\n"}});

TEST(SaveMind, WritesEveryBankPacksThemAndLeavesNoBankBehind) {
  TestFolder f;
  f.write("m.mnd", kMind);
  auto brain = newBrain(f);
  EXPECT_FALSE(brain->saveMind().isOk());  // nothing loaded yet
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  for (int i = 0; i < 3; ++i) brain->nouns().add("dog");
  brain->botInfo().location = "Varna";
  brain->badAnswers().pushBack("Not That");
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_TRUE(f.files(".mbk").empty());
  EXPECT_FALSE(brain->saveMind().isOk());  // a second save would pack an emptied folder

  TestFolder g;
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), g.path()).isOk());
  EXPECT_EQ(g.read("botinfo.mbk"), "Vesko\nfriend\nAnna\nmale\n30\nVarna\n");
  EXPECT_EQ(g.read("bad.mbk") + g.read("context.mbk") + g.read("version.mbk"), "Not That\nrule line\n4.1\n300\n");
  EXPECT_NE(f.read("m.mnd").find("[{[stuffing.mbk]}]\n[{["), std::string::npos);  // an empty tree is an empty member
  auto again = newBrain(f);  // counts survive the round trip
  ASSERT_TRUE(again->loadMind(f.path("m.mnd")).loaded());
  ASSERT_TRUE(again->checkpoint().isOk());
  EXPECT_EQ(f.read("nouns.mbk"), "DOG\nDOG\nDOG\n");
}

TEST(SaveMind, AnOlderMindKeepsItsDefaultsAndLosesItsConvertedBanks) {
  TestFolder f;
  f.write("names.x", "DEFAULT\n");
  f.write("bad.x", "DEFAULT\n");
  const std::string older = mindText({{"version.mbk", "4.1\n100\n"}, {"mem.mbk", "A\nB\n***\n"}, {"know.mbk", "cats are nice animals\n"}});
  f.write("m.mnd", older);
  auto brain = newBrain(f);
  ASSERT_EQ(brain->loadMind(f.path("m.mnd")).code, LoadResult::kOlder);
  brain->names().add("zed");
  brain->badAnswers().pushBack("new ban");
  ASSERT_TRUE(brain->checkpoint().isOk());  // keeps everything in use
  EXPECT_TRUE(brain->mindInUse() && f.has("groups.mb2") && f.has("mem.mbk"));

  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_EQ(f.read("names.x") + f.read("bad.x"), "DEFAULT\nDEFAULT\n");
  EXPECT_TRUE(f.files(".mb2").empty() && f.files(".mbk").empty());
  const std::string packed = f.read("m.mnd");
  EXPECT_EQ(packed.find("names.mbk"), std::string::npos);
  EXPECT_EQ(packed.find("bad.mbk"), std::string::npos);
  for (const char* member : {"[{[mem.mbk]}]\nA\nB\n***\n", "[{[know.mbk]}]\ncats are nice animals\n", "[{[version.mbk]}]\n4.1\n100\n"})
    EXPECT_NE(packed.find(member), std::string::npos) << member;
}

TEST(SaveMind, AMindFileThatCannotBeWrittenKeepsTheBanksAndSaysSo) {
  TestFolder f;
  f.write("m.mnd", kMind);
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  brain->nouns().add("dog");
  std::filesystem::remove(f.path("m.mnd").std());
  f.write("m.mnd/blocker", "");  // the mind path is now a folder
  const Status s = brain->saveMind();
  EXPECT_NE(s.message().find("cannot write the mind file " + f.path("m.mnd").std()), std::string::npos) << s.message();
  EXPECT_TRUE(brain->mindInUse() && f.has("context.mbk") && f.has("version.mbk"));
  EXPECT_EQ(f.read("nouns.mbk"), "DOG\n");

  std::filesystem::remove_all(f.path("m.mnd").std());
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_NE(f.read("m.mnd").find("[{[nouns.mbk]}]\nDOG\n"), std::string::npos);
}

TEST(CreateMindStep, PacksAFolderIntoNewMndOrTheDefaultsIntoAMindFile) {
  TestFolder work;
  work.write("names.x", "ANNA\n");
  TestFolder source;
  source.write("groups.mbk", "g\n");
  auto brain = newBrain(work);
  ASSERT_TRUE(brain->createMindStep(5, source.path()).isOk() && source.has("groups.mbk"));
  ASSERT_TRUE(brain->createMindStep(6, source.path("fresh.mnd")).isOk() && work.has("names.x"));
  EXPECT_EQ(source.read("new.mnd") + source.read("fresh.mnd"), "[{[groups.mbk]}]\ng\n[{[names.mbk]}]\nANNA\n");
  EXPECT_FALSE(brain->createMindStep(7, source.path()).isOk());
}

}  // namespace
}  // namespace vesko
