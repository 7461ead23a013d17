// Helpers for the shell's tests: scratch folders, minds written as text, and
// the real vesko program run in a folder with its output captured.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vesko::app::shelltest {

namespace fs = std::filesystem;

inline std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "vesko-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }
  std::string folder() const { return path_.string() + "/"; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

// A mind file whose members are given as name and content (lines ending "\n").
inline void writeMind(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& members) {
  std::string text;
  for (const auto& [name, content] : members) text += "[{[" + name + "]}]\n" + content;
  writeText(path, text);
}

// A small, current mind: the bot "Vesko", a rule-free mind that still answers.
inline std::vector<std::pair<std::string, std::string>> smallMind(const std::string& generation = "300") {
  return {{"botinfo.mbk", "Vesko\nfriend\nnobody\nmale\n4\nthe computer\n"},
          {"version.mbk", "4.1\n" + generation + "\n"},
          {"nouns.mbk", "DOG\nCAT\n"},
          {"emoticon.mbk", "0\n"}};
}

inline std::vector<std::string> filesEndingWith(const fs::path& folder, const std::string& suffix) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      found.push_back(name);
  }
  return found;
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string quoted(const std::string& text) {
  std::string result = "'";
  for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// Runs vesko with `args` in `cwd`, standard input from `input`; HOME points
// into the scratch folder so that no test touches the user's own minds.
inline Outcome runVesko(const fs::path& cwd, const std::vector<std::string>& args, const std::string& input = "") {
  const fs::path io = fs::path(cwd.string() + ".io");  // beside the folder, never in it
  fs::create_directories(io);
  writeText(io / "in", input);
  std::string command = "cd " + quoted(cwd.string()) + " && HOME=" + quoted((io / "home").string()) +
                        " XDG_DATA_HOME= NO_COLOR=1 exec " + quoted(VESKO_BINARY);
  for (const std::string& arg : args) command += " " + quoted(arg);
  command += " <" + quoted((io / "in").string()) + " >" + quoted((io / "out").string()) + " 2>" +
             quoted((io / "err").string());
  const int raw = std::system(command.c_str());
  Outcome run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readText(io / "out");
  run.err = readText(io / "err");
  fs::remove_all(io);
  return run;
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace vesko::app::shelltest
