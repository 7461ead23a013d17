#include <gtest/gtest.h>

#include <memory>

#include "engine/brain.h"

namespace vesko {
namespace {

// Monday, 15 January 2024, 15:07.
LocalTime mondayAfternoon() { return LocalTime{2024, 0, 15, 1, 15, 7, 0}; }

class Variables : public ::testing::Test {
 protected:
  Variables()
      : clock_(std::make_shared<FixedClock>(mondayAfternoon())),
        brain_(Str("/nonexistent-vesko-folder/"), false, Str(),
               BrainEnvironment{clock_, std::make_unique<SeededRandom>(1)}) {
    BotInfo& bot = brain_.botInfo();
    bot.name = "Vesko";
    bot.relationshipName = "Anna";
    bot.age = "21";
    bot.gender = "Male";
    bot.location = "Sofia";
    bot.relationshipType = "Married";
  }
  Str fill(const char* text) const { return brain_.substituteVariables(text); }

  std::shared_ptr<FixedClock> clock_;
  Brain brain_;
};

TEST_F(Variables, ReplacesEveryPlaceholderWithItsCurrentValue) {
  EXPECT_EQ(fill("&botname &username &day &time &sigother @age @gender @location @relationship"),
            Str("Vesko USER Monday 3:07 Anna 21 Male Sofia Married"));
  // Values are read at the moment of substitution.
  brain_.botInfo().name = "Rado";
  clock_->set(LocalTime{2024, 0, 16, 2, 9, 5, 0});
  EXPECT_EQ(fill("&botname, &day &time"), Str("Rado, Tuesday 9:05"));
}

TEST_F(Variables, MatchesAnyCaseAndKeepsWhatFollowsTheName) {
  EXPECT_EQ(fill("&USERNAME &UserName &username"), Str("USER USER USER"));
  EXPECT_EQ(fill("hi &username, &BOTNAME'S &dayly &usernames"), Str("hi USER, Vesko's Mondayly USERs"));
  // The test is a prefix test: an ending after the name stays.
  EXPECT_EQ(fill("@AGE! @relationships"), Str("21! Marrieds"));
}

TEST_F(Variables, MarksUnknownPlaceholdersAndLeavesOtherWordsAlone) {
  EXPECT_EQ(fill("@foo & &bot @"), Str("%INVALID_VARIABLE% %INVALID_VARIABLE% %INVALID_VARIABLE% %INVALID_VARIABLE%"));
  EXPECT_EQ(fill("Tom&Jerry mail@home KEEP Case"), Str("Tom&Jerry mail@home KEEP Case"));
  EXPECT_EQ(fill("  many   spaces here  "), Str("many spaces here"));
  EXPECT_EQ(fill(""), Str(""));
}

}  // namespace
}  // namespace vesko
