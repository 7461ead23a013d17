// The window mode of the program: runs the chat window until it closes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vesko::gui {

// Opens the chat window on `workingFolder` (ending with "/") and returns when
// it has closed: 0 then. Returns -1 at once, before anything is shown, when no
// display is available (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM), so
// the caller can fall back to the terminal chat. With `seed`, every Brain the
// window builds starts its random source from it.
// REQUIRES: the caller holds the folder lock of `workingFolder` and has laid
// the folder out; argv outlives the call.
int runChatWindow(int argc, char** argv, const std::string& workingFolder, std::optional<std::uint32_t> seed);

}  // namespace vesko::gui
