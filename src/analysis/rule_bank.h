// RuleBank: one context bank parsed into memory. Its candidates for a line
// are exactly those of reading the bank file line by line once for every
// start position, early endings of a damaged file included.
// Internal to the context rules: only context_rules.cpp, tests and benchmarks
// include it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <unordered_map>
#include <vector>

#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

inline constexpr const char* kContextHeader = "###CONTEXT###";
inline constexpr const char* kResponseHeader = "###RESPONSE###";
// Context blocks numbered this high or higher never answer.
inline constexpr std::int32_t kFirstSilentBlock = 5000;

// Where the winning rule of a line stands in its bank file (lines counted
// from 1): the context header of the block that matched, and its responses
// in file order.
struct RuleMatch {
  std::int32_t blockLine = 0;
  std::vector<std::int32_t> responseLines;
};

class RuleBank {
 public:
  // An empty bank answers nothing (a missing or unreadable file).
  RuleBank() = default;
  // Reads a whole bank with readLine, as the line-by-line scan does.
  static RuleBank parse(std::istream& in);

  // The response lines of the winning rule, each expanded with the words of
  // the smallest start position at which it wins and put at the front (so in
  // reverse order of the file). `prepared` holds the words without
  // punctuation, in upper case; `classes` their word classes.
  // With `match`, also where the winning rule stands (left alone when none wins).
  StrList candidates(const WordList& prepared, const WordList& classes, RuleMatch* match = nullptr) const;

  // Context blocks that some scan can reach (numbered 1 to this).
  std::int32_t reachableBlocks() const { return static_cast<std::int32_t>(blocks_.size()); }

 private:
  struct Pattern {
    Str text;
    std::int32_t offset = 0;
    bool isClass = false;  // "*NOUN" and the like match the class pattern
  };
  struct Block {
    std::vector<Pattern> patterns;  // compared in order; the first failing one skips the block
    // Index into responseSets_, or -1 when a scan whose patterns all match
    // here ends without an answer (a bad offset, a header right after the
    // context header, the end of the file).
    std::int32_t responses = -1;
    std::int32_t line = 0;  // of its context header, counted from 1
  };
  // The blocks whose first pattern is a given text at a given offset,
  // ascending by block index.
  struct FirstPatternIndex {
    std::int32_t offset = 0;
    std::unordered_map<Str, std::vector<std::int32_t>> words;
    std::unordered_map<Str, std::vector<std::int32_t>> classes;
  };

  bool matchesFrom(const Block& block, std::size_t first, const WordList& prepared, const WordList& classes,
                   std::int64_t start) const;

  // blocks_[i] is context block i + 1. Only blocks that can answer are kept:
  // those numbered below kFirstSilentBlock and before the first block that
  // ends every scan reaching it.
  std::vector<Block> blocks_;
  std::vector<std::vector<Str>> responseSets_;
  std::vector<std::vector<std::int32_t>> responseLines_;  // file lines of each set's responses
  std::vector<FirstPatternIndex> index_;
};

}  // namespace vesko
