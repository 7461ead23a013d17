#include "engine/brain.h"

namespace vesko {

// Placeholder until the chat commands land.
bool Brain::teachCommand(const Str&, Str&) { return false; }

}  // namespace vesko
