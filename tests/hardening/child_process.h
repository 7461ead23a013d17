// ChildProcess: the real vesko program started in the background for the
// reliability tests, with its standard input either a pipe the test writes to
// or a file, its output captured, and ways to kill it or wait for it.
// The child may run as an unprivileged user when the tests run as root, so
// that file permissions mean something.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vesko::hardening {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

inline constexpr uid_t kNobody = 65534;

inline std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "vesko-hardening-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    // Whatever a test made read-only or unreadable must still go.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); !ignored && it != fs::end(it); it.increment(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

struct ChildOptions {
  std::vector<std::string> args;  // without the program
  fs::path cwd;
  std::optional<fs::path> input;  // a file; without it a pipe the test writes to
  fs::path output;                // standard output goes to this file
  fs::path errors;                // standard error goes to this file
  bool pipedOutput = false;       // standard output through a pipe instead
  bool unprivileged = false;      // run as "nobody" when the tests run as root
};

// A run whose standard input is the file `io`.in holding `input`; its output
// and errors go to `io`.out and `io`.err.
inline ChildOptions withInput(std::vector<std::string> args, const fs::path& cwd, const fs::path& io,
                              const std::string& input) {
  writeText(io.string() + ".in", input);
  return {std::move(args), cwd, io.string() + ".in", io.string() + ".out", io.string() + ".err"};
}

class ChildProcess {
 public:
  explicit ChildProcess(const ChildOptions& options) : output_(options.output), errors_(options.errors) {
    // HOME inside the scratch folder: no test touches the user's own minds.
    std::vector<std::string> args{VESKO_BINARY}, env{"HOME=" + options.cwd.string(), "XDG_DATA_HOME=", "NO_COLOR=1"};
    args.insert(args.end(), options.args.begin(), options.args.end());
    for (char** e = environ; *e != nullptr; ++e)
      if (const std::string_view entry(*e); !entry.starts_with("HOME=") && !entry.starts_with("XDG_DATA_HOME=") &&
                                            !entry.starts_with("NO_COLOR="))
        env.emplace_back(entry);
    const std::vector<char*> argv = pointers(args), envp = pointers(env);
    const bool dropPrivileges = options.unprivileged && ::geteuid() == 0;
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if ((!options.input && ::pipe2(in, O_CLOEXEC) != 0) || (options.pipedOutput && ::pipe2(out, O_CLOEXEC) != 0)) return;
    const std::string cwd = options.cwd.string();
    // The files are opened (and emptied) here, before the child exists: a
    // child killed at once must not leave the last run's output behind.
    constexpr int kWrite = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int fds[3] = {options.input ? ::open(options.input->c_str(), O_RDONLY | O_CLOEXEC) : in[0],
                        options.pipedOutput ? out[1] : ::open(output_.c_str(), kWrite, 0644),
                        ::open(errors_.c_str(), kWrite, 0644)};
    pid_ = ::fork();
    if (pid_ == 0) {  // only async-signal-safe calls until exec
      if (fds[0] < 0 || fds[1] < 0 || fds[2] < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(125);
      for (int fd = 0; fd < 3; ++fd) ::dup2(fds[fd], fd);
      if (dropPrivileges && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(126);
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    for (const int fd : fds)
      if (fd >= 0) ::close(fd);
    stdin_ = in[1];
    stdout_ = out[0];
  }
  ~ChildProcess() {
    closeInput();
    if (stdout_ >= 0) ::close(stdout_);
    kill(SIGKILL);
    wait();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::string output() const { return readText(output_); }
  std::string errors() const { return readText(errors_); }

  // Writes one line to a piped standard input; false when the child is gone.
  bool send(const std::string& line) {
    const std::string text = line + "\n";
    for (ssize_t done = 0, n = 0; done < static_cast<ssize_t>(text.size()); done += n)
      if ((n = ::write(stdin_, text.data() + done, text.size() - static_cast<std::size_t>(done))) <= 0) return false;
    return true;
  }
  void closeInput() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
  }
  // The next line of a piped standard output, or nothing when none came
  // within `patience`.
  std::optional<std::string> receive(milliseconds patience = std::chrono::seconds(30)) {
    std::string line;
    for (char c = 0;; line += c) {
      pollfd watch{stdout_, POLLIN, 0};
      if (::poll(&watch, 1, static_cast<int>(patience.count())) <= 0 || ::read(stdout_, &c, 1) != 1) return std::nullopt;
      if (c == '\n') return line;
    }
  }

  void kill(int signal) {
    if (pid_ > 0 && !status_) ::kill(pid_, signal);
  }
  // The exit status, or 128 + the signal that ended the child.
  int wait() { return *waitFor(std::chrono::hours(1)); }
  // The exit status when the child ended within `patience`.
  std::optional<int> waitFor(milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (int raw = 0; !status_ && pid_ > 0;) {
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      else if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      else std::this_thread::sleep_for(milliseconds(1));
    }
    return status_.value_or(-1);  // -1: never started
  }

 private:
  static std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result(strings.size() + 1, nullptr);
    std::transform(strings.begin(), strings.end(), result.begin(), [](std::string& s) { return s.data(); });
    return result;
  }

  fs::path output_, errors_;
  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1;
  std::optional<int> status_;
};

// True when a child can run unprivileged: the tests are not root, or root
// may become "nobody".
inline bool unprivilegedChildPossible() {
  if (::geteuid() != 0) return true;
  const pid_t probe = ::fork();
  if (probe == 0) ::_exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 ? 0 : 1);
  int raw = 0;
  return ::waitpid(probe, &raw, 0) == probe && WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

}  // namespace vesko::hardening
