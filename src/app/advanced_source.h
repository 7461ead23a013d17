// What a folder must hold before a mind is built from it (New Mind, Advanced
// Mode and 'vesko new-mind --advanced'): at least one source text, and the
// bot's attributes. Without them the new mind would load as a bot with no
// name that says nothing.
#pragma once

#include <string>

namespace vesko::app {

// Why `folder` (ending with "/") cannot be the source of a new mind, in words
// for the user, or "" when it can.
std::string advancedSourceProblem(const std::string& folder);

}  // namespace vesko::app
