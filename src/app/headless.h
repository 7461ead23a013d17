// Headless message mode: answer the chat.msg of the current directory with the
// mind named in config.dat, save the mind and leave the answer in chat.msg.
// chat.msg keeps the two lines until the answer replaces them, so on any
// failure (a kill included) they are still there; the exit status is then 1.
#pragma once

#include <iosfwd>

#include "app/session.h"

namespace vesko::app {

// Waits this long for another vesko working in the same folder.
inline constexpr std::chrono::seconds kHeadlessLockPatience{10};

// The exit status: 0 when the answer was written.
int runHeadless(const GlobalOptions& options, std::ostream& err);

}  // namespace vesko::app
