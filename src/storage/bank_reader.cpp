#include "storage/bank_reader.h"

namespace vesko {

Str baseName(const Str& path) {
  const auto slash = path.std().rfind('/');
  return slash == std::string::npos ? path : Str(path.std().substr(slash + 1));
}

BankReader::BankReader(const Str& path, const Str& bankName) : in_(path.std(), std::ios::binary), bankName_(bankName) {}

bool BankReader::next(Str& line) {
  // Count the line ends that readLine skips or consumes.
  int c = in_.peek();
  while (in_.good() && (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r')) {
    if (c == '\n') ++lineNumber_;
    in_.get();
    c = in_.peek();
  }
  ++lineNumber_;
  readLine(in_, line);
  return in_.good();
}

Status BankReader::nextInt(std::int32_t& value, const char* what) {
  Str line;
  const bool wasGood = in_.good();
  next(line);
  if (!wasGood || (line.empty() && !in_.good()))
    return error(Str("the file ends where ") + what + " should stand");
  try {
    if (line.empty()) throw NotANumber();
    value = line.toInt();
  } catch (const NotANumber&) {
    return error(Str(what) + " should be a whole number, found \"" + line.substr(0, 40) + "\"");
  }
  return Status::ok();
}

Status BankReader::error(const Str& what) const { return Status::loadError(bankName_, lineNumber_, what); }

}  // namespace vesko
