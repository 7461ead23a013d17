#include "app/colours.h"

#include <iterator>

namespace vesko::app {

namespace {

struct Colour {
  const char* name;
  const char* ansi;  // SGR parameters of the foreground colour
};

// Nearest 256-colour palette entries to the window's RGB values, except
// that the blues, the dark red and the purple are a step lighter: the pure
// ones cannot be read on the dark background most terminals have.
constexpr Colour kColours[] = {
    {"Black", "39"},            // 0,0,0: the terminal's foreground
    {"Red", "38;5;196"},        // 255,0,0
    {"Dark Green", "38;5;29"},  // 0,128,64
    {"Blue", "38;5;33"},        // 0,0,255 shown as 0,135,255
    {"Pink", "38;5;211"},       // 255,128,192
    {"Orange", "38;5;208"},     // 255,128,0
    {"Grey", "38;5;244"},       // 128,128,128
    {"Purple", "38;5;127"},     // 128,0,128 shown as 175,0,175
    {"Dark Blue", "38;5;26"},   // 0,0,160 shown as 0,95,215
    {"Dark Red", "38;5;124"},   // 128,0,0 shown as 175,0,0
    {"Green", "38;5;46"},       // 0,255,0
};

}  // namespace

const char* colourName(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kColours))) return "";
  return kColours[index].name;
}

std::string colouredLabel(const std::string& label, int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kColours))) return label;
  return std::string("\033[1;") + kColours[index].ansi + "m" + label + "\033[0m";
}

}  // namespace vesko::app
