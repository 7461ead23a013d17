// The transcript file: a ruled header with the date and the two speakers,
// then the chat's plain log. A second transcript saved into the same file is
// appended after one line feed.
#pragma once

#include <string>

#include "engine/clock.h"

namespace vesko::gui {

// The header and log exactly as they go into the file; reads `now` once.
std::string transcriptBlock(const LocalTime& now, const std::string& botNameUpper, const std::string& userNameUpper,
                            const std::string& plainLog);

// Appends the block to `path` (after a line feed when the file exists) or
// creates it. A link at `path` is refused, never followed. Empty when the
// block was written completely, else why not.
std::string saveTranscript(const std::string& path, const std::string& block);

}  // namespace vesko::gui
