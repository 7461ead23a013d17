// The real vesko program on a pseudo-terminal, for the terminal chat's tests:
// the test types bytes (Ctrl keys too) as a person would and reads what the
// terminal shows. The terminal's size is set before the program starts.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vesko::app::shelltest {

struct TerminalOptions {
  std::vector<std::string> args;             // without the program
  std::string cwd;
  unsigned short columns = 80;
  std::vector<std::string> environment;      // "NAME=value", replacing the tests' own
  bool closeInput = false;                   // start with descriptor 0 closed
};

class TerminalChild {
 public:
  explicit TerminalChild(const TerminalOptions& options) {
    std::vector<std::string> args{VESKO_BINARY};
    args.insert(args.end(), options.args.begin(), options.args.end());
    // A plain session: no locale, colour allowed, HOME in the scratch folder.
    std::vector<std::string> env{"HOME=" + options.cwd, "XDG_DATA_HOME=", "TERM=xterm"};
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      bool replaced = entry.starts_with("HOME=") || entry.starts_with("XDG_DATA_HOME=") || entry.starts_with("TERM=") ||
                      entry.starts_with("NO_COLOR=") || entry.starts_with("LANG=") || entry.starts_with("LC_");
      for (const std::string& own : options.environment)
        replaced = replaced || entry.starts_with(own.substr(0, own.find('=') + 1));
      if (!replaced) env.push_back(entry);
    }
    for (const std::string& own : options.environment) {
      for (auto it = env.begin(); it != env.end();)
        it = it->starts_with(own.substr(0, own.find('=') + 1)) ? env.erase(it) : it + 1;
      env.push_back(own);
    }
    std::vector<char*> argv = pointers(args), envp = pointers(env);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = options.columns;
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      if (::chdir(options.cwd.c_str()) != 0) ::_exit(125);
      if (options.closeInput) ::close(STDIN_FILENO);
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    // Typing and reading take turns: a blocked write would wait for a program
    // that waits for its echo to be read.
    if (master_ >= 0) ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~TerminalChild() {
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      wait();
    }
    if (master_ >= 0) ::close(master_);
  }
  TerminalChild(const TerminalChild&) = delete;
  TerminalChild& operator=(const TerminalChild&) = delete;

  // Types `bytes`, reading the screen meanwhile so the program never blocks.
  void type(const std::string& bytes) {
    awaitLineEditor();
    for (std::size_t done = 0; done < bytes.size();) {
      pump(std::chrono::milliseconds(0));
      const ssize_t n = ::write(master_, bytes.data() + done, std::min<std::size_t>(bytes.size() - done, 1024));
      if (n > 0) done += static_cast<std::size_t>(n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR) return;
      else pump(std::chrono::milliseconds(5));
    }
  }
  // Reads the screen until `text` shows up after `from`; true when it did.
  bool waitFor(const std::string& text, std::size_t from = 0, std::chrono::milliseconds patience = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (screen_.find(text, from) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline || !pump(std::chrono::milliseconds(50))) return screen_.find(text, from) != std::string::npos;
    }
    return true;
  }
  void interrupt() { ::kill(pid_, SIGINT); }
  // Everything the terminal showed so far.
  const std::string& screen() const { return screen_; }
  // The exit status once the program ended (the screen read to its end);
  // a program still running after a minute is killed.
  int wait() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (pump(std::chrono::milliseconds(50))) {
      if (std::chrono::steady_clock::now() >= deadline) ::kill(pid_, SIGKILL);
    }
    int raw = 0;
    if (!status_ && ::waitpid(pid_, &raw, 0) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_.value_or(-1);
  }

 private:
  // The prompt shows a moment before the line editor takes the terminal out of
  // line mode; keys typed in between are echoed by the terminal but never
  // reach the editor, so typing waits (a few seconds at most) for raw mode.
  void awaitLineEditor() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    termios mode{};
    while (::tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      if (!pump(std::chrono::milliseconds(5))) return;
    }
  }
  // Reads what is there within `patience`; false once the program is gone.
  bool pump(std::chrono::milliseconds patience) {
    pollfd watch{master_, POLLIN, 0};
    if (::poll(&watch, 1, static_cast<int>(patience.count())) <= 0) return !exited();
    char chunk[65536];
    const ssize_t got = ::read(master_, chunk, sizeof chunk);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    if (got <= 0) return false;  // EIO: the last holder of the terminal is gone
    screen_.append(chunk, static_cast<std::size_t>(got));
    return true;
  }
  bool exited() {
    int raw = 0;
    if (!status_ && ::waitpid(pid_, &raw, WNOHANG) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_.has_value();
  }
  static std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
  }

  int master_ = -1;
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string screen_;
};

}  // namespace vesko::app::shelltest
