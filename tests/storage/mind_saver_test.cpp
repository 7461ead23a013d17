#include <gtest/gtest.h>

#include "storage/bank_files.h"
#include "test_folder.h"

namespace vesko {
namespace {

const std::string kCurrentMind = mindText({{"version.mbk", "4.1\n300\n"},
                                           {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                                           {"context.mbk", "rule line\n"},
                                           {"names.mbk", "BOB\n"}});

TEST(SaveMind, WritesEveryBankPacksThemAndLeavesNoBankBehind) {
  TestFolder f;
  f.write("m.mnd", kCurrentMind);
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  for (int i = 0; i < 3; ++i) brain->nouns().add("dog");
  brain->botInfo().location = "Varna";
  brain->badAnswers().pushBack("Not That");
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_TRUE(f.files(".mbk").empty());
  EXPECT_FALSE(brain->mindInUse());
  EXPECT_FALSE(brain->saveMind().isOk());  // a second save would pack an emptied folder

  TestFolder g;
  ASSERT_TRUE(unpackBanks(f.path("m.mnd"), g.path()).isOk());
  EXPECT_EQ(g.read("botinfo.mbk"), "Vesko\nfriend\nAnna\nmale\n30\nVarna\n");
  EXPECT_EQ(g.read("nouns.mbk"), "DOG\nDOG\nDOG\n");
  EXPECT_EQ(g.read("stuffing.mbk"), "");  // an empty tree still makes its member
  EXPECT_EQ(g.read("bad.mbk"), "Not That\n");
  EXPECT_EQ(g.read("context.mbk"), "rule line\n");
  EXPECT_EQ(g.read("version.mbk"), "4.1\n300\n");
  EXPECT_NE(f.read("m.mnd").find("[{[stuffing.mbk]}]\n[{["), std::string::npos);

  // The count survives the round trip.
  auto again = newBrain(f);
  ASSERT_TRUE(again->loadMind(f.path("m.mnd")).loaded());
  ASSERT_TRUE(again->checkpoint().isOk());
  EXPECT_EQ(f.read("nouns.mbk"), "DOG\nDOG\nDOG\n");
}

TEST(SaveMind, AnOlderMindKeepsItsDefaultsAndLosesItsConvertedBanks) {
  TestFolder f;
  for (const char* name : {"names.x", "bad.x", "idq.x"}) f.write(name, "DEFAULT\n");
  f.write("profiles.x", "0\n");
  f.write("emoticon.x", "4\n:)\n");
  const std::string older = mindText({{"version.mbk", "4.1\n100\n"}, {"mem.mbk", "A\nB\n***\n"}, {"know.mbk", "cats are nice animals\n"}});
  f.write("m.mnd", older);
  auto brain = newBrain(f);
  const LoadResult loaded = brain->loadMind(f.path("m.mnd"));
  ASSERT_TRUE(loaded.loaded()) << loaded.status.message();
  ASSERT_EQ(loaded.code, LoadResult::kOlder);
  brain->names().add("zed");
  brain->badAnswers().pushBack("new ban");

  const Status kept = brain->checkpoint();  // keeps everything in use
  ASSERT_TRUE(kept.isOk()) << kept.message();
  EXPECT_TRUE(f.has("groups.mb2") && f.has("morvash.mb2") && f.has("mem.mbk"));
  EXPECT_TRUE(brain->mindInUse());

  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_EQ(f.read("names.x"), "DEFAULT\n");
  EXPECT_EQ(f.read("bad.x"), "DEFAULT\n");
  EXPECT_TRUE(f.files(".mb2").empty());
  EXPECT_TRUE(f.files(".mbk").empty());
  const std::string packed = f.read("m.mnd");
  EXPECT_EQ(packed.find("names.mbk"), std::string::npos);
  EXPECT_EQ(packed.find("bad.mbk"), std::string::npos);
  for (const char* member : {"[{[mem.mbk]}]\nA\nB\n***\n", "[{[know.mbk]}]\ncats are nice animals\n", "[{[version.mbk]}]\n4.1\n100\n"})
    EXPECT_NE(packed.find(member), std::string::npos) << member;
}

TEST(SaveMind, AMindFileThatCannotBeWrittenKeepsTheBanksAndSaysSo) {
  TestFolder f;
  f.write("m.mnd", kCurrentMind);
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  brain->nouns().add("dog");
  std::filesystem::remove(f.path("m.mnd").std());
  f.write("m.mnd/blocker", "");  // the mind path is now a folder

  const Status s = brain->saveMind();
  EXPECT_FALSE(s.isOk());
  EXPECT_NE(s.message().find("cannot write the mind file " + f.path("m.mnd").std()), std::string::npos) << s.message();
  EXPECT_EQ(f.read("nouns.mbk"), "DOG\n");
  EXPECT_TRUE(f.has("context.mbk") && f.has("version.mbk"));
  EXPECT_TRUE(brain->mindInUse());

  std::filesystem::remove_all(f.path("m.mnd").std());
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_NE(f.read("m.mnd").find("[{[nouns.mbk]}]\nDOG\n"), std::string::npos);
}

TEST(SaveMind, ABrainWithoutAMindRefusesToSave) {
  TestFolder f;
  f.write("names.mbk", "BOB\n");
  auto brain = newBrain(f);
  EXPECT_FALSE(brain->saveMind().isOk());
  EXPECT_FALSE(brain->checkpoint().isOk());
  EXPECT_EQ(f.read("names.mbk"), "BOB\n");
}

TEST(CreateMindStep, PacksANewMindFromAFolderOrFromTheDefaults) {
  TestFolder work;
  work.write("names.x", "ANNA\n");
  work.write("version.x", "4.1\n300\n");
  TestFolder source;
  source.write("groups.mbk", "g\n");
  auto brain = newBrain(work);
  ASSERT_TRUE(brain->createMindStep(5, source.path()).isOk());
  EXPECT_EQ(source.read("new.mnd"), "[{[groups.mbk]}]\ng\n");
  EXPECT_TRUE(source.has("groups.mbk"));

  ASSERT_TRUE(brain->createMindStep(6, source.path("fresh.mnd")).isOk());
  EXPECT_EQ(source.read("fresh.mnd"), "[{[names.mbk]}]\nANNA\n[{[version.mbk]}]\n4.1\n300\n");
  EXPECT_TRUE(work.has("names.x"));
  EXPECT_FALSE(brain->createMindStep(7, source.path()).isOk());
}

}  // namespace
}  // namespace vesko
