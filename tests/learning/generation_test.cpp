#include <gtest/gtest.h>

#include "learning/grammar_model.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

// A seed takes its place in the template met most often (the first met breaks
// ties; an unknown seed spoils the lot, a lower-case one is found but placed
// only when spelled the same); the rest is drawn from the groups. No seed draws
// among the lengths that hold templates. Punctuation is glued to the word before.
TEST(Generation, FillsATemplateAroundTheSeeds) {
  const struct {
    std::vector<const char*> sentences;
    std::deque<std::uint32_t> draws;
    const char *seeds, *generated;
  } cases[] = {
      {{}, {}, "", ""},
      {{"HELLO THERE", "HI THERE"}, {1}, "THERE", "HI THERE"},
      {{"HELLO THERE", "HI THERE"}, {1}, "THERE BANANA", ""},
      {{"HELLO THERE", "HELLO WORLD"}, {0, 1}, "there", "HELLO WORLD"},
      {{"WHAT IS IT?"}, {}, "WHAT", "WHAT IS IT?"},
      {{"HELLO THERE", "A B C D"}, {1, 0}, "", "A B C D"},
      {{"A B", "C D"}, {}, "A C", "A B"},
      {{"A B", "C D"}, {}, "C A", "C D"},
      // E joins B's group; B Q E names B's group twice: Q from its own group, then E.
      {{"A B", "C D", "A E", "B Q E"}, {0, 1}, "B", "B Q E"},
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
