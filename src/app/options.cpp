#include "app/options.h"

#include <limits>

namespace vesko::app {

std::optional<std::string> ParsedOptions::value(const std::string& name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

namespace {

const OptionSpec* findLong(std::span<const OptionSpec> knownOptions, const std::string& name) {
  for (const OptionSpec& option : knownOptions)
    if (name == option.longName) return &option;
  return nullptr;
}

const OptionSpec* findShort(std::span<const OptionSpec> knownOptions, char name) {
  for (const OptionSpec& option : knownOptions)
    if (option.shortName != 0 && option.shortName == name) return &option;
  return nullptr;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args, std::size_t start,
                           std::span<const OptionSpec> knownOptions, bool stopAtOperand) {
  ParsedOptions parsed;
  std::size_t i = start;
  bool optionsEnded = false;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!looksLikeOption) {
      if (stopAtOperand) break;
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      if (stopAtOperand) {
        ++i;
        break;
      }
      optionsEnded = true;
      continue;
    }
    if (arg[1] == '-') {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
      const OptionSpec* option = findLong(knownOptions, name);
      if (option == nullptr) {
        parsed.error = "unknown option '--" + name + "'";
        break;
      }
      if (!option->takesValue) {
        if (equals != std::string::npos) {
          parsed.error = "option '--" + name + "' takes no value";
          break;
        }
        parsed.values[name] = "";
      } else if (equals != std::string::npos) {
        parsed.values[name] = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        parsed.values[name] = args[++i];
      } else {
        parsed.error = "option '--" + name + "' needs a value";
        break;
      }
      continue;
    }
    // A cluster of short options; one that takes a value ends the cluster.
    for (std::size_t k = 1; k < arg.size(); ++k) {
      const OptionSpec* option = findShort(knownOptions, arg[k]);
      if (option == nullptr) {
        parsed.error = std::string("unknown option '-") + arg[k] + "'";
        break;
      }
      if (!option->takesValue) {
        parsed.values[option->longName] = "";
        continue;
      }
      if (k + 1 < arg.size()) {
        parsed.values[option->longName] = arg.substr(k + 1);
      } else if (i + 1 < args.size()) {
        parsed.values[option->longName] = args[++i];
      } else {
        parsed.error = std::string("option '-") + arg[k] + "' needs a value";
      }
      break;
    }
    if (!parsed.error.empty()) break;
  }
  parsed.next = i;
  return parsed;
}

std::optional<unsigned long long> parseCount(const std::string& text, unsigned long long max) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  unsigned long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (std::numeric_limits<unsigned long long>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (value > max) return std::nullopt;
  return value;
}

}  // namespace vesko::app
