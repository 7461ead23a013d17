// The context-bank checker: each fault with its line, the distributed banks
// clean, and the check-rules command over a damaged copy.
#include "app/rule_checker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;
using Severity = RuleProblem::Severity;

std::vector<RuleProblem> check(const std::string& bank) {
  std::istringstream in(bank);
  return checkRules(in);
}

struct Fault {
  const char* bank;
  int line;
  Severity severity;
  const char* says;  // a piece of the message
};

TEST(RuleChecker, FindsEachFaultAtItsLine) {
  const std::string rule = "###CONTEXT###\nI\n0\nLIKE\n1\n###RESPONSE###\n@@T WHY?\n";
  const std::vector<Fault> faults = {
      {"hello\n###CONTEXT###\nI\n0\n###RESPONSE###\nHI\n", 1, Severity::kError, "before the first"},
      {"###CONTEXT###\nI\n1 \n###RESPONSE###\nHI\n", 3, Severity::kError, "is not a number (it has white"},
      {"###CONTEXT###\nI\nx\n###RESPONSE###\nHI\n", 3, Severity::kError, "\"x\" is not a number"},
      {"###CONTEXT###\n###CONTEXT###\nI\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "right after a context"},
      {"###CONTEXT###\nI \n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "white space at its end"},
      {"###CONTEXT###\n*VERB\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "unknown word class"},
      {"###CONTEXT###\nLike\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "lower case"},
      {"###CONTEXT###\nHELLO.\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "holds \".\""},
      {"###CONTEXT###\nYOU'RE\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "rewritten as YOU ARE"},
      {"###CONTEXT###\nGO\n1002\nDON'T\n1001\nI\n0\n###RESPONSE###\nHI\n", 4, Severity::kWarning,
       "rewritten as DO NOT"},
      {"###CONTEXT###\nI LIKE\n0\n###RESPONSE###\nHI\n", 2, Severity::kError, "more than one word"},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\nHI\n###RESPONSE###\nHO\n", 6, Severity::kError, "second response"},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\n[{[x]}]\n", 5, Severity::kError, "[{["},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\n\n###CONTEXT###\nA\n0\n###RESPONSE###\nB\n", 4, Severity::kWarning,
       "without responses"},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\n@@T so @10 it\n", 5, Severity::kWarning, "\"@10\" reads only one"},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\n@@T @P12\n", 5, Severity::kWarning, "\"@P12\""},
      {"###CONTEXT###\nI\n0\n###RESPONSE###\nHI\n###CONTEXT###\nI\n0\n", 6, Severity::kError, "no response block"},
      {"###CONTEXT###\nI\n###RESPONSE###\nHI\n", 3, Severity::kError, "needs an offset"},
      {"###CONTEXT### \nI\n0\n###RESPONSE###\nHI\n", 1, Severity::kError, "is no header"},
  };
  for (const Fault& fault : faults) {
    const auto found = check(fault.bank);
    std::string all;
    for (const RuleProblem& problem : found) all += formatProblem("b", problem) + "\n";
    ASSERT_EQ(found.size(), 1u) << fault.bank << all;
    EXPECT_EQ(found[0].line, fault.line) << fault.bank;
    EXPECT_EQ(found[0].severity, fault.severity) << fault.bank;
    EXPECT_NE(found[0].message.find(fault.says), std::string::npos) << found[0].message;
  }
  // Sound rules in every form the language allows report nothing.
  EXPECT_TRUE(check(rule + "\n  ###CONTEXT###\r\n*NOUN\n1001\n###CONTEXT###\n&USERNAME\n-1\nHE'S\n2\n###CONTEXT###\nI\n0\nDON'T\n1\n"
                    "###RESPONSE###\n@P0 @R1x @@T\nCHEESE @2").empty());
}

TEST(RuleChecker, OnlyTheFirst4999BlocksAnswer) {
  std::string bank;
  for (int i = 0; i < 5000; ++i) bank += "###CONTEXT###\nI\n0\n###RESPONSE###\nHI\n";
  const auto found = check(bank);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 4999 * 5 + 1);
  EXPECT_EQ(formatProblem("c.x", found[0]).rfind("c.x:24996: error: context block 5000 never answers", 0), 0u);
}

TEST(CheckRulesCommand, DistributedBanksAreCleanAndADamagedCopyIsReportedLineByLine) {
  ScratchDir dir;
  const std::string source = std::string(VESKO_SOURCE_DIR) + "/data/";
  const Outcome clean = runVesko(dir.path(), {"check-rules", source + "context.x", source + "context2.x"});
  EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
  EXPECT_EQ(clean.out, "");

  const std::string original = readText(source + "context2.x");
  const int length = static_cast<int>(lines(original).size());
  writeText(dir / "bad.x", "stray\n" + original +
                               "###CONTEXT###\nwhat\n0\n###CONTEXT###\nWHY\nzero\n###RESPONSE###\n@@T @12\n");
  const Outcome damaged = runVesko(dir.path(), {"check-rules", "bad.x"});
  EXPECT_EQ(damaged.status, 1);
  const auto report = lines(damaged.out);
  ASSERT_EQ(report.size(), 4u) << damaged.out;
  EXPECT_EQ(report[0].rfind("bad.x:1: error: ", 0), 0u);
  EXPECT_EQ(report[1].rfind("bad.x:" + std::to_string(length + 3) + ": error: ", 0), 0u);
  EXPECT_EQ(report[2].rfind("bad.x:" + std::to_string(length + 7) + ": error: ", 0), 0u);
  EXPECT_EQ(report[3].rfind("bad.x:" + std::to_string(length + 9) + ": warning: ", 0), 0u);
  EXPECT_NE(damaged.err.find("3 errors"), std::string::npos);

  EXPECT_EQ(runVesko(dir.path(), {"check-rules", "missing.x"}).status, 1);
  EXPECT_EQ(runVesko(dir.path(), {"check-rules"}).status, 2);
}

}  // namespace
}  // namespace vesko::app
