// Faults while a chat saves: the working folder turns read-only, the file
// system fills up, the mind file is replaced by a folder, a bank becomes
// unreadable. Each time vesko says what failed and exits 1, the old mind file
// stays as it was, and no line answered before the fault is lost.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstring>
#include <functional>

#include "child_process.h"
#include "learning/knowledge_store.h"
#include "mind_probe.h"

namespace vesko::hardening {
namespace {

constexpr int kBeforeFault = 5;
constexpr int kAll = kBeforeFault + 2;  // two more lines are answered after the fault

class SaveFault : public ::testing::Test {
 protected:
  // Chats in `home_`, saving after every line, until kBeforeFault lines are
  // answered and saved; then `inject`s the fault, has the other lines
  // answered, and expects the chat to end with status 1 and standard error
  // naming each of `failures`. With `mindKept` the old mind file must be
  // unchanged.
  void chatThroughFault(bool unprivileged, const std::function<void()>& inject,
                        const std::vector<std::string>& failures, bool mindKept = true) {
    fs::create_directories(home_);
    if (unprivileged) giveToUnprivileged(scratch_.path());
    ChildProcess vesko({args(), scratch_.path(), std::nullopt, {}, scratch_ / "err", true, unprivileged});
    for (int i = 0; i < kAll; ++i) {
      if (i == kBeforeFault) {
        // The save after a line follows its answer: wait until the last one stands.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (readText(mind_).find(token(kBeforeFault - 1, true)) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
          std::this_thread::sleep_for(milliseconds(10));
        ASSERT_EQ(probeMind(mind_).kept(0, kAll), kBeforeFault) << probeMind(mind_).error;
        mindBefore_ = readText(mind_);
        inject();
      }
      ASSERT_TRUE(vesko.send(statement(i)));
      ASSERT_TRUE(vesko.receive().has_value()) << "no answer to line " << i << ": " << vesko.errors();
    }
    vesko.closeInput();
    EXPECT_EQ(vesko.waitFor(std::chrono::seconds(60)).value_or(-1), 1) << "a failed save must end with status 1";
    for (const std::string& failure : failures) EXPECT_NE(vesko.errors().find(failure), std::string::npos) << failure;
    EXPECT_TRUE(!mindKept || readText(mind_) == mindBefore_) << "the old mind file was changed";
  }

  // The statements the knowledge bank in the working folder holds.
  int linesInBanks() {
    KnowledgeStore store;
    EXPECT_TRUE(store.load(Str((home_ / "morvash.mbk").string())).isOk());
    std::string all = " ";
    for (std::int64_t n = 0; n < store.sentenceCount(); ++n) all += store.sentence(n).text.std() + " ";
    int held = 0;
    for (int i = 0; i < kAll; ++i) held += all.find(" " + token(i, true) + " ") != std::string::npos;
    return held;
  }

  // Runs vesko with `command` (a chat with no lines by default) to a clean
  // end in the repaired folder; gives the mind it leaves.
  MindProbe rerun(std::vector<std::string> command = {}) {
    ChildProcess again(withInput(command.empty() ? args() : command, scratch_.path(), scratch_ / "again", ""));
    EXPECT_EQ(again.wait(), 0) << again.errors();
    return probeMind(mind_);
  }

  std::vector<std::string> args() const {
    return {"pipe", "--user", "T", "--save-every", "1", "--seed", "1", "--home", home_.string(), "--mind", mind_.string()};
  }

  ScratchDir scratch_;
  fs::path home_ = scratch_ / "home";
  fs::path mind_ = home_ / "vesko.mnd";
  std::string mindBefore_;
};

TEST_F(SaveFault, ReadOnlyFolderKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << "running as root, and root cannot become nobody: no read-only folder";
  chatThroughFault(true, [&] { ASSERT_EQ(::chmod(home_.c_str(), 0555), 0); },
                   {"cannot write the mind file " + mind_.string()});
  ::chmod(home_.c_str(), 0755);
  // The banks were still writable files: they hold every answered line.
  EXPECT_EQ(linesInBanks(), kAll);
}

TEST_F(SaveFault, UnreadableBankKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << "running as root, and root cannot become nobody: no unreadable file";
  const fs::path bank = home_ / "context.mbk";  // read-only data: packed, never rewritten
  chatThroughFault(true, [&] { ASSERT_EQ(::chmod(bank.c_str(), 0), 0); }, {"cannot read the bank file " + bank.string()});
  ::chmod(bank.c_str(), 0644);
  EXPECT_EQ(linesInBanks(), kAll);
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
  const auto fill = [&] {  // every last byte
    std::ofstream ballast(mount / "ballast", std::ios::binary);
    const std::string block(4096, 'x');
    while (ballast.write(block.data(), static_cast<std::streamsize>(block.size())) && ballast.flush()) {
    }
  };
  chatThroughFault(false, fill, {"No space left on device", "cannot save " + mind_.string()});
  fs::remove(mount / "ballast");
  EXPECT_EQ(rerun().kept(0, kBeforeFault), kBeforeFault);
}

TEST_F(SaveFault, MindFileReplacedByAFolderLosesNothing) {
  const auto replace = [&] {
    fs::remove(mind_);
    fs::create_directory(mind_);
  };
  chatThroughFault(false, replace, {"cannot write the mind file " + mind_.string()}, false);
  EXPECT_EQ(linesInBanks(), kAll);
  // Once the folder is gone, packing the banks left behind gives it all back.
  fs::remove(mind_);
  EXPECT_EQ(rerun({"mind", "pack", home_.string(), mind_.string()}).kept(0, kAll), kAll);
}

}  // namespace
}  // namespace vesko::hardening
