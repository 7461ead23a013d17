// The eleven label colours of the chat window, by index as config.dat and the
// settings dialog count them: 0 "Black" to 10 "Green". The names come from the
// shell's shared colour list; this adds the colour each name stands for.
#pragma once

#include <QColor>
#include <QStringList>

namespace vesko::gui {

bool isValidColour(int index);
// REQUIRES: isValidColour(index)
QColor colourAt(int index);
// All names in index order, as the settings dialog lists them.
QStringList colourNames();

}  // namespace vesko::gui
