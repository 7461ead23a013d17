// Fuzz target: arithmetic on arbitrary text. The calculator may refuse a line
// (MathError, NotANumber) but must never crash, hang or throw anything else,
// and a line it takes for an arithmetic question gets its value, never an
// error text. The reading of number words must not depend on letter case, and
// a word that has no place in a sum must make any line no arithmetic.
#include <string>

#include "fuzz_support.h"
#include "skills/calculator.h"

using namespace vesko;

namespace {

bool isErrorText(const Str& answer) {
  return answer == "There was an error evaluating that math expression!" ||
         answer == "I can't answer that math question... it's not correctly parenthesized!" ||
         answer == "Not a number!";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Str text(fuzz::asText(data, size));
  Calculator calculator;
  const Str expression = Calculator::translateNumberWords(text);
  for (char c : expression.std())
    fuzz::require(std::string("0123456789+-*/^().").find(c) != std::string::npos,
                  "the expression holds a character evaluate does not take");
  fuzz::require(Calculator::translateNumberWords(text.upper()) == expression,
                "number words read differently in upper case");
  try {
    (void)calculator.evaluate(text);
  } catch (const MathError&) {
  } catch (const NotANumber&) {
  }
  if (calculator.isMathQuestion(text)) {
    const Str answer = calculator.answerMathQuestion(text);
    fuzz::require(!answer.empty() && !isErrorText(answer), "an arithmetic question got no value");
  }
  Calculator fresh;
  fuzz::require(!fresh.isMathQuestion(text + Str(" elephant")) && !fresh.isMathQuestion(Str("Bob ") + text),
                "a line with a word outside arithmetic was taken for arithmetic");
  return 0;
}
