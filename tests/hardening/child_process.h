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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vesko::hardening {

namespace fs = std::filesystem;

inline constexpr uid_t kNobody = 65534;

inline std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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

class ChildProcess {
 public:
  explicit ChildProcess(const ChildOptions& options) {
    std::vector<std::string> args{VESKO_BINARY};
    args.insert(args.end(), options.args.begin(), options.args.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // HOME inside the scratch folder: no test touches the user's own minds.
    std::vector<std::string> env{"HOME=" + options.cwd.string(), "XDG_DATA_HOME=", "NO_COLOR=1"};
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_DATA_HOME=") && !entry.starts_with("NO_COLOR="))
        env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const bool dropPrivileges = options.unprivileged && ::geteuid() == 0;

    int inPipe[2] = {-1, -1};
    int outPipe[2] = {-1, -1};
    if (!options.input && ::pipe2(inPipe, O_CLOEXEC) != 0) return;
    if (options.pipedOutput && ::pipe2(outPipe, O_CLOEXEC) != 0) return;
    const std::string cwd = options.cwd.string();
    // The files are opened (and emptied) here, before the child exists: a
    // child killed at once must not leave the last run's output behind.
    const int inFd = options.input ? ::open(options.input->c_str(), O_RDONLY | O_CLOEXEC) : inPipe[0];
    const int outFd = options.pipedOutput ? outPipe[1]
                                          : ::open(options.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = ::open(options.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

    pid_ = ::fork();
    if (pid_ == 0) {
      // Only async-signal-safe calls until exec.
      if (inFd < 0 || outFd < 0 || errFd < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(125);
      ::dup2(inFd, 0);
      ::dup2(outFd, 1);
      ::dup2(errFd, 2);
      if (dropPrivileges &&
          (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(126);
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    for (const int fd : {inFd, outFd, errFd})
      if (fd >= 0) ::close(fd);
    stdin_ = inPipe[1];
    stdout_ = outPipe[0];
  }
  ~ChildProcess() {
    closeInput();
    if (stdout_ >= 0) ::close(stdout_);
    if (running()) {
      ::kill(pid_, SIGKILL);
      wait();
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0 && !status_; }

  // Writes one line to a piped standard input; false when the child is gone.
  bool send(const std::string& line) {
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(stdin_, text.data() + done, text.size() - done);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  void closeInput() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
  }
  // The next line of a piped standard output, or nothing after `patience`.
  std::optional<std::string> receive(std::chrono::milliseconds patience = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      const auto end = pending_.find('\n');
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd ready{stdout_, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(stdout_, buffer, sizeof buffer);
      if (n <= 0) return std::nullopt;
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  void kill(int signal) {
    if (running()) ::kill(pid_, signal);
  }
  // The exit status, or 128 + the signal that ended the child.
  int wait() {
    if (status_) return *status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return *status_;
  }
  // The exit status when the child ended within `patience`.
  std::optional<int> waitFor(std::chrono::milliseconds patience) {
    if (status_) return status_;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      int raw = 0;
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status_;
      }
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  std::string pending_;
  std::optional<int> status_;
};

// True when a child can run unprivileged: the tests are not root, or root
// may become "nobody".
inline bool unprivilegedChildPossible() {
  if (::geteuid() != 0) return true;
  const pid_t probe = ::fork();
  if (probe == 0) ::_exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 ? 0 : 1);
  int raw = 0;
  ::waitpid(probe, &raw, 0);
  return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

// Hands `root` and everything in it to "nobody" when the tests run as root.
inline void giveToUnprivileged(const fs::path& root) {
  if (::geteuid() != 0) return;
  // A file that cannot be handed over shows up as the test's own failure.
  if (::chown(root.c_str(), kNobody, kNobody) != 0) return;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::end(it); it.increment(error))
    if (::lchown(it->path().c_str(), kNobody, kNobody) != 0) return;
}

}  // namespace vesko::hardening
