#include "text/str.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vesko {
namespace {

TEST(Str, ToIntAcceptsOptionalMinusAndDigitsOnly) {
  EXPECT_EQ(Str("").toInt(), 0);
  EXPECT_EQ(Str("-").toInt(), 0);
  EXPECT_EQ(Str("-12").toInt(), -12);
  EXPECT_EQ(Str("007").toInt(), 7);
  for (const char* bad : {"12a", " 1", "+5", "1-2", "1 "}) {
    EXPECT_THROW(Str(bad).toInt(), NotANumber) << bad;
  }
  try {
    Str("x").toInt();
  } catch (const NotANumber& e) {
    EXPECT_STREQ(e.what(), "Not a number!");
  }
}

TEST(Str, ToIntWrapsOnOverflowWithoutTrapping) {
  EXPECT_EQ(Str("4294967296").toInt(), 0);
  EXPECT_EQ(Str("2147483648").toInt(), INT32_MIN);
  EXPECT_EQ(Str("99999999999999999999999").toInt(), Str("99999999999999999999999").toInt());
}

TEST(Str, ToFloatReadsFractionAfterLastPoint) {
  EXPECT_FLOAT_EQ(Str("2.5").toFloat(), 2.5f);
  EXPECT_FLOAT_EQ(Str(".5").toFloat(), 0.5f);
  EXPECT_FLOAT_EQ(Str("-1.25").toFloat(), -1.25f);
  EXPECT_FLOAT_EQ(Str("3").toFloat(), 3.0f);
  EXPECT_FLOAT_EQ(Str("-0.5").toFloat(), -0.5f);
  EXPECT_THROW(Str("1.2.3").toFloat(), NotANumber);
}

TEST(Str, SearchesAndAffixes) {
  EXPECT_EQ(Str("ABC").find(""), 0);
  EXPECT_EQ(Str("AB").find("ABC"), -1);
  EXPECT_EQ(Str("ABCABC").find("CA"), 2);
  EXPECT_TRUE(Str("X").startsWith(""));
  EXPECT_TRUE(Str("X").endsWith(""));
  EXPECT_FALSE(Str("AB").endsWith("XAB"));
}

TEST(Str, CaseAndPunctuation) {
  EXPECT_EQ(Str("(Hi), you!?").stripPunctuation(), "Hi you");
  EXPECT_EQ(Str("a1-b").upper(), "A1-B");
  EXPECT_EQ(Str("A1-B").lower(), "a1-b");
  Str s = "HELLO!";
  EXPECT_EQ(s--, "HELLO!");
  EXPECT_EQ(s, "HELLO");
  Str e;
  EXPECT_EQ(e--, "");
  EXPECT_EQ(e, "");
}

TEST(Str, OrdersBytesUnsigned) {
  EXPECT_LT(Str("abc"), Str("abd"));
  EXPECT_LT(Str("ab"), Str("abc"));
  EXPECT_GT(Str("B"), Str("A"));
  EXPECT_LT(Str("A"), Str("a"));
  EXPECT_LT(Str("z"), Str("\xe9"));
}

TEST(Str, ReadLineSkipsBlankLinesAndCarriageReturns) {
  std::istringstream in("\r\n\r\n  hello\r\nworld");
  Str line;
  readLine(in, line);
  EXPECT_EQ(line, "hello");
  EXPECT_TRUE(in.good());
  readLine(in, line);
  EXPECT_EQ(line, "world");
  EXPECT_FALSE(in.good());
  readLine(in, line);
  EXPECT_EQ(line, "");
}

TEST(Str, ReadLineHasNoLengthCap) {
  std::istringstream in(std::string(100000, 'x') + "\n");
  Str line;
  readLine(in, line);
  EXPECT_EQ(line.length(), 100000);
}

}  // namespace
}  // namespace vesko
