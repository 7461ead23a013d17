#include "skills/calculator_words.h"

#include <gtest/gtest.h>

namespace vesko {
namespace {

TEST(ArithmeticWords, ReadsNumbersTheWayTheyAreSaid) {
  struct Case {
    const char* line;
    const char* expression;
  } cases[] = {
      {"zero", "0"},
      {"nineteen", "19"},
      {"ninety-nine", "99"},
      {"one hundred", "100"},
      {"hundred and one", "101"},
      {"one hundred twenty three", "123"},
      {"one thousand two hundred thirty four", "1234"},
      {"two thousand and twenty four", "2024"},
      {"twenty five hundred", "2500"},
      {"one hundred thousand", "100000"},
      {"nine hundred ninety-nine million nine hundred ninety-nine thousand nine hundred ninety-nine", "999999999"},
      {"two million and five", "2000005"},
      {"thousand", "1000"},
      {"(two plus three) times four", "(2+3)*4"},
      {"((three))", "((3))"},
      {"twelve multiplied  by ten divided by two", "12*10/2"},
      {"two to the power of three to the power of two", "2^3^2"},
      {"1,000 plus one", "1000+1"},
  };
  for (const Case& c : cases) {
    const ArithmeticReading reading = ArithmeticWords::read(c.line, false);
    EXPECT_TRUE(reading.numbersRead) << c.line;
    EXPECT_TRUE(reading.onlyArithmeticWords) << c.line;
    EXPECT_EQ(reading.expression, c.expression) << c.line;
  }
}

TEST(ArithmeticWords, NumberWordsThatMakeNoNumberAreRefused) {
  for (const char* line :
       {"five three", "hundred hundred", "one million million million", "eleven hundred thousand",
        "one thousand fifteen hundred", "thousand thousand", "twenty ten", "one hundred and thousand",
        "two thousand one million", "zero one", "twenty-one one", "seven 7", "7 seven", "7 and 7"}) {
    EXPECT_FALSE(ArithmeticWords::read(line, false).numbersRead) << line;
  }
}

// Words belong to arithmetic only where they make an operator: "by", "power"
// and "multiplied" alone are words of some other sentence.
TEST(ArithmeticWords, OperatorWordsCountOnlyAsWholePhrases) {
  EXPECT_FALSE(ArithmeticWords::read("two multiplied three", false).onlyArithmeticWords);
  EXPECT_FALSE(ArithmeticWords::read("two by three", false).onlyArithmeticWords);
  EXPECT_FALSE(ArithmeticWords::read("two to the power three", false).onlyArithmeticWords);
  const ArithmeticReading to = ArithmeticWords::read("what is two to three", false);
  EXPECT_TRUE(to.onlyArithmeticWords);  // "to" frames a question too
  EXPECT_FALSE(to.numbersRead);
  const ArithmeticReading full = ArithmeticWords::read("sci-fi is two plus two", false);
  EXPECT_FALSE(full.onlyArithmeticWords);
  EXPECT_EQ(full.expression, "-2+2");  // read to the end when asked to
}

}  // namespace
}  // namespace vesko
