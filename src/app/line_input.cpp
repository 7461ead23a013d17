#include "app/line_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <editline/readline.h>

#include "app/stop_signal.h"

namespace vesko::app {

namespace {

class DescriptorInput final : public LineInput {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}

  bool next(std::string& line, const std::string&) override {
    for (;;) {
      const std::size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return true;
      }
      if (ended_) {
        // A last line without a line end still counts.
        if (buffer_.empty()) return false;
        line.swap(buffer_);
        buffer_.clear();
        return true;
      }
      if (stopRequested()) return false;
      char chunk[4096];
      const ssize_t got = ::read(fd_, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;  // the loop checks for a stop
      if (got <= 0) {
        ended_ = true;
        continue;
      }
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

 private:
  int fd_;
  std::string buffer_;
  bool ended_ = false;
};

class TerminalInput final : public LineInput {
 public:
  bool next(std::string& line, const std::string& prompt) override {
    if (stopRequested()) return false;
    char* typed = ::readline(prompt.c_str());
    if (typed == nullptr) {
      // End of input: the line editor echoes the Ctrl-D of an empty line as
      // "^D"; rub it out, then end the prompt's line so the shell starts clean.
      std::fputs(stopRequested() ? "\n" : "\b\b  \b\b\n", stdout);
      std::fflush(stdout);
      return false;
    }
    line = typed;
    std::free(typed);
    if (stopRequested()) {
      unsent_ = line;
      return false;
    }
    if (!line.empty()) ::add_history(line.c_str());
    return true;
  }
  std::string unsent() const override { return unsent_; }

 private:
  std::string unsent_;
};

}  // namespace

std::unique_ptr<LineInput> descriptorInput(int fd) { return std::make_unique<DescriptorInput>(fd); }
std::unique_ptr<LineInput> terminalInput() { return std::make_unique<TerminalInput>(); }

}  // namespace vesko::app
