// The message-file mode, run as other programs run it: vesko started in a
// folder that holds chat.msg.
#include <gtest/gtest.h>

#include <thread>

#include "app/folder_lock.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    writeText(dir / "config.dat", "1\nvesko.mnd\n");
    writeText(dir / "chat.msg", "Ann\nhello\n");
  }
  ScratchDir dir;
};

TEST_F(Headless, AnswersInOneLineAndRepacksTheMind) {
  writeMind(dir / "vesko.mnd", smallMind());
  const Outcome run = runVesko(dir.path(), {"--seed", "5"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string answer = readText(dir / "chat.msg");
  ASSERT_FALSE(answer.empty());
  EXPECT_EQ(answer.find('\n'), answer.size() - 1) << answer;
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  // The nouns come back from the tree in its order: the mind was written anew.
  const std::string mind = readText(dir / "vesko.mnd");
  EXPECT_NE(mind.find("[{[nouns.mbk]}]\nCAT\nDOG\n"), std::string::npos) << mind;
  EXPECT_NE(mind.find("[{[botinfo.mbk]}]\nVesko\n"), std::string::npos);
}

TEST_F(Headless, NeverAnswersWithAMindItMayNotUse) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> members;
    const char* reason;
  } cases[] = {
      {"too new", smallMind("400"), "newer version of Vesko"},
      {"damaged", {{"version.mbk", "4.1\n300\n"}, {"emoticon.mbk", "often\n:-)\n"}}, "emoticon.mbk"},
  };
  for (const auto& refused : cases) {
    SCOPED_TRACE(refused.what);
    writeMind(dir / "vesko.mnd", refused.members);
    writeText(dir / "chat.msg", "Ann\nhello\n");
    const std::string before = readText(dir / "vesko.mnd");
    const Outcome run = runVesko(dir.path(), {});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(refused.reason), std::string::npos) << run.err;
    EXPECT_EQ(readText(dir / "vesko.mnd"), before);
    EXPECT_EQ(readText(dir / "chat.msg"), "Ann\nhello\n");
    EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  }
}

TEST_F(Headless, WaitsForAnotherVeskoInTheSameFolder) {
  writeMind(dir / "vesko.mnd", smallMind());
  auto holder = std::make_unique<FolderLock>(dir.folder(), std::chrono::milliseconds(0));
  ASSERT_TRUE(holder->held());
  std::thread release([&holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    holder.reset();
  });
  const Outcome run = runVesko(dir.path(), {});
  release.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lines(readText(dir / "chat.msg")).size(), 1u);
}

TEST_F(Headless, HomeNamesTheWorkingFolderButChatMsgStaysHere) {
  std::filesystem::create_directories(dir / "minds");
  writeMind(dir / "minds" / "vesko.mnd", smallMind());
  writeText(dir / "minds" / "config.dat", "1\nvesko.mnd\n");
  std::filesystem::remove(dir / "config.dat");
  const Outcome run = runVesko(dir.path(), {"--home", "minds"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lines(readText(dir / "chat.msg")).size(), 1u);
  EXPECT_NE(readText(dir / "minds" / "vesko.mnd").find("CAT\nDOG\n"), std::string::npos);
}

}  // namespace
}  // namespace vesko::app
