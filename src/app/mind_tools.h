// The command-line tools that work on mind files rather than chat: making and
// initialising minds, looking into a mind, and packing or unpacking one.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/session.h"

namespace vesko::app {

// new-mind PATH: a mind made from the working folder's default banks.
int runNewMind(const GlobalOptions& options, const std::string& path, bool force, std::ostream& out,
               std::ostream& err);
// Builds the language banks of folder `dir` from its input_l.txt and
// input_k.txt and packs the folder's banks into dir/new.mnd.
int runNewMindAdvanced(const GlobalOptions& options, const std::string& dir, bool force, std::ostream& out,
                       std::ostream& err);

// init-mind [MIND]: the mind returned to its distributed state. `confirm`
// asks the user and tells whether to go on; nothing when no one can be asked.
int runInitMind(const GlobalOptions& options, const std::optional<std::string>& mind,
                const std::optional<bool>& confirmed, std::ostream& out, std::ostream& err);

// mind info MIND: version, load result and counts, from a copy of the mind
// loaded in a scratch folder; neither the mind nor the working folder change.
int runMindInfo(const GlobalOptions& options, const std::string& mind, std::ostream& out, std::ostream& err);

// mind unpack MIND DIR and mind pack DIR MIND.
int runMindUnpack(const std::string& mind, const std::string& folder, std::ostream& out, std::ostream& err);
int runMindPack(const std::string& folder, const std::string& mind, std::ostream& out, std::ostream& err);

}  // namespace vesko::app
