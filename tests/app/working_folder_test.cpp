// Where the program works (--home, config.dat here, the data home), what it
// lays out there on a first start, and its readers of config.dat and chat.msg.
// (The folder lock is tested through the chat it refuses and by the
// reliability tests' shared folder; random bytes in config.dat and chat.msg,
// colour ranges and writing back by the fuzz target.)
#include "app/working_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "app/config_file.h"
#include "app/distribution.h"
#include "app/message_file.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

std::map<std::string, std::string> fakeVariables;  // the whole environment chooseWorkingFolder sees
std::optional<std::string> fakeEnvironment(const char* name) {
  const auto found = fakeVariables.find(name);
  return found == fakeVariables.end() ? std::nullopt : std::optional(found->second);
}

FolderChoice choose(std::optional<std::string> home, const std::string& here, FolderUse use = FolderUse::kInteractive) {
  return chooseWorkingFolder(home, use, here, fakeEnvironment);
}

TEST(WorkingFolder, FollowsHomeThenConfigHereThenTheDataHome) {
  ScratchDir scratch;
  const std::string here = slashed(scratch) + "here";
  fs::create_directories(here);
  fakeVariables = {{"XDG_DATA_HOME", slashed(scratch) + "data"}};
  EXPECT_EQ(choose("elsewhere", here).folder, here + "/elsewhere/");
  EXPECT_EQ(choose(std::nullopt, here).folder, slashed(scratch) + "data/vesko/");
  EXPECT_TRUE(fs::is_directory(here + "/elsewhere/") && fs::is_directory(slashed(scratch) + "data/vesko/"));
  EXPECT_EQ(choose(std::nullopt, here, FolderUse::kHeadless).folder, here + "/");  // where chat.msg is
  writeText(here + "/config.dat", "1\nvesko.mnd\n");
  EXPECT_EQ(choose(std::nullopt, here).folder, here + "/");
  // A relative data home is ignored; with no home at all the user hears of --home.
  // HOME has no trailing slash, as it usually has not.
  fakeVariables = {{"XDG_DATA_HOME", "relative/data"}, {"HOME", slashed(scratch) + "user"}};
  EXPECT_EQ(choose(std::nullopt, slashed(scratch)).folder, slashed(scratch) + "user/.local/share/vesko/");
  fakeVariables.clear();
  EXPECT_NE(choose(std::nullopt, slashed(scratch)).error.find("--home"), std::string::npos);
}

TEST(FolderLayout, WritesWhatIsMissingAndNeverOverwrites) {
  ScratchDir scratch;
  const EmbeddedFile files[] = {
      {"botinfo.x", "Vesko\nfriend\nnobody\nmale\n4\nhere\n"}, {"nouns.x", "DOG\n"}, {"../escape.x", "no"}};
  writeText(scratch / "nouns.x", "MINE\n");
  const LayoutResult first = layOutWorkingFolder(slashed(scratch), files);
  ASSERT_TRUE(first.status.isOk()) << first.status.message();
  EXPECT_EQ(first.written, (std::vector<std::string>{"botinfo.x", "vesko.mnd", "config.dat"}));
  EXPECT_FALSE(fs::exists(scratch.path().parent_path() / "escape.x"));
  EXPECT_EQ(readText(scratch / "config.dat"), "1\nvesko.mnd\n1\n3\n");
  const std::string mind = readText(scratch / "vesko.mnd");
  EXPECT_NE(mind.find("[{[nouns.mbk]}]\nMINE\n"), std::string::npos);

  writeText(scratch / "config.dat", "0\n/x.mnd\n2\n2\n");
  fs::remove(scratch / "botinfo.x");
  EXPECT_EQ(layOutWorkingFolder(slashed(scratch), files).written, std::vector<std::string>{"botinfo.x"});
  EXPECT_EQ(readText(scratch / "vesko.mnd"), mind);
  EXPECT_EQ(readText(scratch / "config.dat"), "0\n/x.mnd\n2\n2\n");
  EXPECT_EQ(readText(scratch / "nouns.x"), "MINE\n");
}

auto fields(const Config& config) {
  return std::make_tuple(config.firstRun, config.defaultMindFile, config.userColour, config.botColour);
}

TEST(ConfigFile, ReadsEachLineOrFallsBackToItsDefaultNamingTheLine) {
  constexpr int kUser = kDefaultUserColour, kBot = kDefaultBotColour;
  const std::tuple<const char*, Config, std::vector<int>> cases[] = {  // text, reading, lines warned of
      {"\n0\r\n\n  /minds/a b.mnd\n7\n10", {0, "/minds/a b.mnd", 7, 10}, {}},  // Windows lines, blank lines
      {"1\nvesko.mnd\n0\n0\n", {1, "vesko.mnd", kUser, kBot}, {}},            // first run: default colours
      {"yes\nm.mnd\n-1\nblue\n", {0, "m.mnd", kUser, kBot}, {1, 3, 4}},
      {"0\nm\n11\n3\n", {0, "m", kUser, 3}, {3}},
  };
  for (const auto& [text, expected, warnedLines] : cases) {
    const ConfigReading reading = parseConfig(std::string(text));
    EXPECT_EQ(fields(reading.config), fields(expected)) << text;
    ASSERT_EQ(reading.warnings.size(), warnedLines.size()) << text;
    for (std::size_t i = 0; i < warnedLines.size(); ++i)
      EXPECT_NE(reading.warnings[i].find("line " + std::to_string(warnedLines[i])), std::string::npos);
  }
}

TEST(ChatMessage, ReadsNameAndMessageSkippingBlankLines) {
  const ChatMessage message = parseChatMessage(std::string("\n\n  Ann\r\n\nhello there\r\n"));
  EXPECT_EQ(message.userName, "Ann");
  EXPECT_EQ(message.message, "hello there");
  EXPECT_EQ(parseChatMessage(std::string("Ann")).message, "");
  EXPECT_EQ(parseChatMessage(std::string("Ann\nno line end")).message, "no line end");
}

}  // namespace
}  // namespace vesko::app
