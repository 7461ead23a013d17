// ArithmeticWords: how a typed line reads as arithmetic. Number words said the
// way people say them ("twenty-one", "one hundred and five", "divided by")
// become digits and operators, and the reading tells whether every word of the
// line belongs to a sum at all, so "I work 9-5 every day" is no arithmetic.
#pragma once

#include <string>
#include <string_view>

namespace vesko {

struct ArithmeticReading {
  // The line's digits, "+-*/^().", with its number words turned into digits
  // and its operator words into operators; everything else dropped.
  std::string expression;
  // False when a run of number words makes no number (*five three*, *hundred
  // hundred*) or a number said in words runs into another number.
  bool numbersRead = true;
  // False when the line holds a word that is neither a number word, an
  // operator word nor one of the few words that frame a question.
  bool onlyArithmeticWords = true;
};

class ArithmeticWords {
 public:
  // With `stopAtOtherWord` the reading ends at the first word that does not
  // belong to arithmetic (recognition needs no more), leaving the expression
  // unfinished; without it the whole line is read.
  static ArithmeticReading read(std::string_view line, bool stopAtOtherWord);
};

}  // namespace vesko
