// AnswerTrace: where one answer came from, in the detail a rule writer needs
// to find it again (the rule's bank and lines, the remembered sentence, the
// seeds and template of a generated sentence, the banned answers passed over).
// The Brain fills the details only while tracing is on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/str.h"
#include "text/str_list.h"

namespace vesko {

// Which stage produced the last answer; tests and tools read it.
enum class AnswerSource {
  kNone,
  kNameDialogue,
  kTeachingCommand,
  kArithmetic,
  kRules,
  kKnowledge,
  kProfileQuestion,
  kRemark,
  kGenerated,
};

struct AnswerTrace {
  AnswerSource source = AnswerSource::kNone;
  // Rules: the bank file, the line of the matching block's context header and
  // the line of the response drawn (both counted from 1; 0 when unknown).
  Str ruleBank;
  // The default bank (such as "context.x") the rule bank is a copy of, line
  // for line, or empty: a rule writer edits that one for every new mind.
  Str defaultBank;
  std::int32_t blockLine = 0;
  std::int32_t responseLine = 0;
  // Memory: the remembered sentence (counted from 0, as the bank stores them)
  // and the score it won the vote with.
  std::int32_t sentence = -1;
  std::int64_t score = 0;
  // A generated sentence (or a rule's topic-word response): the seed words,
  // where they came from, and the template as its word groups' ids.
  StrList seeds;
  Str seedOrigin;
  std::vector<std::int32_t> templateGroups;
  // Answers that were banned and so passed over, in the order tried.
  StrList skipped;
};

// The stage's name as the trace line gives it ("rules", "memory", ...).
const char* answerSourceName(AnswerSource source);
// One line: the stage, then where the answer came from.
std::string describeTrace(const AnswerTrace& trace);

}  // namespace vesko
