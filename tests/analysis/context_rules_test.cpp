#include "analysis/context_rules.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "analysis/rule_bank.h"
#include "analysis/rule_file_scan.h"
#include "learning/grammar_model.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSeed = 1;

// What the respond pipeline does with a line before the rules see it.
Str answer(Brain& brain, const std::string& line) {
  WordList words{Str(line)};
  WordList classes;
  brain.normalise(words, classes);
  return brain.respondByRules(words, classes);
}

std::vector<std::string> listOf(const StrList& list) {
  std::vector<std::string> out;
  for (const Str& s : list) out.push_back(s.std());
  return out;
}

std::string rule(const std::string& context, const std::string& responses) {
  return "###CONTEXT###\n" + context + "###RESPONSE###\n" + responses;
}

// What the comparison with the line-by-line scan below takes on trust (the
// responses' reverse order is pinned by the draws further down): the earliest
// block in the file wins and is expanded at its first start; offsets above 1000
// count back; blocks from the 5000th on, which no generated bank reaches, never
// answer.
TEST(RuleBank, GivesTheCandidatesOfTheFirstMatchingBlock) {
  std::string manyBlocks;
  for (int i = 0; i < 4998; ++i) manyBlocks += rule("NEVER\n0\n", "NO\n");
  const struct {
    std::string bank;
    const char *words, *classes;
    std::vector<std::string> candidates;
  } cases[] = {
      {rule("C\n0\n", "FIRST @0\n") + rule("A\n0\n", "SECOND @0\n"), "A B C", "", {"FIRST C"}},
      {rule("*X\n0\n", "@0 @1\n"), "A B C", "*Y *X *X", {"B C"}},
      {rule("A\n1001\nB\n0\n", "@0\n"), "A B", "", {"B"}},
      {manyBlocks + rule("HIT\n0\n", "YES\n"), "HIT", "", {"YES"}},
      {manyBlocks + "###CONTEXT###\nNEVER\n0\n" + rule("HIT\n0\n", "YES\n"), "HIT", "", {}},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.bank);
    EXPECT_EQ(listOf(RuleBank::parse(in).candidates(WordList(Str(c.words)), WordList(Str(c.classes)))), c.candidates)
        << c.bank.substr(0, 200) << " with " << c.words;
  }
}

TEST(ContextRules, ExpandsReferences) {
  const WordList words(Str("SHE TOLD YOUR HE MY"));
  EXPECT_EQ(expandResponse("@P0 @R2 @P3 @R4 @P1", words, 0), Str("HER MY HIM YOUR TOLD"));
  EXPECT_EQ(expandResponse("@@T X@0 @1's @3", words, 2), Str("@@T X@0 HE's  "));
  EXPECT_EQ(expandResponse("@0 @p0 @Q1 @ @P", words, 1), Str("TOLD @p0 @Q1 @ @P"));
  EXPECT_EQ(expandResponse("  spaced   out ", words, 0), Str("spaced out"));
  EXPECT_EQ(expandResponse("@P0 @R1", WordList(Str("she your")), 0), Str("HER MY"));  // compared upper-cased
}

// Statements read "context.mbk" as it stands on disk at each line (questions
// read "context2.mbk": the Brain's tests tell the two apart).
TEST(ContextRules, AnswersFromTheBankOnDisk) {
  TestFolder folder;
  auto brain = newBrain(folder, kSeed);
  EXPECT_EQ(answer(*brain, "I LIKE DOGS A LOT."), Str("%NORESPONSE%"));  // no bank yet
  folder.write("context.mbk", rule("I\n0\nLIKE\n1\n*NOUN\n2\n", "@@T WHY DO YOU LIKE @2?\n"));
  brain->nouns().add("DOGS");
  EXPECT_EQ(answer(*brain, "well, I like, dogs a lot!"), Str("WHY DO YOU LIKE DOGS?"));  // punctuation is gone first
  folder.write("context.mbk", rule("DOGS\n0\n", "@@T STATEMENT\n"));
  EXPECT_EQ(answer(*brain, "I LIKE DOGS."), Str("STATEMENT"));
  // Same size, older time stamp: still a change.
  folder.write("context.mbk", rule("DOGS\n0\n", "@@T OTHERWISE\n"));
  const auto path = fs::path(folder.path("context.mbk").std());
  fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
  EXPECT_EQ(answer(*brain, "I LIKE DOGS."), Str("OTHERWISE"));
  fs::remove(path);
  fs::create_directory(path);  // a folder where the bank should be
  EXPECT_EQ(answer(*brain, "I LIKE DOGS."), Str("%NORESPONSE%"));
}

// One candidate is drawn; "@@T" makes the rest the answer, "%NORESPONSE%" is no
// answer, and other candidates are topic words for a generated sentence.
TEST(ContextRules, DrawsOneCandidateAndMakesTheAnswer) {
  TestFolder folder;
  folder.write("context.mbk", rule("PICK\n0\n", "@@T ONE\n@@T TWO\n@@T THREE\n") + rule("BARE\n0\n", "@@T\n") +
                                  rule("MARK\n0\n", "@@T   %NORESPONSE%  \n") + rule("TOPIC\n0\n", "SOME TOPIC WORDS\n"));
  auto brain = newBrain(folder, kSeed);
  SeededRandom same(kSeed);
  const std::vector<std::string> reversed{"THREE", "TWO", "ONE"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(answer(*brain, "PICK").std(), reversed[same.draw() % 3]) << "draw " << i;
  const std::pair<const char*, const char*> cases[] = {
      {"BARE", ""}, {"MARK", "%NORESPONSE%"}, {"TOPIC", "%NORESPONSE%"} /* an empty grammar has no sentence */};
  for (const auto& [line, said] : cases) EXPECT_EQ(answer(*brain, line), Str(said)) << line;
}

// --- The in-memory bank against the literal line-by-line scan ---

// A bank in the rule language, often damaged: bad offsets, headers in the
// wrong place, blank lines, carriage returns, trailing blanks, missing ends.
std::string generatedBank(std::mt19937& rng) {
  const auto pick = [&rng](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
  const auto chance = [&rng](unsigned inN) { return rng() % inN == 0; };
  const std::vector<std::string> patterns{"A", "B", "C", "D", "*NOUN", "*UNKNOWN", "*DEF", "A ", "*"};
  const std::vector<std::string> offsets{"0", "1", "2", "0", "1", "1001", "1002", "-1", "3", "2147483647"};
  const std::vector<std::string> badOffsets{"x", "1 ", "+1", "###CONTEXT###", "###RESPONSE###", "1.5"};
  const std::vector<std::string> responses{"@@T R@0", "@@T @1 @P0 @R2", "@@T", "@@T X @9", "TOPIC @0 @1", "@@T Z", "@@T @3s", "@@T  @2   Q "};
  std::vector<std::string> lines;
  if (chance(25)) lines.push_back(pick(patterns));
  for (unsigned rules = 1 + rng() % 12; rules > 0; --rules) {
    for (unsigned blocks = 1 + rng() % 3; blocks > 0; --blocks) {
      lines.push_back("###CONTEXT###");
      if (chance(30)) lines.push_back(chance(2) ? "###CONTEXT###" : "###RESPONSE###");
      for (unsigned pairs = 1 + rng() % 3; pairs > 0; --pairs) {
        lines.push_back(pick(patterns));
        lines.push_back(chance(25) ? pick(badOffsets) : pick(offsets));
      }
    }
    if (!chance(15)) lines.push_back("###RESPONSE###");
    for (unsigned count = rng() % 4; count > 0; --count) lines.push_back(pick(responses));
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (chance(40)) continue;  // a lost line
    if (chance(20)) text += chance(2) ? "\n" : "  \r\n";
    text += lines[i];
    if (chance(30)) text += " ";
    if (chance(20)) text += "\r";
    if (i + 1 < lines.size() || !chance(3)) text += "\n";
  }
  if (chance(5)) text += "\n \n";
  return text;
}

TEST(RuleBank, GivesTheCandidatesOfTheLineByLineScan) {
  TestFolder folder;
  std::mt19937 rng(20240301);
  auto brain = newBrain(folder, kSeed);
  SeededRandom referenceRandom(kSeed);
  GrammarModel referenceGrammar(referenceRandom);
  const std::vector<std::string> vocabulary{"A", "B", "C", "D", "A,", "B?", "E"};
  const std::vector<std::string> classNames{"*NOUN", "*UNKNOWN", "*DEF"};
  int answered = 0;
  for (int bankNo = 0; bankNo < 400; ++bankNo) {
    const Str path = folder.path("bank" + std::to_string(bankNo) + ".mbk");
    std::ofstream(path.std(), std::ios::binary) << generatedBank(rng);
    brain->setBankPath(Bank::kContext, path);
    std::ifstream in(path.std(), std::ios::binary);
    const RuleBank bank = RuleBank::parse(in);
    for (int lineNo = 0; lineNo < 12; ++lineNo) {
      WordList words;
      WordList classes;
      for (unsigned length = rng() % 7; length > 0; --length) {
        words.append(vocabulary[rng() % vocabulary.size()]);
        classes.append(classNames[rng() % classNames.size()]);
      }
      words.setQuestion(false);
      const WordList prepared = words.stripped().upperCased();
      const StrList expected = scanRuleFile(path, prepared, classes);
      ASSERT_EQ(listOf(bank.candidates(prepared, classes)), listOf(expected)) << "bank " << bankNo << " line "
                                                                             << words.join();
      if (!expected.empty()) ++answered;
      // The whole answer, with the same random draws on both sides.
      ASSERT_EQ(brain->respondByRules(words, classes), chooseRuleAnswer(expected, referenceRandom, referenceGrammar));
    }
  }
  // The generator must produce matches, or the comparison proves little.
  EXPECT_GT(answered, 400);
}

}  // namespace
}  // namespace vesko
