#include <gtest/gtest.h>

#include "learning/grammar_model.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

// A seed takes its place in the template met most often (the first met breaks
// ties; an unknown seed spoils the lot, a lower-case one is found but placed
// only when spelled the same); the rest is drawn from the groups. No seed
// draws one template, each equally likely. Punctuation is glued to the word before.
TEST(Generation, FillsATemplateAroundTheSeeds) {
  const char* dog = "I SAW A BIG RED DOG";
  const char* cat = "I SAW A BIG RED CAT";  // CAT joins DOG's group
  const struct {
    std::vector<const char*> sentences;
    std::deque<std::uint32_t> draws;
    const char *seeds, *generated;
  } cases[] = {
      {{}, {}, "", ""},
      {{dog, cat}, {0, 0, 0, 0, 1}, "SAW", cat},
      {{dog, cat}, {}, "SAW BANANA", ""},
      {{dog, cat}, {0, 0, 0, 0, 0, 0}, "cat", dog},
      {{"WHAT IS IT?"}, {}, "WHAT", "WHAT IS IT?"},
      // Three templates, two lengths: the draw counts templates, not lengths.
      {{"A B", "C D", "E F G"}, {1}, "", "C D"},
      {{"A B", "C D", "E F G"}, {2}, "", "E F G"},
      {{"A B", "C D"}, {}, "A C", "A B"},
      {{"A B", "C D"}, {}, "C A", "C D"},
      // A E is met twice (through A and through E); the places decide the order.
      {{"A B", "C D", "A E", "B Q E"}, {}, "E A", "A E"},
  };
  for (const auto& c : cases) {
    ScriptedRandom random;
    GrammarModel model(random);
    for (const char* sentence : c.sentences) model.learn(WordList(sentence));
    random.next = c.draws;
    EXPECT_EQ(model.generate(WordList(c.seeds)).join(), c.generated) << c.seeds;
  }
}

TEST(Generation, BestResponseNeedsMoreThanHalfTheWords) {
  ScriptedRandom random;
  GrammarModel model(random);
  EXPECT_TRUE(model.bestResponse(WordList("HI")).empty());
  const auto pair = [&](const char* said, const char* answered) {
    model.setLastAnswerWords(WordList(said));
    model.learn(WordList(answered));
  };
  pair("HI", "HELLO");
  EXPECT_EQ(model.bestResponse(WordList("hi there")).join(), "");
  EXPECT_EQ(model.bestResponse(WordList("hi!")).join(), "HELLO");
  pair("HI THERE BOT", "NICE TO MEET YOU");
  pair("HI THERE FRIEND", "SECOND");
  // Slots 1 and 2 both score 2; the lower slot wins.
  EXPECT_EQ(model.bestResponse(WordList("Hi, there.")).join(), "NICE TO MEET YOU");
}

}  // namespace
}  // namespace vesko
