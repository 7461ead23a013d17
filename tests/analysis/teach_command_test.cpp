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

// A ban takes the bot's last answer, a remembered statement too, which is then
// not given again; "tell me about" retells what the bot remembers.
TEST(TeachCommand, BansTheLastAnswerTellsAboutATopicAndRemovesANoun) {
  TestFolder folder;
  auto brain = newBrain(folder, 1);
  EXPECT_EQ(commands(*brain, {"don't say that!"}), std::vector<std::string>{"ok, i'll try!"});
  EXPECT_TRUE(brain->badAnswers().empty());  // the bot has said nothing yet
  for (const char* line : {"START_VESKO", "Bob", "blue", "My dog is called Rex."}) brain->respond(line);
  EXPECT_EQ(brain->respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_EQ(brain->lastAnswerSource(), AnswerSource::kKnowledge);
  const std::vector<std::string> answers{"ok, i'll try!", "ok, i'll try!", "-", "YOUR DOG IS CALLED REX. ",
                                         "I don't know anything about that!" /* about OG */, "-"};
  EXPECT_EQ(commands(*brain, {"Do not say that.", "DON'T SAY THAT", "please don't say that.", "tell me about my dog.",
                              "TELL ME ABOUTDOG", "telling me about dogs"}),
            answers);
  ASSERT_EQ(brain->badAnswers().count(), 2);  // banned once each time
  EXPECT_EQ(brain->badAnswers().tail(), "YOUR DOG IS CALLED REX.");  // kept upper-cased, compared case-blind
  EXPECT_NE(brain->respond("What is my dog called?"), "your dog is called rex.");
  EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kKnowledge);
  // "... is not a noun" removes the first word of the line (not DOG, the first time).
  brain->nouns().add("DOG");
  brain->nouns().add("THE");
  EXPECT_EQ(commands(*brain, {"the word dog is not a noun", "dog is not a noun."}),
            std::vector<std::string>(2, "i'll take your word on that"));
  EXPECT_FALSE(brain->nouns().has("DOG") || brain->nouns().has("THE"));
}

// Asking about the bot is a question for the rules, not a retelling.
TEST(TeachCommand, TellMeAboutTheBotIsNoCommand) {
  TestFolder folder;
  auto brain = newBrain(folder, 1);
  brain->botInfo().name = "Vesko";
  EXPECT_EQ(commands(*brain, {"Tell me about yourself.", "tell me about YOU!", "tell me about vesko", "tell me about the"}),
            (std::vector<std::string>{"-", "-", "-", "I don't know anything about that!"}));
}

}  // namespace
}  // namespace vesko
