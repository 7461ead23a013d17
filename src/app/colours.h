// The label colours of the chat, as a terminal shows them: the 11 colours of
// the window's colour list mapped to the nearest entries of the 256-colour
// palette, labels in bold.
#pragma once

#include <string>

namespace vesko::app {

// The colour names, in index order, as the settings show them.
const char* colourName(int index);

// `label` in bold and in colour `index`; "Black" uses the terminal's own
// foreground so that it stays readable on a dark background.
// REQUIRES: 0 <= index < 11
std::string colouredLabel(const std::string& label, int index);

}  // namespace vesko::app
