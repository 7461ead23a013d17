// Kills a chatting vesko with SIGKILL at random moments (while it starts,
// answers and saves every five lines) and checks after each kill that the mind
// file loads and holds exactly the lines of a finished save: never a mix,
// never less than a save that had finished before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

std::size_t countLines(const fs::path& path) {
  const std::string text = readText(path);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// How many lines of a run the mind holds: they must be the run's first lines.
int linesKept(const MindProbe& mind, int firstNumber, int count, std::string& gap) {
  int kept = 0;
  while (kept < count && mind.has(upper(token(firstNumber + kept)))) ++kept;
  for (int i = kept; i < count; ++i)
    if (mind.has(upper(token(firstNumber + i)))) gap = "line " + std::to_string(i) + " is kept without line " + std::to_string(kept);
  return kept;
}

TEST(CrashInjection, EveryKillLeavesTheMindOfAFinishedSave) {
  const int kills = fromEnvironment("VESKO_CRASH_KILLS", 200);
  const unsigned seed = static_cast<unsigned>(fromEnvironment("VESKO_CRASH_SEED", 20240614));
  std::mt19937 random(seed);
  SCOPED_TRACE("VESKO_CRASH_SEED=" + std::to_string(seed));

  ScratchDir scratch;
  const fs::path home = scratch / "home";
  // A small mind keeps each start short, so that many kills fit in a test run;
  // saving and packing work the same for any mind.
  const fs::path mind = home / "small.mnd";
  fs::create_directories(home);
  writeText(mind, "[{[botinfo.mbk]}]\nVesko\nfriend\nnobody\nmale\n4\nthe computer\n"
                  "[{[version.mbk]}]\n4.1\n300\n[{[nouns.mbk]}]\nDOG\nCAT\n[{[emoticon.mbk]}]\n0\n");
  const std::vector<std::string> args{"pipe", "--user", "T", "--save-every", std::to_string(kSaveEvery), "--seed", "1",
                                      "--home", home.string(), "--mind", mind.string()};

  struct Run {
    int first;  // number of its first statement
    int kept;   // lines of it the mind holds after its kill
  };
  // A first, clean start lays out the folder and makes the mind; it also
  // tells how long a start takes until the first answer.
  writeText(scratch / "in", "hello\n");
  const auto began = std::chrono::steady_clock::now();
  ChildProcess first({args, scratch.path(), scratch / "in", scratch / "out", scratch / "err"});
  ASSERT_EQ(first.wait(), 0) << readText(scratch / "err");
  const auto startup = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);

  std::vector<Run> runs;
  int next = 0;
  int killedWhileStarting = 0;
  int killedWhilePacking = 0;
  for (int k = 0; k < kills; ++k) {
    std::string input;
    for (int i = 0; i < kLinesPerRun; ++i) input += statement(next + i) + "\n";
    writeText(scratch / "in", input);
    const auto spawned = fs::file_time_type::clock::now();
    ChildProcess vesko({args, scratch.path(), scratch / "in", scratch / "out", scratch / "err"});
    ASSERT_TRUE(vesko.started());

    // A third of the kills fall anywhere in the start (loading, unpacking);
    // the rest after the first answer, 1 us to 40 ms into the chat.
    const bool fromStart = random() % 3 == 0;
    const double exponent = std::uniform_real_distribution<double>(0.0, std::log(40000.0))(random);
    const auto delay = fromStart ? std::chrono::microseconds(random() % static_cast<unsigned>(startup.count() + 1))
                                 : std::chrono::microseconds(static_cast<long>(std::exp(exponent)));
    if (!fromStart) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (countLines(scratch / "out") == 0 && vesko.running() && std::chrono::steady_clock::now() < deadline)
        if (vesko.waitFor(std::chrono::milliseconds(1)).has_value()) break;
    }
    std::this_thread::sleep_for(delay);
    vesko.kill(SIGKILL);
    const int status = vesko.wait();
    ASSERT_EQ(status, 128 + SIGKILL) << "vesko ended before its kill: " << readText(scratch / "err");
    const std::size_t answered = countLines(scratch / "out");
    if (answered == 0) ++killedWhileStarting;
    // A mind file half written by this run: the kill came while packing.
    std::error_code noFile;
    if (fs::last_write_time(fs::path(mind.string() + ".tmp"), noFile) >= spawned && !noFile) ++killedWhilePacking;

    const MindProbe probe = probeMind(mind);
    ASSERT_TRUE(probe.loaded) << "kill " << k << ": " << probe.error;
    const std::set<std::string> members(probe.members.begin(), probe.members.end());
    ASSERT_EQ(members.size(), probe.members.size()) << "kill " << k << ": a member twice";
    // The next start unpacks the mind over the banks left behind; a bank the
    // mind lacks would survive that and be packed into it at the next save.
    for (const auto& entry : fs::directory_iterator(home)) {
      if (entry.path().extension() == ".mbk") {
        ASSERT_TRUE(members.count(entry.path().filename().string())) << "kill " << k << " left " << entry.path();
      }
    }

    // Earlier runs keep exactly what their last finished save held.
    for (const Run& run : runs) {
      std::string gap;
      ASSERT_EQ(linesKept(probe, run.first, kLinesPerRun, gap), run.kept) << "kill " << k << ", run from " << run.first;
      ASSERT_TRUE(gap.empty()) << gap;
    }
    // This run: a whole number of saves; the save after line 5j has
    // finished once line 5j + 1 was answered.
    std::string gap;
    const int kept = linesKept(probe, next, kLinesPerRun, gap);
    ASSERT_TRUE(gap.empty()) << "kill " << k << ": " << gap;
    ASSERT_EQ(kept % kSaveEvery, 0) << "kill " << k << ": a mix of two saves";
    ASSERT_LE(static_cast<std::size_t>(kept), answered) << "kill " << k;
    if (answered > 0) {
      ASSERT_GE(static_cast<std::size_t>(kept), (answered - 1) / kSaveEvery * kSaveEvery)
          << "kill " << k << " lost a save; the mind holds " << probe.sentences.size() << " sentences, the last "
          << (probe.sentences.empty() ? std::string() : probe.sentences.back()) << "\n" << readText(scratch / "err");
    }
    runs.push_back({next, kept});
    next += kLinesPerRun;
  }

  // A clean run after all the kills ends with every kept line and a tidy folder.
  writeText(scratch / "in", statement(next) + "\n");
  ChildProcess last({args, scratch.path(), scratch / "in", scratch / "out", scratch / "err"});
  ASSERT_EQ(last.wait(), 0) << readText(scratch / "err");
  const MindProbe final = probeMind(mind);
  ASSERT_TRUE(final.loaded) << final.error;
  for (const Run& run : runs) {
    std::string gap;
    EXPECT_EQ(linesKept(final, run.first, kLinesPerRun, gap), run.kept) << "run from " << run.first;
  }
  EXPECT_TRUE(final.has(upper(token(next))));
  for (const auto& entry : fs::directory_iterator(home)) EXPECT_NE(entry.path().extension(), ".mbk") << entry.path();
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
  writeText(scratch / "in", "hello\n");
  auto firstStart = [&](const fs::path& home) {
    return std::make_unique<ChildProcess>(ChildOptions{{"pipe", "--user", "T", "--home", home.string()}, scratch.path(),
                                                       scratch / "in", scratch / "out", scratch / "err"});
  };
  int partial = 0;
  for (int k = 0; k < kills; ++k) {
    const fs::path home = scratch / ("home" + std::to_string(k));
    fs::create_directories(home);
    auto vesko = firstStart(home);
    // The layout takes a few milliseconds once the first file appears.
    while (fs::is_empty(home) && !vesko->waitFor(std::chrono::milliseconds(0)).has_value())
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    vesko->kill(SIGKILL);
    vesko->wait();
    int present = 0;
    for (const EmbeddedFile& file : embeddedDistribution()) {
      if (!fs::exists(home / file.name)) continue;
      ++present;
      EXPECT_EQ(readText(home / file.name), std::string(file.content)) << "kill " << k << " cut " << file.name << " short";
    }
    if (present > 0 && present < static_cast<int>(embeddedDistribution().size())) ++partial;
    if (fs::exists(home / "vesko.mnd")) {
      const MindProbe mind = probeMind(home / "vesko.mnd");
      EXPECT_TRUE(mind.loaded) << "kill " << k << ": " << mind.error;
    }
    if (fs::exists(home / "config.dat")) {
      EXPECT_EQ(readText(home / "config.dat"), "1\nvesko.mnd\n1\n3\n") << "kill " << k;
    }
    // Whatever the kill left, the next start completes.
    auto again = firstStart(home);
    EXPECT_EQ(again->wait(), 0) << "kill " << k << ": " << readText(scratch / "err");
  }
  std::printf("%d kills during first starts, %d of them inside the layout\n", kills, partial);
}

}  // namespace
}  // namespace vesko::hardening
