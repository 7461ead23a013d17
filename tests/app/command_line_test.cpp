// The program's command line: usage errors, help and the mind tools.
#include <gtest/gtest.h>

#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

TEST(CommandLine, UsageErrorsExitWithTwoAndPointToHelp) {
  ScratchDir dir;
  const std::vector<std::vector<std::string>> wrong = {
      {"nosuch"},          {"--frobnicate"},        {"--home"},          {"--seed", "x", "chat"},
      {"chat", "extra"},   {"pipe", "--save-every", "-1"}, {"new-mind"},  {"mind"},
      {"mind", "eat", "x"}, {"mind", "info"},       {"chat", "--seed=4294967296"}};
  for (const auto& args : wrong) {
    const Outcome run = runVesko(dir.path(), args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find("--help' for more information"), std::string::npos) << run.err;
  }
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mnd").empty());
}

TEST(CommandLine, EveryCommandHasHelp) {
  ScratchDir dir;
  for (const std::string command : {"chat", "pipe", "teach", "check-rules", "new-mind", "init-mind", "mind"}) {
    const Outcome run = runVesko(dir.path(), {command, "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: vesko " + command, 0), 0u) << run.out;
  }
  EXPECT_EQ(runVesko(dir.path(), {"mind", "pack", "--help"}).out.rfind("Usage: vesko mind pack", 0), 0u);
  const Outcome version = runVesko(dir.path(), {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("4.1"), std::string::npos);
}

TEST(MindTools, InfoLooksWithoutTouching) {
  ScratchDir dir;
  writeMind(dir / "a.mnd", smallMind());
  const Outcome info = runVesko(dir.path(), {"mind", "info", "a.mnd"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("generation: 300"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("nouns:      2\n"), std::string::npos) << info.out;

  writeMind(dir / "new.mnd", smallMind("400"));
  const std::string before = readText(dir / "new.mnd");
  const Outcome refused = runVesko(dir.path(), {"mind", "info", "new.mnd"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("too new"), std::string::npos) << refused.out;
  EXPECT_EQ(readText(dir / "new.mnd"), before);
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
}

TEST(MindTools, UnpackAndPackRoundTrip) {
  ScratchDir dir;
  writeMind(dir / "a.mnd", smallMind());
  EXPECT_EQ(runVesko(dir.path(), {"mind", "unpack", "a.mnd", "banks"}).status, 0);
  EXPECT_EQ(readText(dir / "banks" / "nouns.mbk"), "DOG\nCAT\n");
  EXPECT_EQ(runVesko(dir.path(), {"mind", "pack", "banks", "b.mnd"}).status, 0);
  EXPECT_EQ(runVesko(dir.path(), {"mind", "unpack", "b.mnd", "again"}).status, 0);
  for (const std::string bank : {"botinfo.mbk", "version.mbk", "nouns.mbk", "emoticon.mbk"})
    EXPECT_EQ(readText(dir / "again" / bank), readText(dir / "banks" / bank)) << bank;
  EXPECT_EQ(runVesko(dir.path(), {"mind", "pack", "empty-folder-missing", "c.mnd"}).status, 1);
}

TEST(MindTools, NewMindComesFromTheDefaultsAndReplacesOnlyWhenForced) {
  ScratchDir dir;
  writeText(dir / "config.dat", "1\nvesko.mnd\n");
  writeText(dir / "botinfo.x", "Nova\nfriend\nnobody\nfemale\n2\nhere\n");
  const Outcome made = runVesko(dir.path(), {"new-mind", "fresh"});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_NE(readText(dir / "fresh.mnd").find("[{[botinfo.mbk]}]\nNova\n"), std::string::npos);

  writeText(dir / "fresh.mnd", "precious\n");
  const Outcome refused = runVesko(dir.path(), {"new-mind", "fresh.mnd"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("--force"), std::string::npos);
  EXPECT_EQ(readText(dir / "fresh.mnd"), "precious\n");
  EXPECT_EQ(runVesko(dir.path(), {"new-mind", "--force", "fresh.mnd"}).status, 0);
  EXPECT_NE(readText(dir / "fresh.mnd").find("Nova"), std::string::npos);

  // Without a terminal, init-mind wants --yes.
  writeText(dir / "fresh.mnd", "learned\n");
  EXPECT_EQ(runVesko(dir.path(), {"init-mind", "fresh.mnd"}).status, 1);
  EXPECT_EQ(readText(dir / "fresh.mnd"), "learned\n");
  EXPECT_EQ(runVesko(dir.path(), {"init-mind", "--yes", "fresh.mnd"}).status, 0);
  EXPECT_NE(readText(dir / "fresh.mnd").find("Nova"), std::string::npos);
}

}  // namespace
}  // namespace vesko::app
