// The vesko command line: global options, the commands and their help, and
// the choice of mode when no command is given. Exit status 0 on success, 1 on
// a failure (with a message saying what to do), 2 on a usage error.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"

namespace vesko::app {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Ways of running a chat that the program may have besides the terminal. A
// window returns its exit status, or nothing when it cannot open (no
// display), and the terminal chat runs instead.
struct Frontends {
  std::function<std::optional<int>(const GlobalOptions&)> window;
};

// Runs the program for `args` (args[0] is the program name).
int runVesko(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const Frontends& frontends = {});

}  // namespace vesko::app
