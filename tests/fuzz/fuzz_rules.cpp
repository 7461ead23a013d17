// Fuzz target: an arbitrary context bank matched against arbitrary lines. The
// input is the bank, a NUL byte, then the lines (split at "\n"); the same bank
// serves statements and questions. A damaged bank answers nothing or
// something on one line, never a crash.
#include <algorithm>
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
  // Every other input is traced: the lines a trace names must lie in the bank.
  brain->setTracing(size % 2 == 1);
  const std::string_view bank = input.substr(0, separator);
  const auto bankLines = static_cast<std::int32_t>(std::count(bank.begin(), bank.end(), '\n') + 1);
  std::istringstream lines(separator == std::string_view::npos ? std::string() : std::string(input.substr(separator + 1)));
  for (std::string line; std::getline(lines, line);) {
    // As respond does: a terminal mark, then words and their classes.
    if (!line.empty() && std::string_view("!?.").find(line.back()) == std::string_view::npos) line += '.';
    WordList words{Str(line)};
    WordList classes;
    brain->normalise(words, classes);
    const Str answer = brain->respondByRules(words, classes);
    fuzz::require(answer.std().find('\n') == std::string::npos, "a rule answer spans lines");
    const AnswerTrace trace = brain->lastAnswerTrace();
    if (brain->tracing() && !trace.ruleBank.empty())
      fuzz::require(trace.blockLine >= 1 && trace.blockLine < trace.responseLine && trace.responseLine <= bankLines,
                    "a traced rule names lines outside its block or bank");
  }
  return 0;
}
