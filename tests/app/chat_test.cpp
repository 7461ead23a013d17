// Every way a conversation reaches the program, run as users and other
// programs run it: the terminal chat and the pipe mode driven through pipes,
// and the message-file mode (vesko started in a folder that holds chat.msg).
// Runs that share a folder and wait for each other's lock are the
// reliability tests' subject.
#include <gtest/gtest.h>

#include <tuple>

#include "app/folder_lock.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

class Conversation : public ::testing::Test {
 protected:
  void SetUp() override { firstStart(); }
  void firstStart() {
    writeText(dir / "vesko.mnd", mindText(smallMind()));
    writeText(dir / "config.dat", "1\nvesko.mnd\n");
  }
  ScratchDir dir;
};

TEST_F(Conversation, ChatEndsOnByeSavesWritesTheSettingsAndASeedRepeatsIt) {
  const std::string input = "hello\nmy name is Ann\nwhat is a dog?\nBye\nnever read\n";
  const Outcome run = runVesko(dir.path(), {"chat", "--seed", "9"}, input);
  EXPECT_EQ(run.status, 0) << run.err;
  const auto said = lines(run.out);
  EXPECT_EQ(said.size(), 5u) << run.out;  // the greeting and four answers
  for (const std::string& line : said) EXPECT_EQ(line.rfind("VESKO> ", 0), 0u) << line;
  EXPECT_EQ(readText(dir / "config.dat"), "0\n" + slashed(dir) + "vesko.mnd\n1\n3\n");
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  EXPECT_NE(readText(dir / "vesko.mnd").find(kSavedNouns), std::string::npos);
  firstStart();
  EXPECT_EQ(runVesko(dir.path(), {"chat", "--seed", "9"}, input).out, run.out);
}

TEST_F(Conversation, ChatWithBadSettingsLinesGetsDefaultsAndAWarning) {
  writeText(dir / "config.dat", "0\nvesko.mnd\nscarlet\n42\n");
  const Outcome run = runVesko(dir.path(), {"chat"}, "bye\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("config.dat line 3"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("config.dat line 4"), std::string::npos) << run.err;
  EXPECT_EQ(readText(dir / "config.dat"), "0\n" + slashed(dir) + "vesko.mnd\n1\n3\n");
}

TEST_F(Conversation, ChatRefusesAMissingMindAndAFolderInUse) {
  const Outcome missing = runVesko(dir.path(), {"chat", "--mind", "nowhere.mnd"}, "bye\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nowhere.mnd"), std::string::npos);
  const FolderLock holder(slashed(dir), std::chrono::milliseconds(0));
  const Outcome run = runVesko(dir.path(), {"chat"}, "bye\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("another Vesko is using " + slashed(dir) + "; close it first"), std::string::npos);
  EXPECT_EQ(readText(dir / "config.dat"), "1\nvesko.mnd\n");
}

TEST_F(Conversation, PipeGivesOneLinePerLine) {
  const Outcome withUser = runVesko(dir.path(), {"pipe", "--user", "Ann"}, "hello\r\nwhat is 2 plus 2\nlast");
  EXPECT_EQ(withUser.status, 0) << withUser.err;
  EXPECT_EQ(lines(withUser.out).size(), 3u) << withUser.out;
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  EXPECT_EQ(lines(runVesko(dir.path(), {"pipe"}, "hello\nAnn\n").out).size(), 3u);  // the greeting first
  EXPECT_EQ(readText(dir / "config.dat"), "1\nvesko.mnd\n");
}

// A program that names its user cannot answer profile questions, so it is
// asked none; the terminal chat still asks them when nothing else answers.
TEST_F(Conversation, OnlyTheChatAsksProfileQuestions) {
  Members mind = smallMind();
  mind.push_back({"idq.mbk", "Q0=What is your name?\nQ1=How old are you?\nQ2=Where do you live?\n"
                             "Q3=What is your job?\nQ4=What is your hobby?\nCONFIRM=Have we met?\n"});
  writeText(dir / "vesko.mnd", mindText(mind));
  const std::string offScript = "qqq zzz.\nblorp the fnord.\nxyzzy\n";
  const Outcome piped = runVesko(dir.path(), {"pipe", "--user", "Ann"}, offScript);
  ASSERT_EQ(lines(piped.out).size(), 3u) << piped.out;
  for (const std::string& answer : lines(piped.out)) {
    EXPECT_TRUE(answer.find('?') == std::string::npos && answer.find("unknown") == std::string::npos) << answer;
    EXPECT_FALSE(answer.empty());
  }
  const Outcome chat = runVesko(dir.path(), {"chat", "--seed", "2"}, "Ann\n30\n" + offScript);
  const auto said = lines(chat.out);
  ASSERT_EQ(said.size(), 6u) << chat.out;
  EXPECT_EQ(said[2], "VESKO> where do you live?");  // the age is answered by the next question
  EXPECT_EQ(said[3], "VESKO> what is your job?");
}

// A pipe bot stopped by SIGTERM while it waits for input still saves.
TEST_F(Conversation, PipeSavesOnSigterm) {
  ChildProcess bot({{"pipe", "--user", "Ann", "--save-every", "1"}, dir.path(), std::nullopt, {}, dir / "err", true});
  ASSERT_TRUE(bot.send("hello"));
  ASSERT_TRUE(bot.receive().has_value()) << readText(dir / "err");
  EXPECT_TRUE(holdsAny(dir.path(), ".mbk"));  // a checkpoint keeps the banks in use; only the stop removes them
  bot.kill(SIGTERM);
  EXPECT_EQ(bot.wait(), 0);
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  EXPECT_NE(readText(dir / "vesko.mnd").find(kSavedNouns), std::string::npos);
}

TEST_F(Conversation, HeadlessAnswersInOneLineAndRepacksTheMind) {
  writeText(dir / "chat.msg", "Ann\nhello\n");
  const Outcome run = runVesko(dir.path(), {"--seed", "5"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string answer = readText(dir / "chat.msg");
  EXPECT_TRUE(!answer.empty() && answer.find('\n') == answer.size() - 1) << answer;
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  const std::string mind = readText(dir / "vesko.mnd");
  EXPECT_NE(mind.find(kSavedNouns), std::string::npos) << mind;
  EXPECT_NE(mind.find("[{[botinfo.mbk]}]\nVesko\n"), std::string::npos);
}

TEST_F(Conversation, HeadlessNeverAnswersWithAMindItMayNotUse) {
  const std::tuple<const char*, Members, const char*> cases[] = {  // what, the mind, what the error names
      {"too new", smallMind("400"), "newer version of Vesko"},
      {"damaged", {{"version.mbk", "4.1\n300\n"}, {"emoticon.mbk", "often\n:-)\n"}}, "emoticon.mbk"},
  };
  for (const auto& [what, mind, reason] : cases) {
    SCOPED_TRACE(what);
    writeText(dir / "vesko.mnd", mindText(mind));
    writeText(dir / "chat.msg", "Ann\nhello\n");
    const Outcome run = runVesko(dir.path(), {});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_EQ(readText(dir / "vesko.mnd"), mindText(mind));
    EXPECT_EQ(readText(dir / "chat.msg"), "Ann\nhello\n");
    EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  }
}

}  // namespace
}  // namespace vesko::app
