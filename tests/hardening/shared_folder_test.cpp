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
  // The small mind lets twenty runs pass through the lock well within the
  // ten seconds a headless run waits for it.
  writeText(home / "small.mnd", kSmallMind);
  writeText(home / "config.dat", "0\nsmall.mnd\n1\n3\n");
  std::vector<std::unique_ptr<ChildProcess>> runs;
  for (int i = 0; i < kRuns; ++i) {
    const fs::path here = scratch / ("run" + std::to_string(i));
    fs::create_directories(here);
    writeText(here / "chat.msg", "Ann\nmy favourite colour number " + token(i) + " is blue\n");
    runs.push_back(std::make_unique<ChildProcess>(withInput({"--home", home.string()}, here, here, "")));
  }
  for (int i = 0; i < kRuns; ++i) {
    const auto status = runs[static_cast<std::size_t>(i)]->waitFor(std::chrono::seconds(60));
    ASSERT_TRUE(status.has_value()) << "run " << i << " hangs";
    EXPECT_EQ(*status, 0) << "run " << i << ": " << runs[static_cast<std::size_t>(i)]->errors();
    const std::string answer = readText(scratch / ("run" + std::to_string(i)) / "chat.msg");
    EXPECT_TRUE(!answer.empty() && answer.find('\n') == answer.size() - 1) << "run " << i << " left: " << answer;
  }
  const MindProbe mind = probeMind(home / "small.mnd");
  EXPECT_EQ(mind.sentences.size(), static_cast<std::size_t>(kRuns)) << mind.error;
  EXPECT_EQ(mind.kept(0, kRuns), kRuns);
  for (const auto& entry : fs::directory_iterator(home)) EXPECT_NE(entry.path().extension(), ".mbk") << entry.path();
}

TEST(SharedFolder, TerminalChatOnAFolderInUseIsRefused) {
  ScratchDir scratch;
  const fs::path home = scratch / "home";
  fs::create_directories(home);
  ChildProcess holder({{"pipe", "--user", "T", "--home", home.string()}, scratch.path(), std::nullopt, {},
                       scratch / "err", true});
  ASSERT_TRUE(holder.send("hello"));
  ASSERT_TRUE(holder.receive().has_value()) << holder.errors();
  const std::string mindBefore = readText(home / "vesko.mnd");

  ChildProcess second(
      withInput({"chat", "--home", home.string()}, scratch.path(), scratch / "chat", "my secret is safe\nbye\n"));
  ASSERT_TRUE(second.waitFor(std::chrono::seconds(30)).has_value()) << "the second chat waits instead of refusing";
  EXPECT_NE(second.wait(), 0);
  EXPECT_NE(second.errors().find("another Vesko is using " + home.string()), std::string::npos) << second.errors();
  EXPECT_EQ(readText(home / "vesko.mnd"), mindBefore);
  holder.closeInput();
  EXPECT_EQ(holder.wait(), 0);
}

}  // namespace
}  // namespace vesko::hardening
