#include "app/config_file.h"

#include <fstream>
#include <sstream>

#include "app/file_io.h"
#include "text/str.h"

namespace vesko::app {

namespace {

// A line read as a whole number, or a warning and `fallback`.
int numberLine(const Str& line, int lineNumber, const char* what, int fallback,
               std::vector<std::string>& warnings) {
  try {
    return line.toInt();
  } catch (const NotANumber&) {
    warnings.push_back(std::string(kConfigFileName) + " line " + std::to_string(lineNumber) + " (" + what +
                       ") is not a number: \"" + line.std() + "\"; using " + std::to_string(fallback));
    return fallback;
  }
}

int colourLine(const Str& line, int lineNumber, const char* what, int fallback, std::vector<std::string>& warnings) {
  const std::size_t before = warnings.size();
  const int colour = numberLine(line, lineNumber, what, fallback, warnings);
  if (warnings.size() != before) return fallback;
  if (colour < 0 || colour >= kColourCount) {
    warnings.push_back(std::string(kConfigFileName) + " line " + std::to_string(lineNumber) + " (" + what +
                       ") is not a colour from 0 to 10: " + line.std() + "; using " + std::to_string(fallback));
    return fallback;
  }
  return colour;
}

}  // namespace

ConfigReading parseConfig(std::istream& in) {
  ConfigReading reading;
  // Line numbers count lines as readLine yields them: blank lines are skipped.
  Str lines[4];
  for (Str& line : lines) readLine(in, line);
  Config& config = reading.config;
  config.firstRun = numberLine(lines[0], 1, "first run", 0, reading.warnings);
  config.defaultMindFile = lines[1].std();
  if (config.firstRun != 1) {
    config.userColour = colourLine(lines[2], 3, "user colour", kDefaultUserColour, reading.warnings);
    config.botColour = colourLine(lines[3], 4, "bot colour", kDefaultBotColour, reading.warnings);
  }
  return reading;
}

ConfigReading parseConfig(const std::string& text) {
  std::istringstream in(text);
  return parseConfig(in);
}

ConfigReading readConfigFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return parseConfig(std::string());
  return parseConfig(in);
}

std::string formatConfig(const Config& config) {
  return std::to_string(config.firstRun) + "\n" + config.defaultMindFile + "\n" + std::to_string(config.userColour) +
         "\n" + std::to_string(config.botColour) + "\n";
}

bool writeConfigFile(const std::string& path, const Config& config) {
  return writeFileAtomically(path, formatConfig(config));
}

}  // namespace vesko::app
