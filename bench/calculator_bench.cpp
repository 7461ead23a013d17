// How long the arithmetic stage takes to say "not arithmetic": it looks at
// every line that reaches it. A 20-word chat line, one whose only word outside
// arithmetic comes last, one made only of arithmetic words that fails to
// evaluate at its end, and for comparison a 20-word arithmetic question
// answered in full.
// Target: recognition under 5 us for a 20-word line that is not arithmetic.
#include <benchmark/benchmark.h>

#include "skills/calculator.h"

namespace vesko {
namespace {

void recognise(benchmark::State& state, const char* line, bool expected) {
  const Str text(line);
  Calculator calculator;
  for (auto _ : state) {
    const bool arithmetic = calculator.isMathQuestion(text);
    benchmark::DoNotOptimize(arithmetic);
    if (arithmetic != expected) state.SkipWithError("the line was read the wrong way");
  }
}

void BM_RecogniseChatLine(benchmark::State& state) {
  recognise(state,
            "I was born on 1990-05-01 and I work 9-5 every day, so my number is 555-1234 if you want to call me.",
            false);
}
BENCHMARK(BM_RecogniseChatLine)->Unit(benchmark::kMicrosecond);

void BM_RecogniseLineWithOneOtherWordLast(benchmark::State& state) {
  recognise(state,
            "can you tell me what is twenty-one thousand and five hundred plus three million divided by six "
            "times two to the power of elephants?",
            false);
}
BENCHMARK(BM_RecogniseLineWithOneOtherWordLast)->Unit(benchmark::kMicrosecond);

void BM_RecogniseLineThatEndsInAnOperator(benchmark::State& state) {
  // Every word belongs to arithmetic, so the line is read and evaluated in
  // full before the dangling operator refuses it.
  recognise(state,
            "can you tell me what is twenty-one thousand and five hundred plus three million divided by six "
            "times two to the power of",
            false);
}
BENCHMARK(BM_RecogniseLineThatEndsInAnOperator)->Unit(benchmark::kMicrosecond);

void BM_AnswerArithmeticQuestion(benchmark::State& state) {
  const Str line(
      "please tell me what is twenty-one thousand and five hundred plus (three divided by six) times two to the "
      "power of ten?");
  for (auto _ : state) {
    Calculator calculator;  // a fresh one, so the cache does not answer
    const bool arithmetic = calculator.isMathQuestion(line);
    if (!arithmetic) state.SkipWithError("the question was not taken for arithmetic");
    benchmark::DoNotOptimize(calculator.answerMathQuestion(line));
  }
}
BENCHMARK(BM_AnswerArithmeticQuestion)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vesko
