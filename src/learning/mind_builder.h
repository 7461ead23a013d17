// Builds the language banks of a new mind from two source texts: the grammar
// model learns every line of "input_l.txt", the knowledge store every line of
// "input_k.txt". Shared by the window, the command line and the build, which
// makes the distributed banks this way.
#pragma once

#include "engine/random_source.h"
#include "engine/status.h"
#include "text/str.h"

namespace vesko {

// Reads sourceFolder + "input_l.txt" and "input_k.txt" (a missing file reads
// as empty) and writes outputFolder + "groups.mbk", "temps.mbk", "sr.mbk",
// "morvash.mbk" and "version.mbk". Both folders end with "/".
Status buildLanguageBanks(const Str& sourceFolder, const Str& outputFolder, RandomSource& random);

}  // namespace vesko
