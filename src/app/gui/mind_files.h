// How the window asks for mind files: the picker's filter and extension, and
// the ".mnd" that a name typed without an extension receives.
#pragma once

#include <QString>

#include "app/gui/prompter.h"

namespace vesko::gui {

// Mind files first, any file on request; the picker opens in `startAt`.
FileChoice mindFileChoice(const QString& caption, const QString& startAt = QString());
// `path` with ".mnd" added when its file name has no extension.
QString withMindExtension(const QString& path);
// True when both paths name the same file (which need not exist yet).
bool sameFile(const QString& a, const QString& b);

}  // namespace vesko::gui
