#include <gtest/gtest.h>

#include "learning/knowledge_store.h"

namespace vesko {
namespace {

std::vector<std::string> keywordsOf(const char* sentence) {
  std::vector<std::string> out;
  for (const Str& k : keywords(WordList(Str(sentence)))) out.push_back(k.std());
  return out;
}

Str swapped(const char* sentence) { return swapPerson(WordList(Str(sentence))).join(); }

TEST(Keywords, AreSortedContentWordsWithoutMarks) {
  EXPECT_EQ(keywordsOf("WHAT IS YOUR DOG'S NAME?"), (std::vector<std::string>{"DOG'S", "NAME", "YOUR"}));
  EXPECT_TRUE(keywordsOf("THE A AN").empty());
  EXPECT_EQ(keywordsOf("B A B"), (std::vector<std::string>{"B", "B"}));
  EXPECT_EQ(keywordsOf("ZOO ?! ANT"), (std::vector<std::string>{"", "ANT", "ZOO"}));
}

TEST(SwapPerson, TurnsTheUsersPointOfViewIntoTheBots) {
  EXPECT_EQ(swapped("I AM HAPPY"), "YOU ARE HAPPY");
  EXPECT_EQ(swapped("I SAW YOU"), "YOU SAW ME");
  EXPECT_EQ(swapped("YOU ARE NICE"), "I AM NICE");
  EXPECT_EQ(swapped("MY DOG LIKES YOU"), "YOUR DOG LIKES I");
  EXPECT_EQ(swapped("THEY TEASED YOU AND YOUR DOG"), "THEY TEASED ME AND MY DOG");
  EXPECT_EQ(swapped("I LIKE YOU."), "YOU LIKE YOU.");
}

class KnowledgeFeedback : public ::testing::Test {
 protected:
  KnowledgeStore store;
  void SetUp() override { store.learn(WordList(Str("MY DOG IS BIG"))); }
  // Recalls the sentence, then gives the line as feedback; its bonus after.
  std::int32_t after(const char* line) {
    store.recall(WordList(Str("DOG?")));
    EXPECT_TRUE(store.feedback(WordList(Str(line)))) << line;
    return store.sentence(0).bonus;
  }
};

TEST_F(KnowledgeFeedback, MovesTheBonusOfTheRecalledSentenceWithinThree) {
  EXPECT_EQ(after("YES"), 1);
  EXPECT_EQ(after("CORRECT"), 2);
  EXPECT_EQ(after("that's right."), 3);
  EXPECT_EQ(after("THAT IS RIGHT THANKS"), 3);
  EXPECT_EQ(after("THAT IS NOT RIGHT THANKS"), 2);
  EXPECT_EQ(after("NOT WRONG AT ALL"), 3);
  EXPECT_EQ(after("YES NO"), 3);  // a positive word wins
  for (int i = 0; i < 7; ++i) after("NO THANKS");
  EXPECT_EQ(store.sentence(0).bonus, -3);
  EXPECT_EQ(after("NOT INCORRECT"), -2);
  EXPECT_FALSE(store.feedback(WordList(Str("NICE DOG"))));
  store.recall(WordList(Str("ZEBRA?")));  // nothing recalled: nothing moves
  EXPECT_TRUE(store.feedback(WordList(Str("YES"))));
  EXPECT_EQ(store.sentence(0).bonus, -2);
}

TEST(TellAbout, RetellsEverySentenceHoldingAllKeywords) {
  KnowledgeStore store;
  store.learn(WordList(Str("MY DOG IS BIG")));
  store.learn(WordList(Str("MY CAT IS SMALL")));
  const auto tell = [&](const char* topic) { return store.tellAbout(WordList(Str(topic))); };
  EXPECT_EQ(tell("MY DOG"), "YOUR DOG IS BIG ");
  EXPECT_EQ(tell("my"), "YOUR DOG IS BIG YOUR CAT IS SMALL ");
  EXPECT_EQ(tell("DOG CAT"), "I don't have anything to tell you about that!");
  EXPECT_EQ(tell("ZEBRA"), "I don't know anything about that!");
  EXPECT_EQ(tell("APPLE"), "I don't know anything about that!");
  EXPECT_EQ(tell("DOG ZEBRA"), "I don't know anything about that!");
  EXPECT_EQ(tell("THE"), "");
  EXPECT_EQ(tell(""), "");
  store.learn(WordList(Str("BIG DOGS LIKE BIG BONES")));
  EXPECT_EQ(tell("BONES"), "BIG DOGS LIKE BIG BONES ");
  EXPECT_EQ(tell("BIG"), "YOUR DOG IS BIG BIG DOGS LIKE BIG BONES BIG DOGS LIKE BIG BONES ");
}

}  // namespace
}  // namespace vesko
