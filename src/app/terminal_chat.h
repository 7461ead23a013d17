// The terminal chat: the chat window's conversation on a terminal or through a
// pipe. It loads the default mind, greets, answers line by line, and on "bye",
// end of input, Ctrl-C or SIGTERM saves the mind and writes config.dat as the
// window does when it closes.
#pragma once

#include <cstddef>
#include <iosfwd>

#include "app/session.h"

namespace vesko::app {

// How the chat talks to its user; decided from the process's descriptors.
struct ChatConsole {
  bool inputIsTerminal = false;   // line editing, history and a prompt
  bool outputIsTerminal = false;  // answers wrapped to the terminal's width
  bool colour = false;            // coloured labels
};

// Terminal input and output as the process has them (isatty; no colour
// under NO_COLOR or on a terminal whose TERM is unset or "dumb").
ChatConsole detectConsole();
// The columns of the terminal on standard output, or 0 when it has none.
std::size_t terminalWidth();

// The exit status: 0 after a clean end and save, 128 + the signal after a
// stop by Ctrl-C (130) or SIGTERM (143), the mind saved all the same.
int runTerminalChat(const GlobalOptions& options, const ChatConsole& console, std::ostream& out, std::ostream& err);

}  // namespace vesko::app
