// Helpers for the shell's tests: minds written as text, and the real vesko
// program run in a folder to its end with its output captured. Scratch
// folders and child processes are the reliability tests' own.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "hardening/child_process.h"

namespace vesko::app::shelltest {

using namespace hardening;  // ScratchDir, readText, writeText, ChildProcess and fs

// A mind file as its members: name and content (lines ending "\n").
using Members = std::vector<std::pair<std::string, std::string>>;

inline std::string mindText(const Members& members) {
  std::string text;
  for (const auto& [name, content] : members) text += "[{[" + name + "]}]\n" + content;
  return text;
}

// A small, current mind that still answers, its members in the order the
// program packs them.
inline Members smallMind(const std::string& generation = "300") {
  return {{"botinfo.mbk", "Vesko\nfriend\nnobody\nmale\n4\nthe computer\n"}, {"emoticon.mbk", "0\n"},
          {"nouns.mbk", "DOG\nCAT\n"}, {"version.mbk", "4.1\n" + generation + "\n"}};
}

// The nouns of smallMind as the word tree writes them back: proof of a save.
inline const std::string kSavedNouns = "[{[nouns.mbk]}]\nCAT\nDOG\n";

// A folder as the program names it, ending in "/".
inline std::string slashed(const ScratchDir& dir) { return dir.path().string() + "/"; }

inline bool holdsAny(const fs::path& folder, const std::string& extension) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == extension) return true;
  return false;
}

struct Outcome {
  int status;
  std::string out, err;
};

// Runs vesko with `args` in `cwd` to its end, standard input from `input`;
// its files lie beside the folder, never in it.
inline Outcome runVesko(const fs::path& cwd, const std::vector<std::string>& args, const std::string& input = "") {
  const std::string io = cwd.string() + ".io-";
  writeText(io + "in", input);
  const int status = ChildProcess({args, cwd, io + "in", io + "out", io + "err"}).wait();
  Outcome run{status, readText(io + "out"), readText(io + "err")};
  for (const char* name : {"in", "out", "err"}) fs::remove(io + name);
  return run;
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace vesko::app::shelltest
