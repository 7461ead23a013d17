// The terminal chat: the chat window's conversation on a terminal or through a
// pipe. It loads the default mind, greets, answers line by line, and on "bye",
// end of input, Ctrl-C or SIGTERM saves the mind and writes config.dat as the
// window does when it closes.
#pragma once

#include <iosfwd>

#include "app/session.h"

namespace vesko::app {

// How the chat talks to its user; decided from the process's descriptors.
struct ChatConsole {
  bool inputIsTerminal = false;  // line editing, history and a prompt
  bool colour = false;           // coloured labels
};

// Terminal input and output as the process has them (isatty, NO_COLOR).
ChatConsole detectConsole();

// The exit status: 0 after a clean end and save.
int runTerminalChat(const GlobalOptions& options, const ChatConsole& console, std::ostream& out, std::ostream& err);

}  // namespace vesko::app
