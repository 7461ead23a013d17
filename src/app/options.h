// OptionParser: GNU-style command-line options for the vesko program: long
// options ("--home DIR", "--home=DIR"), short ones ("-h"), "--" to end them,
// and options mixed with operands. Nothing here knows which command runs.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vesko::app {

struct OptionSpec {
  const char* longName;  // without the leading "--"
  char shortName;        // 0 when the option has no short form
  bool takesValue;
};

// What one parse found. Flags map to "", repeated options keep the last value.
struct ParsedOptions {
  std::map<std::string, std::string> values;
  std::vector<std::string> operands;
  std::size_t next = 0;  // index of the first argument not consumed
  std::string error;     // a usage error, empty when the parse succeeded

  bool ok() const { return error.empty(); }
  bool has(const std::string& name) const { return values.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
};

// Parses args[start...]. With `stopAtOperand` the parse ends before the first
// operand (used to find the command after the global options); otherwise
// every remaining argument is an option or an operand.
ParsedOptions parseOptions(const std::vector<std::string>& args, std::size_t start,
                           std::span<const OptionSpec> knownOptions, bool stopAtOperand);

// A whole decimal number from 0 to `max`, or nothing.
std::optional<unsigned long long> parseCount(const std::string& text, unsigned long long max);

}  // namespace vesko::app
