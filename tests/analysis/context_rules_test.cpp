#include "analysis/context_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/rule_bank.h"
#include "analysis/rule_file_scan.h"
#include "engine/brain.h"
#include "learning/grammar_model.h"

namespace vesko {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSeed = 1;

// A fresh folder under the temporary folder, removed when the test ends.
class Folder {
 public:
  Folder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string stem = std::string("vesko-rules-") + info->test_suite_name() + "-" + info->name();
    for (int i = 0;; ++i) {
      root_ = fs::temp_directory_path() / (stem + "-" + std::to_string(i));
      if (fs::create_directories(root_)) break;
    }
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  Str path() const { return Str(root_.string() + "/"); }
  Str path(const std::string& name) const { return Str((root_ / name).string()); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(root_ / name, std::ios::binary) << text;
  }

 private:
  fs::path root_;
};

std::unique_ptr<Brain> newBrain(const Folder& folder) {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}), std::make_unique<SeededRandom>(kSeed)};
  return std::make_unique<Brain>(folder.path(), false, Str(), std::move(environment));
}

// What the respond pipeline does with a line before the rules see it.
Str answer(Brain& brain, const char* line) {
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

// Candidates of a bank text for words and classes given as sentences.
std::vector<std::string> candidatesOf(const std::string& bank, const char* words, const char* classes) {
  std::istringstream in(bank);
  return listOf(RuleBank::parse(in).candidates(WordList(Str(words)), WordList(Str(classes))));
}

const std::string kLikeRule = "###CONTEXT###\nI\n0\nLIKE\n1\n*NOUN\n2\n###RESPONSE###\n@@T WHY DO YOU LIKE @2?\n";

TEST(ContextRules, QuotesTheWordsOfTheMatchingContext) {
  Folder folder;
  folder.write("context.mbk", kLikeRule);
  auto brain = newBrain(folder);
  brain->nouns().add("DOGS");
  EXPECT_EQ(answer(*brain, "I LIKE DOGS A LOT."), Str("WHY DO YOU LIKE DOGS?"));
  // Punctuation is gone before matching.
  EXPECT_EQ(answer(*brain, "well, I like, dogs a lot!"), Str("WHY DO YOU LIKE DOGS?"));
  EXPECT_EQ(answer(*brain, "I LIKE CATS A LOT."), Str("%NORESPONSE%"));
}

TEST(ContextRules, QuestionsReadOnlyTheSecondBank) {
  Folder folder;
  folder.write("context.mbk", "###CONTEXT###\nDOGS\n0\n###RESPONSE###\n@@T STATEMENT\n");
  folder.write("context2.mbk", "###CONTEXT###\nDOGS\n0\n###RESPONSE###\n@@T QUESTION\n");
  auto brain = newBrain(folder);
  EXPECT_EQ(answer(*brain, "DO YOU LIKE DOGS?"), Str("QUESTION"));
  EXPECT_EQ(answer(*brain, "I LIKE DOGS."), Str("STATEMENT"));
  std::filesystem::remove(folder.path("context2.mbk").std());
  EXPECT_EQ(answer(*brain, "DO YOU LIKE DOGS?"), Str("%NORESPONSE%"));
  // A bank redirected elsewhere is read there.
  brain->setBankPath(Bank::kContext2, folder.path("context.mbk"));
  EXPECT_EQ(answer(*brain, "DO YOU LIKE DOGS?"), Str("STATEMENT"));
}

TEST(ContextRules, EarliestMatchingBlockWinsWhateverTheStartPosition) {
  const std::string bank =
      "###CONTEXT###\nC\n0\n###RESPONSE###\nFIRST @0\n"
      "###CONTEXT###\nA\n0\n###RESPONSE###\nSECOND @0\n";
  EXPECT_EQ(candidatesOf(bank, "A B C", ""), (std::vector<std::string>{"FIRST C"}));
  // A block matching at several start positions is expanded with the first.
  EXPECT_EQ(candidatesOf("###CONTEXT###\n*X\n0\n###RESPONSE###\n@0 @1\n", "A B C", "*Y *X *X"),
            (std::vector<std::string>{"B C"}));
  // Offsets above 1000 count back; before the line is the first word.
  EXPECT_EQ(candidatesOf("###CONTEXT###\nA\n1001\nB\n0\n###RESPONSE###\n@0\n", "A B", ""),
            (std::vector<std::string>{"B"}));
  EXPECT_EQ(candidatesOf("###CONTEXT###\nA\n1001\n###RESPONSE###\nX\n", "A B", ""), (std::vector<std::string>{"X"}));
  EXPECT_EQ(candidatesOf("###CONTEXT###\nA\n-2\nC\n0\n###RESPONSE###\nY\n", "A B C", ""),
            (std::vector<std::string>{"Y"}));
}

TEST(ContextRules, AlternativeContextsShareTheirResponses) {
  const std::string bank =
      "###CONTEXT###\nCAT\n0\n###CONTEXT###\nDOG\n0\n###RESPONSE###\nONE\nTWO\n"
      "###CONTEXT###\nBIRD\n0\n###RESPONSE###\nTHREE\n";
  // Candidates stand in reverse order of the file.
  EXPECT_EQ(candidatesOf(bank, "A CAT", ""), (std::vector<std::string>{"TWO", "ONE"}));
  EXPECT_EQ(candidatesOf(bank, "A DOG", ""), (std::vector<std::string>{"TWO", "ONE"}));
  EXPECT_EQ(candidatesOf(bank, "A BIRD", ""), (std::vector<std::string>{"THREE"}));
}

TEST(ContextRules, DrawsOneCandidateAndMakesTheAnswer) {
  Folder folder;
  folder.write("context.mbk", "###CONTEXT###\nPICK\n0\n###RESPONSE###\n@@T ONE\n@@T TWO\n@@T THREE\n");
  auto brain = newBrain(folder);
  SeededRandom same(kSeed);
  const std::vector<std::string> reversed{"THREE", "TWO", "ONE"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(answer(*brain, "PICK").std(), reversed[same.draw() % 3]) << "draw " << i;

  folder.write("context.mbk",
               "###CONTEXT###\nBARE\n0\n###RESPONSE###\n@@T\n"
               "###CONTEXT###\nMARK\n0\n###RESPONSE###\n@@T   %NORESPONSE%  \n"
               "###CONTEXT###\nTOPIC\n0\n###RESPONSE###\nSOME TOPIC WORDS\n"
               "###CONTEXT###\nSPACED\n0\n###RESPONSE###\n@@T  A    B @9 C\n");
  EXPECT_EQ(answer(*brain, "BARE"), Str(""));
  EXPECT_EQ(answer(*brain, "MARK"), Str("%NORESPONSE%"));
  // An empty mind's grammar has no sentence for topic words: no answer.
  EXPECT_EQ(answer(*brain, "TOPIC"), Str("%NORESPONSE%"));
  EXPECT_EQ(answer(*brain, "SPACED"), Str("A B C"));
}

TEST(ContextRules, ExpandsReferences) {
  const WordList words(Str("SHE TOLD YOUR HE MY"));
  EXPECT_EQ(expandResponse("@P0 @R2 @P3 @R4 @P1", words, 0), Str("HER MY HIM YOUR TOLD"));
  EXPECT_EQ(expandResponse("@@T X@0 @1's @3", words, 2), Str("@@T X@0 HE's  "));
  EXPECT_EQ(expandResponse("@0 @p0 @Q1 @ @P", words, 1), Str("TOLD @p0 @Q1 @ @P"));
  EXPECT_EQ(expandResponse("  spaced   out ", words, 0), Str("spaced out"));
  // @P and @R compare the upper-cased word.
  EXPECT_EQ(expandResponse("@P0 @R1", WordList(Str("she your")), 0), Str("HER MY"));
}

TEST(ContextRules, ResponseBlockAtTheEndOfTheFileIsComplete) {
  const std::string rule = "###CONTEXT###\nGO\n0\n###RESPONSE###\nONE\nTWO";
  const std::vector<std::string> both{"TWO", "ONE"};
  EXPECT_EQ(candidatesOf(rule, "GO", ""), both);
  EXPECT_EQ(candidatesOf(rule + "\n", "GO", ""), both);
  EXPECT_EQ(candidatesOf(rule + "\r\n  \n\n", "GO", ""), both);
  // A matching block without responses still wins, with nothing to say.
  EXPECT_TRUE(candidatesOf("###CONTEXT###\nGO\n0\n###RESPONSE###", "GO", "").empty());
  EXPECT_TRUE(candidatesOf("###CONTEXT###\nGO\n0\n###RESPONSE###\n###CONTEXT###\nGO\n0\n###RESPONSE###\nX\n", "GO", "")
                  .empty());
}

TEST(ContextRules, BlocksFromFiveThousandOnNeverAnswer) {
  std::string bank;
  for (int i = 0; i < 4998; ++i) bank += "###CONTEXT###\nNEVER\n0\n###RESPONSE###\nNO\n";
  const std::string last = "###CONTEXT###\nHIT\n0\n###RESPONSE###\nYES\n";
  EXPECT_EQ(candidatesOf(bank + last, "HIT", ""), (std::vector<std::string>{"YES"}));  // block 4999
  EXPECT_TRUE(candidatesOf(bank + "###CONTEXT###\nNEVER\n0\n" + last, "HIT", "").empty());
}

TEST(ContextRules, ReadsDamagedBanksAsTheLineReaderDoes) {
  // Blank lines, carriage returns and leading blanks are invisible.
  EXPECT_EQ(candidatesOf("\n\n  ###CONTEXT###\r\n\r\nGO\r\n  0\r\n###RESPONSE###\r\nYES\r\n", "GO", ""),
            (std::vector<std::string>{"YES"}));
  // A pattern with a trailing blank never matches; an offset with one is no
  // number and ends the scan of that start position.
  EXPECT_TRUE(candidatesOf("###CONTEXT###\nGO \n0\n###RESPONSE###\nYES\n", "GO", "").empty());
  const std::string badOffset =
      "###CONTEXT###\nB\n0\nC\n1 \n###RESPONSE###\nLOST\n"
      "###CONTEXT###\nA\n0\n###RESPONSE###\nA WINS\n";
  EXPECT_EQ(candidatesOf(badOffset, "A B", ""), (std::vector<std::string>{"A WINS"}));
  EXPECT_TRUE(candidatesOf(badOffset, "B", "").empty());
  EXPECT_EQ(candidatesOf(badOffset, "B A", ""), (std::vector<std::string>{"A WINS"}));  // from start position 1
  // An unknown class matches nothing; a header right after a context header
  // ends every scan that reaches it.
  EXPECT_TRUE(candidatesOf("###CONTEXT###\n*PLANET\n0\n###RESPONSE###\nX\n", "MARS", "*UNKNOWN").empty());
  EXPECT_EQ(candidatesOf("###CONTEXT###\nA\n0\n###RESPONSE###\nX\n###CONTEXT###\n###CONTEXT###\nB\n0\n###RESPONSE###\nY\n",
                         "A B", ""),
            (std::vector<std::string>{"X"}));
  EXPECT_TRUE(
      candidatesOf("###CONTEXT###\nA\n0\n###RESPONSE###\nX\n###CONTEXT###\n###CONTEXT###\nB\n0\n###RESPONSE###\nY\n",
                   "B", "")
          .empty());
  // The first line must be a context header.
  EXPECT_TRUE(candidatesOf("hello\n###CONTEXT###\nGO\n0\n###RESPONSE###\nYES\n", "GO", "").empty());
  EXPECT_TRUE(candidatesOf("", "GO", "").empty());
  // A reference past the end quotes a single space.
  EXPECT_EQ(candidatesOf("###CONTEXT###\nGO\n0\n###RESPONSE###\n@@T @9 END\n", "GO", ""),
            (std::vector<std::string>{"@@T   END"}));
}

TEST(ContextRules, FollowsTheBankOnDisk) {
  Folder folder;
  auto brain = newBrain(folder);
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("%NORESPONSE%"));  // no bank yet
  folder.write("context.mbk", "###CONTEXT###\nTHERE\n0\n###RESPONSE###\n@@T OLD\n");
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("OLD"));
  folder.write("context.mbk", "###CONTEXT###\nTHERE\n0\n###RESPONSE###\n@@T NEWER\n");
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("NEWER"));
  // Same size, older time stamp: still a change.
  folder.write("context.mbk", "###CONTEXT###\nTHERE\n0\n###RESPONSE###\n@@T OTHER\n");
  const auto path = fs::path(folder.path("context.mbk").std());
  fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("OTHER"));
  fs::remove(path);
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("%NORESPONSE%"));
  fs::create_directory(path);  // a folder where the bank should be
  EXPECT_EQ(answer(*brain, "HELLO THERE"), Str("%NORESPONSE%"));
}

TEST(ContextRules, SurvivesAnyUserLine) {
  Folder folder;
  folder.write("context.mbk", kLikeRule + "###CONTEXT###\n*UNKNOWN\n0\n###RESPONSE###\n@@T @0 @P9 @R5\n");
  auto brain = newBrain(folder);
  std::string noisy;
  for (int i = 0; i < 10000; ++i) noisy += static_cast<char>(i % 7 == 0 ? ' ' : (i * 37) % 256);
  std::string longLine;
  while (longLine.size() < 10000) longLine += "I LIKE DOGS ";
  for (const std::string& line : {noisy, longLine, std::string("\x01\x02 caf\xc3\xa9 \xff?"), std::string("?!.")}) {
    WordList words{Str(line)};
    WordList classes;
    brain->normalise(words, classes);
    const Str said = brain->respondByRules(words, classes);
    EXPECT_GE(said.length(), 0);
  }
  EXPECT_EQ(brain->respondByRules(WordList(), WordList()), Str("%NORESPONSE%"));
}

// --- The in-memory bank against the literal line-by-line scan ---

// A bank in the rule language, often damaged: bad offsets, headers in the
// wrong place, blank lines, carriage returns, trailing blanks, missing ends.
std::string generatedBank(std::mt19937& rng) {
  auto pick = [&rng](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
  auto chance = [&rng](int inN) { return rng() % static_cast<unsigned>(inN) == 0; };
  const std::vector<std::string> patterns{"A", "B", "C", "D", "*NOUN", "*UNKNOWN", "*DEF", "A ", "*"};
  const std::vector<std::string> offsets{"0", "1", "2", "0", "1", "1001", "1002", "-1", "3", "2147483647"};
  const std::vector<std::string> badOffsets{"x", "1 ", "+1", "###CONTEXT###", "###RESPONSE###", "1.5"};
  const std::vector<std::string> responses{"@@T R@0",     "@@T @1 @P0 @R2", "@@T",     "@@T X @9",
                                           "TOPIC @0 @1", "@@T Z",          "@@T @3s", "@@T  @2   Q "};
  std::vector<std::string> lines;
  if (chance(25)) lines.push_back(pick(patterns));
  const int rules = 1 + static_cast<int>(rng() % 12);
  for (int r = 0; r < rules; ++r) {
    const int blocks = 1 + static_cast<int>(rng() % 3);
    for (int b = 0; b < blocks; ++b) {
      lines.push_back("###CONTEXT###");
      if (chance(30)) lines.push_back(chance(2) ? "###CONTEXT###" : "###RESPONSE###");
      const int pairs = 1 + static_cast<int>(rng() % 3);
      for (int p = 0; p < pairs; ++p) {
        lines.push_back(pick(patterns));
        lines.push_back(chance(25) ? pick(badOffsets) : pick(offsets));
      }
    }
    if (!chance(15)) lines.push_back("###RESPONSE###");
    const int count = static_cast<int>(rng() % 4);
    for (int i = 0; i < count; ++i) lines.push_back(pick(responses));
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
  Folder folder;
  std::mt19937 rng(20240301);
  auto brain = newBrain(folder);
  SeededRandom referenceRandom(kSeed);
  GrammarModel referenceGrammar(referenceRandom);
  const std::vector<std::string> vocabulary{"A", "B", "C", "D", "A,", "B?", "E"};
  const std::vector<std::string> classNames{"*NOUN", "*UNKNOWN", "*DEF"};
  int answered = 0;
  for (int bankNo = 0; bankNo < 400; ++bankNo) {
    const std::string name = "bank" + std::to_string(bankNo) + ".mbk";
    folder.write(name, generatedBank(rng));
    const Str path = folder.path(name);
    brain->setBankPath(Bank::kContext, path);
    std::ifstream in(path.std(), std::ios::binary);
    const RuleBank bank = RuleBank::parse(in);
    for (int lineNo = 0; lineNo < 12; ++lineNo) {
      WordList words;
      WordList classes;
      const int length = static_cast<int>(rng() % 7);
      for (int w = 0; w < length; ++w) {
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
