// vesko teach end to end, and the progress bar it draws on a terminal.
#include <gtest/gtest.h>

#include <sstream>

#include "app/progress_bar.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

TEST(TeachCommand, TeachesEveryFileAndSavesTheMind) {
  ScratchDir dir;
  writeText(dir / "config.dat", "0\na.mnd\n0\n1\n");
  writeMind(dir / "a.mnd", smallMind());
  writeText(dir / "one.txt", "The quick fox likes green apples. Is it\nred? Yes it is.\nMy sister lives in\n"
                             "the old harbour town! And then");
  writeText(dir / "two.txt", "Our neighbour plays the violin every evening.\n");
  const Outcome run = runVesko(dir.path(), {"teach", "one.txt", "two.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto report = lines(run.out);
  ASSERT_EQ(report.size(), 4u) << run.out;
  // The question and the three-word sentence are read but not remembered.
  EXPECT_EQ(report[0].rfind("one.txt: 4 sentences read, ", 0), 0u) << report[0];
  EXPECT_NE(report[0].find(", 4 learned by the grammar model, 2 learned by the knowledge store"), std::string::npos)
      << report[0];
  EXPECT_EQ(report[2].rfind("total: 5 sentences read, ", 0), 0u) << report[2];
  EXPECT_EQ(run.err, "");  // no progress bar without a terminal

  const std::string mind = readText(dir / "a.mnd");
  for (const std::string statement : {"THE QUICK FOX LIKES GREEN APPLES", "MY SISTER LIVES IN THE OLD HARBOUR TOWN",
                                      "OUR NEIGHBOUR PLAYS THE VIOLIN EVERY EVENING"})
    EXPECT_NE(mind.find(statement), std::string::npos) << statement;
  EXPECT_EQ(mind.find("AND THEN"), std::string::npos);
  EXPECT_TRUE(filesEndingWith(dir.path(), ".mbk").empty());
  const Outcome info = runVesko(dir.path(), {"mind", "info", "a.mnd"});
  EXPECT_NE(info.out.find("sentences:  3\n"), std::string::npos) << info.out;
}

TEST(TeachCommand, RefusesAtOnceWhenAFileIsMissing) {
  ScratchDir dir;
  writeText(dir / "config.dat", "0\na.mnd\n0\n1\n");
  writeMind(dir / "a.mnd", smallMind());
  const std::string before = readText(dir / "a.mnd");
  writeText(dir / "one.txt", "The quick fox likes green apples.\n");
  const Outcome run = runVesko(dir.path(), {"teach", "one.txt", "absent.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("absent.txt"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("one.txt"), std::string::npos) << run.err;
  EXPECT_EQ(readText(dir / "a.mnd"), before);
  EXPECT_EQ(runVesko(dir.path(), {"teach"}).status, 2);

  // A mind that does not load is refused, and nothing is saved over it.
  writeMind(dir / "new.mnd", smallMind("400"));
  const std::string tooNew = readText(dir / "new.mnd");
  EXPECT_EQ(runVesko(dir.path(), {"teach", "--mind", "new.mnd", "one.txt"}).status, 1);
  EXPECT_EQ(readText(dir / "new.mnd"), tooNew);
}

TEST(ProgressBar, ShowsPercentRateAndRedrawsAtMostTenTimesASecond) {
  EXPECT_EQ(progressText("a.txt", 150, 512, 1024, 2.0), "a.txt [############............]  50%  150 sentences  75/s");
  EXPECT_EQ(progressText("a.txt", 1, 9, -1, 0.0), "a.txt  1 sentence");
  EXPECT_EQ(progressText(std::string(40, 'x') + ".txt", 0, 0, 0, 0.0).substr(0, 8), "...xxxxx");

  std::ostringstream out;
  auto now = std::chrono::steady_clock::time_point();
  ProgressBar bar(out, "a.txt", [&now] { return now; });
  for (int i = 1; i <= 100; ++i) {
    now += std::chrono::milliseconds(10);  // one second in all
    bar.update(i, i, 100);
  }
  bar.finish();
  const std::string drawn = out.str();
  const auto redraws = std::count(drawn.begin(), drawn.end(), '\r');
  EXPECT_GE(redraws, 10);
  EXPECT_LE(redraws, 12);
  EXPECT_NE(drawn.find("100%  100 sentences  100/s\033[K\n"), std::string::npos) << drawn;
}

}  // namespace
}  // namespace vesko::app
