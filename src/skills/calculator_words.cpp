#include "skills/calculator_words.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vesko {

namespace {

enum class Kind : std::uint8_t {
  kOther,  // any word that has no place in a sum
  kFiller,  // a word that frames a question: WHAT, IS, PLEASE, ...
  kAnd,
  kThe,
  kOf,
  kTo,
  kZero,
  kUnit,  // ONE .. NINE
  kTeen,  // TEN .. NINETEEN
  kTen,  // TWENTY, THIRTY, ... NINETY
  kHundred,
  kThousand,
  kMillion,
  kPlus,
  kMinus,
  kTimes,
  kMultiplied,
  kDivided,
  kBy,
  kPower,
};

struct Entry {
  std::string_view word;
  Kind kind;
  int value;
};

constexpr Entry kWords[] = {
    {"ZERO", Kind::kZero, 0},          {"ONE", Kind::kUnit, 1},         {"TWO", Kind::kUnit, 2},
    {"THREE", Kind::kUnit, 3},         {"FOUR", Kind::kUnit, 4},        {"FIVE", Kind::kUnit, 5},
    {"SIX", Kind::kUnit, 6},           {"SEVEN", Kind::kUnit, 7},       {"EIGHT", Kind::kUnit, 8},
    {"NINE", Kind::kUnit, 9},          {"TEN", Kind::kTeen, 10},        {"ELEVEN", Kind::kTeen, 11},
    {"TWELVE", Kind::kTeen, 12},       {"THIRTEEN", Kind::kTeen, 13},   {"FOURTEEN", Kind::kTeen, 14},
    {"FIFTEEN", Kind::kTeen, 15},      {"SIXTEEN", Kind::kTeen, 16},    {"SEVENTEEN", Kind::kTeen, 17},
    {"EIGHTEEN", Kind::kTeen, 18},     {"NINETEEN", Kind::kTeen, 19},   {"TWENTY", Kind::kTen, 20},
    {"THIRTY", Kind::kTen, 30},        {"FORTY", Kind::kTen, 40},       {"FIFTY", Kind::kTen, 50},
    {"SIXTY", Kind::kTen, 60},         {"SEVENTY", Kind::kTen, 70},     {"EIGHTY", Kind::kTen, 80},
    {"NINETY", Kind::kTen, 90},        {"HUNDRED", Kind::kHundred, 100}, {"THOUSAND", Kind::kThousand, 1000},
    {"MILLION", Kind::kMillion, 1000000},
    {"PLUS", Kind::kPlus, 0},          {"MINUS", Kind::kMinus, 0},      {"TIMES", Kind::kTimes, 0},
    {"MULTIPLIED", Kind::kMultiplied, 0}, {"DIVIDED", Kind::kDivided, 0}, {"BY", Kind::kBy, 0},
    {"POWER", Kind::kPower, 0},        {"TO", Kind::kTo, 0},            {"THE", Kind::kThe, 0},
    {"OF", Kind::kOf, 0},              {"AND", Kind::kAnd, 0},
    {"WHAT", Kind::kFiller, 0},        {"WHAT'S", Kind::kFiller, 0},    {"WHATS", Kind::kFiller, 0},
    {"IS", Kind::kFiller, 0},          {"ARE", Kind::kFiller, 0},       {"HOW", Kind::kFiller, 0},
    {"MUCH", Kind::kFiller, 0},        {"CALCULATE", Kind::kFiller, 0}, {"COMPUTE", Kind::kFiller, 0},
    {"SOLVE", Kind::kFiller, 0},       {"PLEASE", Kind::kFiller, 0},    {"EQUALS", Kind::kFiller, 0},
    {"EQUAL", Kind::kFiller, 0},       {"ANSWER", Kind::kFiller, 0},    {"CAN", Kind::kFiller, 0},
    {"YOU", Kind::kFiller, 0},         {"TELL", Kind::kFiller, 0},      {"ME", Kind::kFiller, 0},
};

constexpr std::size_t kLongestWord = 10;  // MULTIPLIED

bool isNumberKind(Kind kind) { return kind >= Kind::kZero && kind <= Kind::kMillion; }
bool isScale(Kind kind) { return kind == Kind::kHundred || kind == Kind::kThousand || kind == Kind::kMillion; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool keptInExpression(char c) {
  return isDigit(c) || c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == '(' || c == ')' || c == '.';
}

// Bytes of a word: letters, apostrophes, and every byte of a multi-byte
// character (a letter such as "é" or the typographic apostrophe), so a word
// with a letter beyond ASCII is one word, and never a number word.
bool isWordByte(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'' || c >= 0x80; }

struct Lexeme {
  enum class Type : std::uint8_t { kWord, kBlank, kChar };
  Type type;
  Kind kind = Kind::kOther;
  int value = 0;
  char c = 0;
};

// The table by first letter: every line that reaches the arithmetic stage
// has its words looked up here.
const std::vector<const Entry*>& wordsStartingWith(char letter) {
  static const auto byLetter = [] {
    std::array<std::vector<const Entry*>, 26> table;
    for (const Entry& entry : kWords) table[static_cast<std::size_t>(entry.word[0] - 'A')].push_back(&entry);
    return table;
  }();
  return byLetter[static_cast<std::size_t>(letter - 'A')];
}

Lexeme wordLexeme(std::string_view word) {
  char upper[kLongestWord];
  std::size_t size = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (size == kLongestWord) return {Lexeme::Type::kWord};
    const auto c = static_cast<unsigned char>(word[i]);
    if (c == 0xE2 && word.substr(i, 3) == "\xE2\x80\x99") {  // ’ is an apostrophe
      upper[size++] = '\'';
      i += 2;
    } else if (c >= 0x80) {
      return {Lexeme::Type::kWord};
    } else {
      upper[size++] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  if (size == 0 || upper[0] < 'A' || upper[0] > 'Z') return {Lexeme::Type::kWord};
  const std::string_view key(upper, size);
  for (const Entry* entry : wordsStartingWith(upper[0]))
    if (entry->word == key) return {Lexeme::Type::kWord, entry->kind, entry->value};
  return {Lexeme::Type::kWord};
}

// True when a word of the line has no place in arithmetic wherever it
// stands; a quick look that settles most chat lines at their first word.
bool holdsOtherWord(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (!isWordByte(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < line.size() && isWordByte(static_cast<unsigned char>(line[end]))) ++end;
    if (wordLexeme(line.substr(i, end - i)).kind == Kind::kOther) return true;
    i = end;
  }
  return false;
}

// The line as words, runs of blanks and single other characters.
std::vector<Lexeme> lex(std::string_view line) {
  std::vector<Lexeme> lexemes;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    std::size_t end = i + 1;
    if (isWordByte(static_cast<unsigned char>(c))) {
      while (end < line.size() && isWordByte(static_cast<unsigned char>(line[end]))) ++end;
      lexemes.push_back(wordLexeme(line.substr(i, end - i)));
    } else if (isBlank(c)) {
      while (end < line.size() && isBlank(line[end])) ++end;
      lexemes.push_back({Lexeme::Type::kBlank});
    } else {
      lexemes.push_back({Lexeme::Type::kChar, Kind::kOther, 0, c});
    }
    i = end;
  }
  return lexemes;
}

// Reads a number said in words, one word at a time, the way people say them:
// "twenty one", "one hundred and five", "two thousand", "fifteen hundred",
// "one million two hundred thousand". Scales come largest first, each at most
// once, and "and" only after a scale; "hundred" or "thousand" alone is one of it.
class NumberReader {
 public:
  // False when the words so far and this one make no number.
  bool take(Kind kind, int value, bool afterHyphen) {
    const bool first = last_ == Kind::kOther;
    const bool afterScale = isScale(last_);
    if (last_ == Kind::kZero) return false;
    if (afterHyphen && !(kind == Kind::kUnit && last_ == Kind::kTen)) return false;
    if (afterAnd_ && kind != Kind::kUnit && kind != Kind::kTeen && kind != Kind::kTen) return false;
    afterAnd_ = false;
    switch (kind) {
      case Kind::kZero:
        if (!first) return false;
        break;
      case Kind::kUnit:
        if (!first && !afterScale && last_ != Kind::kTen) return false;
        group_ += value;
        break;
      case Kind::kTeen:
      case Kind::kTen:
        if (!first && !afterScale) return false;
        group_ += value;
        break;
      case Kind::kHundred:
        if (groupHasHundred_) return false;
        if (first) {
          group_ = 100;
        } else if (!afterScale && (group_ < 10 || total_ == 0)) {
          group_ *= 100;  // "fifteen hundred" only as the whole number's start
        } else {
          return false;
        }
        groupHasHundred_ = true;
        break;
      case Kind::kThousand:
      case Kind::kMillion: {
        if (smallestScale_ != 0 && smallestScale_ <= value) return false;
        std::int64_t multiplier = 1;
        if (!first) {
          if (last_ == Kind::kThousand || last_ == Kind::kMillion || group_ < 1 || group_ > 999) return false;
          multiplier = group_;
        }
        total_ += multiplier * value;
        group_ = 0;
        groupHasHundred_ = false;
        smallestScale_ = value;
        break;
      }
      default:
        return false;
    }
    last_ = kind;
    return true;
  }

  // "and" joins only after a scale; what follows must be a ten, a teen or a unit.
  bool takeAnd() {
    if (!isScale(last_)) return false;
    afterAnd_ = true;
    return true;
  }

  bool endsWithScale() const { return isScale(last_); }
  bool endsWithTen() const { return last_ == Kind::kTen; }
  std::int64_t value() const { return total_ + group_; }

 private:
  std::int64_t total_ = 0;  // what the thousands and millions so far add up to
  std::int64_t group_ = 0;  // the part below the last scale
  bool groupHasHundred_ = false;
  bool afterAnd_ = false;
  Kind last_ = Kind::kOther;  // kOther: no word yet
  std::int64_t smallestScale_ = 0;
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isWord(const std::vector<Lexeme>& lexemes, std::size_t i) {
  return i < lexemes.size() && lexemes[i].type == Lexeme::Type::kWord;
}

std::size_t skipBlank(const std::vector<Lexeme>& lexemes, std::size_t i) {
  return i < lexemes.size() && lexemes[i].type == Lexeme::Type::kBlank ? i + 1 : i;
}

// Reads the run of number words that starts at lexeme `first` (a number
// word): words apart by blanks, a ten and a unit joined by a hyphen, "and"
// after a scale. Gives the index of the run's last lexeme, or kNone when the
// run makes no number.
std::size_t readNumber(const std::vector<Lexeme>& lexemes, std::size_t first, std::int64_t& value) {
  NumberReader reader;
  if (!reader.take(lexemes[first].kind, lexemes[first].value, false)) return kNone;
  std::size_t last = first;
  for (;;) {
    const std::size_t next = last + 1;
    if (reader.endsWithTen() && next < lexemes.size() && lexemes[next].type == Lexeme::Type::kChar &&
        lexemes[next].c == '-' && isWord(lexemes, next + 1) && lexemes[next + 1].kind == Kind::kUnit) {
      if (!reader.take(Kind::kUnit, lexemes[next + 1].value, true)) return kNone;
      last = next + 1;
      continue;
    }
    const std::size_t word = skipBlank(lexemes, next);
    if (!isWord(lexemes, word)) break;
    if (isNumberKind(lexemes[word].kind)) {
      if (!reader.take(lexemes[word].kind, lexemes[word].value, false)) return kNone;
      last = word;
      continue;
    }
    if (lexemes[word].kind == Kind::kAnd && reader.endsWithScale()) {
      const std::size_t after = skipBlank(lexemes, word + 1);
      if (isWord(lexemes, after) && isNumberKind(lexemes[after].kind)) {
        reader.takeAnd();
        if (!reader.take(lexemes[after].kind, lexemes[after].value, false)) return kNone;
        last = after;
        continue;
      }
    }
    break;
  }
  value = reader.value();
  return last;
}

// The index of the last lexeme of a phrase whose first word stands at
// `first` and whose further words are `rest`, one blank between each; kNone
// when the words that follow are not the phrase.
std::size_t matchPhrase(const std::vector<Lexeme>& lexemes, std::size_t first, std::initializer_list<Kind> rest) {
  std::size_t at = first;
  for (const Kind kind : rest) {
    if (at + 2 >= lexemes.size() || lexemes[at + 1].type != Lexeme::Type::kBlank || !isWord(lexemes, at + 2) ||
        lexemes[at + 2].kind != kind)
      return kNone;
    at += 2;
  }
  return at;
}

}  // namespace

ArithmeticReading ArithmeticWords::read(std::string_view line, bool stopAtOtherWord) {
  ArithmeticReading reading;
  if (stopAtOtherWord && holdsOtherWord(line)) {
    reading.onlyArithmeticWords = false;
    return reading;
  }
  std::string& expression = reading.expression;
  const std::vector<Lexeme> lexemes = lex(line);
  // Two numbers never run into one: "five 3", "2 five" or "2 and 3" would
  // read as 53, 25 and 23. Digits may still be parted by other characters
  // ("1,000"). `apart`: a blank or a word came after the expression's last
  // character; `endsWithSaidNumber`: that character ends a number said in words.
  bool apart = false;
  bool endsWithSaidNumber = false;
  const auto endsWithNumber = [&expression] {
    return !expression.empty() && (isDigit(expression.back()) || expression.back() == '.');
  };
  for (std::size_t i = 0; i < lexemes.size(); ++i) {
    const Lexeme& lexeme = lexemes[i];
    if (lexeme.type == Lexeme::Type::kBlank) {
      apart = true;
      continue;
    }
    if (lexeme.type == Lexeme::Type::kChar) {
      if (!keptInExpression(lexeme.c)) continue;
      if (isDigit(lexeme.c) && endsWithNumber() && (apart || endsWithSaidNumber)) {
        reading.numbersRead = false;
        return reading;
      }
      expression += lexeme.c;
      apart = false;
      if (lexeme.c != '.') endsWithSaidNumber = false;
      continue;
    }
    apart = true;
    char op = 0;
    std::size_t last = i;
    switch (lexeme.kind) {
      case Kind::kPlus: op = '+'; break;
      case Kind::kMinus: op = '-'; break;
      case Kind::kTimes: op = '*'; break;
      case Kind::kMultiplied:
      case Kind::kDivided:
        last = matchPhrase(lexemes, i, {Kind::kBy});
        if (last != kNone) op = lexeme.kind == Kind::kMultiplied ? '*' : '/';
        break;
      case Kind::kTo:
        last = matchPhrase(lexemes, i, {Kind::kThe, Kind::kPower, Kind::kOf});
        if (last != kNone) op = '^';
        break;
      default:
        break;
    }
    if (op != 0) {
      expression += op;
      apart = false;
      endsWithSaidNumber = false;
      i = last;
    } else if (isNumberKind(lexeme.kind)) {
      std::int64_t value = 0;
      last = readNumber(lexemes, i, value);
      if (last == kNone || endsWithNumber()) {
        reading.numbersRead = false;
        return reading;
      }
      expression += std::to_string(value);
      apart = false;
      endsWithSaidNumber = true;
      i = last;
    } else if (lexeme.kind == Kind::kOther || lexeme.kind == Kind::kMultiplied || lexeme.kind == Kind::kDivided ||
               lexeme.kind == Kind::kBy || lexeme.kind == Kind::kPower) {
      // "multiplied" without "by", "power" outside "to the power of": words
      // of some other sentence.
      reading.onlyArithmeticWords = false;
      if (stopAtOtherWord) return reading;
    }
  }
  return reading;
}

}  // namespace vesko
