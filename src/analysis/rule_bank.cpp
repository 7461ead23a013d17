#include "analysis/rule_bank.h"

#include <algorithm>
#include <istream>
#include <map>

#include "analysis/context_rules.h"

namespace vesko {

namespace {

// Every line the line reader yields, a last line without a line end
// included. That the stream fails right after such a line changes nothing: in
// every state of the scan, a failed stream after the last line and a read
// past it that finds nothing end the scan alike.
// The line reader skips blank lines and leading blanks; `numbers` gets the
// file line (from 1) each line read starts on, for traces and messages.
std::vector<Str> readBankLines(std::istream& in, std::vector<std::int32_t>& numbers) {
  std::vector<Str> lines;
  Str line;
  std::int32_t number = 1;
  while (in.good()) {
    // Skipping here what readLine would skip anyway keeps count of the line ends.
    for (int c = in.peek(); c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; c = in.peek()) {
      if (c == '\n') ++number;
      in.get();
    }
    readLine(in, line);
    if (in.fail() && line.empty()) break;
    lines.push_back(line);
    numbers.push_back(number++);
  }
  return lines;
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
std::vector<Str> collectResponses(const std::vector<Str>& lines, std::size_t header) {
  std::vector<Str> responses;
  for (std::size_t i = header + 1; i < lines.size() && !isHeader(lines[i]); ++i) responses.push_back(lines[i]);
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
  std::vector<std::int32_t> numbers;
  const std::vector<Str> lines = readBankLines(in, numbers);
  const std::size_t end = lines.size();
  RuleBank rules;
  // A file that does not open with a context header ends every scan at once.
  if (lines.empty() || lines[0] != kContextHeader) return rules;

  std::map<std::size_t, std::int32_t> responseSetAt;  // response header line -> set
  auto responseSet = [&](std::size_t header) {
    auto [it, added] = responseSetAt.try_emplace(header, static_cast<std::int32_t>(rules.responseSets_.size()));
    if (added) {
      rules.responseSets_.push_back(collectResponses(lines, header));
      // The file lines of the responses; past the end for a set without a header.
      std::vector<std::int32_t>& at = rules.responseLines_.emplace_back();
      for (std::size_t i = header + 1; i <= header + rules.responseSets_.back().size(); ++i) at.push_back(numbers[i]);
    }
    return it->second;
  };

  // Every context header starts a block, numbered in file order: a scan that
  // skips a failed block always lands on the next context header, since a
  // block's pattern and offset lines never are one.
  for (std::size_t header = 0; header < end; ++header) {
    if (lines[header] != kContextHeader) continue;
    if (static_cast<std::int64_t>(rules.blocks_.size()) + 1 >= kFirstSilentBlock) break;

    Block block;
    block.line = numbers[header];
    // A header as the first pattern ends the scan; so does the end of the
    // file anywhere before a block's closing header.
    std::size_t i = header + 1;
    bool ended = i < end && isHeader(lines[i]);
    while (!ended) {
      // Line i is a pattern, line i + 1 its offset.
      std::int32_t offset = 0;
      if (i + 1 >= end || !parseOffset(lines[i + 1], offset)) break;
      block.patterns.push_back(Pattern{lines[i], offset, lines[i].startsWith("*")});
      i += 2;
      // After a pattern that held, a header closes the block; any other line
      // is the next pattern.
      if (i >= end) break;
      if (lines[i] == kResponseHeader) {
        block.responses = responseSet(i);
        ended = true;
      } else if (lines[i] == kContextHeader) {
        // Alternatives share the first response block after them. Without
        // one the block still wins, with nothing to say.
        std::size_t r = i + 1;
        while (r < end && lines[r] != kResponseHeader) ++r;
        block.responses = responseSet(r);
        ended = true;
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

StrList RuleBank::candidates(const WordList& prepared, const WordList& classes, RuleMatch* match) const {
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
  if (match != nullptr) {
    match->blockLine = blocks_[best].line;
    match->responseLines = responseLines_[static_cast<std::size_t>(blocks_[best].responses)];
  }
  for (const Str& line : responseSets_[static_cast<std::size_t>(blocks_[best].responses)])
    out.pushFront(expandResponse(line, prepared, static_cast<std::int32_t>(bestStart)));
  return out;
}

}  // namespace vesko
