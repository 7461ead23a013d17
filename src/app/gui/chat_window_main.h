// The window mode of the program: runs the chat window until it closes.
#pragma once

#include "app/session.h"

namespace vesko::gui {

// Opens the chat window on the working folder that `options` choose and
// returns the exit status once it has closed. Returns -1 at once, before
// anything is shown, when no display can be opened (none set, a stale or
// unreachable one, no platform plugin for it), so the caller can fall back to
// the terminal chat. A window already open on the folder is brought to the
// front instead (status 0); another kind of Vesko holding the folder is
// reported in a message box as well as on standard error (status 1).
// REQUIRES: argv outlives the call.
int runChatWindow(int argc, char** argv, const app::GlobalOptions& options);

}  // namespace vesko::gui
