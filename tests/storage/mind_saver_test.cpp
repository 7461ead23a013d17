#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A save packs every bank and leaves none behind (failed saves are the
// hardening tests' part), and the banks read back as they were written.
TEST(SaveMind, WritesEveryBankPacksThemAndLeavesNoBankBehind) {
  TestFolder f;
  f.write("m.mnd", mindText({{"version.mbk", "4.1\n300\n"}, {"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                             {"context.mbk", "rule line\n"}}));
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  // Words are saved upper-cased, once per add, in order; words a bank line cannot
  // hold are refused; a removed word stays gone, but its continuations stay.
  for (const char* word : {"dog", "DOG", "dog", "cat", "cats", "b", "A B", "[{[X", "caf\xe9", ""}) brain->nouns().add(word);
  brain->nouns().add(Str(std::string(WordTree::kMaxWordLength + 1, 'A')));
  brain->nouns().remove("CAT");
  brain->nouns().add("cat");
  brain->botInfo().location = "Varna";
  brain->badAnswers().pushBack("Not That");
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_TRUE(f.files(".mbk").empty() && f.files(".tmp").empty());
  EXPECT_FALSE(brain->saveMind().isOk());  // a second save would pack an emptied folder
  auto again = newBrain(f);
  ASSERT_TRUE(again->loadMind(f.path("m.mnd")).loaded());
  ASSERT_TRUE(again->checkpoint().isOk());  // the tree is written back as it was read
  EXPECT_EQ(f.read("nouns.mbk"), "B\nCATS\nDOG\nDOG\nDOG\n");
  EXPECT_EQ(f.read("botinfo.mbk"), "Vesko\nfriend\nAnna\nmale\n30\nVarna\n");
  EXPECT_EQ(f.read("bad.mbk") + f.read("context.mbk") + f.read("version.mbk"), "Not That\nrule line\n4.1\n300\n");
}

// An older mind's "***"-ended paragraphs of "mem.mbk" (not an unended last
// one) and lines of "know.mbk" are taught to new banks exactly as a model
// taught them would save them; saving keeps the defaults and the old members
// and drops the converted banks.
TEST(SaveMind, AnOlderMindIsConvertedOnLoadAndSavedAsItWas) {
  TestFolder f;
  f.write("names.x", "DEFAULT\n");
  f.write("bad.x", "DEFAULT\n");
  const std::string mem = "A\nB\n***\nC\n***\n***\nX\n***\n***\nY\nZ\n";
  f.write("m.mnd", mindText({{"version.mbk", "4.1\n100\n"}, {"mem.mbk", mem}, {"know.mbk", "cats are nice animals\n"}}));
  auto brain = newBrain(f);
  ASSERT_EQ(brain->loadMind(f.path("m.mnd")).code, LoadResult::kOlder);
  SeededRandom random(7);
  GrammarModel grammar(random);
  for (const char* sentence : {"A B", "C", "*** X"}) grammar.learn(WordList(sentence));
  KnowledgeStore knowledge;
  knowledge.learn(WordList("cats are nice animals"));
  TestFolder want;
  ASSERT_TRUE(grammar.save(want.path("groups.mb2"), want.path("temps.mb2"), want.path("sr.mb2")).isOk());
  ASSERT_TRUE(knowledge.save(want.path("morvash.mb2")).isOk());
  for (const char* bank : {"groups.mb2", "temps.mb2", "sr.mb2", "morvash.mb2"}) EXPECT_EQ(f.read(bank), want.read(bank)) << bank;

  brain->names().add("zed");
  brain->badAnswers().pushBack("new ban");
  ASSERT_TRUE(brain->checkpoint().isOk());  // keeps everything in use
  EXPECT_TRUE(brain->mindInUse() && f.has("groups.mb2") && f.has("mem.mbk"));
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_EQ(f.read("names.x") + f.read("bad.x"), "DEFAULT\nDEFAULT\n");
  EXPECT_TRUE(f.files(".mb2").empty() && f.files(".mbk").empty());
  const std::string packed = f.read("m.mnd");
  EXPECT_FALSE(has(packed, "names.mbk") || has(packed, "bad.mbk") || has(packed, ".mb2"));
  EXPECT_TRUE(has(packed, "[{[know.mbk]}]\ncats are nice animals\n[{[mem.mbk]}]\n" + mem) &&
              has(packed, "[{[version.mbk]}]\n4.1\n100\n"));
}

}  // namespace
}  // namespace vesko
