#include "learning/knowledge_store.h"

#include <gtest/gtest.h>

#include "storage/test_folder.h"

namespace vesko {
namespace {

std::vector<std::string> words(const std::vector<KnowledgeStore::Entry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.word.std());
  return out;
}

bool learn(KnowledgeStore& store, const char* sentence) { return store.learn(WordList(Str(sentence))); }
Str recall(KnowledgeStore& store, const char* question) { return store.recall(WordList(Str(question))); }

TEST(KnowledgeStore, LearnsStatementsOfFourWordsOrMoreIndexedByKeyword) {
  KnowledgeStore store;
  EXPECT_TRUE(learn(store, "My dog is called Rex."));
  EXPECT_EQ(store.sentence(0).text, "MY DOG IS CALLED REX.");
  EXPECT_EQ(words(store.indexEntries()), (std::vector<std::string>{"CALLED", "DOG", "MY", "REX"}));

  EXPECT_EQ(recall(store, "WHAT IS MY DOG CALLED?"), "your dog is called rex.");
  EXPECT_EQ(store.lastRecalled(), 0);
  EXPECT_FALSE(learn(store, "I LIKE IT"));
  EXPECT_FALSE(learn(store, "IS MY DOG CALLED REX?"));
  EXPECT_FALSE(learn(store, ("MY DOG IS " + std::string(1990, 'X')).c_str()));  // longer than a bank line
  EXPECT_FALSE(learn(store, "[{[X]}] IS A MEMBER"));
  EXPECT_EQ(store.sentenceCount(), 1);
  EXPECT_EQ(store.lastRecalled(), 0);  // refused lines leave it

  EXPECT_EQ(recall(store, "WHAT IS THE?"), "%NORESPONSE%");
  EXPECT_EQ(store.lastRecalled(), -1);
  recall(store, "REX?");
  EXPECT_TRUE(learn(store, "THE CAT SAT DOWN"));
  EXPECT_EQ(store.lastRecalled(), -1);
  EXPECT_EQ(recall(store, "WHO IS ZEBRA?"), "%NORESPONSE%");
}

TEST(KnowledgeStore, RepeatedWordsCountTwiceAndANewOneGetsTwoEntries) {
  KnowledgeStore store;
  learn(store, "B X B Y");
  learn(store, "B Z B W");
  const auto entries = store.indexEntries();
  EXPECT_EQ(words(entries), (std::vector<std::string>{"B", "B", "W", "X", "Y", "Z"}));
  EXPECT_EQ(entries[0].numbers, (std::vector<std::int32_t>{0, 1, 1}));
  EXPECT_EQ(entries[1].numbers, (std::vector<std::int32_t>{0}));
  // Sentence 1 scores 4 from B alone, sentence 0 only 2.
  EXPECT_EQ(recall(store, "B?"), "b z b w");
}

TEST(KnowledgeStore, VoteTiesGoToTheLastHitThenToTheLowerSlot) {
  KnowledgeStore store;
  for (const char* s : {"ONE TWO THREE FOUR", "ONE TWO THREE FOUR", "ONE TWO THREE FOUR", "ALPHA BETA X3 Y3",
                        "ONE TWO THREE FOUR", "GAMMA P Q R", "ALPHA BETA X6 Y6"})
    learn(store, s);
  // Hits 3 6 3 6 5 in a table of five slots: 6 lands in slot 1, 3 in slot 3.
  EXPECT_EQ(recall(store, "ALPHA BETA GAMMA?"), "alpha beta x6 y6");
  EXPECT_EQ(recall(store, "GAMMA FOUR?"), "gamma p q r");  // all score 2: the last hit wins
  recall(store, "ALPHA BETA GAMMA?");
  EXPECT_TRUE(store.feedback(WordList(Str("No, wrong!"))));
  EXPECT_EQ(store.sentence(6).bonus, -1);
  EXPECT_EQ(recall(store, "ALPHA BETA GAMMA?"), "alpha beta x3 y3");
}

TEST(KnowledgeStore, SavesItsExactFormAndLoadsItBackIdentically) {
  TestFolder folder;
  KnowledgeStore store;
  learn(store, "B X B Y");
  learn(store, "MY CAT ! SMALL");  // "!" makes the empty keyword, which is not saved
  recall(store, "CAT?");
  store.feedback(WordList(Str("yes")));
  ASSERT_TRUE(store.save(folder.path("morvash.mbk")));
  EXPECT_EQ(folder.read("morvash.mbk"),
            "2\nB X B Y\n0\nMY CAT ! SMALL\n1\n7\n"
            "B\n1\n0\nB\n1\n0\nCAT\n1\n1\nMY\n1\n1\nSMALL\n1\n1\nX\n1\n0\nY\n1\n0\n");

  KnowledgeStore again;
  ASSERT_TRUE(again.load(folder.path("morvash.mbk")));
  EXPECT_EQ(again.sentenceCount(), 2);
  EXPECT_EQ(again.sentence(1).bonus, 1);
  auto expected = store.indexEntries();
  expected.erase(expected.begin());  // the empty keyword
  const auto loaded = again.indexEntries();
  ASSERT_EQ(words(loaded), words(expected));
  for (std::size_t i = 0; i < loaded.size(); ++i) EXPECT_EQ(loaded[i].numbers, expected[i].numbers);
  // Learning after a load goes on as before it.
  learn(again, "B Q R S");
  EXPECT_EQ(again.indexEntries()[0].numbers, (std::vector<std::int32_t>{0, 2}));

  ASSERT_TRUE(again.load(folder.path("missing.mbk")));
  EXPECT_EQ(again.sentenceCount(), 0);
}

TEST(KnowledgeStore, DamagedFileIsRefusedNamingBankAndLine) {
  TestFolder folder;
  const std::pair<std::string, const char*> cases[] = {
      {"two\n", "line 1"},
      {"1\nMY DOG IS BIG\nlots\n0\n", "line 3"},
      {"1\nMY DOG IS BIG\n0\n1\nDOG\n1\n1\n", "line 7"},   // names sentence 1 of 1
      {"1\nMY DOG IS BIG\n0\n1\nDOG\nx\n", "line 6"},
      {"2\nMY DOG IS BIG\n0\n", "line 4"},                 // fewer sentences than counted
      {"1\nMY DOG IS BIG\n0\n2\nDOG\n1\n0\n", "line 8"},   // fewer entries than counted
      {"1\nMY DOG IS BIG\n0\n2\nMY\n1\n0\nDOG\n1\n0\n", "line 8"},  // out of order
  };
  for (const auto& [content, line] : cases) {
    folder.write("morvash.mbk", content);
    KnowledgeStore store;
    learn(store, "KEEP THIS ONE PLEASE");
    const Status status = store.load(folder.path("morvash.mbk"));
    EXPECT_FALSE(status) << content;
    EXPECT_NE(status.message().find("\"morvash.mbk\", " + std::string(line)), std::string::npos) << status.message();
    EXPECT_EQ(store.sentenceCount(), 1);
  }
}

}  // namespace
}  // namespace vesko
