#include "app/line_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include <editline/readline.h>

#include "app/stop_signal.h"

namespace vesko::app {

namespace {

class DescriptorInput final : public LineInput {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}

  bool next(std::string& line, const std::string&) override {
    for (;;) {
      // Lines are taken from start_ on and only what arrived since the last
      // look is searched, so neither a long line read in many pieces nor many
      // short lines in one piece cost more than their length.
      const std::size_t end = buffer_.find('\n', searched_);
      if (end != std::string::npos) {
        line.assign(buffer_, start_, end - start_);
        start_ = searched_ = end + 1;
        return true;
      }
      searched_ = buffer_.size();
      if (ended_) {
        // A last line without a line end still counts.
        if (start_ >= buffer_.size()) return false;
        line.assign(buffer_, start_);
        buffer_.clear();
        start_ = searched_ = 0;
        return true;
      }
      if (stopRequested()) return false;
      buffer_.erase(0, start_);
      searched_ -= start_;
      start_ = 0;
      char chunk[65536];
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
  std::size_t start_ = 0;     // where the next line begins in buffer_
  std::size_t searched_ = 0;  // buffer_ holds no line end from start_ to here
  bool ended_ = false;
};

// The line editor's source of characters. A stop (Ctrl-C, SIGTERM) may come
// while the editor is busy rather than blocked in read(), so keys are awaited
// in short polls that look at the stop flag. On a stop the editor gets an
// Enter: it hands back the line typed so far, which the chat reports unsent.
// Characters are decoded here, in the locale's character set, since the
// editor takes what this returns as a whole character.
int readKey(FILE* stream) {
  const int fd = ::fileno(stream);
  std::mbstate_t state{};
  for (;;) {
    if (stopRequested()) return '\n';
    pollfd watch{fd, POLLIN, 0};
    const int ready = ::poll(&watch, 1, 100);
    if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    char byte = 0;
    const ssize_t got = ready < 0 ? -1 : ::read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1) return EOF;
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, &byte, 1, &state);
    if (used == static_cast<std::size_t>(-2)) continue;  // more bytes of this character to come
    if (used == static_cast<std::size_t>(-1)) return static_cast<unsigned char>(byte);
    return static_cast<int>(wide);
  }
}

class TerminalInput final : public LineInput {
 public:
  // The chat handles Ctrl-C itself (see readKey); the editor's own signal
  // handling would race it for the half-typed line.
  TerminalInput() {
    rl_getc_function = readKey;
    rl_catch_signals = 0;
  }

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
