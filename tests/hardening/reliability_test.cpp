// The real vesko program under kills, faults and company, each time judged by
// what its mind file holds afterwards:
// - SIGKILL at random moments of a chat that saves every five lines, and of
//   a first start laying out an empty folder;
// - a save into a read-only folder, onto a full file system, onto a mind file
//   replaced by a folder, past an unreadable bank;
// - many programs on one working folder.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "app/distribution.h"
#include "child_process.h"
#include "engine/brain.h"

namespace vesko::hardening {
namespace {

// A small mind keeps each start short, so that many runs fit in a test;
// saving, packing and locking work the same for any mind.
const std::string kSmallMind =
    "[{[botinfo.mbk]}]\nVesko\nfriend\nnobody\nmale\n4\nthe computer\n"
    "[{[version.mbk]}]\n4.1\n300\n[{[nouns.mbk]}]\nDOG\nCAT\n[{[emoticon.mbk]}]\n0\n";

// A word no dictionary holds, unique for each number: "zq" + letters, or in
// upper case as the mind keeps it.
std::string token(int number, bool upper = false) {
  std::string word = upper ? "ZQ" : "zq";
  do word += static_cast<char>((upper ? 'A' : 'a') + number % 26);
  while ((number /= 26) > 0);
  return word;
}

// A statement the knowledge store remembers (four words or more).
std::string statement(int number) { return "my parcel " + token(number) + " is very blue"; }

// What a mind file holds, read the way the program reads it.
struct MindProbe {
  bool loaded = false;
  std::string error;                   // why it did not load
  std::vector<std::string> sentences;  // the knowledge store, in order
  std::vector<std::string> members;    // member names, in file order
  std::set<std::string> words;         // every word of them, marks dropped

  bool holds(int number) const { return words.count(token(number, true)) != 0; }
  // How many of the statements first.. the mind holds: they must be the
  // first ones, so a later one held without an earlier one gives -1.
  int kept(int first, int count) const {
    int n = 0;
    while (n < count && holds(first + n)) ++n;
    for (int i = n; i < count; ++i)
      if (holds(first + i)) return -1;
    return n;
  }
};

MindProbe probeMind(const fs::path& mind) {
  MindProbe probe;
  std::istringstream text(readText(mind));
  for (std::string line; std::getline(text, line);)
    if (line.starts_with("[{[") && line.ends_with("]}]") && line.size() >= 6)
      probe.members.push_back(line.substr(3, line.size() - 6));
  // Loading unpacks the mind into its folder: a copy goes to a folder of its own.
  ScratchDir scratch;
  std::error_code copied;
  fs::copy_file(mind, scratch / "probe.mnd", copied);
  Brain brain(Str(scratch.path().string() + "/"), false, Str());
  const LoadResult result = brain.loadMind(Str((scratch / "probe.mnd").string()));
  probe.loaded = !copied && result.loaded();
  probe.error = copied ? "cannot copy " + mind.string() + ": " + copied.message() : result.status.message();
  for (std::int64_t n = 0; n < brain.knowledge().sentenceCount(); ++n) {
    probe.sentences.push_back(brain.knowledge().sentence(n).text.std());
    std::istringstream split(probe.sentences.back());
    for (std::string word; split >> word;) probe.words.insert(word.substr(0, word.find_last_not_of(".!?") + 1));
  }
  return probe;
}

// The banks lying unpacked in a working folder.
std::set<std::string> banksLeft(const fs::path& home) {
  std::set<std::string> banks;
  for (const auto& entry : fs::directory_iterator(home))
    if (entry.path().extension() == ".mbk") banks.insert(entry.path().filename().string());
  return banks;
}

int fromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

int countLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// ---- Kills: after each, the mind holds exactly the lines of a finished
// save; never a mix, never less than a save that had finished before.

constexpr int kSaveEvery = 5;
constexpr int kLinesPerRun = 400;  // more than any run answers before its kill

TEST(CrashInjection, EveryKillLeavesTheMindOfAFinishedSave) {
  const int kills = fromEnvironment("VESKO_CRASH_KILLS", 200);
  const unsigned seed = static_cast<unsigned>(fromEnvironment("VESKO_CRASH_SEED", 20240614));
  std::mt19937 random(seed);
  SCOPED_TRACE("VESKO_CRASH_SEED=" + std::to_string(seed));
  ScratchDir scratch;
  const fs::path home = scratch / "home", mind = home / "small.mnd", io = scratch / "run";
  fs::create_directories(home);
  writeText(mind, kSmallMind);
  const std::vector<std::string> args{"pipe", "--user", "T", "--save-every", std::to_string(kSaveEvery), "--seed", "1",
                                      "--home", home.string(), "--mind", mind.string()};
  // A first, clean start lays out the folder and makes the mind; it also
  // tells how long a start takes until the first answer.
  const auto began = std::chrono::steady_clock::now();
  ChildProcess first(withInput(args, scratch.path(), io, "hello\n"));
  ASSERT_EQ(first.wait(), 0) << first.errors();
  const auto startup = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);

  std::vector<int> keptOfRun;  // run r began with statement r * kLinesPerRun
  int killedWhileStarting = 0, killedWhilePacking = 0;
  for (int k = 0; k < kills; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    std::string input;
    for (int i = 0; i < kLinesPerRun; ++i) input += statement(k * kLinesPerRun + i) + "\n";
    const auto spawned = fs::file_time_type::clock::now();
    ChildProcess vesko(withInput(args, scratch.path(), io, input));
    // A third of the kills fall anywhere in the start (loading, unpacking);
    // the rest after the first answer, 1 us to 40 ms into the chat.
    const bool fromStart = random() % 3 == 0;
    const double exponent = std::uniform_real_distribution<double>(0.0, std::log(40000.0))(random);
    const long delay = fromStart ? static_cast<long>(random() % static_cast<unsigned>(startup.count() + 1))
                                 : std::lround(std::exp(exponent));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fromStart && countLines(vesko.output()) == 0 && std::chrono::steady_clock::now() < deadline &&
           !vesko.waitFor(milliseconds(1))) {
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    vesko.kill(SIGKILL);
    ASSERT_EQ(vesko.wait(), 128 + SIGKILL) << "vesko ended before its kill: " << vesko.errors();
    const int answered = countLines(vesko.output());
    killedWhileStarting += answered == 0;
    // A mind file half written by this run: the kill came while packing.
    std::error_code noFile;
    killedWhilePacking += fs::last_write_time(fs::path(mind.string() + ".tmp"), noFile) >= spawned && !noFile;

    const MindProbe probe = probeMind(mind);
    ASSERT_TRUE(probe.loaded) << probe.error;
    // The next start unpacks the mind over the banks left behind: a bank the
    // mind lacks would survive that and be packed into it at the next save.
    const std::set<std::string> members(probe.members.begin(), probe.members.end());
    ASSERT_EQ(members.size(), probe.members.size()) << "a member twice";
    for (const std::string& bank : banksLeft(home)) ASSERT_TRUE(members.count(bank)) << bank << " was left behind";
    // Earlier runs keep exactly what their last finished save held.
    for (int r = 0; r < k; ++r) ASSERT_EQ(probe.kept(r * kLinesPerRun, kLinesPerRun), keptOfRun[r]) << "run " << r;
    // This run: a whole number of saves, in order; the save after line 5j
    // has finished once line 5j + 1 was answered.
    const int kept = probe.kept(k * kLinesPerRun, kLinesPerRun);
    ASSERT_GE(kept, 0) << "a later line is kept without an earlier one";
    ASSERT_EQ(kept % kSaveEvery, 0) << "a mix of two saves";
    ASSERT_LE(kept, answered);
    ASSERT_GE(kept, std::max(answered - 1, 0) / kSaveEvery * kSaveEvery)
        << "a save was lost; the last sentence kept: " << (probe.sentences.empty() ? "" : probe.sentences.back())
        << "\n" << vesko.errors();
    keptOfRun.push_back(kept);
  }

  // A clean run after all the kills ends with every kept line and a tidy folder.
  ChildProcess last(withInput(args, scratch.path(), io, statement(kills * kLinesPerRun) + "\n"));
  ASSERT_EQ(last.wait(), 0) << last.errors();
  const MindProbe final = probeMind(mind);
  ASSERT_TRUE(final.loaded) << final.error;
  for (int r = 0; r < kills; ++r) EXPECT_EQ(final.kept(r * kLinesPerRun, kLinesPerRun), keptOfRun[r]) << "run " << r;
  EXPECT_TRUE(final.holds(kills * kLinesPerRun));
  EXPECT_EQ(banksLeft(home), std::set<std::string>());
  std::printf("%d kills survived (%d while starting, %d while packing the mind file)\n", kills, killedWhileStarting,
              killedWhilePacking);
}

// The first start in an empty folder writes the distribution there, and a
// later start writes only what is missing: a file cut short by a kill would
// stay cut short for good.
TEST(CrashInjection, KillDuringTheFirstStartLeavesNoFileCutShort) {
  const int kills = fromEnvironment("VESKO_LAYOUT_KILLS", 30);
  std::mt19937 random(static_cast<unsigned>(fromEnvironment("VESKO_CRASH_SEED", 20240614)));
  ScratchDir scratch;
  int partial = 0;
  for (int k = 0; k < kills; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    const fs::path home = scratch / ("home" + std::to_string(k));
    fs::create_directories(home);
    const std::vector<std::string> args{"pipe", "--user", "T", "--home", home.string()};
    ChildProcess vesko(withInput(args, scratch.path(), scratch / "run", "hello\n"));
    // The layout takes a few milliseconds once the first file appears.
    while (fs::is_empty(home) && !vesko.waitFor(milliseconds(0))) std::this_thread::sleep_for(std::chrono::microseconds(50));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    vesko.kill(SIGKILL);
    vesko.wait();
    int present = 0;
    for (const EmbeddedFile& file : embeddedDistribution()) {
      if (!fs::exists(home / file.name)) continue;
      ++present;
      EXPECT_EQ(readText(home / file.name), std::string(file.content)) << file.name << " cut short";
    }
    partial += present > 0 && present < static_cast<int>(embeddedDistribution().size());
    EXPECT_TRUE(!fs::exists(home / "vesko.mnd") || probeMind(home / "vesko.mnd").loaded) << probeMind(home / "vesko.mnd").error;
    EXPECT_TRUE(!fs::exists(home / "config.dat") || readText(home / "config.dat") == "1\nvesko.mnd\n1\n3\n")
        << "config.dat cut short: " << readText(home / "config.dat");
    // Whatever the kill left, the next start completes.
    ChildProcess again(withInput(args, scratch.path(), scratch / "run", "hello\n"));
    EXPECT_EQ(again.wait(), 0) << again.errors();
  }
  std::printf("%d kills during first starts, %d of them inside the layout\n", kills, partial);
}

// ---- Faults while a chat saves: each time vesko says what failed and exits
// 1, the old mind file stays as it was, and no line answered before the
// fault is lost.

constexpr int kBeforeFault = 5;
constexpr int kAll = kBeforeFault + 2;  // two more lines are answered after the fault
constexpr const char* kNoNobody = "running as root, and root cannot become nobody: permissions do not bind";

class SaveFault : public ::testing::Test {
 protected:
  // Chats in `home_`, saving after every line, until kBeforeFault lines are
  // answered and saved; then `inject`s the fault, has the other lines
  // answered, and expects the chat to end with status 1, standard error
  // naming each of `failures` and, with `mindKept`, the old mind unchanged.
  void chatThroughFault(bool unprivileged, const std::function<void()>& inject,
                        const std::vector<std::string>& failures, bool mindKept = true) {
    fs::create_directories(home_);
    // A child run as "nobody" works in folders open to all.
    for (const fs::path& folder : {scratch_.path(), home_})
      if (unprivileged) fs::permissions(folder, fs::perms::all);
    ChildProcess vesko({args(), scratch_.path(), std::nullopt, {}, scratch_ / "err", true, unprivileged});
    for (int i = 0; i < kAll; ++i) {
      if (i == kBeforeFault) {
        // The save after a line follows its answer: wait until the last one stands.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (readText(mind_).find(token(i - 1, true)) == std::string::npos && std::chrono::steady_clock::now() < deadline)
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

  // Runs vesko with `command` to a clean end in the repaired folder; gives
  // the mind file `made`.
  MindProbe rerun(const std::vector<std::string>& command, const fs::path& made) {
    ChildProcess again(withInput(command, scratch_.path(), scratch_ / "again", ""));
    EXPECT_EQ(again.wait(), 0) << again.errors();
    return probeMind(made);
  }
  // The banks left in the working folder, packed into a mind of their own.
  MindProbe packed() {
    return rerun({"mind", "pack", home_.string(), (scratch_ / "packed.mnd").string()}, scratch_ / "packed.mnd");
  }

  std::vector<std::string> args() const {
    return {"pipe", "--user", "T", "--save-every", "1", "--seed", "1", "--home", home_.string(), "--mind", mind_.string()};
  }

  ScratchDir scratch_;
  fs::path home_ = scratch_ / "home";
  fs::path mind_ = home_ / "vesko.mnd";
  std::string mindBefore_;
};

// Banks are written under new names and renamed into place, which a
// read-only folder forbids: they keep the last save, and the chat says so.
TEST_F(SaveFault, ReadOnlyFolderKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << kNoNobody;
  chatThroughFault(true, [&] { ASSERT_EQ(::chmod(home_.c_str(), 0555), 0); },
                   {"cannot write " + home_.string() + "/"});
  ::chmod(home_.c_str(), 0755);
  EXPECT_EQ(packed().kept(0, kAll), kBeforeFault);
}

TEST_F(SaveFault, UnreadableBankKeepsTheMindAndTheBanks) {
  if (!unprivilegedChildPossible()) GTEST_SKIP() << kNoNobody;
  const fs::path bank = home_ / "context.mbk";  // read-only data: packed, never rewritten
  chatThroughFault(true, [&] { ASSERT_EQ(::chmod(bank.c_str(), 0), 0); }, {"cannot read the bank file " + bank.string()});
  ::chmod(bank.c_str(), 0644);
  EXPECT_EQ(packed().kept(0, kAll), kAll);
}

TEST_F(SaveFault, MindFileReplacedByAFolderLosesNothing) {
  const auto replace = [&] { fs::remove(mind_); fs::create_directory(mind_); };
  chatThroughFault(false, replace, {"cannot write the mind file " + mind_.string()}, false);
  EXPECT_EQ(packed().kept(0, kAll), kAll);
}

// The next start after space is freed holds every line saved before the fault.
TEST_F(SaveFault, FullFileSystemKeepsTheMind) {
  const fs::path mount = scratch_ / "small";
  fs::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=8m") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "): no full file system";
  const std::shared_ptr<void> unmount(nullptr, [&](void*) { ::umount2(mount.c_str(), MNT_DETACH); });
  home_ = mount / "home";
  mind_ = home_ / "vesko.mnd";
  const auto fill = [&] {  // to the last byte
    std::ofstream ballast(mount / "ballast", std::ios::binary);
    while (ballast << std::string(4096, 'x') << std::flush) {
    }
  };
  chatThroughFault(false, fill, {"No space left on device", "cannot save " + mind_.string()});
  fs::remove(mount / "ballast");
  EXPECT_EQ(rerun(args(), mind_).kept(0, kBeforeFault), kBeforeFault);
}

// ---- One working folder, many programs: headless runs started together
// take turns through the folder lock and every statement reaches the mind;
// a terminal chat on a folder in use is refused at once.

TEST(SharedFolder, HeadlessRunsStartedTogetherAllAnswerAndAllAreRemembered) {
  constexpr int kRuns = 20;
  ScratchDir scratch;
  const fs::path home = scratch / "home";
  fs::create_directories(home);
  // The small mind lets twenty runs pass through the lock well within the
  // ten seconds a headless run waits for it.
  writeText(home / "small.mnd", kSmallMind);
  writeText(home / "config.dat", "0\nsmall.mnd\n1\n3\n");
  std::deque<ChildProcess> runs;  // started all at once
  for (int i = 0; i < kRuns; ++i) {
    const fs::path here = scratch / ("run" + std::to_string(i));
    fs::create_directories(here);
    writeText(here / "chat.msg", "Ann\nmy favourite colour number " + token(i) + " is blue\n");
    runs.emplace_back(withInput({"--home", home.string()}, here, here, ""));
  }
  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE("run " + std::to_string(i));
    EXPECT_EQ(runs[i].waitFor(std::chrono::seconds(60)), 0) << runs[i].errors();
    const std::string answer = readText(scratch / ("run" + std::to_string(i)) / "chat.msg");
    EXPECT_TRUE(!answer.empty() && answer.find('\n') == answer.size() - 1) << "the answer left is " << answer;
  }
  const MindProbe mind = probeMind(home / "small.mnd");
  EXPECT_EQ(mind.sentences.size(), static_cast<std::size_t>(kRuns)) << mind.error;
  EXPECT_EQ(mind.kept(0, kRuns), kRuns);
  EXPECT_EQ(banksLeft(home), std::set<std::string>());
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
  const std::optional<int> status = second.waitFor(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << "the second chat waits instead of refusing";
  EXPECT_NE(*status, 0);
  EXPECT_NE(second.errors().find("another Vesko is using " + home.string()), std::string::npos) << second.errors();
  EXPECT_EQ(readText(home / "vesko.mnd"), mindBefore);
  holder.closeInput();
  EXPECT_EQ(holder.wait(), 0);
}

}  // namespace
}  // namespace vesko::hardening
