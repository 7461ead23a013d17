#include "engine/brain.h"

namespace vesko {

// Placeholder until teaching from a file lands.
void Brain::teachSentence(const Str&) {}

}  // namespace vesko
