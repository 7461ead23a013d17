// Fuzz target: arithmetic on arbitrary text. The calculator may refuse a line
// (MathError, NotANumber) but must never crash, hang or throw anything else,
// and a line it takes for an arithmetic question gets an answer.
#include "fuzz_support.h"
#include "skills/calculator.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Str text(fuzz::asText(data, size));
  Calculator calculator;
  (void)Calculator::translateNumberWords(text);
  try {
    (void)calculator.evaluate(text);
  } catch (const MathError&) {
  } catch (const NotANumber&) {
  }
  fuzz::require(!calculator.isMathQuestion(text) || !calculator.answerMathQuestion(text).empty(),
                "an arithmetic question got an empty answer");
  return 0;
}
