// The tools for rule writers and bridge operators, run as users run them:
// --trace and --no-learn of the chat commands, and mind diff.
#include "app/mind_diff.h"

#include <gtest/gtest.h>

#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

class RuleWriterTools : public ::testing::Test {
 protected:
  // A fresh default mind: the program lays out the distribution itself.
  std::vector<std::string> home(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", dir.path().string()});
    return args;
  }
  std::string mind() const { return (dir / "vesko.mnd").string(); }
  ScratchDir dir;
};

// The trace line of the n-th answer (standard error holds nothing else here).
std::string traceLine(const Outcome& run, std::size_t n) {
  std::vector<std::string> traces;
  for (const std::string& line : lines(run.err))
    if (line.rfind("trace: ", 0) == 0) traces.push_back(line);
  return n < traces.size() ? traces[n] : std::string();
}

TEST_F(RuleWriterTools, TraceNamesTheRuleArithmeticAndMemory) {
  const Outcome run = runVesko(dir.path(), home({"pipe", "--trace", "--user", "Ann", "--seed", "4"}),
                               "I like dogs a lot\nwhat is 12 times 3\nmy aunt breeds purple parrots in Lisbon\nparrots?\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(lines(run.out).size(), 4u);
  // "rules: block FILE:LINE, response line N", and both lines hold what they say.
  const std::string rule = traceLine(run, 0);
  const std::string prefix = "trace: rules: block " + (dir / "context.mbk").string() + ":";
  ASSERT_EQ(rule.rfind(prefix, 0), 0u) << rule;
  const std::size_t block = std::stoul(rule.substr(prefix.size()));
  const std::size_t response = std::stoul(rule.substr(rule.find("response line ") + 14));
  EXPECT_NE(rule.find("(the same lines in context.x)"), std::string::npos) << rule;
  const std::vector<std::string> bank = lines(readText(dir / "context.x"));
  ASSERT_LT(response, bank.size() + 1);
  EXPECT_EQ(bank[block - 1], "###CONTEXT###");
  EXPECT_GT(response, block);
  EXPECT_EQ(traceLine(run, 1), "trace: arithmetic");
  EXPECT_EQ(traceLine(run, 3).rfind("trace: memory: sentence ", 0), 0u) << run.err;
}

TEST_F(RuleWriterTools, NoLearnLeavesTheMindByteForByteAndLearningShowsInTheDiff) {
  ASSERT_EQ(runVesko(dir.path(), home({"pipe", "--user", "Ann"}), "hello\n").status, 0);
  const std::string before = readText(mind());
  writeText(dir / "before.mnd", before);
  std::string input;
  for (int i = 0; i < 100; ++i) input += "my cousin number " + std::to_string(i) + " collects old maps\nwhat is up?\n";
  input += "don't say that\n";

  const Outcome quiet = runVesko(dir.path(), home({"pipe", "--no-learn", "--user", "Ann"}), input);
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(lines(quiet.out).size(), 201u);
  EXPECT_EQ(readText(mind()), before);
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  const Outcome same = runVesko(dir.path(), home({"mind", "diff", "before.mnd", mind()}));
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "The minds hold the same.\n");

  ASSERT_EQ(runVesko(dir.path(), home({"pipe", "--user", "Ann"}), input).status, 0);
  EXPECT_NE(readText(mind()), before);
  const Outcome diff = runVesko(dir.path(), home({"mind", "diff", "before.mnd", mind()}));
  EXPECT_EQ(diff.status, 1) << diff.err;
  EXPECT_NE(diff.out.find("remembered statements: 100 only in B, 0 only in A\n"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("  + MY COUSIN NUMBER 0 COLLECTS OLD MAPS.\n"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("  + ... 90 more\n"), std::string::npos);
  const Outcome json = runVesko(dir.path(), home({"mind", "diff", "--json", mind(), "before.mnd"}));
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("{\"bank\": \"remembered statements\", \"onlyInA\": 100, \"onlyInB\": 0"), std::string::npos)
      << json.out;
}

TEST_F(RuleWriterTools, BadInputGetsAClearRefusal) {
  const Outcome both = runVesko(dir.path(), home({"pipe", "--no-learn", "--save-every", "5"}));
  EXPECT_EQ(both.status, 2);
  EXPECT_NE(both.err.find("--save-every cannot be used with --no-learn"), std::string::npos) << both.err;

  ASSERT_EQ(runVesko(dir.path(), home({"pipe", "--user", "Ann"}), "hello\n").status, 0);
  const Outcome twice = runVesko(dir.path(), home({"mind", "diff", mind(), mind()}));
  EXPECT_EQ(twice.status, 0) << twice.err;
  const Outcome folder = runVesko(dir.path(), home({"mind", "diff", mind(), dir.path().string()}));
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("is a folder, not a mind file"), std::string::npos) << folder.err;
  std::string damaged = readText(mind());
  damaged.insert(damaged.find("[{[morvash.mbk]}]\n") + 18, "many\n");
  writeText(dir / "damaged.mnd", damaged);
  const Outcome broken = runVesko(dir.path(), home({"mind", "diff", "damaged.mnd", mind()}));
  EXPECT_EQ(broken.status, 2);
  EXPECT_NE(broken.err.find("damaged.mnd"), std::string::npos) << broken.err;
  EXPECT_EQ(runVesko(dir.path(), home({"mind", "diff", "missing.mnd", mind()})).status, 2);
}

}  // namespace
}  // namespace vesko::app
