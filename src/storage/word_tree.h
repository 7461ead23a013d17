// WordTree: a character tree of upper-case words with a count per word and a
// removed mark; holds the nouns, names and filler words of a mind. Only words
// made of the characters "!" to "]" can be stored or found.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <utility>
#include <vector>

#include "text/str.h"

namespace vesko {

class WordTree {
 public:
  // Upper-cases and adds the word (its count grows by one). Empty words, words
  // longer than kMaxWordLength and words with characters outside "!" to "]"
  // are not stored.
  void add(const Str& word);
  // Upper-cases the word; true when it was added and not removed.
  bool has(const Str& word) const;
  // Marks a present word removed (the word is taken as given, not upper-cased).
  // It stays invisible to has() even if added again, and is not saved.
  void remove(const Str& word);
  // Every word that is not removed, `count` times a line, in pre-order with
  // siblings in ascending character order.
  void save(std::ostream& out) const;
  void free() { nodes_.clear(); }
  bool empty() const { return nodes_.empty(); }
  // Number of distinct words stored and not removed.
  std::int64_t wordCount() const;

  static constexpr int kMaxWordLength = 1999;

 private:
  struct Node {
    std::vector<std::pair<unsigned char, std::int32_t>> children;  // sorted by character
    std::uint32_t count = 0;
    Str word;
    bool removed = false;
  };
  // Index of the node that spells `word`, or -1.
  std::int32_t find(const Str& word) const;

  std::vector<Node> nodes_;  // nodes_[0] is the root once anything was added
};

}  // namespace vesko
