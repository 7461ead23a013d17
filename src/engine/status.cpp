#include "engine/status.h"

namespace vesko {

Status Status::loadError(const Str& bank, int line, const Str& what) {
  std::string message = "damaged mind: bank \"" + bank.std() + "\"";
  if (line > 0) message += ", line " + std::to_string(line);
  message += ": " + what.std();
  return Status(std::move(message));
}

Status Status::ioError(const Str& what) { return Status(what.std()); }

}  // namespace vesko
