// Calculator: answers arithmetic typed in digits or number words
// ("what is two plus three?"). A line that looks like arithmetic but cannot be
// evaluated is simply not an arithmetic question.
#pragma once

#include <stdexcept>

#include "text/str.h"

namespace vesko {

// What evaluate throws besides NotANumber; what() is the text the bot would say.
class MathError : public std::runtime_error {
 public:
  explicit MathError(const char* text) : std::runtime_error(text) {}
};

class Calculator {
 public:
  // The line's expression: number words become digits and operators, other
  // words stay as typed, then everything but digits, "+-*/()." and "^" goes.
  static Str translateNumberWords(const Str& line);
  // True when the line holds an operator after translation and evaluates.
  bool isMathQuestion(const Str& line);
  // The value of `text` in single precision. Throws MathError or NotANumber.
  // The last text that evaluated is remembered with its value.
  float evaluate(const Str& text);
  // The value in the stream's default floating format, or the error text.
  Str answerMathQuestion(const Str& line);

  const Str& lastExpression() const { return lastExpression_; }

 private:
  float evaluateAt(const Str& text, int depth);

  Str lastExpression_;
  float lastValue_ = 0.0f;
};

}  // namespace vesko
