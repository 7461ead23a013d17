#include "app/advanced_source.h"

#include <filesystem>

namespace vesko::app {

std::string advancedSourceProblem(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const bool hasText = fs::is_regular_file(folder + "input_l.txt", error) || fs::is_regular_file(folder + "input_k.txt", error);
  const bool hasAttributes = fs::is_regular_file(folder + "botinfo.mbk", error);
  if (hasText && hasAttributes) return std::string();
  std::string problem = folder + " holds ";
  if (!hasText) problem += "neither input_l.txt nor input_k.txt";
  if (!hasText && !hasAttributes) problem += ", and ";
  if (!hasAttributes) problem += "no botinfo.mbk (the bot's name and attributes)";
  return problem +
         ". Copy the default banks (*.x) of the working folder there, renamed to *.mbk, and add the source texts "
         "input_l.txt and input_k.txt.";
}

}  // namespace vesko::app
