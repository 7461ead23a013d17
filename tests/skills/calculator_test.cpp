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
  // A parenthesis glued to a number word stays, so "(two plus three) times
  // four" is 20 and not 14.
  EXPECT_EQ(Calculator::translateNumberWords("(two times twenty)"), "(2*20)");
  EXPECT_EQ(Calculator::translateNumberWords("five three plus 1"), "");
}

TEST(Calculator, AnswersArithmeticWithTheUsualBindings) {
  struct Case {
    const char* line;
    const char* answer;
  } cases[] = {
      {"two plus two", "4"},   {"What is 7 times 6?", "42"}, {"what is two plus three?", "5"},
      {"(2+3)*4", "20"},       {"10 / 4", "2.5"},            {"2^3^2", "512"},
      {"8-2+1", "7"},
      {"6/2*3", "9"},          {"2*-3", "-6"},               {"5--3", "8"},
      {"2(3+4)", "14"},        {"(1+1)(3)", "6"},            {"(2+3)*(4)", "20"},
      {"1/3", "0.333333"},     {"2.5 plus 2.5", "5"},
      {"1/0", "inf"},          {"what is 2*(3+4)", "14"},
  };
  for (const Case& c : cases) {
    Calculator calculator;
    EXPECT_TRUE(calculator.isMathQuestion(c.line)) << c.line;
    EXPECT_EQ(calculator.answerMathQuestion(c.line), c.answer) << c.line;
  }
}

// Chains of one operator group from the left as people learned at school
// (8-2-1 used to be 8-(2-1) = 7); powers still group from the right.
TEST(Calculator, EqualOperatorsGroupFromTheLeftButPowersFromTheRight) {
  struct Case {
    const char* line;
    const char* answer;
  } cases[] = {
      {"10-4-3", "3"}, {"100/10/2", "5"}, {"8-2-1", "5"},   {"8/4/2", "1"},    {"2^3^2", "512"},
      {"1-2-3-4", "-8"}, {"64/4/2*3", "24"}, {"2-3+4-5", "-2"}, {"2*3^2^2", "162"}, {"1+2+3", "6"},
  };
  for (const Case& c : cases) {
    Calculator calculator;
    EXPECT_EQ(calculator.answerMathQuestion(c.line), c.answer) << c.line;
  }
}

TEST(Calculator, ReadsNumberWordsAsPeopleSayThem) {
  struct Case {
    const char* line;
    const char* answer;
  } cases[] = {
      {"what is twenty one plus one?", "22"},
      {"What's twenty-one plus one", "22"},
      {"what is 6 divided by 3?", "2"},
      {"what is (two plus three) times four?", "20"},
      {"two to the power of ten", "1024"},
      {"seven multiplied by six", "42"},
      {"one hundred and five minus zero", "105"},
      {"two thousand plus nineteen", "2019"},
      {"fifteen hundred plus ninety-nine", "1599"},
      {"one million two hundred thousand and one minus one", "1.2e+06"},
      {"nine hundred ninety nine thousand nine hundred ninety nine plus one", "1e+06"},
      {"hundred plus thousand", "1100"},
      {"twenty - one", "19"},  // a hyphen between blanks is a minus
      {"twenty-one-one", "20"},
      {"five-three", "2"},  // a hyphen joins only a ten to a unit
      {"-one", "-1"},
      {"can you tell me how much is 12 plus thirteen please", "25"},
      {"what is 9-5?", "4"},
      {"9-5", "4"},
      {"WHAT IS TEN TIMES TEN", "100"},
      {"what is 1,000 plus 1", "1001"},
      {"what\xE2\x80\x99s two plus two", "4"},
  };
  for (const Case& c : cases) {
    Calculator calculator;
    EXPECT_TRUE(calculator.isMathQuestion(c.line)) << c.line;
    EXPECT_EQ(calculator.answerMathQuestion(c.line), c.answer) << c.line;
  }
}

// Every line here used to get a number: sci-fi was 0, 9-5 every day was 4, a
// phone number -679 and a birthday 1984. They belong to the other stages.
TEST(Calculator, LinesWithOtherWordsOrNumberWordsThatMakeNoNumberAreNoArithmetic) {
  for (const char* line : {
           "I like sci-fi", "I work 9-5 every day", "my number is 555-1234", "I was born on 1990-05-01",
           "what is 2x3", "five three plus 1", "what is hundred hundred plus 1", "one million million million plus 1",
           "twenty-", "and and", "five and three plus 1", "twenty one 5 plus 1", "2 five plus 1", "two multiplied three",
           "one hundred and hundred plus 1", "nineteen ninety minus 1", "zero zero plus 1", "two thousand thousand plus 1",
           "a hundred plus 1", "2.five plus 1", "to the power of", "what is caf\xC3\xA9 plus 1", "by 3 plus 2",
           "what is 2 plus 2 and 3 plus 3", "2 3 plus 1", "minus", "what is -?",
       }) {
    Calculator calculator;
    EXPECT_FALSE(calculator.isMathQuestion(line)) << line;
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
  std::string words;
  for (int i = 0; i < 5000; ++i) words += "twenty one plus ";
  words += "one";
  std::string run;
  for (int i = 0; i < 10000; ++i) run += "one ";
  EXPECT_FALSE(calculator.isMathQuestion(words.c_str()));
  EXPECT_FALSE(calculator.isMathQuestion(run.c_str()));
  EXPECT_EQ(Calculator::translateNumberWords(run.c_str()), "");
  std::string small = "1";
  for (int i = 0; i < 100; ++i) small += "+1";
  EXPECT_EQ(calculator.answerMathQuestion(small.c_str()), "101");
}

}  // namespace
}  // namespace vesko
