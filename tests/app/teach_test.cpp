// vesko teach end to end, and the progress bar it draws on a terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/progress_bar.h"
#include "shell_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

TEST(TeachCommand, RefusesMissingFilesAndUnusableMindsThenTeachesEveryFile) {
  ScratchDir dir;
  writeText(dir / "config.dat", "0\na.mnd\n0\n1\n");
  writeText(dir / "a.mnd", mindText(smallMind()));
  writeText(dir / "new.mnd", mindText(smallMind("400")));
  writeText(dir / "one.txt", "The quick fox likes green apples. Is it\nred? Yes it is.\nMy sister lives in\n"
                             "the old harbour town! And then");
  writeText(dir / "two.txt", "Our neighbour plays the violin every evening.\n");
  // A missing file is refused before any other is read.
  const Outcome missing = runVesko(dir.path(), {"teach", "one.txt", "absent.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("absent.txt"), std::string::npos) << missing.err;
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(readText(dir / "a.mnd"), mindText(smallMind()));
  EXPECT_EQ(runVesko(dir.path(), {"teach", "--mind", "new.mnd", "one.txt"}).status, 1);
  EXPECT_EQ(readText(dir / "new.mnd"), mindText(smallMind("400")));

  const Outcome run = runVesko(dir.path(), {"teach", "one.txt", "two.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The question and the three-word sentence are read but not remembered.
  EXPECT_EQ(run.out.substr(0, run.out.find("Mind saved: ")),
            "one.txt: 4 sentences read, 4 learned by the grammar model, 2 learned by the knowledge store\n"
            "two.txt: 1 sentence read, 1 learned by the grammar model, 1 learned by the knowledge store\n"
            "total: 5 sentences read, 5 learned by the grammar model, 3 learned by the knowledge store\n");
  EXPECT_EQ(run.err, "");  // no progress bar without a terminal
  const std::string mind = readText(dir / "a.mnd");
  for (const std::string statement : {"THE QUICK FOX LIKES GREEN APPLES", "MY SISTER LIVES IN THE OLD HARBOUR TOWN",
                                      "OUR NEIGHBOUR PLAYS THE VIOLIN EVERY EVENING"})
    EXPECT_NE(mind.find(statement), std::string::npos) << statement;
  EXPECT_EQ(mind.find("AND THEN"), std::string::npos);
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
  EXPECT_NE(runVesko(dir.path(), {"mind", "info", "a.mnd"}).out.find("sentences:  3\n"), std::string::npos);
}

TEST(ProgressBar, RedrawsAtMostTenTimesASecondAndEndsOnTheWholeCount) {
  std::ostringstream out;
  auto now = std::chrono::steady_clock::time_point();
  ProgressBar bar(out, "a.txt", [&now] { return now; });
  for (int i = 1; i <= 100; ++i, now += std::chrono::milliseconds(10)) bar.update(i, i, 100);  // one second in all
  bar.finish();
  const std::string drawn = out.str();
  const auto redraws = std::count(drawn.begin(), drawn.end(), '\r');
  EXPECT_TRUE(redraws >= 10 && redraws <= 12) << redraws;
  EXPECT_NE(drawn.find("100%  100 sentences  100/s\033[K\n"), std::string::npos) << drawn;
}

}  // namespace
}  // namespace vesko::app
