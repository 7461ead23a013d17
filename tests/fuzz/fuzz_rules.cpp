// Fuzz target: an arbitrary context bank matched against arbitrary lines. The
// input is the bank, a NUL byte, then the lines (split at "\n"); the same bank
// serves statements and questions. A damaged bank answers nothing or
// something on one line, never a crash.
#include <sstream>

#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder scratch("rules");
  const std::string_view input = fuzz::asText(data, size);
  const std::size_t separator = input.find('\0');
  const std::string bankPath = scratch.folder() + "context.mbk";
  fuzz::writeFile(bankPath, input.substr(0, separator));
  // A fresh Brain per input: its rule cache then never serves the previous
  // input's bank, however quickly the file was rewritten.
  auto brain = fuzz::replayableBrain(scratch.folder());
  brain->setBankPath(Bank::kContext, Str(bankPath));
  brain->setBankPath(Bank::kContext2, Str(bankPath));
  std::istringstream lines(separator == std::string_view::npos ? std::string() : std::string(input.substr(separator + 1)));
  for (std::string line; std::getline(lines, line);) {
    // As respond does: a terminal mark, then words and their classes.
    if (!line.empty() && std::string_view("!?.").find(line.back()) == std::string_view::npos) line += '.';
    WordList words{Str(line)};
    WordList classes;
    brain->normalise(words, classes);
    fuzz::require(brain->respondByRules(words, classes).std().find('\n') == std::string::npos, "a rule answer spans lines");
  }
  return 0;
}
