// RuleChecker: finds the places in a hand-written context bank where the rule
// scan stops early or where a rule can never answer, and responses that may
// not say what their writer meant (a quoted word cut out of its phrase, topic
// words in a scripted bank), each with its line, so a rule writer learns of
// them before the bot silently ignores or garbles the rules.
#pragma once

#include <cstdint>
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

struct RuleCheckOptions {
  // Warn about responses that are topic words for a generated sentence rather
  // than "@@T" answers (for banks meant to be wholly scripted).
  bool noTopicWords = false;
};

// Every problem of the bank read from `bank`, in line order. Errors are places
// where the scan stops or a rule never answers; warnings are rules that work,
// though probably not as their writer meant.
std::vector<RuleProblem> checkRules(std::istream& bank, const RuleCheckOptions& options = {});

// One pattern of a context block, its offset mapped (1001 is -1).
struct BlockPattern {
  std::string text;
  std::int64_t offset = 0;
};

// True when the block fixes the word at `position` (from the start position)
// to one word: a pattern there is a word, or one of the classes *NOUN,
// *PERSON, *ANIMAL and *DEF. Elsewhere the line's word may be the first of a
// phrase ("very" of "very sad"), and quoting it cuts the phrase.
bool pinsPosition(const std::vector<BlockPattern>& block, std::int64_t position);

// The positions a response line quotes with "@n", "@Pn" and "@Rn", in order.
std::vector<int> quotedPositions(const std::string& response);

// "FILE:LINE: error: message" (or "warning:"), as compilers write them.
std::string formatProblem(const std::string& file, const RuleProblem& problem);

}  // namespace vesko::app
