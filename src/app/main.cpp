// vesko: the program's entry. The command line is decided in commands.cpp;
// here the chat window is offered as the first choice for a plain `vesko`.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/gui/chat_window_main.h"

namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vesko::app;
  const std::vector<std::string> args(argv, argv + argc);
  Frontends frontends;
  frontends.window = [argc, argv](const GlobalOptions& options) -> std::optional<int> {
    // Without a display the terminal chat takes over before the folder is
    // locked or config.dat read, so its warnings are not shown twice.
    const auto fallBack = []() -> std::optional<int> {
      std::cerr << "vesko: no display to open the chat window on (or it cannot be opened); starting the terminal "
                   "chat instead\n";
      return std::nullopt;
    };
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) return fallBack();
    const int status = vesko::gui::runChatWindow(argc, argv, options);
    if (status < 0) return fallBack();
    return status;
  };
  return runVesko(args, std::cout, std::cerr, frontends);
}
