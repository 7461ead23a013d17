// Helpers of the input normaliser that work on a raw line rather than on the
// Brain's word lists. Brain::normalise itself is a Brain operation.
#pragma once

#include "text/str.h"

namespace vesko {

// The line upper-cased, keeping only "!" to "]" and the space: every word the
// result holds can be stored in a WordTree. Tabs, control bytes and bytes
// above 127 are dropped.
Str filterLine(const Str& line);

}  // namespace vesko
