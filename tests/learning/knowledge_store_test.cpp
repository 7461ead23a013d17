#include "learning/knowledge_store.h"

#include <gtest/gtest.h>

#include "storage/test_folder.h"

namespace vesko {
namespace {

std::string index(const KnowledgeStore& store) {
  std::string out;
  for (const auto& e : store.indexEntries()) {
    out += (out.empty() ? "" : " ") + e.word.std() + ":";
    for (std::int32_t n : e.numbers) out += std::to_string(n);
  }
  return out;
}

bool learn(KnowledgeStore& store, const char* sentence) { return store.learn(WordList(Str(sentence))); }
Str recall(KnowledgeStore& store, const char* question) { return store.recall(WordList(Str(question))); }

TEST(KnowledgeStore, LearnsStatementsOfFourWordsOrMoreIndexedByKeyword) {
  KnowledgeStore store;
  EXPECT_TRUE(learn(store, "My dog is called Rex."));
  EXPECT_EQ(store.sentence(0).text, "MY DOG IS CALLED REX.");
  EXPECT_EQ(index(store), "CALLED:0 DOG:0 MY:0 REX:0");
  EXPECT_EQ(recall(store, "WHAT IS MY DOG CALLED?"), "your dog is called rex.");
  // Short lines, questions, lines longer than a bank line, member headers.
  for (const std::string& refused : {std::string("I LIKE IT"), std::string("IS MY DOG CALLED REX?"),
                                     "MY DOG IS " + std::string(1990, 'X'), std::string("[{[X]}] IS A MEMBER")})
    EXPECT_FALSE(learn(store, refused.c_str())) << refused.substr(0, 20);
  EXPECT_EQ(store.sentenceCount(), 1);
  EXPECT_EQ(store.lastRecalled(), 0);  // what was recalled; refused lines leave it
  EXPECT_EQ(recall(store, "WHAT IS THE?"), "%NORESPONSE%");
  EXPECT_EQ(store.lastRecalled(), -1);
  recall(store, "REX?");
  EXPECT_TRUE(learn(store, "THE CAT SAT DOWN"));
  EXPECT_EQ(store.lastRecalled(), -1);  // a learned line forgets what was recalled
}

TEST(KnowledgeStore, VotesCountRepeatedWordsAndTiesGoToTheLastHitThenTheLowerSlot) {
  KnowledgeStore store;
  learn(store, "B X B Y");
  learn(store, "B Z B W");
  EXPECT_EQ(index(store), "B:011 B:0 W:1 X:0 Y:0 Z:1");  // a new repeated word gets two entries
  EXPECT_EQ(recall(store, "B?"), "b z b w");  // 4 from B alone against 2
  KnowledgeStore ties;
  for (const char* s : {"ONE TWO THREE FOUR", "ONE TWO THREE FOUR", "ONE TWO THREE FOUR", "ALPHA BETA X3 Y3",
                        "ONE TWO THREE FOUR", "GAMMA P Q R", "ALPHA BETA X6 Y6"})
    learn(ties, s);
  // Hits 3 6 3 6 5 in a table of five slots: 6 lands in slot 1, 3 in slot 3.
  EXPECT_EQ(recall(ties, "ALPHA BETA GAMMA?"), "alpha beta x6 y6");
  EXPECT_EQ(recall(ties, "GAMMA FOUR?"), "gamma p q r");  // all score 2: the last hit wins
  recall(ties, "ALPHA BETA GAMMA?");
  EXPECT_TRUE(ties.feedback(WordList(Str("No, wrong!"))));
  EXPECT_EQ(ties.sentence(6).bonus, -1);
  EXPECT_EQ(recall(ties, "ALPHA BETA GAMMA?"), "alpha beta x3 y3");
}

// Only words that carry a topic choose what is recalled: a question sharing
// nothing with memory but YOU, DO or KNOW gets no remembered sentence.
TEST(KnowledgeStore, RecallNeedsATopicWordNotJustPronounsAndAuxiliaries) {
  KnowledgeStore store;
  learn(store, "SAYING THANK YOU IS POLITE.");
  learn(store, "MY SISTER LIVES IN BERLIN.");
  EXPECT_EQ(recall(store, "WHAT MAKES YOU HAPPY ?"), "%NORESPONSE%");
  EXPECT_EQ(recall(store, "DO YOU KNOW ANYTHING ABOUT BERLIN?"), "your sister lives in berlin.");
}

TEST(KnowledgeStore, SavesItsExactFormLoadsItBackAndRefusesDamage) {
  TestFolder folder;
  KnowledgeStore store;
  learn(store, "B X B Y");
  learn(store, "MY CAT ! SMALL");  // "!" makes the empty keyword, which is not saved
  recall(store, "CAT?");
  store.feedback(WordList(Str("yes")));
  ASSERT_TRUE(store.save(folder.path("morvash.mbk")));
  EXPECT_EQ(folder.read("morvash.mbk"),
            "2\nB X B Y\n0\nMY CAT ! SMALL\n1\n7\nB\n1\n0\nB\n1\n0\nCAT\n1\n1\nMY\n1\n1\nSMALL\n1\n1\nX\n1\n0\nY\n1\n0\n");
  KnowledgeStore again;
  ASSERT_TRUE(again.load(folder.path("morvash.mbk")));
  EXPECT_TRUE(again.sentenceCount() == 2 && again.sentence(1).bonus == 1);
  EXPECT_EQ(":1 " + index(again), index(store));  // all but the empty keyword
  learn(again, "B Q R S");  // learning after a load goes on as before it
  EXPECT_EQ(index(again).substr(0, 6), "B:02 B");
  EXPECT_TRUE(again.load(folder.path("missing.mbk")) && again.sentenceCount() == 0);

  const std::pair<std::string, const char*> damaged[] = {
      {"two\n", "line 1"},
      {"1\nMY DOG IS BIG\nlots\n0\n", "line 3"},
      {"1\nMY DOG IS BIG\n0\n1\nDOG\n1\n1\n", "line 7"},  // names sentence 1 of 1
      {"1\nMY DOG IS BIG\n0\n2\nDOG\n1\n0\n", "line 8"},            // fewer entries than counted
      {"1\nMY DOG IS BIG\n0\n2\nMY\n1\n0\nDOG\n1\n0\n", "line 8"},  // out of order
  };
  for (const auto& [content, line] : damaged) {
    folder.write("morvash.mbk", content);
    const Status status = store.load(folder.path("morvash.mbk"));
    EXPECT_NE(status.message().find("\"morvash.mbk\", " + std::string(line)), std::string::npos) << status.message();
    EXPECT_EQ(store.sentenceCount(), 2);  // a refused file changes nothing
  }
}

}  // namespace
}  // namespace vesko
