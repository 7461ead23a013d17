// Context rules: the scripted conversation of a mind. RuleBankCache keeps each
// context bank parsed in memory and re-reads it when the file changes on disk,
// so an edited bank takes effect on the next line.
#pragma once

#include <cstdint>
#include <memory>

#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

class GrammarModel;
class RandomSource;
class RuleBank;

class RuleBankCache {
 public:
  RuleBankCache();
  ~RuleBankCache();
  RuleBankCache(const RuleBankCache&) = delete;
  RuleBankCache& operator=(const RuleBankCache&) = delete;

  // The bank at `path` as the file now stands: parsed again when its size or
  // modification time changed. A missing or unreadable file answers nothing.
  const RuleBank& bank(const Str& path);
  // The name of the default bank ("context.x") beside the bank at `path`
  // ("context.mbk") when both hold the same bytes, else empty; remembered
  // until either file changes.
  Str identicalDefaultBank(const Str& path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The response line with its references ("@d", "@Pd", "@Rd") replaced by the
// words at `start` + d of `words`, tokens joined by single spaces.
Str expandResponse(const Str& line, const WordList& words, std::int32_t start);

// The answer from a rule's candidates: one drawn at random (a draw modulo
// their count, counted from the front); "@@T" gives the rest of the line as
// it stands, anything else is handed to `grammar` as topic words.
// "%NORESPONSE%" when there is no candidate or the grammar has no sentence.
// With `picked`, also which candidate was drawn (counted from the front).
Str chooseRuleAnswer(const StrList& candidates, RandomSource& random, GrammarModel& grammar,
                     std::int32_t* picked = nullptr);

}  // namespace vesko
