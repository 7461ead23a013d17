// BankReader: reads a bank file line by line the way every bank is read
// (leading blanks and empty lines skipped, carriage returns dropped) and knows
// the line number of what it read, so damaged content can be named exactly.
#pragma once

#include <fstream>

#include "engine/status.h"
#include "text/str.h"

namespace vesko {

class BankReader {
 public:
  // `bankName` names the bank in error messages (for example "morvash.mbk").
  BankReader(const Str& path, const Str& bankName);

  bool isOpen() const { return in_.is_open(); }
  // One line; false when the stream is no longer good after the read (a last
  // line without a line end is still stored in `line`).
  bool next(Str& line);
  // True while the stream is good.
  bool good() const { return in_.good(); }
  // Physical line number of the line last read (1-based).
  int lineNumber() const { return lineNumber_; }
  // Reads a line and converts it; a load error when the file ended or the line
  // is not a whole number.
  Status nextInt(std::int32_t& value, const char* what);
  // A load error at the current line.
  Status error(const Str& what) const;
  const Str& bankName() const { return bankName_; }

 private:
  std::ifstream in_;
  Str bankName_;
  int lineNumber_ = 0;
};

// Calls `use` with every non-empty line of a bank file (readLine rules); the
// last line counts even without a line end. A missing file has no lines.
template <typename UseLine>
void forEachBankLine(const Str& path, UseLine use) {
  std::ifstream in(path.std(), std::ios::binary);
  Str line;
  while (in.good()) {
    readLine(in, line);
    if (!line.empty()) use(line);
  }
}

// The file name part of a path (what follows the last "/").
Str baseName(const Str& path);

}  // namespace vesko
