#include "analysis/rule_bank.h"

#include <algorithm>
#include <istream>
#include <map>

#include "analysis/context_rules.h"

namespace vesko {

namespace {

// A bank as the line reader sees it: every line it yields, and whether the
// last of them ended the file without a line end (the stream then reports
// failure right after reading it). Past the last line a read yields nothing
// and fails.
struct BankLines {
  std::vector<Str> lines;
  bool lastIsPartial = false;

  std::int64_t size() const { return static_cast<std::int64_t>(lines.size()); }
  bool exists(std::int64_t i) const { return i < size(); }
  const Str& at(std::int64_t i) const { return lines[static_cast<std::size_t>(i)]; }
  // True when the stream has failed once line i has been read.
  bool failsAfter(std::int64_t i) const { return i >= size() || (i == size() - 1 && lastIsPartial); }
};

BankLines readBankLines(std::istream& in) {
  BankLines bank;
  Str line;
  while (in.good()) {
    readLine(in, line);
    if (!in.fail()) {
      bank.lines.push_back(line);
    } else {
      // A last line without a line end is still read; an empty read is the end.
      if (!line.empty()) {
        bank.lines.push_back(line);
        bank.lastIsPartial = true;
      }
      break;
    }
  }
  return bank;
}

bool isHeader(const Str& line) { return line == kContextHeader || line == kResponseHeader; }

// An offset line as a position relative to the start position: 0 to 1000
// stand for themselves, above 1000 count back (1001 is -1).
bool parseOffset(const Str& line, std::int32_t& offset) {
  try {
    const std::int32_t value = line.toInt();
    offset = value > 1000 ? 1000 - value : value;
    return true;
  } catch (const NotANumber&) {
    return false;
  }
}

// The response lines collected after the response header at `header`, up to
// the next header or the end of the file.
std::vector<Str> collectResponses(const BankLines& bank, std::int64_t header) {
  std::vector<Str> responses;
  if (bank.failsAfter(header)) return responses;
  for (std::int64_t i = header + 1; bank.exists(i); ++i) {
    if (isHeader(bank.at(i))) break;
    responses.push_back(bank.at(i));
    if (bank.failsAfter(i)) break;
  }
  return responses;
}

// The word at `position` as wordAt gives it, without copying: a single space
// past the end, the first word before the start.
const Str& wordAtPosition(const WordList& list, std::int64_t position) {
  static const Str kSpace(" ");
  if (list.empty()) return kSpace;
  if (position < 0) return list.words().front();
  if (position >= list.count()) return kSpace;
  return list.words()[static_cast<std::size_t>(position)];
}

}  // namespace

RuleBank RuleBank::parse(std::istream& in) {
  const BankLines bank = readBankLines(in);
  RuleBank rules;
  // A file that does not open with a context header ends every scan at once.
  if (bank.lines.empty() || bank.at(0) != kContextHeader) return rules;

  std::map<std::int64_t, std::int32_t> responseSetAt;  // response header line -> set
  auto responseSet = [&](std::int64_t header) {
    auto [it, added] = responseSetAt.try_emplace(header, static_cast<std::int32_t>(rules.responseSets_.size()));
    if (added) rules.responseSets_.push_back(collectResponses(bank, header));
    return it->second;
  };

  // Every context header starts a block, numbered in file order: a scan that
  // skips a failed block always lands on the next context header.
  for (std::int64_t header = 0; bank.exists(header); ++header) {
    if (bank.at(header) != kContextHeader) continue;
    if (static_cast<std::int64_t>(rules.blocks_.size()) + 1 >= kFirstSilentBlock) break;

    Block block;
    std::int64_t i = header + 1;
    bool ended = bank.failsAfter(header);
    // The first pattern: a header here ends the scan.
    if (!ended && bank.exists(i) && isHeader(bank.at(i))) ended = true;
    while (!ended) {
      // Line i is a pattern, line i + 1 its offset.
      if (bank.failsAfter(i)) break;
      std::int32_t offset = 0;
      if (!bank.exists(i + 1) || bank.failsAfter(i + 1) || !parseOffset(bank.at(i + 1), offset)) break;
      const Str& text = bank.at(i);
      block.patterns.push_back(Pattern{text, offset, text.startsWith("*")});
      i += 2;
      // After a pattern that matched: a header ends the block, anything else
      // is the next pattern.
      if (!bank.exists(i)) break;
      const Str& next = bank.at(i);
      if (next == kResponseHeader) {
        block.responses = responseSet(i);
        break;
      }
      if (next == kContextHeader) {
        // Alternatives share the first response block after them.
        std::int64_t r = i + 1;
        while (!bank.failsAfter(r - 1) && bank.exists(r) && bank.at(r) != kResponseHeader) ++r;
        if (!bank.failsAfter(r - 1) && bank.exists(r)) {
          block.responses = responseSet(r);
        } else {
          // Matched, but no response block follows: the block still wins,
          // with nothing to say.
          block.responses = static_cast<std::int32_t>(rules.responseSets_.size());
          rules.responseSets_.emplace_back();
        }
        break;
      }
    }
    // A block without a single readable pattern ends every scan that reaches
    // it, so nothing behind it can ever answer.
    if (block.patterns.empty()) break;
    rules.blocks_.push_back(std::move(block));
  }

  for (std::size_t b = 0; b < rules.blocks_.size(); ++b) {
    const Pattern& first = rules.blocks_[b].patterns.front();
    auto group = std::find_if(rules.index_.begin(), rules.index_.end(),
                              [&](const FirstPatternIndex& g) { return g.offset == first.offset; });
    if (group == rules.index_.end()) {
      rules.index_.emplace_back();
      group = rules.index_.end() - 1;
      group->offset = first.offset;
    }
    (first.isClass ? group->classes : group->words)[first.text].push_back(static_cast<std::int32_t>(b));
  }
  return rules;
}

bool RuleBank::matchesFrom(const Block& block, std::size_t first, const WordList& prepared, const WordList& classes,
                           std::int64_t start) const {
  for (std::size_t p = first; p < block.patterns.size(); ++p) {
    const Pattern& pattern = block.patterns[p];
    const WordList& against = pattern.isClass ? classes : prepared;
    if (wordAtPosition(against, start + pattern.offset) != pattern.text) return false;
  }
  return true;
}

StrList RuleBank::candidates(const WordList& prepared, const WordList& classes) const {
  StrList out;
  // The best block so far (as an index into blocks_) and its start position.
  std::size_t best = blocks_.size();
  std::int64_t bestStart = -1;
  std::vector<const std::vector<std::int32_t>*> lists;
  std::vector<std::size_t> heads;
  for (std::int64_t start = 0; start < prepared.count() && best > 0; ++start) {
    // The blocks whose first pattern holds at this start position; every
    // other block fails on its first pattern and is skipped by the scan.
    lists.clear();
    for (const FirstPatternIndex& group : index_) {
      const std::int64_t at = start + group.offset;
      if (auto it = group.words.find(wordAtPosition(prepared, at)); it != group.words.end()) lists.push_back(&it->second);
      if (auto it = group.classes.find(wordAtPosition(classes, at)); it != group.classes.end())
        lists.push_back(&it->second);
    }
    heads.assign(lists.size(), 0);
    // Walk those blocks in file order, below the best block found so far:
    // the first one whose patterns all hold ends this start position's scan.
    while (true) {
      std::size_t next = best;
      std::size_t from = lists.size();
      for (std::size_t l = 0; l < lists.size(); ++l) {
        if (heads[l] < lists[l]->size()) {
          const auto block = static_cast<std::size_t>((*lists[l])[heads[l]]);
          if (block < next) {
            next = block;
            from = l;
          }
        }
      }
      if (from == lists.size()) break;
      ++heads[from];
      const Block& block = blocks_[next];
      if (!matchesFrom(block, 1, prepared, classes, start)) continue;
      if (block.responses >= 0) {
        best = next;
        bestStart = start;
      }
      break;
    }
  }
  if (bestStart < 0) return out;
  for (const Str& line : responseSets_[static_cast<std::size_t>(blocks_[best].responses)])
    out.pushFront(expandResponse(line, prepared, static_cast<std::int32_t>(bestStart)));
  return out;
}

}  // namespace vesko
