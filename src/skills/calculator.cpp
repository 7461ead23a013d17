#include "skills/calculator.h"

namespace vesko {

// Placeholder until arithmetic lands.
bool Calculator::isMathQuestion(const Str&) { return false; }
Str Calculator::answerMathQuestion(const Str&) { return Str(); }

}  // namespace vesko
