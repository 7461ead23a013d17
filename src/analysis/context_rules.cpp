#include "analysis/context_rules.h"

#include "engine/brain.h"

namespace vesko {

// Placeholder until the rule banks are read.
Str Brain::respondByRules(const WordList&, const WordList&) { return "%NORESPONSE%"; }

}  // namespace vesko
