#include "app/rule_checker.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <string_view>

#include "text/str.h"

namespace vesko::app {

namespace {

constexpr std::string_view kContextHeader = "###CONTEXT###";
constexpr std::string_view kResponseHeader = "###RESPONSE###";
constexpr int kFirstSilentBlock = 5000;
constexpr std::int64_t kUnknownOffset = INT64_MIN;  // an offset line that is no number
// Lines of binary data reported before the check gives up on the file.
constexpr int kMostBinaryLines = 10;

constexpr std::array<std::string_view, 8> kWordClasses = {"*UNKNOWN",  "*NOUNMARK", "*NOUN",   "*STUFFING",
                                                          "*DEF",      "*GREETING", "*PERSON", "*ANIMAL"};
// The marks taken off every word of the line before it is compared.
constexpr std::string_view kStrippedMarks = "!().,?";

struct Contraction {
  std::string_view word;
  std::string_view becomes;
};
// Whole words the normaliser replaces; a word containing "'RE" is replaced
// as well (see alwaysRewritten).
constexpr std::array<Contraction, 8> kContractions = {{{"CAN'T", "CANNOT"},
                                                       {"DON'T", "DO NOT"},
                                                       {"DIDN'T", "DID NOT"},
                                                       {"WON'T", "WILL NOT"},
                                                       {"ISN'T", "IS NOT"},
                                                       {"SHAN'T", "SHALL NOT"},
                                                       {"AREN'T", "ARE NOT"},
                                                       {"I'M", "I AM"}}};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// The first control byte of a line that no text file holds (NUL and the like),
// or -1. Tabs, form feeds and carriage returns are ordinary white space.
int binaryByte(const std::string& line) {
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && !isBlank(c)) || u == 0x7f) return u;
  }
  return -1;
}

std::string hexByte(int byte) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  return std::string("0x") + kDigits[static_cast<std::size_t>(byte >> 4)] + kDigits[static_cast<std::size_t>(byte & 15)];
}

// The start of a long response, for messages.
std::string excerpt(const std::string& text) {
  constexpr std::size_t kMost = 40;
  return text.size() <= kMost ? text : text.substr(0, kMost) + "...";
}

bool isPinningClass(std::string_view pattern) {
  return pattern == "*NOUN" || pattern == "*PERSON" || pattern == "*ANIMAL" || pattern == "*DEF";
}

// What the normaliser makes of `word` wherever it stands, or "".
std::string alwaysRewritten(const std::string& word) {
  const std::size_t re = word.find("'RE");
  if (re == std::string::npos) return std::string();
  return (re == 0 ? std::string() : word.substr(0, re) + " ") + "ARE";
}

// What the normaliser makes of `word` when no mark is attached to it, or "".
// With a mark attached (the line's last word, or one before a comma) the
// word stays and, once the mark is taken off, matches.
std::string rewrittenWithoutMark(const std::string& word) {
  for (const Contraction& contraction : kContractions)
    if (word == contraction.word) return std::string(contraction.becomes);
  return std::string();
}

std::string trimmedEnd(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && isBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

enum class State {
  kBegin,          // before the first context header
  kSkipToContext,  // after text before the first context header
  kAfterContext,   // a context header was read: a pattern must follow
  kOffset,         // a pattern was read: its offset must follow
  kAfterOffset,    // another pattern, a context header or a response header
  kResponses,      // inside a response block
};

class Checker {
 public:
  explicit Checker(const RuleCheckOptions& options) : options_(options) {}

  std::vector<RuleProblem> run(std::istream& in) {
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
      ++number;
      // Lines as readLine gives them: blanks at the start and empty lines are
      // invisible, carriage returns are dropped; blanks at the end stay.
      std::size_t start = 0;
      while (start < raw.size() && isBlank(raw[start])) ++start;
      if (start == raw.size()) continue;
      std::string line = raw.substr(start);
      std::erase(line, '\r');
      if (const int byte = binaryByte(line); byte >= 0) {
        if (++binaryLines_ > kMostBinaryLines) {
          error(number, "this looks like binary data, not a context bank (a bank is plain text); the check stops "
                        "here");
          break;
        }
        error(number, "the line holds the byte " + hexByte(byte) + ", which no bank line should: a bank is plain "
                      "text; remove the line or check that this is the bank you meant");
        continue;
      }
      take(number, line);
    }
    finish();
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const RuleProblem& a, const RuleProblem& b) { return a.line < b.line; });
    return std::move(problems_);
  }

 private:
  void error(int line, std::string message) {
    problems_.push_back({line, RuleProblem::Severity::kError, std::move(message)});
  }
  void warning(int line, std::string message) {
    problems_.push_back({line, RuleProblem::Severity::kWarning, std::move(message)});
  }

  void take(int number, const std::string& line) {
    if (line.starts_with("[{[")) {
      error(number, "a line beginning with \"[{[\" is taken for a member header when the mind is packed and "
                    "unpacked, which breaks the mind; reword the line");
    }
    std::string_view header;
    if (line == kContextHeader || line == kResponseHeader) {
      header = line == kContextHeader ? kContextHeader : kResponseHeader;
    } else if (const std::string trimmed = trimmedEnd(line);
               trimmed != line && (trimmed == kContextHeader || trimmed == kResponseHeader)) {
      // The scan sees no header here. Read on as if it were one, so that the
      // one fault does not bring a cascade of others.
      error(number, "\"" + trimmed + "\" has white space at its end, so it is no header; remove the white space");
      header = trimmed == kContextHeader ? kContextHeader : kResponseHeader;
    }
    if (header.empty()) {
      takeText(number, line);
    } else {
      takeHeader(number, header);
    }
  }

  void takeHeader(int number, std::string_view header) {
    const bool context = header == kContextHeader;
    closeBlock();
    switch (state_) {
      case State::kBegin:
        if (!context) {
          beforeFirstContext(number);
          return;
        }
        break;
      case State::kSkipToContext:
        if (!context) return;
        break;
      case State::kAfterContext:
        error(number, "a header right after a context header: the block has no pattern, and the rule scan stops "
                      "here, so no rule from here on answers; add the block's patterns or remove a header");
        break;
      case State::kOffset:
        error(number, "a pattern needs an offset line after it, not a header; the rule scan stops here, so no rule "
                      "from here on answers");
        break;
      case State::kAfterOffset:
        break;
      case State::kResponses:
        closeResponses();
        if (!context) {
          error(number, "a second response block right after another is never read; put its responses into the "
                        "block before it, or a context block between the two");
          responseHeader_ = number;
          responses_ = 0;
          return;
        }
        break;
    }
    if (context) {
      ++blocks_;
      if (!inRule_) {
        ruleBlocks_.clear();
        inRule_ = true;
        ruleStart_ = number;
      }
      blockLine_ = number;
      // One message for all the silent blocks: a huge bank gets one line, not thousands.
      if (blocks_ == kFirstSilentBlock) {
        silentProblem_ = problems_.size();
        error(number, "context block " + std::to_string(blocks_) + " never answers: only the first " +
                          std::to_string(kFirstSilentBlock - 1) + " context blocks of a bank can; move the rules "
                          "to the other bank or remove some");
      }
      state_ = State::kAfterContext;
    } else {
      inRule_ = false;
      responseHeader_ = number;
      responses_ = 0;
      state_ = State::kResponses;
    }
  }

  void takeText(int number, const std::string& line) {
    switch (state_) {
      case State::kBegin:
        beforeFirstContext(number);
        return;
      case State::kSkipToContext:
        return;
      case State::kAfterContext:
      case State::kAfterOffset:
        checkPattern(number, line);
        pendingPattern_ = trimmedEnd(line);
        state_ = State::kOffset;
        return;
      case State::kOffset:
        checkOffset(number, line);
        state_ = State::kAfterOffset;
        return;
      case State::kResponses:
        ++responses_;
        checkReferences(number, line);
        checkQuotes(number, line);
        if (options_.noTopicWords && !(line.starts_with("@@T") && (line.size() == 3 || line[3] == ' ')))
          topicWords(number, line);
        return;
    }
  }

  void topicWords(int number, const std::string& line) {
    std::string message = "\"";
    message += excerpt(line);
    message += "\" is a list of topic words: the bot makes up a sentence from them instead of saying a scripted "
               "answer; write the answer out after \"@@T \"";
    warning(number, std::move(message));
  }

  void beforeFirstContext(int number) {
    error(number, "text before the first \"###CONTEXT###\": the rule scan stops at this line, so the bank answers "
                  "nothing; begin the bank with a context header");
    state_ = State::kSkipToContext;
  }

  void checkPattern(int number, const std::string& line) {
    const std::string pattern = trimmedEnd(line);
    if (pattern != line)
      error(number, "the pattern \"" + pattern + "\" has white space at its end and never matches; remove it");
    if (pattern.starts_with("*")) {
      if (std::find(kWordClasses.begin(), kWordClasses.end(), pattern) == kWordClasses.end())
        error(number, "unknown word class \"" + pattern + "\": the pattern never matches; the classes are "
                      "*UNKNOWN, *NOUNMARK, *NOUN, *STUFFING, *DEF, *GREETING, *PERSON and *ANIMAL");
      return;
    }
    if (pattern.find_first_of(" \t") != std::string::npos)
      error(number, "the pattern \"" + pattern + "\" holds more than one word and never matches; give each word "
                    "a pattern line and an offset of its own");
    if (std::any_of(pattern.begin(), pattern.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
      error(number, "the pattern \"" + pattern + "\" has lower case letters and never matches: words are "
                    "compared in upper case");
    const std::size_t mark = pattern.find_first_of(kStrippedMarks);
    if (mark != std::string::npos)
      error(number, "the pattern \"" + pattern + "\" holds \"" + pattern[mark] + "\", which is taken off every "
                    "word before it is compared, so it never matches; leave out ! ( ) . , and ?");
    const std::string becomes = alwaysRewritten(pattern);
    if (!becomes.empty())
      error(number, "the pattern \"" + pattern + "\" never matches: the line's " + pattern + " is rewritten as " +
                        becomes + " before the rules see it; write the words it becomes");
    const std::string unlessMarked = rewrittenWithoutMark(pattern);
    if (!unlessMarked.empty()) contractions_.push_back({number, pattern, unlessMarked, patterns_.size()});
  }

  void checkOffset(int number, const std::string& line) {
    try {
      const std::int32_t value = Str(line).toInt();
      patterns_.push_back({pendingPattern_, value > 1000 ? 1000 - static_cast<std::int64_t>(value) : value});
    } catch (const NotANumber&) {
      patterns_.push_back({pendingPattern_, kUnknownOffset});
      const bool blankAtEnd = trimmedEnd(line) != line;
      error(number, "the offset \"" + line + "\" is not a number" +
                        (blankAtEnd ? " (it has white space at its end)" : std::string()) +
                        ": the rule scan stops here, so no rule from here on answers; write a whole number, "
                        "1001 for -1, 1002 for -2 and so on");
    }
  }

  // A contraction such as DON'T keeps its form only as the line's last word
  // (which carries the terminal mark) or before a comma; a block that wants
  // a word after it almost never matches.
  void closeBlock() {
    for (const PendingContraction& contraction : contractions_) {
      if (contraction.offsetIndex >= patterns_.size()) continue;
      const std::int64_t at = patterns_[contraction.offsetIndex].offset;
      if (at == kUnknownOffset) continue;
      if (std::none_of(patterns_.begin(), patterns_.end(), [at](const BlockPattern& other) { return other.offset > at; }))
        continue;
      warning(contraction.line, "the pattern \"" + contraction.word + "\" matches only where a mark follows the "
                                "word, as in \"" + contraction.word + ",\": elsewhere the line's " + contraction.word +
                                    " is rewritten as " + contraction.becomes +
                                    " before the rules see it, and this block wants a word after it; write " +
                                    contraction.becomes);
    }
    contractions_.clear();
    if (!patterns_.empty()) ruleBlocks_.push_back({blockLine_, std::move(patterns_)});
    patterns_.clear();
  }

  // A quoted word must be one the rule's every context block fixes; else the
  // answer may quote the first word of a phrase and cut the rest off.
  void checkQuotes(int number, const std::string& line) {
    for (const int position : quotedPositions(line)) {
      for (const RuleBlock& block : ruleBlocks_) {
        if (pinsPosition(block.patterns, position)) continue;
        const std::string n = std::to_string(position);
        warning(number, "the response quotes word " + n + " from the start position, which the context block at "
                        "line " + std::to_string(block.line) + " does not fix to a word or to *NOUN, *PERSON, "
                        "*ANIMAL or *DEF: the line's word there may begin a longer phrase, and the answer then cuts "
                        "it (\"I feel very sad\" answered \"why do you feel very?\"); give position " + n +
                        " a pattern, or answer without quoting");
        break;
      }
    }
  }

  // "@10" quotes word 1 with a 0 behind it: only one digit is read.
  void checkReferences(int number, const std::string& line) {
    std::size_t at = 0;
    while (at < line.size()) {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      const std::string token = line.substr(at, end - at);
      at = end + 1;
      std::size_t digit = 1;
      if (token.starts_with("@P") || token.starts_with("@R")) digit = 2;
      if (!token.starts_with("@") || token.size() < digit + 2) continue;
      const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
      if (isDigit(token[digit]) && isDigit(token[digit + 1]))
        warning(number, "the reference \"" + token + "\" reads only one digit: it quotes word " + token[digit] +
                            " from the start position, followed by \"" + token.substr(digit + 1) + "\"");
    }
  }

  void closeResponses() {
    if (state_ == State::kResponses && responses_ == 0)
      warning(responseHeader_, "a response block without responses: when its rule matches, the rules give no "
                               "answer and no later rule is tried; add responses or remove the rule");
  }

  void finish() {
    if (silentProblem_ < problems_.size() && blocks_ > kFirstSilentBlock)
      problems_[silentProblem_].message += " (neither do the " + std::to_string(blocks_ - kFirstSilentBlock) +
                                           " blocks after it)";
    closeBlock();
    closeResponses();
    if (inRule_)
      error(ruleStart_, "the rule that begins here has no response block before the end of the file, so it never "
                        "answers; add \"###RESPONSE###\" and its responses");
  }

  struct PendingContraction {
    int line;
    std::string word;
    std::string becomes;
    std::size_t offsetIndex;  // into patterns_
  };

  struct RuleBlock {
    int line;  // of its context header
    std::vector<BlockPattern> patterns;
  };

  RuleCheckOptions options_;
  std::vector<RuleProblem> problems_;
  std::vector<BlockPattern> patterns_;  // the current block's patterns
  std::vector<RuleBlock> ruleBlocks_;   // the context blocks of the current rule
  std::string pendingPattern_;          // a pattern waiting for its offset
  int blockLine_ = 0;                   // line of the current context header
  std::size_t silentProblem_ = SIZE_MAX;  // the problem that names block 5000, once read
  int binaryLines_ = 0;
  std::vector<PendingContraction> contractions_;
  State state_ = State::kBegin;
  int blocks_ = 0;           // context headers so far: the number of the current block
  bool inRule_ = false;      // context blocks read since the last response header
  int ruleStart_ = 0;        // line of the first context header of that rule
  int responseHeader_ = 0;   // line of the current response header
  int responses_ = 0;        // response lines under it
};

}  // namespace

std::vector<RuleProblem> checkRules(std::istream& bank, const RuleCheckOptions& options) {
  return Checker(options).run(bank);
}

bool pinsPosition(const std::vector<BlockPattern>& block, std::int64_t position) {
  return std::any_of(block.begin(), block.end(), [position](const BlockPattern& pattern) {
    return pattern.offset == position && (!pattern.text.starts_with("*") || isPinningClass(pattern.text));
  });
}

std::vector<int> quotedPositions(const std::string& response) {
  std::vector<int> positions;
  std::size_t at = 0;
  while (at < response.size()) {
    const std::size_t end = std::min(response.find(' ', at), response.size());
    const std::string_view token = std::string_view(response).substr(at, end - at);
    at = end + 1;
    if (token.size() < 2 || token[0] != '@') continue;
    const std::size_t digit = (token[1] == 'P' || token[1] == 'R') ? 2 : 1;
    if (token.size() > digit && token[digit] >= '0' && token[digit] <= '9') positions.push_back(token[digit] - '0');
  }
  return positions;
}

std::string formatProblem(const std::string& file, const RuleProblem& problem) {
  return file + ":" + std::to_string(problem.line) + ": " +
         (problem.severity == RuleProblem::Severity::kError ? "error: " : "warning: ") + problem.message;
}

}  // namespace vesko::app
