#include <gtest/gtest.h>

#include "engine/brain.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

// The command's answer to each line in turn, "-" for a line that is no command.
std::vector<std::string> commands(Brain& brain, std::initializer_list<const char*> lines) {
  std::vector<std::string> answers;
  for (const char* line : lines) {
    Str answer = "-";
    brain.teachCommand(line, answer);
    answers.push_back(answer.std());
  }
  return answers;
}

TEST(TeachCommand, BansTheLastAnswerTellsAboutATopicAndRemovesANoun) {
  TestFolder folder;
  auto brain = newBrain(folder, 1);
  EXPECT_EQ(commands(*brain, {"don't say that!"}), std::vector<std::string>{"ok, i'll try!"});
  EXPECT_TRUE(brain->badAnswers().empty());  // the bot has said nothing yet
  folder.write("idq.mbk", "Q0=What is your name?\n");
  ASSERT_TRUE(brain->facts().loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
  brain->respond("START_VESKO");
  brain->knowledge().learn(WordList(Str("MY DOG IS BIG")));
  brain->nouns().add("DOG");
  brain->nouns().add("THE");
  const std::vector<std::string> answers{"ok, i'll try!", "ok, i'll try!", "-", "-", "YOUR DOG IS BIG ", "",
                                         "I don't know anything about that!" /* about OG */, "YOUR DOG IS BIG ", "-"};
  EXPECT_EQ(commands(*brain, {"Do not say that.", "DON'T SAY THAT", "dont say that.", "please don't say that.",
                              "tell me about my dog.", "tell me about.", "TELL ME ABOUTDOG", "TELL ME ABOUTXDOG",
                              "telling me about dogs"}),
            answers);
  ASSERT_EQ(brain->badAnswers().count(), 2);  // banned once each time
  EXPECT_EQ(brain->badAnswers().tail(), "WHAT IS YOUR NAME?");
  // "... is not a noun" removes the first word of the line.
  EXPECT_EQ(commands(*brain, {"the word dog is not a noun"}), std::vector<std::string>{"i'll take your word on that"});
  EXPECT_TRUE(brain->nouns().has("DOG") && !brain->nouns().has("THE"));
  EXPECT_EQ(commands(*brain, {"dog is not a noun."}), std::vector<std::string>{"i'll take your word on that"});
  EXPECT_FALSE(brain->nouns().has("DOG"));
}

TEST(TeachCommand, ARememberedAnswerThatWasBannedIsNotGivenAgain) {
  TestFolder folder;
  auto brain = newBrain(folder, 1);
  for (const char* line : {"START_VESKO", "Bob", "blue", "My dog is called Rex."}) brain->respond(line);
  EXPECT_EQ(brain->respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_EQ(brain->lastAnswerSource(), AnswerSource::kKnowledge);
  EXPECT_EQ(brain->respond("don't say that"), "ok, i'll try!");
  EXPECT_NE(brain->respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kKnowledge);
}

}  // namespace
}  // namespace vesko
