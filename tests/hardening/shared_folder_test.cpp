// One working folder, many programs: headless runs started together take
// turns through the folder lock and every statement reaches the mind; a
// terminal chat on a folder in use is refused at once.
#include <gtest/gtest.h>

#include <memory>

#include "child_process.h"
#include "mind_probe.h"

namespace vesko::hardening {
namespace {

constexpr int kRuns = 20;

TEST(SharedFolder, HeadlessRunsStartedTogetherAllAnswerAndAllAreRemembered) {
  ScratchDir scratch;
  const fs::path home = scratch / "home";
  fs::create_directories(home);
  // A small mind keeps each run short, so that twenty of them pass through
  // the lock well within the ten seconds a headless run waits for it.
  writeText(home / "small.mnd",
            "[{[botinfo.mbk]}]\nVesko\nfriend\nnobody\nmale\n4\nthe computer\n"
            "[{[version.mbk]}]\n4.1\n300\n[{[emoticon.mbk]}]\n0\n");
  writeText(home / "config.dat", "0\nsmall.mnd\n1\n3\n");
  writeText(scratch / "empty", "");

  std::vector<std::unique_ptr<ChildProcess>> runs;
  for (int i = 0; i < kRuns; ++i) {
    const fs::path here = scratch / ("run" + std::to_string(i));
    fs::create_directories(here);
    writeText(here / "chat.msg", "Ann\nmy favourite colour number " + token(i) + " is blue\n");
    runs.push_back(std::make_unique<ChildProcess>(
        ChildOptions{{"--home", home.string()}, here, scratch / "empty", here.string() + ".out", here.string() + ".err"}));
  }
  for (int i = 0; i < kRuns; ++i) {
    const fs::path here = scratch / ("run" + std::to_string(i));
    const auto status = runs[static_cast<std::size_t>(i)]->waitFor(std::chrono::seconds(60));
    ASSERT_TRUE(status.has_value()) << "run " << i << " hangs";
    EXPECT_EQ(*status, 0) << "run " << i << ": " << readText(here.string() + ".err");
    const std::string answer = readText(here / "chat.msg");
    EXPECT_TRUE(!answer.empty() && answer.find('\n') == answer.size() - 1) << "run " << i << " left: " << answer;
  }
  const MindProbe mind = probeMind(home / "small.mnd");
  ASSERT_TRUE(mind.loaded) << mind.error;
  EXPECT_EQ(mind.sentences.size(), static_cast<std::size_t>(kRuns));
  for (int i = 0; i < kRuns; ++i) EXPECT_TRUE(mind.has(upper(token(i)))) << "statement " << i << " was lost";
  for (const auto& entry : fs::directory_iterator(home)) EXPECT_NE(entry.path().extension(), ".mbk") << entry.path();
}

TEST(SharedFolder, TerminalChatOnAFolderInUseIsRefused) {
  ScratchDir scratch;
  const fs::path home = scratch / "home";
  fs::create_directories(home);
  ChildProcess holder({{"pipe", "--user", "T", "--home", home.string()}, scratch.path(), std::nullopt,
                       scratch / "out", scratch / "err", true});
  ASSERT_TRUE(holder.send("hello"));
  ASSERT_TRUE(holder.receive().has_value()) << readText(scratch / "err");
  const std::string mindBefore = readText(home / "vesko.mnd");

  writeText(scratch / "chat-in", "my secret is safe\nbye\n");
  ChildProcess second({{"chat", "--home", home.string()}, scratch.path(), scratch / "chat-in", scratch / "chat-out",
                       scratch / "chat-err"});
  const auto status = second.waitFor(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << "the second chat waits instead of refusing";
  EXPECT_NE(*status, 0);
  EXPECT_NE(readText(scratch / "chat-err").find("another Vesko is using " + home.string()), std::string::npos)
      << readText(scratch / "chat-err");
  EXPECT_EQ(readText(home / "vesko.mnd"), mindBefore);

  holder.closeInput();
  EXPECT_EQ(holder.wait(), 0);
}

}  // namespace
}  // namespace vesko::hardening
