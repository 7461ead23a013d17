// The program's command line: its option parser, usage errors, help and the
// mind tools.
#include <gtest/gtest.h>

#include <set>

#include "app/options.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

constexpr OptionSpec kSpecs[] = {{"home", 0, true}, {"force", 'f', false}, {"user", 'u', true}};

ParsedOptions parse(std::vector<std::string> args, bool stopAtOperand = false) {
  args.insert(args.begin(), "vesko");
  return parseOptions(args, 1, kSpecs, stopAtOperand);
}

TEST(OptionParser, GnuSpellingsOperandsAndUsageErrors) {
  const auto parsed = parse({"a", "--home", "/x", "-f", "--user=Ann", "b", "-uBob", "--", "--force"});
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  // Flags map to "", and of a repeated option the last value wins.
  EXPECT_EQ(parsed.values, (std::map<std::string, std::string>{{"home", "/x"}, {"force", ""}, {"user", "Bob"}}));
  EXPECT_EQ(parsed.operands, (std::vector<std::string>{"a", "b", "--force"}));
  const auto global = parse({"--home", "h", "chat", "--force"}, true);
  EXPECT_EQ(global.next, 3u);
  EXPECT_FALSE(global.has("force"));
  EXPECT_EQ(parse({"-x"}).error, "unknown option '-x'");
  EXPECT_EQ(parse({"--home"}).error, "option '--home' needs a value");
  EXPECT_EQ(parse({"--force=yes"}).error, "option '--force' takes no value");
  EXPECT_EQ(parseCount("4294967295", 4294967295ull), 4294967295ull);
  for (const char* bad : {"", "-1", "1x", " 1", "4294967296"}) EXPECT_FALSE(parseCount(bad, 4294967295ull)) << bad;
}

TEST(CommandLine, UsageErrorsExitWithTwoAndEveryCommandHasHelp) {
  // The command list lines up in one column.
  std::set<std::size_t> columns;
  for (const std::string& line : lines(runVesko(ScratchDir().path(), {"--help"}).out))
    if (line.size() > 2 && line.starts_with("  ") && std::islower(static_cast<unsigned char>(line[2])))
      columns.insert(line.find_first_not_of(' ', line.find("  ", 2)));
  EXPECT_EQ(columns.size(), 1u);
  ScratchDir dir;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"nosuch"}, {"--frobnicate"}, {"chat", "extra"},
                                              {"pipe", "--save-every", "-1"}, {"mind", "eat", "x"}, {"teach"}}) {
    const Outcome run = runVesko(dir.path(), args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find("--help' for more information"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(holdsAny(dir.path(), ".mnd"));
  for (const std::string command : {"chat", "pipe", "teach", "check-rules", "new-mind", "init-mind", "mind"}) {
    const Outcome run = runVesko(dir.path(), {command, "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: vesko " + command, 0), 0u) << run.out;
  }
}

TEST(MindTools, InfoUnpackAndPackAndNeverTouchATooNewMind) {
  ScratchDir dir;
  Members mind = smallMind();
  mind.insert(mind.begin() + 1, {"context.mbk", "###CONTEXT###\nHI\n0\n###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T hi\n"});
  writeText(dir / "a.mnd", mindText(mind));
  const Outcome info = runVesko(dir.path(), {"mind", "info", "a.mnd"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("generation: 300"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("nouns:      2\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("rules:      2 for statements, 0 for questions\n"), std::string::npos) << info.out;
  // A bare name with --home is the mind in that folder.
  fs::create_directories(dir / "away");
  const Outcome elsewhere = runVesko(dir / "away", {"mind", "info", "a.mnd", "--home", dir.path().string()});
  EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
  EXPECT_NE(elsewhere.out.find("mind:       " + (dir / "a.mnd").string()), std::string::npos) << elsewhere.out;
  EXPECT_EQ(runVesko(dir.path(), {"mind", "unpack", "a.mnd", "banks"}).status, 0);
  EXPECT_EQ(readText(dir / "banks" / "nouns.mbk"), "DOG\nCAT\n");
  EXPECT_EQ(runVesko(dir.path(), {"mind", "pack", "banks", "b.mnd"}).status, 0);
  EXPECT_EQ(readText(dir / "b.mnd"), readText(dir / "a.mnd"));
  EXPECT_EQ(runVesko(dir.path(), {"mind", "pack", "missing-folder", "c.mnd"}).status, 1);

  writeText(dir / "new.mnd", mindText(smallMind("400")));
  const Outcome refused = runVesko(dir.path(), {"mind", "info", "new.mnd"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("too new"), std::string::npos) << refused.out;
  EXPECT_EQ(readText(dir / "new.mnd"), mindText(smallMind("400")));
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
}

TEST(MindTools, AdvancedNewMindIsBuiltFromTheFolderSourcesButNeverInTheWorkingFolder) {
  ScratchDir dir;
  writeText(dir / "config.dat", "1\nvesko.mnd\n");
  fs::create_directories(dir / "src");
  writeText(dir / "src" / "input_l.txt", "I like green apples.\nThe sky is blue today.\n");
  writeText(dir / "src" / "input_k.txt", "The sun is a star.\n");
  writeText(dir / "src" / "nouns.mbk", "APPLE\n");
  // Without the bot's attributes the mind would have no name: refused.
  const Outcome nameless = runVesko(dir.path(), {"new-mind", "--advanced", "src"});
  EXPECT_EQ(nameless.status, 1);
  EXPECT_NE(nameless.err.find("no botinfo.mbk"), std::string::npos) << nameless.err;
  writeText(dir / "src" / "botinfo.mbk", "Nova\nfriend\nnobody\nfemale\n2\nhere\n");
  EXPECT_EQ(runVesko(dir.path(), {"new-mind", "--advanced", "src"}).status, 0);
  const std::string mind = readText(dir / "src" / "new.mnd");
  for (const char* member : {"[{[groups.mbk]}]", "[{[nouns.mbk]}]\nAPPLE", "[{[morvash.mbk]}]\n1\nTHE SUN IS A STAR.",
                             "[{[version.mbk]}]\n4.1\n300"})
    EXPECT_NE(mind.find(member), std::string::npos) << member;
  EXPECT_EQ(runVesko(dir.path(), {"new-mind", "--advanced", "src"}).status, 1);  // new.mnd stands
  EXPECT_EQ(runVesko(dir.path(), {"new-mind", "--advanced", "."}).status, 1);    // the working folder
}

TEST(MindTools, NewMindComesFromTheDefaultsAndReplacesOnlyWhenForced) {
  ScratchDir dir;
  writeText(dir / "config.dat", "1\nvesko.mnd\n");
  writeText(dir / "botinfo.x", "Nova\nfriend\nnobody\nfemale\n2\nhere\n");
  EXPECT_EQ(runVesko(dir.path(), {"new-mind", "fresh"}).status, 0);
  EXPECT_NE(readText(dir / "fresh.mnd").find("[{[botinfo.mbk]}]\nNova\n"), std::string::npos);
  // Replacing a mind needs --force, or --yes for init-mind without a terminal.
  for (const std::string command : {"new-mind", "init-mind"}) {
    writeText(dir / "fresh.mnd", "learned\n");
    EXPECT_EQ(runVesko(dir.path(), {command, "fresh.mnd"}).status, 1) << command;
    EXPECT_EQ(readText(dir / "fresh.mnd"), "learned\n");
    EXPECT_EQ(runVesko(dir.path(), {command, command == "new-mind" ? "--force" : "--yes", "fresh.mnd"}).status, 0);
    EXPECT_NE(readText(dir / "fresh.mnd").find("Nova"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace vesko::app
