#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

void writeDefaults(const TestFolder& f) {
  f.write("names.x", "ALICE\n");
  f.write("bad.x", "banned\n[{[not a line\n");
  f.write("emoticon.x", "5\n;)\n");
  f.write("idq.x", "");
  f.write("profiles.x", "0\n");
}

std::string mindWithVersion(const char* version) {
  std::string text = version != nullptr ? mindText({{"version.mbk", version}}) : std::string();
  text += mindText({{"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                               {"nouns.mbk", "dog\n  cat\n\n"},
                               {"names.mbk", "BOB\n"},
                               {"bad.mbk", "Go Away\n"},
                               {"emoticon.mbk", "3\n:)\n:(\n"}});
  return text;
}

struct Generation {
  const char* version;  // nullptr: no version bank
  std::int32_t code;
  const char* names;  // expected slot file names
  const char* groups;
  const char* idq;
};

class LoadMindGeneration : public ::testing::TestWithParam<Generation> {};

TEST_P(LoadMindGeneration, GivesItsVerdictRedirectsSlotsAndNeverRewritesTheMindFile) {
  const Generation g = GetParam();
  TestFolder f;
  writeDefaults(f);
  f.write("m.mnd", mindWithVersion(g.version));
  auto brain = newBrain(f);
  const LoadResult result = brain->loadMind(f.path("m.mnd"));
  ASSERT_TRUE(result.status.isOk()) << result.status.message();
  EXPECT_EQ(result.code, g.code);
  EXPECT_EQ(f.read("m.mnd"), mindWithVersion(g.version));
  EXPECT_EQ(brain->mindFile(), f.path("m.mnd"));
  EXPECT_EQ(brain->bankPath(Bank::kNames), f.path() + g.names);
  EXPECT_EQ(brain->bankPath(Bank::kGroups), f.path() + g.groups);
  EXPECT_EQ(brain->bankPath(Bank::kIdq), f.path() + g.idq);
  const bool converted = Str(g.groups).endsWith(".mb2");
  EXPECT_EQ(f.has("groups.mb2") && f.has("temps.mb2") && f.has("sr.mb2") && f.has("morvash.mb2"), converted);
  EXPECT_EQ(brain->bankPath(Bank::kMorvash).endsWith("morvash.mb2"), converted);

  if (g.code == LoadResult::kTooNew) {
    EXPECT_FALSE(result.loaded());
    EXPECT_FALSE(brain->mindInUse());
    EXPECT_TRUE(f.files(".mbk").empty());
    EXPECT_TRUE(brain->nouns().empty());
    EXPECT_TRUE(brain->botInfo().name.empty());
    return;
  }
  EXPECT_TRUE(result.loaded() && brain->mindInUse());
  EXPECT_TRUE(brain->nouns().has("DOG") && brain->nouns().has("CAT"));
  const bool firstGeneration = Str(g.names).endsWith(".x");
  EXPECT_TRUE(brain->names().has(firstGeneration ? "ALICE" : "BOB"));
  EXPECT_EQ(brain->emoticonFrequency(), firstGeneration ? 5 : 3);
  ASSERT_EQ(brain->badAnswers().count(), 1);  // a header-like default line never enters
  EXPECT_EQ(brain->badAnswers().head(), firstGeneration ? "banned" : "Go Away");
}

INSTANTIATE_TEST_SUITE_P(
    Generations, LoadMindGeneration,
    ::testing::Values(Generation{"4.1\n300\n", 0, "names.mbk", "groups.mbk", "idq.mbk"},
                      Generation{"4.1\n350\n", 2, "names.mbk", "groups.mbk", "idq.mbk"},
                      Generation{"4.1\n400\n", 1, "names.mbk", "groups.mbk", "idq.mbk"},
                      Generation{"4.1\n100\n", 4, "names.x", "groups.mb2", "idq.x"},
                      Generation{"4.1\n200\n", 4, "names.mbk", "groups.mb2", "idq.x"},
                      Generation{nullptr, 0, "names.mbk", "groups.mbk", "idq.mbk"},
                      Generation{"4.1\n", 0, "names.mbk", "groups.mbk", "idq.mbk"}));

TEST(LoadMind, ReadsBotInfoInBankOrderAndLosesAnUnendedLastEmoticon) {
  TestFolder f;
  f.write("m.mnd", mindWithVersion("4.1\n300\n"));
  auto brain = newBrain(f);
  ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());
  const BotInfo& bot = brain->botInfo();
  EXPECT_EQ(bot.name, "Vesko");
  EXPECT_EQ(bot.relationshipType, "friend");
  EXPECT_EQ(bot.relationshipName, "Anna");
  EXPECT_EQ(bot.gender, "male");
  EXPECT_EQ(bot.age, "30");
  EXPECT_EQ(bot.location, "Sofia");
  EXPECT_EQ(brain->emoticons().count(), 2);
  f.write("emoticon.mbk", "3\n:)\n:(");
  auto again = newBrain(f);
  ASSERT_TRUE(again->loadMind(f.path("none.mnd")).loaded());
  EXPECT_EQ(again->emoticons().count(), 1);
}

// The converted banks must be exactly what a model taught the paragraphs of
// "mem.mbk" (each ended by "***"; an unended last one is not taught) and the
// lines of "know.mbk" saves.
TEST(LoadMind, AnOlderMindTeachesItsParagraphsAndStatementsToTheConvertedBanks) {
  struct Case {
    const char* mem;
    std::vector<const char*> sentences;
  };
  const Case cases[] = {{"A\nB\n***\nC\n***\n", {"A B", "C"}},
                        {"***\nX\n***\nY\nZ\n", {"*** X"}},
                        {"I LIKE DOGS\n***\n***\nYOU ARE NICE\n***\n", {"I LIKE DOGS", "*** YOU ARE NICE"}}};
  for (const Case& c : cases) {
    TestFolder f;
    f.write("m.mnd", mindText({{"version.mbk", "4.1\n200\n"}, {"mem.mbk", c.mem}, {"know.mbk", "dogs are loyal animals\ncats sleep a lot\n"}}));
    auto brain = newBrain(f);
    ASSERT_TRUE(brain->loadMind(f.path("m.mnd")).loaded());

    TestFolder expected;
    SeededRandom random(7);
    GrammarModel grammar(random);
    for (const char* sentence : c.sentences) grammar.learn(WordList(sentence));
    ASSERT_TRUE(grammar.save(expected.path("g"), expected.path("t"), expected.path("s")).isOk());
    KnowledgeStore knowledge;
    for (const char* line : {"dogs are loyal animals", "cats sleep a lot"}) knowledge.learn(WordList(line));
    ASSERT_TRUE(knowledge.save(expected.path("k")).isOk());
    EXPECT_EQ(f.read("groups.mb2"), expected.read("g")) << c.mem;
    EXPECT_EQ(f.read("temps.mb2"), expected.read("t")) << c.mem;
    EXPECT_EQ(f.read("sr.mb2"), expected.read("s")) << c.mem;
    EXPECT_EQ(f.read("morvash.mb2"), expected.read("k"));
  }
}

// A number that is not one refuses the whole mind: the error names bank and
// line, the mind file is untouched, no bank copy stays, the Brain holds nothing.
TEST(LoadMind, ADamagedNumberRefusesTheMindWithoutLeavingAnythingBehind) {
  struct Case {
    std::string mind;
    bool defaults;
    const char* where;
  };
  const Case cases[] = {
      {mindWithVersion("4.1\n3OO\n"), false, "\"version.mbk\", line 2"},
      {mindWithVersion("4.1\n300\n") + mindText({{"emoticon.mbk", "five\n:)\n"}}), false, "\"emoticon.mbk\", line 1"},
      {mindWithVersion("4.1\n100\n"), true, "\"emoticon.x\", line 1"},
  };
  for (const Case& c : cases) {
    TestFolder f;
    if (c.defaults) {
      writeDefaults(f);
      f.write("emoticon.x", "x5\n;)\n");
    }
    f.write("m.mnd", c.mind);
    auto brain = newBrain(f);
    const LoadResult result = brain->loadMind(f.path("m.mnd"));
    EXPECT_FALSE(result.loaded());
    EXPECT_NE(result.status.message().find(c.where), std::string::npos) << result.status.message();
    EXPECT_EQ(f.read("m.mnd"), c.mind);
    EXPECT_TRUE(f.files(".mbk").empty());
    EXPECT_TRUE(f.files(".mb2").empty());
    EXPECT_TRUE(brain->nouns().empty() && brain->names().empty() && brain->badAnswers().empty());
    EXPECT_TRUE(brain->botInfo().name.empty());
    EXPECT_EQ(brain->bankPath(Bank::kNames), f.path("names.mbk"));
    EXPECT_FALSE(brain->saveMind().isOk());
    EXPECT_EQ(f.read("m.mnd"), c.mind);
  }
}

}  // namespace
}  // namespace vesko
