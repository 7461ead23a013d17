// Fuzz target: an arbitrary context bank matched against arbitrary lines. The
// input is the bank, a NUL byte, then the lines (split at "\n"); the same bank
// serves statements and questions. A damaged bank answers nothing or
// something, never a crash.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder scratch("rules");
  const std::string_view input = fuzz::asText(data, size);
  const std::size_t separator = input.find('\0');
  const std::string_view bank = input.substr(0, separator);
  std::string_view lines = separator == std::string_view::npos ? std::string_view() : input.substr(separator + 1);

  const std::string bankPath = scratch.file("context.mbk");
  fuzz::writeFile(bankPath, bank);
  // A fresh Brain per input: its rule cache then never serves the previous
  // input's bank, however quickly the file was rewritten.
  auto brain = fuzz::replayableBrain(scratch.folder());
  brain->setBankPath(Bank::kContext, Str(bankPath));
  brain->setBankPath(Bank::kContext2, Str(bankPath));

  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    Str line(lines.substr(0, end));
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
    // As respond does: a terminal mark, then words and their classes.
    if (!line.empty() && !line.endsWith("!") && !line.endsWith("?") && !line.endsWith(".")) line += ".";
    WordList words(line);
    WordList classes;
    brain->normalise(words, classes);
    const Str answer = brain->respondByRules(words, classes);
    if (answer.std().find('\n') != std::string::npos) fuzz::broken("a rule answer spans lines");
  }
  return 0;
}
