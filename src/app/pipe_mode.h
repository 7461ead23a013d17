// Pipe mode: a long-running bot for other programs. One answer line per input
// line on standard output, flushed, in order; the mind is saved now and then
// while it runs and at the end.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/session.h"

namespace vesko::app {

struct PipeOptions {
  // With a user name the Brain answers as in headless mode: no greeting and
  // no name dialogue. Without one it holds the window's conversation.
  std::optional<std::string> user;
  unsigned long long saveEvery = 50;  // lines between checkpoints; 0: never
};

int runPipe(const GlobalOptions& options, const PipeOptions& pipe, std::ostream& out, std::ostream& err);

}  // namespace vesko::app
