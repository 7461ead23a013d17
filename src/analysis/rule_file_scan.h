// The context rules read the slow, literal way: the bank file is opened and
// read line by line once for every start position of the line. RuleBank must
// give exactly the same candidates; tests and the benchmark compare the two.
#pragma once

#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

// The candidates of the bank file at `path` for the prepared words (no
// punctuation, upper case) and their classes, as RuleBank::candidates.
StrList scanRuleFile(const Str& path, const WordList& prepared, const WordList& classes);

}  // namespace vesko
