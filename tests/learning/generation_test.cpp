#include <gtest/gtest.h>

#include <deque>

#include "learning/grammar_model.h"

namespace vesko {
namespace {

class QueuedRandom : public RandomSource {
 public:
  std::deque<std::uint32_t> next;
  std::uint32_t draw() override {
    if (next.empty()) return 0;
    const std::uint32_t value = next.front();
    next.pop_front();
    return value;
  }
};

class GenerationTest : public ::testing::Test {
 protected:
  void learn(const char* sentence) { model.learn(WordList(sentence)); }
  Str generate(const char* seeds) { return model.generate(WordList(seeds)).join(); }
  void pair(const char* said, const char* answered) {
    model.setLastAnswerWords(WordList(said));
    learn(answered);
  }

  QueuedRandom random;
  GrammarModel model{random};
};

TEST_F(GenerationTest, SeedTakesItsPlaceAndTheRestIsDrawnFromTheGroups) {
  learn("HELLO THERE");
  learn("HI THERE");  // HI joins HELLO's group
  random.next = {1};
  EXPECT_EQ(generate("THERE"), "HI THERE");
  EXPECT_EQ(generate("THERE BANANA"), "");  // an unknown seed spoils the lot
}

TEST_F(GenerationTest, LowerCaseSeedIsFoundButPlacedOnlyWhenSpelledTheSame) {
  learn("HELLO THERE");
  learn("HELLO WORLD");
  random.next = {0, 1};
  EXPECT_EQ(generate("there"), "HELLO WORLD");
}

TEST_F(GenerationTest, PunctuationIsGluedToTheWordBefore) {
  learn("WHAT IS IT?");
  const WordList sentence = model.generate(WordList("WHAT"));
  ASSERT_EQ(sentence.count(), 3);
  EXPECT_EQ(sentence.wordAt(2), "IT?");
}

TEST_F(GenerationTest, RandomSentenceDrawsAmongLengthsThatHoldTemplates) {
  EXPECT_EQ(generate(""), "");
  learn("HELLO THERE");
  learn("A B C D");
  random.next = {1, 0};
  EXPECT_EQ(generate(""), "A B C D");
  random.next = {0, 0};
  EXPECT_EQ(generate(""), "HELLO THERE");
}

TEST_F(GenerationTest, TemplateMetMostOftenWinsAndTheFirstMetBreaksTies) {
  learn("A B");
  learn("C D");
  EXPECT_EQ(generate("A C"), "A B");
  EXPECT_EQ(generate("C A"), "C D");
  learn("A E");     // E joins B's group
  learn("B Q E");   // a template naming B's group twice
  random.next = {0, 1};  // Q from its own group, then E
  EXPECT_EQ(generate("B"), "B Q E");
}

TEST_F(GenerationTest, BestResponseNeedsMoreThanHalfTheWords) {
  pair("HI", "HELLO");
  EXPECT_EQ(model.bestResponse(WordList("hi there")).join(), "");
  EXPECT_EQ(model.bestResponse(WordList("hi!")).join(), "HELLO");
  pair("HI THERE BOT", "NICE TO MEET YOU");
  pair("HI THERE FRIEND", "SECOND");
  // Slots 1 and 2 both score 2; the lower slot wins.
  EXPECT_EQ(model.bestResponse(WordList("Hi, there.")).join(), "NICE TO MEET YOU");
}

TEST(Generation, EmptyModelSaysNothing) {
  QueuedRandom random;
  GrammarModel model(random);
  EXPECT_TRUE(model.generate(WordList()).empty());
  EXPECT_TRUE(model.bestResponse(WordList("HI")).empty());
}

}  // namespace
}  // namespace vesko
