// MindProbe: what a mind file holds, read the way the program reads it
// (loadMind on a copy in a scratch folder, so the mind and its working
// folder stay untouched), and the numbered statements the tests teach.
#pragma once

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "engine/brain.h"

namespace vesko::hardening {

// A small mind keeps each start short, so that many runs fit in a test;
// saving, packing and locking work the same for any mind.
inline const std::string kSmallMind =
    "[{[botinfo.mbk]}]\nVesko\nfriend\nnobody\nmale\n4\nthe computer\n"
    "[{[version.mbk]}]\n4.1\n300\n[{[nouns.mbk]}]\nDOG\nCAT\n[{[emoticon.mbk]}]\n0\n";

// A word no dictionary holds, unique for each number: "zq" + letters, or in
// upper case as the mind keeps it.
inline std::string token(int number, bool upper = false) {
  std::string word = upper ? "ZQ" : "zq";
  do word += static_cast<char>((upper ? 'A' : 'a') + number % 26);
  while ((number /= 26) > 0);
  return word;
}

// A statement the knowledge store remembers (four words or more).
inline std::string statement(int number) { return "my parcel " + token(number) + " is very blue"; }

struct MindProbe {
  bool loaded = false;
  std::string error;                   // why it did not load
  std::vector<std::string> sentences;  // the knowledge store, in order
  std::vector<std::string> members;    // member names, in file order
  std::set<std::string> words;         // every word of them, marks dropped

  bool holds(int number) const { return words.count(token(number, true)) != 0; }
  // How many of the statements first.. the mind holds: they must be the
  // first ones, so a later one held without an earlier one gives -1.
  int kept(int first, int count) const {
    int n = 0;
    while (n < count && holds(first + n)) ++n;
    for (int i = n; i < count; ++i)
      if (holds(first + i)) return -1;
    return n;
  }
};

inline MindProbe probeMind(const fs::path& mind) {
  MindProbe probe;
  std::istringstream text(readText(mind));
  for (std::string line; std::getline(text, line);)
    if (line.starts_with("[{[") && line.ends_with("]}]") && line.size() >= 6)
      probe.members.push_back(line.substr(3, line.size() - 6));
  ScratchDir scratch;
  std::error_code error;
  fs::copy_file(mind, scratch / "probe.mnd", error);
  if (error) {
    probe.error = "cannot copy " + mind.string() + ": " + error.message();
    return probe;
  }
  Brain brain(Str(scratch.path().string() + "/"), false, Str());
  const LoadResult result = brain.loadMind(Str((scratch / "probe.mnd").string()));
  probe.loaded = result.loaded();
  probe.error = result.status.message();
  for (std::int64_t n = 0; n < brain.knowledge().sentenceCount(); ++n) {
    probe.sentences.push_back(brain.knowledge().sentence(n).text.std());
    std::istringstream split(probe.sentences.back());
    for (std::string word; split >> word;) probe.words.insert(word.substr(0, word.find_last_not_of(".!?") + 1));
  }
  return probe;
}

// The banks lying unpacked in a working folder.
inline std::set<std::string> banksLeft(const fs::path& home) {
  std::set<std::string> banks;
  for (const auto& entry : fs::directory_iterator(home))
    if (entry.path().extension() == ".mbk") banks.insert(entry.path().filename().string());
  return banks;
}

}  // namespace vesko::hardening
