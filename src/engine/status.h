// Status: how a load or save went, carried as a value. A failure says what
// failed and, for a bank, which bank and line, in words a user can act on.
#pragma once

#include <string>

#include "text/str.h"

namespace vesko {

class Status {
 public:
  Status() = default;  // success
  static Status ok() { return Status(); }
  // A bank whose content the engine cannot trust.
  static Status loadError(const Str& bank, int line, const Str& what);
  // A file that could not be read or written.
  static Status ioError(const Str& what);

  bool isOk() const { return message_.empty(); }
  explicit operator bool() const { return isOk(); }
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::string message_;
};

}  // namespace vesko
