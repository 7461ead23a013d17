#include <gtest/gtest.h>

#include "learning/knowledge_store.h"

namespace vesko {
namespace {

std::string joined(const StrList& list) {
  std::string out;
  for (const Str& s : list) out += "[" + s.std() + "]";
  return out;
}

TEST(Questions, TakeKeywordsAndSwapThePointOfView) {
  // Keywords: sorted content words without marks; a word of marks only is the empty one.
  for (const auto& [line, words] : {std::pair{"WHAT IS YOUR DOG'S NAME?", "[DOG'S][NAME][YOUR]"}, {"THE A AN", ""},
                                    {"B A B", "[B][B]"}, {"ZOO ?! ANT", "[][ANT][ZOO]"}})
    EXPECT_EQ(joined(keywords(WordList(Str(line)))), words) << line;
  const std::pair<const char*, const char*> swaps[] = {
      {"I SAW YOU", "YOU SAW ME"}, {"YOU ARE NICE", "I AM NICE"}, {"MY DOG LIKES YOU", "YOUR DOG LIKES I"},
      {"THEY TEASED YOU AND YOUR DOG", "THEY TEASED ME AND MY DOG"}, {"I LIKE YOU.", "YOU LIKE YOU."}};
  for (const auto& [sentence, swapped] : swaps) EXPECT_EQ(swapPerson(WordList(Str(sentence))).join(), swapped);
}

// Feedback moves the bonus of the sentence recalled last, within three either way.
TEST(Questions, FeedbackMovesTheBonusOfTheRecalledSentence) {
  KnowledgeStore store;
  store.learn(WordList(Str("MY DOG IS BIG")));
  const std::pair<const char*, std::int32_t> steps[] = {
      {"YES", 1}, {"CORRECT", 2}, {"that's right.", 3}, {"THAT IS RIGHT THANKS", 3}, {"THAT IS NOT RIGHT THANKS", 2},
      {"NOT WRONG AT ALL", 3}, {"YES NO", 3} /* a positive word wins */, {"NO THANKS", 2}, {"NO", 1}, {"NO", 0},
      {"NO", -1}, {"NO", -2}, {"NO", -3}, {"NO", -3}, {"NOT INCORRECT", -2}};
  for (const auto& [line, bonus] : steps) {
    store.recall(WordList(Str("DOG?")));
    EXPECT_TRUE(store.feedback(WordList(Str(line)))) << line;
    EXPECT_EQ(store.sentence(0).bonus, bonus) << line;
  }
  EXPECT_FALSE(store.feedback(WordList(Str("NICE DOG"))));
  store.recall(WordList(Str("ZEBRA?")));  // nothing recalled: nothing moves
  EXPECT_TRUE(store.feedback(WordList(Str("YES"))));
  EXPECT_EQ(store.sentence(0).bonus, -2);
}

TEST(Questions, TellAboutRetellsEverySentenceHoldingAllKeywords) {
  KnowledgeStore store;
  for (const char* sentence : {"MY DOG IS BIG", "MY CAT IS SMALL"}) store.learn(WordList(Str(sentence)));
  const std::pair<const char*, const char*> cases[] = {
      {"MY DOG", "YOUR DOG IS BIG "}, {"my", "YOUR DOG IS BIG YOUR CAT IS SMALL "},
      {"DOG CAT", "I don't have anything to tell you about that!"}, {"ZEBRA", "I don't know anything about that!"},
      // A topic of no keyword is answered, never with an empty line.
      {"DOG ZEBRA", "I don't know anything about that!"}, {"THE", "I don't know anything about that!"},
      {"", "I don't know anything about that!"}};
  for (const auto& [topic, told] : cases) EXPECT_EQ(store.tellAbout(WordList(Str(topic))), told) << topic;
  store.learn(WordList(Str("BIG DOGS LIKE BIG BONES")));  // a sentence is told once per keyword it holds
  EXPECT_EQ(store.tellAbout(WordList(Str("BIG"))), "YOUR DOG IS BIG BIG DOGS LIKE BIG BONES BIG DOGS LIKE BIG BONES ");
}

// A common topic retells only the five sentences learned last, in that order.
TEST(Questions, TellAboutRetellsAtMostTheFiveLatestSentences) {
  KnowledgeStore store;
  for (int i = 0; i < 13; ++i) store.learn(WordList("LIFE IS NUMBER " + Str(i) + (i % 2 ? " ODD" : " EVEN")));
  EXPECT_EQ(store.tellAbout(WordList(Str("LIFE"))).std().substr(0, 31), "LIFE IS NUMBER 8 EVEN LIFE IS N");
  EXPECT_EQ(store.tellAbout(WordList(Str("EVEN LIFE"))),  // of seven in common
            "LIFE IS NUMBER 4 EVEN LIFE IS NUMBER 6 EVEN LIFE IS NUMBER 8 EVEN LIFE IS NUMBER 10 EVEN LIFE IS NUMBER 12 EVEN ");
}

}  // namespace
}  // namespace vesko
