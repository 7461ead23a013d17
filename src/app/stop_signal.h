// Ctrl-C and SIGTERM ask a running chat to stop: the handler only sets a flag;
// the loop finishes the line in hand, then saves and exits.
#pragma once

namespace vesko::app {

// Installs the handlers for SIGINT and SIGTERM (without SA_RESTART, so a
// blocked read returns) and ignores SIGPIPE (a closed reader shows up as a
// failed write, and the mind is still saved).
void installStopHandlers();
bool stopRequested();
// The signal that asked to stop, or 0.
int stopSignal();

}  // namespace vesko::app
