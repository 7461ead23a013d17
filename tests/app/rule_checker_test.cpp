// The context-bank checker: each fault with its line, the distributed banks
// clean, and the check-rules command over a damaged copy.
#include "app/rule_checker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

std::vector<RuleProblem> check(const std::string& bank) {
  std::istringstream in(bank);
  return checkRules(in);
}

TEST(RuleChecker, FindsEachFaultAtItsLine) {
  const std::string C = "###CONTEXT###\n", R = "###RESPONSE###\n", I = C + "I\n0\n" + R;
  constexpr auto E = RuleProblem::Severity::kError, W = RuleProblem::Severity::kWarning;
  // The bank, the line and severity of its one fault, and a piece of the message.
  const std::tuple<std::string, int, RuleProblem::Severity, const char*> faults[] = {
      {"hello\n" + I + "HI\n", 1, E, "before the first"},
      {C + "I\n1 \n" + R + "HI\n", 3, E, "is not a number (it has white"},
      {C + "I\nx\n" + R + "HI\n", 3, E, "\"x\" is not a number"},
      {C + I + "HI\n", 2, E, "right after a context"},
      {C + "I \n0\n" + R + "HI\n", 2, E, "white space at its end"},
      {C + "*VERB\n0\n" + R + "HI\n", 2, E, "unknown word class"},
      {C + "Like\n0\n" + R + "HI\n", 2, E, "lower case"},
      {C + "HELLO.\n0\n" + R + "HI\n", 2, E, "holds \".\""},
      {C + "YOU'RE\n0\n" + R + "HI\n", 2, E, "rewritten as YOU ARE"},
      {C + "GO\n1002\nDON'T\n1001\nI\n0\n" + R + "HI\n", 4, W, "rewritten as DO NOT"},
      {C + "I LIKE\n0\n" + R + "HI\n", 2, E, "more than one word"},
      {I + "HI\n" + R + "HO\n", 6, E, "second response"},
      {I + "[{[x]}]\n", 5, E, "[{["},
      {I + "\n" + C + "A\n0\n" + R + "B\n", 4, W, "without responses"},
      {C + "I\n0\nA\n1\n" + R + "@@T so @10 it\n", 7, W, "\"@10\" reads only one"},
      {C + "I\n0\nA\n1\n" + R + "@@T @P12\n", 7, W, "\"@P12\""},
      {I + "HI\n" + C + "I\n0\n", 6, E, "no response block"},
      {C + "I\n" + R + "HI\n", 3, E, "needs an offset"},
      {"###CONTEXT### \n" + I.substr(C.size()) + "HI\n", 1, E, "is no header"},
      // "I feel very sad": word 2 may begin a phrase that the answer cuts.
      {C + "I\n0\nFEEL\n1\n" + R + "@@T Why do you feel @2?\n", 7, W, "block at line 1 does not fix"},
      {C + "I\n0\n*STUFFING\n2\n" + R + "@@T So @R2.\n", 7, W, "quotes word 2"},
      {C + "MY\n0\n*NOUN\n1\n" + C + "MY\n0\n" + R + "@@T Your @1?\n", 10, W, "block at line 6 does not"},
  };
  for (const auto& [bank, line, severity, says] : faults) {
    const auto found = check(bank);
    ASSERT_EQ(found.size(), 1u) << bank;
    EXPECT_EQ(found[0].line, line) << bank;
    EXPECT_EQ(found[0].severity, severity) << bank;
    EXPECT_NE(found[0].message.find(says), std::string::npos) << found[0].message;
  }
  // Sound rules in every form the language allows report nothing; quoted
  // words are fixed by a word or by *NOUN, *PERSON, *ANIMAL or *DEF.
  const std::string sound = C + "I\n0\nLIKE\n1\n" + R + "@@T WHY?\n\n  ###CONTEXT###\r\n*NOUN\n1001\nI\n0\n" + C +
                            "&USERNAME\n-1\nHE'S\n2\nI\n0\n" + C + "I\n0\nDON'T\n1\n" + R +
                            "@P0 @R0x @@T\nCHEESE\n" + C + "MY\n0\n*ANIMAL\n1\n*DEF\n2\n*PERSON\n3\n*NOUN\n4\n" + R +
                            "@@T @0 @1 @2 @3 @4\n";
  EXPECT_TRUE(check(sound).empty());
  // Topic words are warned about only when the bank is meant to be scripted.
  std::istringstream in(sound);
  const auto topics = checkRules(in, RuleCheckOptions{true});
  ASSERT_EQ(topics.size(), 2u);
  EXPECT_EQ(topics[0].line, 27);
  EXPECT_NE(topics[1].message.find("\"CHEESE\" is a list of topic words"), std::string::npos);
  // Only the first 4999 blocks are ever scanned.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += I + "HI\n";
  const auto found = check(many);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(formatProblem("c.x", found[0]).rfind("c.x:24996: error: context block 5000 never answers", 0), 0u);
}

TEST(RuleChecker, GivesOneClearMessagePerFaultOnHugeOrBinaryInput) {
  const std::string C = "###CONTEXT###\n", R = "###RESPONSE###\n";
  // 100,000 blocks: one message for all the blocks that can never answer.
  std::string huge;
  for (int i = 0; i < 100000; ++i) huge += C + "I\n0\n" + R + "@@T HI\n";
  const auto many = check(huge);
  ASSERT_EQ(many.size(), 1u);
  EXPECT_NE(many[0].message.find("neither do the 95000 blocks after it"), std::string::npos) << many[0].message;

  // A response of 10,000 words quoting an unfixed word: one warning, quoted short.
  std::string words = "@@T";
  for (int i = 0; i < 10000; ++i) words += i == 5000 ? " @3" : " word";
  const auto longResponse = check(C + "I\n0\n" + R + words + "\n");
  ASSERT_EQ(longResponse.size(), 1u);
  EXPECT_LT(longResponse[0].message.size(), 500u);
  std::istringstream in(C + "I\n0\n" + R + "many " + words.substr(4) + "\n");
  const auto topics = checkRules(in, RuleCheckOptions{true});
  ASSERT_EQ(topics.size(), 2u);
  EXPECT_LT(topics[1].message.size(), 300u);

  // Binary data: each line with a control byte named, then the check gives up.
  std::string binary;
  for (int i = 0; i < 50; ++i) binary += std::string("\x7f" "ELF\x02\x01\x01\0\0", 9) + "\n";
  const auto garbage = check(binary);
  ASSERT_EQ(garbage.size(), 11u);
  EXPECT_NE(garbage[0].message.find("the byte 0x7f"), std::string::npos) << garbage[0].message;
  EXPECT_NE(garbage[10].message.find("looks like binary data"), std::string::npos);
  EXPECT_EQ(garbage[10].line, 11);
}

TEST(CheckRulesCommand, DistributedBanksAreCleanAndADamagedCopyIsReportedLineByLine) {
  ScratchDir dir;
  const std::string source = std::string(VESKO_SOURCE_DIR) + "/data/";
  const Outcome clean =
      runVesko(dir.path(), {"check-rules", "--no-topic-words", source + "context.x", source + "context2.x"});
  EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
  EXPECT_EQ(clean.out, "");

  // A stray first line, then after the distributed rules a pattern word in
  // lower case, an offset that is no number and a response that reads only
  // one digit of "@12" and quotes a word no block fixes.
  const std::string original = readText(source + "context2.x");
  writeText(dir / "bad.x", "stray\n" + original +
                               "###CONTEXT###\nwhat\n0\n###CONTEXT###\nWHY\nzero\n###RESPONSE###\n@@T @12\n");
  const Outcome damaged = runVesko(dir.path(), {"check-rules", "bad.x"});
  EXPECT_EQ(damaged.status, 1);
  const auto report = lines(damaged.out);
  ASSERT_EQ(report.size(), 5u) << damaged.out;
  const auto at = [n = lines(original).size()](std::size_t line) { return "bad.x:" + std::to_string(n + line) + ": "; };
  const std::string expected[] = {"bad.x:1: error: ", at(3) + "error: ", at(7) + "error: ",
                                  at(9) + "warning: the reference", at(9) + "warning: the response quotes word 1"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(report[i].rfind(expected[i], 0), 0u) << report[i];
  EXPECT_NE(damaged.err.find("3 errors"), std::string::npos);
  EXPECT_EQ(runVesko(dir.path(), {"check-rules", "missing.x"}).status, 1);
}

}  // namespace
}  // namespace vesko::app
