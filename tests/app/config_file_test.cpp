#include "app/config_file.h"

#include <gtest/gtest.h>

#include <random>

#include "app/message_file.h"

namespace vesko::app {
namespace {

TEST(ConfigFile, ReadsTheWindowsLinesAndSkipsBlankOnes) {
  const auto reading = parseConfig(std::string("\n0\r\n\n  /minds/a b.mnd\n7\n10"));
  EXPECT_TRUE(reading.warnings.empty());
  EXPECT_EQ(reading.config.firstRun, 0);
  EXPECT_EQ(reading.config.defaultMindFile, "/minds/a b.mnd");
  EXPECT_EQ(reading.config.userColour, 7);
  EXPECT_EQ(reading.config.botColour, 10);
}

TEST(ConfigFile, FirstRunLeavesTheColoursAtTheWindowsDefaults) {
  const auto reading = parseConfig(std::string("1\nvesko.mnd\n0\n0\n"));
  EXPECT_EQ(reading.config.firstRun, 1);
  EXPECT_EQ(reading.config.userColour, kDefaultUserColour);
  EXPECT_EQ(reading.config.botColour, kDefaultBotColour);
}

TEST(ConfigFile, AMissingFileReadsAsZeroesAndAnEmptyName) {
  const auto reading = readConfigFile("/nonexistent/config.dat");
  EXPECT_TRUE(reading.warnings.empty());
  EXPECT_EQ(reading.config.firstRun, 0);
  EXPECT_EQ(reading.config.defaultMindFile, "");
  EXPECT_EQ(reading.config.userColour, 0);
  EXPECT_EQ(reading.config.botColour, 0);
}

TEST(ConfigFile, BadLinesFallBackToDefaultsAndNameTheLine) {
  const auto reading = parseConfig(std::string("yes\nm.mnd\n11\nblue\n"));
  EXPECT_EQ(reading.config.firstRun, 0);
  EXPECT_EQ(reading.config.userColour, kDefaultUserColour);
  EXPECT_EQ(reading.config.botColour, kDefaultBotColour);
  ASSERT_EQ(reading.warnings.size(), 3u);
  EXPECT_NE(reading.warnings[0].find("line 1"), std::string::npos);
  EXPECT_NE(reading.warnings[1].find("line 3"), std::string::npos);
  EXPECT_NE(reading.warnings[2].find("line 4"), std::string::npos);
  EXPECT_EQ(parseConfig(std::string("0\nm\n-1\n3\n")).config.userColour, kDefaultUserColour);
}

TEST(ConfigFile, WritesWhatItReadsBack) {
  const Config written{0, "/home/ann/.local/share/vesko/vesko.mnd", 4, 9};
  EXPECT_EQ(formatConfig(written), "0\n/home/ann/.local/share/vesko/vesko.mnd\n4\n9\n");
  const Config read = parseConfig(formatConfig(written)).config;
  EXPECT_EQ(read.defaultMindFile, written.defaultMindFile);
  EXPECT_EQ(read.userColour, 4);
  EXPECT_EQ(read.botColour, 9);
}

TEST(ConfigFile, RandomBytesNeverGiveAColourOutsideTheTable) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 40, '\0');
    for (char& c : text) c = "01\n-9x \r"[random() % 8];
    const Config config = parseConfig(text).config;
    EXPECT_GE(config.userColour, 0);
    EXPECT_LT(config.userColour, kColourCount);
    EXPECT_GE(config.botColour, 0);
    EXPECT_LT(config.botColour, kColourCount);
  }
}

TEST(ChatMessage, ReadsNameAndMessageSkippingBlankLines) {
  const ChatMessage message = parseChatMessage(std::string("\n\n  Ann\r\n\nhello there\r\n"));
  EXPECT_EQ(message.userName, "Ann");
  EXPECT_EQ(message.message, "hello there");
  EXPECT_EQ(parseChatMessage(std::string("Ann")).message, "");
  EXPECT_EQ(parseChatMessage(std::string("Ann\nno line end")).message, "no line end");
  EXPECT_EQ(formatChatMessage(message), "Ann\nhello there\n");
  EXPECT_EQ(flattenLine("a\r\nb\nc"), "a  b c");
}

}  // namespace
}  // namespace vesko::app
