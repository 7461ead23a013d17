// Kills a chatting vesko with SIGKILL at random moments (while it starts,
// answers and saves every five lines) and checks after each kill that the mind
// file loads and holds exactly the lines of a finished save: never a mix,
// never less than a save that had finished before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/distribution.h"
#include "child_process.h"
#include "mind_probe.h"

namespace vesko::hardening {
namespace {

constexpr int kSaveEvery = 5;
constexpr int kLinesPerRun = 400;  // more than any run answers before its kill

int fromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

int countLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

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
    const auto delay = fromStart ? std::chrono::microseconds(random() % static_cast<unsigned>(startup.count() + 1))
                                 : std::chrono::microseconds(static_cast<long>(std::exp(exponent)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fromStart && countLines(vesko.output()) == 0 && std::chrono::steady_clock::now() < deadline &&
           !vesko.waitFor(milliseconds(1))) {
    }
    std::this_thread::sleep_for(delay);
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
    const auto start = [&] { return withInput({"pipe", "--user", "T", "--home", home.string()}, scratch.path(),
                                              scratch / "run", "hello\n"); };
    ChildProcess vesko(start());
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
    if (fs::exists(home / "vesko.mnd")) {
      EXPECT_TRUE(probeMind(home / "vesko.mnd").loaded) << probeMind(home / "vesko.mnd").error;
    }
    if (fs::exists(home / "config.dat")) {
      EXPECT_EQ(readText(home / "config.dat"), "1\nvesko.mnd\n1\n3\n");
    }
    // Whatever the kill left, the next start completes.
    ChildProcess again(start());
    EXPECT_EQ(again.wait(), 0) << again.errors();
  }
  std::printf("%d kills during first starts, %d of them inside the layout\n", kills, partial);
}

}  // namespace
}  // namespace vesko::hardening
