// The terminal chat and the pipe mode, driven through pipes as scripts drive them.
#include <gtest/gtest.h>
#include <signal.h>

#include "app/folder_lock.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

class Chat : public ::testing::Test {
 protected:
  void SetUp() override {
    writeMind(dir / "vesko.mnd", smallMind());
    writeText(dir / "config.dat", "1\nvesko.mnd\n");
  }
  ScratchDir dir;
};

TEST_F(Chat, EndsOnByeSavesAndWritesTheSettings) {
  const Outcome run = runVesko(dir.path(), {"chat", "--seed", "9"}, "hello\nBye\nnever read\n");
  EXPECT_EQ(run.status, 0) << run.err;
  const auto said = lines(run.out);
  ASSERT_EQ(said.size(), 3u) << run.out;  // the greeting and two answers
  for (const std::string& line : said) EXPECT_EQ(line.rfind("VESKO> ", 0), 0u) << line;
  EXPECT_EQ(readText(dir / "config.dat"), "0\n" + dir.folder() + "vesko.mnd\n1\n3\n");
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  EXPECT_NE(readText(dir / "vesko.mnd").find("[{[nouns.mbk]}]\nCAT\nDOG\n"), std::string::npos);
}

TEST_F(Chat, ASeedRepeatsTheWholeConversation) {
  const std::string input = "hello\nmy name is Ann\nwhat is a dog?\n";
  writeText(dir / "keep.mnd", readText(dir / "vesko.mnd"));
  const Outcome first = runVesko(dir.path(), {"chat", "--seed", "42"}, input);
  writeText(dir / "vesko.mnd", readText(dir / "keep.mnd"));
  writeText(dir / "config.dat", "1\nvesko.mnd\n");
  const Outcome second = runVesko(dir.path(), {"chat", "--seed", "42"}, input);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(lines(first.out).size(), 4u);
}

TEST_F(Chat, BadSettingsLinesGiveDefaultsAndAWarning) {
  writeText(dir / "config.dat", "0\nvesko.mnd\nscarlet\n42\n");
  const Outcome run = runVesko(dir.path(), {"chat"}, "bye\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("config.dat line 3"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("config.dat line 4"), std::string::npos) << run.err;
  EXPECT_EQ(readText(dir / "config.dat"), "0\n" + dir.folder() + "vesko.mnd\n1\n3\n");
}

TEST_F(Chat, RefusesAFolderInUseAndAMissingMind) {
  {
    FolderLock holder(dir.folder(), std::chrono::milliseconds(0));
    const Outcome run = runVesko(dir.path(), {"chat"}, "bye\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("another Vesko is using " + dir.folder() + "; close it first"), std::string::npos)
        << run.err;
  }
  const Outcome missing = runVesko(dir.path(), {"chat", "--mind", "nowhere.mnd"}, "bye\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nowhere.mnd"), std::string::npos);
  EXPECT_EQ(readText(dir / "config.dat"), "1\nvesko.mnd\n");
}

TEST_F(Chat, PipeGivesOneLinePerLine) {
  const Outcome withUser = runVesko(dir.path(), {"pipe", "--user", "Ann"}, "hello\r\nwhat is 2 plus 2\nlast");
  EXPECT_EQ(withUser.status, 0) << withUser.err;
  EXPECT_EQ(lines(withUser.out).size(), 3u) << withUser.out;
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  const Outcome conversation = runVesko(dir.path(), {"pipe"}, "hello\nAnn\n");
  EXPECT_EQ(conversation.status, 0) << conversation.err;
  EXPECT_EQ(lines(conversation.out).size(), 3u) << conversation.out;  // the greeting first
  EXPECT_EQ(readText(dir / "config.dat"), "1\nvesko.mnd\n");
}

// A pipe bot stopped by SIGTERM while it waits for input still saves.
TEST_F(Chat, PipeSavesOnSigterm) {
  int toChild[2];
  int fromChild[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(fromChild), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(toChild[0], 0);
    ::dup2(fromChild[1], 1);
    ::close(toChild[1]);
    ::close(fromChild[0]);
    if (::chdir(dir.path().c_str()) != 0) ::_exit(127);
    ::execl(VESKO_BINARY, "vesko", "pipe", "--user", "Ann", "--save-every", "1", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  ASSERT_EQ(::write(toChild[1], "hello\n", 6), 6);
  std::string answer;
  char c = 0;
  while (::read(fromChild[0], &c, 1) == 1 && c != '\n') answer += c;
  EXPECT_EQ(c, '\n');
  // A checkpoint keeps the banks in use; the mind file already holds them.
  EXPECT_FALSE(filesEndingWith(dir.path(), ".mbk").empty());
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(toChild[1]);
  ::close(fromChild[0]);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  EXPECT_NE(readText(dir / "vesko.mnd").find("[{[nouns.mbk]}]\nCAT\nDOG\n"), std::string::npos);
}

}  // namespace
}  // namespace vesko::app
