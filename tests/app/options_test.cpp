#include "app/options.h"

#include <gtest/gtest.h>

namespace vesko::app {
namespace {

constexpr OptionSpec kSpecs[] = {{"home", 0, true}, {"force", 'f', false}, {"user", 'u', true}};

ParsedOptions parse(std::vector<std::string> args, bool stopAtOperand = false) {
  args.insert(args.begin(), "vesko");
  return parseOptions(args, 1, kSpecs, stopAtOperand);
}

TEST(OptionParser, TakesValuesInEveryGnuSpellingAndMixesOperands) {
  const auto parsed = parse({"a", "--home", "/x", "-f", "--user=Ann", "b", "-uBob", "--", "--force"});
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.value("home"), "/x");
  EXPECT_TRUE(parsed.has("force"));
  EXPECT_EQ(parsed.value("user"), "Bob");  // the last one wins
  EXPECT_EQ(parsed.operands, (std::vector<std::string>{"a", "b", "--force"}));
  EXPECT_EQ(parse({"--user="}).value("user"), "");
  EXPECT_EQ(parse({"-"}).operands, std::vector<std::string>{"-"});
}

TEST(OptionParser, StopsBeforeTheCommandWhenAsked) {
  const auto parsed = parse({"--home", "h", "chat", "--force"}, true);
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.next, 3u);
  EXPECT_TRUE(parsed.operands.empty());
  EXPECT_FALSE(parsed.has("force"));
}

TEST(OptionParser, ReportsUsageErrors) {
  EXPECT_EQ(parse({"--nope"}).error, "unknown option '--nope'");
  EXPECT_EQ(parse({"-x"}).error, "unknown option '-x'");
  EXPECT_EQ(parse({"--home"}).error, "option '--home' needs a value");
  EXPECT_EQ(parse({"-u"}).error, "option '-u' needs a value");
  EXPECT_EQ(parse({"--force=yes"}).error, "option '--force' takes no value");
}

TEST(OptionParser, CountsAreWholeNumbersWithinTheirRange) {
  EXPECT_EQ(parseCount("0", 10), 0u);
  EXPECT_EQ(parseCount("4294967295", 4294967295ull), 4294967295ull);
  for (const char* bad : {"", "-1", "1x", " 1", "4294967296", "99999999999999999999999"})
    EXPECT_FALSE(parseCount(bad, 4294967295ull)) << bad;
}

}  // namespace
}  // namespace vesko::app
