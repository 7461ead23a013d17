// MindProbe: what a mind file holds, read the way the program reads it
// (loadMind on a copy in a scratch folder, so the mind and its working
// folder stay untouched), and the token each test statement carries.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "child_process.h"
#include "engine/brain.h"

namespace vesko::hardening {

struct MindProbe {
  bool loaded = false;
  std::string error;                   // why it did not load
  std::vector<std::string> sentences;  // the knowledge store, in order
  std::vector<std::string> members;    // member names, in file order
  std::set<std::string> words;         // every word of them, marks dropped
  // True when a remembered sentence holds `word` (upper case) as a word.
  bool has(const std::string& word) const { return words.count(word) != 0; }
};

inline MindProbe probeMind(const fs::path& mind) {
  MindProbe probe;
  const std::string text = readText(mind);
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (line.starts_with("[{[") && line.size() >= 6) probe.members.push_back(line.substr(3, line.size() - 6));
    at = end + 1;
  }
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
    const std::string& text = brain.knowledge().sentence(n).text.std();
    probe.sentences.push_back(text);
    std::istringstream split(text);
    for (std::string word; split >> word;) {
      while (!word.empty() && (word.back() == '.' || word.back() == '!' || word.back() == '?')) word.pop_back();
      probe.words.insert(word);
    }
  }
  return probe;
}

// A word no dictionary holds, unique for each number: "zq" + letters.
inline std::string token(int number) {
  std::string word = "zq";
  do {
    word += static_cast<char>('a' + number % 26);
    number /= 26;
  } while (number > 0);
  return word;
}

// A statement the knowledge store remembers (four words or more).
inline std::string statement(int number) { return "my parcel " + token(number) + " is very blue"; }

inline std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace vesko::hardening
