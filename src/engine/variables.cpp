#include "engine/brain.h"

namespace vesko {

// Placeholder until placeholders are filled in.
Str Brain::substituteVariables(const Str& text) const { return WordList(text).join(); }

}  // namespace vesko
