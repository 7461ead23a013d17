#include "app/gui/colour_table.h"

#include <array>

#include "app/colours.h"
#include "app/config_file.h"

namespace vesko::gui {

namespace {

struct Rgb {
  int red;
  int green;
  int blue;
};

constexpr std::array<Rgb, app::kColourCount> kColours = {{
    {0, 0, 0},        // Black
    {255, 0, 0},      // Red
    {0, 128, 64},     // Dark Green
    {0, 0, 255},      // Blue
    {255, 128, 192},  // Pink
    {255, 128, 0},    // Orange
    {128, 128, 128},  // Grey
    {128, 0, 128},    // Purple
    {0, 0, 160},      // Dark Blue
    {128, 0, 0},      // Dark Red
    {0, 255, 0},      // Green
}};

}  // namespace

bool isValidColour(int index) { return index >= 0 && index < app::kColourCount; }

QColor colourAt(int index) {
  const Rgb& rgb = kColours[static_cast<std::size_t>(index)];
  return QColor(rgb.red, rgb.green, rgb.blue);
}

QStringList colourNames() {
  QStringList names;
  for (int i = 0; i < app::kColourCount; ++i) names << QString::fromLatin1(app::colourName(i));
  return names;
}

}  // namespace vesko::gui
