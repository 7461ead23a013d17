#include "app/stop_signal.h"

#include <signal.h>

#include <csignal>

namespace vesko::app {

namespace {

volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int signal) { stopFlag = signal; }

}  // namespace

void installStopHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

bool stopRequested() { return stopFlag != 0; }

int stopSignal() { return static_cast<int>(stopFlag); }

}  // namespace vesko::app
