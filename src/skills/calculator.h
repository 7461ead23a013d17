// Calculator: answers arithmetic typed in digits or number words
// ("what is two plus three?"). A line that looks like arithmetic but cannot be
// evaluated is simply not an arithmetic question.
#pragma once

#include "text/str.h"

namespace vesko {

class Calculator {
 public:
  // True when the line holds an operator after translation and evaluates.
  bool isMathQuestion(const Str& line);
  // The value in the stream's default floating format, or the error text.
  Str answerMathQuestion(const Str& line);
};

}  // namespace vesko
