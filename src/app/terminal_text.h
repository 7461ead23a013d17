// How the terminal chat lays text on a terminal: a locale in which the line
// editor keeps every UTF-8 character, answers wrapped at word boundaries to
// the terminal's width, and labels upper-cased beyond ASCII.
#pragma once

#include <cstddef>
#include <string>

namespace vesko::app {

// Takes the character type of the user's locale; when that is plain ASCII
// (the C locale of a bare session or a service), takes C.UTF-8 instead, so
// the line editor neither drops nor mangles non-ASCII characters.
void useCharacterLocale();

// The columns `text` takes on a terminal: one per UTF-8 character.
std::size_t displayWidth(const std::string& text);

// `label` followed by `text`, broken at blanks into lines of at most `width`
// columns; later lines are indented to the text's start when the label
// leaves room for 12 columns, else they start at the left edge. A word wider
// than a line is cut between characters, never inside one. Width 0 keeps
// one line. Lines are joined with "\n"; there is no final line end.
std::string wrapText(const std::string& label, const std::string& text, std::size_t width);

// `text` upper-cased character by character under the current locale (so
// "josé" gives "JOSÉ" under a UTF-8 locale); bytes that are no character of
// the locale are kept as they are.
std::string upperText(const std::string& text);

}  // namespace vesko::app
