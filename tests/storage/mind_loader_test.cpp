#include <gtest/gtest.h>

#include "test_folder.h"

namespace vesko {
namespace {

void writeDefaults(const TestFolder& f) {
  f.write("names.x", "ALICE\n");
  f.write("bad.x", "banned\n[{[not a line\n");
  f.write("emoticon.x", "5\n;)\n");
  f.write("profiles.x", "0\n");
}

std::string mindWithVersion(const char* version) {
  return (version != nullptr ? mindText({{"version.mbk", version}}) : std::string()) +
         mindText({{"botinfo.mbk", "Vesko\nfriend\nAnna\nmale\n30\nSofia\n"},
                   {"nouns.mbk", "dog\n  cat\n\n"},
                   {"names.mbk", "BOB\n"},
                   {"bad.mbk", "Go Away\n"},
                   {"emoticon.mbk", "3\n:)\n:(\n"}});
}

struct Generation {
  const char* version;  // nullptr: no version bank
  std::int32_t code;
  const char* names;  // the slots' file names after loading
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
  EXPECT_EQ(brain->bankPath(Bank::kNames), f.path(g.names));
  EXPECT_EQ(brain->bankPath(Bank::kGroups), f.path(g.groups));
  EXPECT_EQ(brain->bankPath(Bank::kIdq), f.path(g.idq));
  EXPECT_EQ(f.files(".mb2").size(), Str(g.groups).endsWith(".mb2") ? 4u : 0u);
  if (g.code == LoadResult::kTooNew) {
    EXPECT_FALSE(result.loaded() || brain->mindInUse());
    EXPECT_TRUE(f.files(".mbk").empty());
    EXPECT_TRUE(brain->nouns().empty() && brain->botInfo().name.empty());
    return;
  }
  EXPECT_TRUE(result.loaded() && brain->mindInUse());
  EXPECT_TRUE(brain->nouns().has("DOG") && brain->nouns().has("CAT"));
  const BotInfo& b = brain->botInfo();  // the bank's order is not the fields' order
  EXPECT_EQ(b.name + b.relationshipType + b.relationshipName + b.gender + b.age + b.location, "VeskofriendAnnamale30Sofia");
  const bool defaults = Str(g.names).endsWith(".x");
  EXPECT_TRUE(brain->names().has(defaults ? "ALICE" : "BOB"));
  EXPECT_EQ(brain->emoticonFrequency(), defaults ? 5 : 3);
  ASSERT_EQ(brain->badAnswers().count(), 1);  // a header-like default line never enters
  EXPECT_EQ(brain->badAnswers().head(), defaults ? "banned" : "Go Away");
}

INSTANTIATE_TEST_SUITE_P(Generations, LoadMindGeneration,
                         ::testing::Values(Generation{"4.1\n300\n", 0, "names.mbk", "groups.mbk", "idq.mbk"},
                                           Generation{"4.1\n350\n", 2, "names.mbk", "groups.mbk", "idq.mbk"},
                                           Generation{"4.1\n400\n", 1, "names.mbk", "groups.mbk", "idq.mbk"},
                                           Generation{"4.1\n100\n", 4, "names.x", "groups.mb2", "idq.x"},
                                           Generation{"4.1\n200\n", 4, "names.mbk", "groups.mb2", "idq.x"},
                                           Generation{nullptr, 0, "names.mbk", "groups.mbk", "idq.mbk"},
                                           Generation{"4.1\n", 0, "names.mbk", "groups.mbk", "idq.mbk"}));

// The converted banks must be what a model taught the "***"-ended paragraphs
// of "mem.mbk" (not an unended last one) and the lines of "know.mbk" saves.
TEST(LoadMind, AnOlderMindTeachesItsParagraphsAndStatementsToTheConvertedBanks) {
  const std::pair<const char*, std::vector<const char*>> cases[] = {
      {"A\nB\n***\nC\n***\n", {"A B", "C"}},
      {"***\nX\n***\n***\nY\nZ\n", {"*** X"}}};
  for (const auto& [mem, sentences] : cases) {
    TestFolder f;
    f.write("m.mnd", mindText({{"version.mbk", "4.1\n200\n"}, {"mem.mbk", mem}, {"know.mbk", "dogs are loyal animals\ncats sleep a lot\n"}}));
    ASSERT_TRUE(newBrain(f)->loadMind(f.path("m.mnd")).loaded());
    SeededRandom random(7);
    GrammarModel grammar(random);
    for (const char* sentence : sentences) grammar.learn(WordList(sentence));
    KnowledgeStore knowledge;
    for (const char* line : {"dogs are loyal animals", "cats sleep a lot"}) knowledge.learn(WordList(line));
    TestFolder want;
    ASSERT_TRUE(grammar.save(want.path("groups.mb2"), want.path("temps.mb2"), want.path("sr.mb2")).isOk());
    ASSERT_TRUE(knowledge.save(want.path("morvash.mb2")).isOk());
    for (const char* bank : {"groups.mb2", "temps.mb2", "sr.mb2", "morvash.mb2"}) EXPECT_EQ(f.read(bank), want.read(bank)) << mem << bank;
  }
}

// A number that is not one refuses the whole mind: the error names bank and
// line, the mind file is untouched, no bank copy stays, the Brain holds nothing.
TEST(LoadMind, ADamagedNumberRefusesTheMindWithoutLeavingAnythingBehind) {
  const std::pair<std::string, const char*> cases[] = {
      {mindWithVersion("4.1\n3OO\n"), "\"version.mbk\", line 2"},
      {mindWithVersion("4.1\n300\n") + mindText({{"emoticon.mbk", "five\n:)\n"}}), "\"emoticon.mbk\", line 1"},
      {mindWithVersion("4.1\n100\n"), "\"emoticon.x\", line 1"}};
  for (const auto& [mind, where] : cases) {
    TestFolder f;
    writeDefaults(f);
    f.write("emoticon.x", "x5\n;)\n");
    f.write("m.mnd", mind);
    auto brain = newBrain(f);
    const LoadResult result = brain->loadMind(f.path("m.mnd"));
    EXPECT_FALSE(result.loaded());
    EXPECT_NE(result.status.message().find(where), std::string::npos) << result.status.message();
    EXPECT_TRUE(f.files(".mbk").empty() && f.files(".mb2").empty());
    EXPECT_TRUE(brain->nouns().empty() && brain->names().empty() && brain->badAnswers().empty());
    EXPECT_TRUE(brain->botInfo().name.empty());
    EXPECT_EQ(brain->bankPath(Bank::kNames), f.path("names.mbk"));
    EXPECT_FALSE(brain->saveMind().isOk());
    EXPECT_EQ(f.read("m.mnd"), mind);
  }
}

}  // namespace
}  // namespace vesko
