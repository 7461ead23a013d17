#include "skills/calculator.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace vesko {
namespace {

TEST(Calculator, TranslatesNumberWordsAndDropsTheRest) {
  EXPECT_EQ(Calculator::translateNumberWords("What is TWO plus 3?"), "2+3");
  EXPECT_EQ(Calculator::translateNumberWords("what is (2+3)*4?"), "(2+3)*4");
  EXPECT_EQ(Calculator::translateNumberWords("I like sci-fi"), "-");
  EXPECT_EQ(Calculator::translateNumberWords("(two times twenty)"), "2*20");
}

TEST(Calculator, AnswersArithmeticWithTheUsualBindings) {
  struct Case {
    const char* line;
    const char* answer;
  } cases[] = {
      {"two plus two", "4"},   {"What is 7 times 6?", "42"}, {"what is two plus three?", "5"},
      {"(2+3)*4", "20"},       {"10 / 4", "2.5"},            {"8-2-1", "7"},
      {"8/4/2", "4"},          {"2^3^2", "512"},             {"8-2+1", "7"},
      {"6/2*3", "9"},          {"2*-3", "-6"},               {"5--3", "8"},
      {"2(3+4)", "14"},        {"(1+1)(3)", "6"},            {"(2+3)*(4)", "20"},
      {"1/3", "0.333333"},     {"2.5 plus 2.5", "5"},        {"I like sci-fi", "0"},
      {"1/0", "inf"},          {"what is 2*(3+4)", "14"},
  };
  for (const Case& c : cases) {
    Calculator calculator;
    EXPECT_TRUE(calculator.isMathQuestion(c.line)) << c.line;
    EXPECT_EQ(calculator.answerMathQuestion(c.line), c.answer) << c.line;
  }
}

TEST(Calculator, LinesThatDoNotEvaluateAreNoQuestions) {
  for (const char* line : {"((2+3))", "(2+3", "2+", "*5", "hello there", ")(+"}) {
    Calculator calculator;
    EXPECT_FALSE(calculator.isMathQuestion(line)) << line;
  }
  Calculator calculator;
  EXPECT_EQ(calculator.answerMathQuestion("(2+3"),
            "I can't answer that math question... it's not correctly parenthesized!");
  EXPECT_EQ(calculator.answerMathQuestion("2+"), "There was an error evaluating that math expression!");
  EXPECT_EQ(calculator.answerMathQuestion("((2+3))"), "Not a number!");
}

TEST(Calculator, RemembersTheLastExpressionItEvaluated) {
  Calculator calculator;
  EXPECT_EQ(calculator.evaluate("2*3"), 6.0f);
  EXPECT_EQ(calculator.lastExpression(), "2*3");
  EXPECT_THROW(calculator.evaluate("2+"), MathError);
  EXPECT_EQ(calculator.lastExpression(), "2*3");  // a failure keeps the cache
  EXPECT_EQ(calculator.evaluate("2*3"), 6.0f);
}

TEST(Calculator, HugeLinesAreRefusedQuicklyWithoutDeepRecursion) {
  std::string sum = "1";
  for (int i = 0; i < 10000; ++i) sum += "+1";
  std::string nested;
  for (int i = 0; i < 10000; ++i) nested += "(1+";
  nested += "1" + std::string(10000, ')');
  Calculator calculator;
  // Processor time, so a busy machine does not fail the test; unbounded
  // recursion would overflow the stack or run for minutes.
  const std::clock_t start = std::clock();
  EXPECT_FALSE(calculator.isMathQuestion(sum.c_str()));
  EXPECT_FALSE(calculator.isMathQuestion(nested.c_str()));
  EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, 30.0);
  std::string small = "1";
  for (int i = 0; i < 100; ++i) small += "+1";
  EXPECT_EQ(calculator.answerMathQuestion(small.c_str()), "101");
}

}  // namespace
}  // namespace vesko
