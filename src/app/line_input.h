// LineInput: where the terminal chat and the pipe mode get their lines. A
// plain reader of a file descriptor for pipes and files, and a libedit line
// editor with history for a terminal. Both give up when a stop is requested.
#pragma once

#include <memory>
#include <string>

namespace vesko::app {

class LineInput {
 public:
  virtual ~LineInput() = default;
  // The next line without its line end; false at end of input or on a stop.
  virtual bool next(std::string& line, const std::string& prompt) = 0;
  // A line that was being typed when a stop came, never handed out.
  virtual std::string unsent() const { return std::string(); }
};

// Reads `fd` with read(2); a read interrupted by a stop signal ends the input.
std::unique_ptr<LineInput> descriptorInput(int fd);
// Line editing and history on the terminal; the prompt is shown before each line.
std::unique_ptr<LineInput> terminalInput();

}  // namespace vesko::app
