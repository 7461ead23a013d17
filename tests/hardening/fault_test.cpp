// Faults while a chat saves: the working folder turns read-only, the file
// system fills up, the mind file is replaced by a folder, a bank becomes
// unreadable. Each time vesko says what failed and exits non-zero, the old
// mind file stays as it was, and no line answered before the fault is lost.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <memory>

#include "child_process.h"
#include "learning/knowledge_store.h"
#include "mind_probe.h"

namespace vesko::hardening {
namespace {

constexpr int kBeforeFault = 5;
constexpr int kAfterFault = 2;

class SaveFault : public ::testing::Test {
 protected:
  // Chats in `home_`, saving after every line, until kBeforeFault lines are
  // answered; the mind file then holds all of them.
  void startChat(bool unprivileged = false) {
    fs::create_directories(home_);
    if (unprivileged) giveToUnprivileged(scratch_.path());
    vesko_ = std::make_unique<ChildProcess>(ChildOptions{args(), scratch_.path(), std::nullopt, scratch_ / "out",
                                                         scratch_ / "err", true, unprivileged});
    ASSERT_TRUE(vesko_->started());
    for (int i = 0; i < kBeforeFault; ++i) {
      ASSERT_TRUE(vesko_->send(statement(i)));
      ASSERT_TRUE(vesko_->receive().has_value()) << readText(scratch_ / "err");
    }
    // The save after a line follows its answer: wait until the last one stands.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const std::string last = upper(statement(kBeforeFault - 1));
    while (readText(mind_).find(last) == std::string::npos && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    mindBefore_ = readText(mind_);
    const MindProbe probe = probeMind(mind_);
    ASSERT_TRUE(probe.loaded) << probe.error;
    for (int i = 0; i < kBeforeFault; ++i) ASSERT_TRUE(probe.has(upper(token(i))));
  }

  // The lines after the fault are answered too; the chat then ends with a
  // failed save. Gives standard error.
  std::string endChat() {
    for (int i = kBeforeFault; i < kBeforeFault + kAfterFault; ++i) {
      EXPECT_TRUE(vesko_->send(statement(i)));
      EXPECT_TRUE(vesko_->receive().has_value()) << "no answer after the fault";
    }
    vesko_->closeInput();
    const auto status = vesko_->waitFor(std::chrono::seconds(60));
    EXPECT_TRUE(status.has_value());
    EXPECT_EQ(status.value_or(-1), 1) << "a failed save must end with status 1";
    return readText(scratch_ / "err");
  }

  // The statements the knowledge bank in the working folder holds.
  int linesInBanks() {
    KnowledgeStore store;
    EXPECT_TRUE(store.load(Str((home_ / "morvash.mbk").string())).isOk());
    int held = 0;
    for (std::int64_t n = 0; n < store.sentenceCount(); ++n)
      for (int i = 0; i < kBeforeFault + kAfterFault; ++i)
        if ((" " + store.sentence(n).text.std() + " ").find(" " + upper(token(i)) + " ") != std::string::npos) ++held;
    return held;
  }

  // A clean start and end in the repaired folder; the mind it saves.
  MindProbe restartAndSave() {
    writeText(scratch_ / "empty", "");
    ChildProcess again({args(), scratch_.path(), scratch_ / "empty", scratch_ / "out2", scratch_ / "err2"});
    EXPECT_EQ(again.wait(), 0) << readText(scratch_ / "err2");
    return probeMind(mind_);
  }

  std::vector<std::string> args() const {
    return {"pipe", "--user", "T", "--save-every", "1", "--seed", "1", "--home", home_.string(), "--mind", mind_.string()};
  }

  ScratchDir scratch_;
  fs::path home_ = scratch_ / "home";
  fs::path mind_ = home_ / "vesko.mnd";
  std::unique_ptr<ChildProcess> vesko_;
  std::string mindBefore_;
};

TEST_F(SaveFault, ReadOnlyFolderKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << "running as root, and root cannot become nobody: no read-only folder";
  startChat(true);
  ASSERT_EQ(::chmod(home_.c_str(), 0555), 0);
  const std::string err = endChat();
  ::chmod(home_.c_str(), 0755);
  EXPECT_NE(err.find("cannot write the mind file " + mind_.string()), std::string::npos) << err;
  EXPECT_EQ(readText(mind_), mindBefore_);
  // The banks were still writable files: they hold every answered line.
  EXPECT_EQ(linesInBanks(), kBeforeFault + kAfterFault);
}

TEST_F(SaveFault, FullFileSystemKeepsTheMind) {
  const fs::path mount = scratch_ / "small";
  fs::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=8m") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "): no full file system";
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{mount};
  home_ = mount / "home";
  mind_ = home_ / "vesko.mnd";
  startChat();
  // Fill every last byte.
  {
    std::ofstream ballast(mount / "ballast", std::ios::binary);
    const std::string block(4096, 'x');
    while (ballast.write(block.data(), static_cast<std::streamsize>(block.size())) && ballast.flush()) {
    }
  }
  const std::string err = endChat();
  EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
  EXPECT_NE(err.find("cannot save " + mind_.string()), std::string::npos) << err;
  EXPECT_EQ(readText(mind_), mindBefore_);
  fs::remove(mount / "ballast");
  const MindProbe after = restartAndSave();
  ASSERT_TRUE(after.loaded) << after.error;
  for (int i = 0; i < kBeforeFault; ++i) EXPECT_TRUE(after.has(upper(token(i)))) << "line " << i << " was lost";
}

TEST_F(SaveFault, MindFileReplacedByAFolderLosesNothing) {
  startChat();
  fs::remove(mind_);
  fs::create_directory(mind_);
  const std::string err = endChat();
  EXPECT_NE(err.find("cannot write the mind file " + mind_.string()), std::string::npos) << err;
  EXPECT_EQ(linesInBanks(), kBeforeFault + kAfterFault);
  // Once the folder is gone, packing the banks left behind gives it all back.
  fs::remove(mind_);
  writeText(scratch_ / "empty", "");
  ChildProcess pack({{"mind", "pack", home_.string(), mind_.string()}, scratch_.path(), scratch_ / "empty",
                     scratch_ / "out2", scratch_ / "err2"});
  ASSERT_EQ(pack.wait(), 0) << readText(scratch_ / "err2");
  const MindProbe after = probeMind(mind_);
  ASSERT_TRUE(after.loaded) << after.error;
  for (int i = 0; i < kBeforeFault + kAfterFault; ++i) EXPECT_TRUE(after.has(upper(token(i)))) << "line " << i;
}

TEST_F(SaveFault, UnreadableBankKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << "running as root, and root cannot become nobody: no unreadable file";
  startChat(true);
  const fs::path bank = home_ / "context.mbk";  // read-only data: packed, never rewritten
  ASSERT_EQ(::chmod(bank.c_str(), 0), 0);
  const std::string err = endChat();
  ::chmod(bank.c_str(), 0644);
  EXPECT_NE(err.find("cannot read the bank file " + bank.string()), std::string::npos) << err;
  EXPECT_EQ(readText(mind_), mindBefore_);
  EXPECT_EQ(linesInBanks(), kBeforeFault + kAfterFault);
}

}  // namespace
}  // namespace vesko::hardening
