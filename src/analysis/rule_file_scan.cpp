#include "analysis/rule_file_scan.h"

#include <cstdint>
#include <fstream>

#include "analysis/context_rules.h"
#include "analysis/rule_bank.h"

namespace vesko {

namespace {

enum class ScanState { kBegin, kPattern, kOffset, kCompare, kNext, kSkip, kAlternatives, kCollect, kEnd };

bool isHeader(const Str& line) { return line == kContextHeader || line == kResponseHeader; }

}  // namespace

StrList scanRuleFile(const Str& path, const WordList& prepared, const WordList& classes) {
  StrList candidates;
  std::int32_t best = kFirstSilentBlock;
  for (std::int32_t start = 0; start < prepared.count(); ++start) {
    std::ifstream in(path.std(), std::ios::binary);
    ScanState state = ScanState::kBegin;
    std::int32_t k = 0;
    std::int32_t offset = 0;
    Str pattern;
    Str line;
    // The stream is checked before every step; a failed stream ends the scan.
    while (in.good() && state != ScanState::kEnd) {
      if (state == ScanState::kCompare) {
        const std::int64_t at = static_cast<std::int64_t>(start) + offset;
        const WordList& against = pattern.startsWith("*") ? classes : prepared;
        const Str word = at >= against.count() ? Str(" ") : against.wordAt(static_cast<int>(at));
        state = word == pattern ? ScanState::kNext : ScanState::kSkip;
        continue;
      }
      readLine(in, line);
      switch (state) {
        case ScanState::kBegin:
          state = line == kContextHeader ? ScanState::kPattern : ScanState::kEnd;
          break;
        case ScanState::kPattern:
          ++k;
          pattern = line;
          state = isHeader(line) ? ScanState::kEnd : ScanState::kOffset;
          break;
        case ScanState::kOffset:
          try {
            const std::int32_t value = line.toInt();
            offset = value > 1000 ? 1000 - value : value;
            state = ScanState::kCompare;
          } catch (const NotANumber&) {
            state = ScanState::kEnd;
          }
          break;
        case ScanState::kNext:
          if (isHeader(line)) {
            if (k >= best) {
              state = ScanState::kEnd;
            } else {
              best = k;
              candidates.clear();
              state = line == kContextHeader ? ScanState::kAlternatives : ScanState::kCollect;
            }
          } else {
            pattern = line;
            state = ScanState::kOffset;
          }
          break;
        case ScanState::kSkip:
          if (line == kContextHeader) state = ScanState::kPattern;
          break;
        case ScanState::kAlternatives:
          if (line == kResponseHeader) state = ScanState::kCollect;
          break;
        case ScanState::kCollect:
          // The read at the end of the file collects nothing and adds nothing;
          // a last line without a line end is still a response.
          if (isHeader(line) || (in.fail() && line.empty())) {
            state = ScanState::kEnd;
          } else {
            candidates.pushFront(expandResponse(line, prepared, start));
          }
          break;
        case ScanState::kCompare:
        case ScanState::kEnd:
          break;
      }
    }
  }
  return candidates;
}

}  // namespace vesko
