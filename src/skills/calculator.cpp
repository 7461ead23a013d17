#include "skills/calculator.h"

#include <cmath>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "skills/calculator_words.h"

namespace vesko {

namespace {

constexpr const char* kEvaluationError = "There was an error evaluating that math expression!";
constexpr const char* kParenthesisError = "I can't answer that math question... it's not correctly parenthesized!";
constexpr const char* kNotANumber = "Not a number!";

// Each operator of an expression costs one level of recursion; a line that
// would nest deeper than this is not an arithmetic question, so no line can
// exhaust the stack or keep the bot busy re-scanning it.
constexpr int kMaxDepth = 200;

bool isOperator(char c) { return c == '+' || c == '-' || c == '*' || c == '/' || c == '^'; }

bool keptInExpression(char c) {
  return (c >= '0' && c <= '9') || isOperator(c) || c == '(' || c == ')' || c == '.';
}

// Cuts an expression into operands (numbers, whole parenthesised groups) and
// operators. A fault on the end mark ends the scan with what was pushed; a
// fault anywhere else fails it. Every token but the "*" put between a number or
// group and a following "(" is a run of `e`, so tokens are views into it.
bool scan(const std::string& e, std::vector<std::string_view>& tokens) {
  enum class State { kStart, kNumber, kGroup, kAfterGroup, kAfterOp, kEnded };
  static constexpr std::string_view kTimes = "*";
  const std::string_view text(e);
  State state = State::kStart;
  std::size_t tokenStart = 0;  // the current token is text[tokenStart, k)
  int depth = 0;
  std::size_t opAt = 0;
  auto startToken = [&](std::size_t k) { tokenStart = k; };
  auto pushToken = [&](std::size_t end) { tokens.push_back(text.substr(tokenStart, end - tokenStart)); };
  for (std::size_t k = 0; k <= e.size(); ++k) {
    const bool endMark = k == e.size();
    const char c = endMark ? '@' : e[k];
    bool fault = false;
    switch (state) {
      case State::kStart:
        if (c == '+' || c == '*' || c == '/' || c == '^' || c == '@') {
          fault = true;
        } else if (c == '(') {
          startToken(k);
          depth = 1;
          state = State::kGroup;
        } else {
          startToken(k);
          state = State::kNumber;
        }
        break;
      case State::kNumber:
        if (isOperator(c)) {
          pushToken(k);
          opAt = k;
          state = State::kAfterOp;
        } else if (c == '@') {
          pushToken(k);
          state = State::kEnded;
        } else if (c == '(') {
          pushToken(k);
          tokens.push_back(kTimes);
          startToken(k);
          depth = 1;
          state = State::kGroup;
        }
        break;
      case State::kGroup:
        if (c == '(') {
          ++depth;
        } else if (c == ')' && depth == 1) {
          pushToken(k + 1);
          state = State::kAfterGroup;
        } else if (c == ')') {
          --depth;
        }
        break;
      case State::kAfterGroup:
        if (isOperator(c)) {
          opAt = k;
          state = State::kAfterOp;
        } else if (c == '(') {
          tokens.push_back(kTimes);
          startToken(k);
          depth = 1;
          state = State::kGroup;
        } else {
          fault = true;
        }
        break;
      case State::kAfterOp:
        tokens.push_back(text.substr(opAt, 1));
        if (c == '+' || c == '*' || c == '/' || c == '^' || c == '@') {
          fault = true;
        } else {
          startToken(k);
          if (c == '(') depth = 1;
          state = c == '(' ? State::kGroup : State::kNumber;
        }
        break;
      case State::kEnded:
        fault = true;
        break;
    }
    if (fault) {
      if (endMark) break;
      return false;
    }
  }
  return true;
}

constexpr int kPowerRank = 4;

int rank(std::string_view token) {
  if (token == "+") return 0;
  if (token == "-") return 1;
  if (token == "*") return 2;
  if (token == "/") return 3;
  if (token == "^") return kPowerRank;
  return 100;
}

std::string joined(const std::vector<std::string_view>& tokens, std::size_t from, std::size_t to) {
  std::size_t size = 0;
  for (std::size_t i = from; i < to; ++i) size += tokens[i].size();
  std::string out;
  out.reserve(size);
  for (std::size_t i = from; i < to; ++i) out += tokens[i];
  return out;
}

}  // namespace

Str Calculator::translateNumberWords(const Str& line) {
  // A text of expression characters alone (every part that evaluate splits
  // off) holds no word to translate and comes through unchanged.
  bool plain = true;
  for (char c : line.std()) plain = plain && keptInExpression(c);
  if (plain) return line;
  ArithmeticReading reading = ArithmeticWords::read(line.std(), false);
  // No expression at all rather than a wrong one: "five three plus 1" is no
  // sum of 53 and 1.
  if (!reading.numbersRead) return Str();
  return Str(std::move(reading.expression));
}

float Calculator::evaluate(const Str& text) {
  float value = 0.0f;
  const char* error = evaluateLine(text, translateNumberWords(text).std(), value);
  if (error == kNotANumber) throw NotANumber();
  if (error != nullptr) throw MathError(error);
  return value;
}

const char* Calculator::evaluateLine(const Str& text, std::string expression, float& value) {
  // Parts of a failing expression may have evaluated on the way; the cache
  // still holds what it held before.
  const Str cachedExpression = lastExpression_;
  const float cachedValue = lastValue_;
  const char* error = evaluateAt(text, std::move(expression), 0, value);
  if (error != nullptr) {
    lastExpression_ = cachedExpression;
    lastValue_ = cachedValue;
  }
  return error;
}

// Failures come back as the text evaluate throws rather than as exceptions:
// the arithmetic stage refuses many lines, and it must stay quick.
const char* Calculator::evaluateAt(const Str& text, std::string e, int depth, float& value) {
  if (text.empty()) return kEvaluationError;
  if (text == lastExpression_) {
    value = lastValue_;
    return nullptr;
  }
  if (depth > kMaxDepth) return kEvaluationError;

  int balance = 0;
  for (char c : e) balance += c == '(' ? 1 : c == ')' ? -1 : 0;
  if (balance != 0) return kParenthesisError;

  // One pair of parentheses around the whole expression goes.
  if (!e.empty() && e[0] == '(') {
    int level = 1;
    std::size_t i = 1;
    for (; i < e.size(); ++i) {
      level += e[i] == '(' ? 1 : e[i] == ')' ? -1 : 0;
      if (level == 0) break;
    }
    if (level == 0 && i == e.size() - 1) e = e.substr(1, e.size() - 2);
  }

  std::vector<std::string_view> tokens;
  if (!scan(e, tokens)) return kEvaluationError;
  if (tokens.size() == 1) {
    try {
      value = Str(tokens[0]).toFloat();
    } catch (const NotANumber&) {
      return kNotANumber;
    }
  } else {
    // The loosest operator splits the expression. Among operators of equal
    // rank the rightmost splits, so a chain groups from the left as in school
    // (10-4-3 is (10-4)-3); "^" alone splits at its leftmost, so 2^3^2 is
    // 2^(3^2).
    std::size_t chosen = 0;
    int least = 100;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const int r = rank(tokens[i]);
      if (r < least || (r == least && r < kPowerRank)) {
        least = r;
        chosen = i;
      }
    }
    if (tokens.empty() || least == 100) return kEvaluationError;
    // Both parts are runs of expression characters, their own translation.
    // Every intermediate value is a single-precision float.
    std::string leftPart = joined(tokens, 0, chosen);
    std::string rightPart = joined(tokens, chosen + 1, tokens.size());
    float left = 0.0f;
    float right = 0.0f;
    if (const char* error = evaluateAt(Str(leftPart), leftPart, depth + 1, left)) return error;
    if (const char* error = evaluateAt(Str(rightPart), rightPart, depth + 1, right)) return error;
    switch (tokens[chosen][0]) {
      case '+': value = left + right; break;
      case '-': value = left - right; break;
      case '*': value = left * right; break;
      case '/': value = left / right; break;
      default: value = static_cast<float>(std::pow(static_cast<double>(left), static_cast<double>(right))); break;
    }
  }
  lastExpression_ = text;
  lastValue_ = value;
  return nullptr;
}

bool Calculator::isMathQuestion(const Str& line) {
  // Most lines are not arithmetic, and their first word that has no place in
  // a sum settles it.
  const ArithmeticReading reading = ArithmeticWords::read(line.std(), true);
  if (!reading.onlyArithmeticWords || !reading.numbersRead) return false;
  // A sum needs a number too: a lone "-" or "minus" would otherwise be
  // answered 0.
  bool hasOperator = false;
  bool hasDigit = false;
  for (char c : reading.expression) {
    hasOperator = hasOperator || isOperator(c);
    hasDigit = hasDigit || (c >= '0' && c <= '9');
  }
  if (!hasOperator || !hasDigit) return false;
  float value = 0.0f;
  return evaluateLine(line, reading.expression, value) == nullptr;
}

Str Calculator::answerMathQuestion(const Str& line) {
  float value = 0.0f;
  if (const char* error = evaluateLine(line, translateNumberWords(line).std(), value)) return Str(error);
  // The stream's default floating format: six significant digits, general
  // notation, no trailing zeros.
  std::ostringstream out;
  out << value;
  return Str(out.str());
}

}  // namespace vesko
