// Calculator: answers arithmetic typed in digits or number words
// ("what is twenty one plus one?", "(2+3)*4"). Only a line made of numbers,
// operators and the words that frame a question is arithmetic, and one that
// cannot be evaluated is simply not an arithmetic question.
#pragma once

#include <stdexcept>
#include <string>

#include "text/str.h"

namespace vesko {

// What evaluate throws besides NotANumber; what() is the text the bot would say.
class MathError : public std::runtime_error {
 public:
  explicit MathError(const char* text) : std::runtime_error(text) {}
};

class Calculator {
 public:
  // The line's expression: number words become digits and operator words
  // operators, then everything but digits, "+-*/()." and "^" goes. Empty when
  // a run of number words makes no number ("five three", "hundred hundred").
  static Str translateNumberWords(const Str& line);
  // True when every word of the line belongs to arithmetic, its expression
  // holds an operator and a digit, and it evaluates.
  bool isMathQuestion(const Str& line);
  // The value of `text` in single precision. Throws MathError or NotANumber.
  // The last text that evaluated is remembered with its value.
  float evaluate(const Str& text);
  // The value in the stream's default floating format, or the error text.
  Str answerMathQuestion(const Str& line);

  const Str& lastExpression() const { return lastExpression_; }

 private:
  // Evaluation of `text` whose translation is `expression`; nullptr, or the
  // text that evaluate throws. A failure leaves the cache as it was.
  const char* evaluateLine(const Str& text, std::string expression, float& value);
  const char* evaluateAt(const Str& text, std::string expression, int depth, float& value);

  Str lastExpression_;
  float lastValue_ = 0.0f;
};

}  // namespace vesko
