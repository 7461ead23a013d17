#include <gtest/gtest.h>

#include "engine/brain.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

class TeachCommand : public ::testing::Test {
 protected:
  TestFolder folder;
  Brain brain{folder.path(), false, "",
              BrainEnvironment{std::make_shared<FixedClock>(LocalTime{2024, 2, 15, 5, 10, 0, 0}),
                               std::make_unique<SeededRandom>(1)}};

  // The command's answer, or "(no command)".
  Str command(const char* line) {
    Str answer = "(no command)";
    brain.teachCommand(line, answer);
    return answer;
  }
};

TEST_F(TeachCommand, DontSayThatBansTheLastAnswerOnceEachTime) {
  EXPECT_EQ(command("don't say that!"), "ok, i'll try!");
  EXPECT_TRUE(brain.badAnswers().empty());  // the bot has said nothing yet
  folder.write("idq.mbk", "Q0=What is your name?\n");
  ASSERT_TRUE(brain.facts().loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
  brain.respond("START_VESKO");
  EXPECT_EQ(command("Do not say that."), "ok, i'll try!");
  EXPECT_EQ(command("DON'T SAY THAT"), "ok, i'll try!");
  ASSERT_EQ(brain.badAnswers().count(), 2);
  EXPECT_EQ(brain.badAnswers().tail(), "WHAT IS YOUR NAME?");
  EXPECT_EQ(command("dont say that."), "(no command)");
  EXPECT_EQ(command("please don't say that."), "(no command)");
}

TEST_F(TeachCommand, TellMeAboutAsksTheKnowledgeStore) {
  brain.knowledge().learn(WordList(Str("MY DOG IS BIG")));
  EXPECT_EQ(command("tell me about my dog."), "YOUR DOG IS BIG ");
  EXPECT_EQ(command("tell me about."), "");
  EXPECT_EQ(command("TELL ME ABOUTDOG"), "I don't know anything about that!");  // asks about OG
  EXPECT_EQ(command("TELL ME ABOUTXDOG"), "YOUR DOG IS BIG ");
  EXPECT_EQ(command("telling me about dogs"), "(no command)");
}

TEST_F(TeachCommand, IsNotANounRemovesTheFirstWord) {
  brain.nouns().add("DOG");
  brain.nouns().add("THE");
  EXPECT_EQ(command("the word dog is not a noun"), "i'll take your word on that");
  EXPECT_TRUE(brain.nouns().has("DOG"));
  EXPECT_FALSE(brain.nouns().has("THE"));
  EXPECT_EQ(command("dog is not a noun."), "i'll take your word on that");
  EXPECT_FALSE(brain.nouns().has("DOG"));
}

TEST_F(TeachCommand, ARememberedAnswerThatWasBannedIsNotGivenAgain) {
  brain.respond("START_VESKO");
  brain.respond("Bob");
  brain.respond("blue");
  brain.respond("My dog is called Rex.");
  EXPECT_EQ(brain.respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_EQ(brain.lastAnswerSource(), AnswerSource::kKnowledge);
  EXPECT_EQ(brain.respond("don't say that"), "ok, i'll try!");
  EXPECT_NE(brain.respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_NE(brain.lastAnswerSource(), AnswerSource::kKnowledge);
}

}  // namespace
}  // namespace vesko
