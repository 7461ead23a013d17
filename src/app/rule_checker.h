// RuleChecker: finds the places in a hand-written context bank where the rule
// scan stops early or where a rule can never answer, each with its line, so a
// rule writer learns of them before the bot silently ignores the rules.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vesko::app {

struct RuleProblem {
  enum class Severity { kError, kWarning };
  int line = 0;  // 1-based line of the bank file
  Severity severity = Severity::kError;
  std::string message;
};

// Every problem of the bank read from `bank`, in line order. Errors are places
// where the scan stops or a rule never answers; warnings are rules that work,
// though probably not as their writer meant.
std::vector<RuleProblem> checkRules(std::istream& bank);

// "FILE:LINE: error: message" (or "warning:"), as compilers write them.
std::string formatProblem(const std::string& file, const RuleProblem& problem);

}  // namespace vesko::app
