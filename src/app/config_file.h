// config.dat: the program settings, four lines (first-run flag, default mind
// file, user and bot label colour). One reader for every mode of the program,
// forgiving of damage: a wrong line falls back to its default with a warning.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vesko::app {

inline constexpr const char* kConfigFileName = "config.dat";
inline constexpr int kColourCount = 11;
inline constexpr int kDefaultUserColour = 1;  // "Red"
inline constexpr int kDefaultBotColour = 3;   // "Blue"

struct Config {
  int firstRun = 0;
  std::string defaultMindFile;
  int userColour = kDefaultUserColour;
  int botColour = kDefaultBotColour;
};

struct ConfigReading {
  Config config;
  // One message per line that could not be used, naming the line.
  std::vector<std::string> warnings;
};

// Reads the four lines the way the chat window does: an empty or missing line
// reads as 0 (or an empty name), so a missing file gives colours 0 and 0 and
// no mind; the colours are read only when line 1 is not 1.
ConfigReading parseConfig(std::istream& in);
ConfigReading parseConfig(const std::string& text);
// Reads `path`; a missing file reads as empty.
ConfigReading readConfigFile(const std::string& path);

// The four lines as the program writes them, each ended by a line feed.
std::string formatConfig(const Config& config);
// Writes the file through a temporary file renamed over it; false on failure.
bool writeConfigFile(const std::string& path, const Config& config);

}  // namespace vesko::app
