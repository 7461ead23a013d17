#include "learning/text_teacher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/brain.h"

namespace vesko {
namespace {

std::vector<std::string> cut(const std::string& text) {
  std::vector<std::string> sentences;
  TextTeacher teacher([&sentences](const Str& s) { sentences.push_back(s.std()); });
  std::istringstream in(text);
  teacher.teach(in);
  return sentences;
}

using Sentences = std::vector<std::string>;

TEST(TextTeacher, CutsSentencesAtMarksFollowedBySpaceOrLineEnd) {
  EXPECT_EQ(cut("Hello there. How are you?\n"), (Sentences{"Hello there.", " How are you?"}));
  EXPECT_EQ(cut("Pi is 3.14 or so, e.g. here!\n"), (Sentences{"Pi is 3.14 or so, e.g.", " here!"}));
  EXPECT_EQ(cut("One, two, three\n"), Sentences{});
  EXPECT_EQ(cut("Done. And then\n"), (Sentences{"Done."}));  // no mark at the end: not taught
}

TEST(TextTeacher, JoinsLinesWithOneSpaceAsReadLineGivesThem) {
  EXPECT_EQ(cut("The cat sat\non the mat.\n"), (Sentences{"The cat sat on the mat."}));
  EXPECT_EQ(cut("\r\n   The cat\r\n\n\tsat.\r\n"), (Sentences{"The cat sat."}));
  EXPECT_EQ(cut("First.\nLast line without an end?"), (Sentences{"First.", "Last line without an end?"}));
}

TEST(TextTeacher, OddInputFinishesWithoutTrouble) {
  EXPECT_EQ(cut(""), Sentences{});
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 37) % 256);
  EXPECT_NO_THROW(cut(binary));
  const Sentences longLine = cut(std::string(100000, 'a') + ". b.");
  ASSERT_EQ(longLine.size(), 2u);
  EXPECT_EQ(longLine[0].size(), 100001u);

  // The same through a Brain's normalisation and both stores.
  BrainEnvironment environment;
  environment.random = std::make_unique<SeededRandom>(5);
  Brain brain("/nonexistent-vesko-folder/", true, "Tester", std::move(environment));
  TextTeacher teacher(brain);
  std::string words;
  for (int i = 0; i < 5000; ++i) words += "w" + std::to_string(i) + " ";
  std::istringstream in(binary + "\n" + std::string(100000, 'a') + ". " + words + "!\n" + std::string(100000, 'b'));
  const TeachSummary summary = teacher.teach(in);
  EXPECT_GE(summary.sentencesRead, 2);
  EXPECT_LE(summary.grammarLearned, summary.sentencesRead);
}

TEST(TextTeacher, CancelStopsAfterTheCurrentSentenceAndReportsProgress) {
  std::vector<std::string> sentences;
  TextTeacher teacher([&sentences](const Str& s) { sentences.push_back(s.std()); });
  std::vector<TeachProgress> reports;
  teacher.onProgress([&](const TeachProgress& p) {
    reports.push_back(p);
    if (p.sentences >= 300) teacher.cancel();
  });
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "Sentence number " + std::to_string(i) + ".\n";
  std::istringstream in(text);
  const TeachSummary summary = teacher.teach(in, static_cast<std::int64_t>(text.size()));
  EXPECT_TRUE(summary.cancelled);
  EXPECT_EQ(summary.sentencesRead, static_cast<std::int64_t>(sentences.size()));
  EXPECT_GE(sentences.size(), 300u);
  EXPECT_LT(sentences.size(), 1000u);
  ASSERT_GE(reports.size(), 2u);
  EXPECT_LT(reports.size(), 100u);  // a modest rate, not one per sentence
  EXPECT_EQ(reports.back().sentences, summary.sentencesRead);
  EXPECT_EQ(reports.back().totalBytes, static_cast<std::int64_t>(text.size()));
}

TEST(TextTeacher, TeachesABrainWithoutTouchingItsLastAnswer) {
  BrainEnvironment environment;
  environment.clock = std::make_shared<FixedClock>(LocalTime{}, 0);
  environment.random = std::make_unique<SeededRandom>(3);
  Brain brain("/nonexistent-vesko-folder/", true, "Tester", std::move(environment));
  brain.grammar().setLastAnswerWords(WordList("WHAT DO YOU KNOW"));
  TextTeacher teacher(brain);
  std::istringstream in("The quick brown fox jumps over the lazy dog. Hello there!\nok\n");
  const TeachSummary summary = teacher.teach(in);
  EXPECT_EQ(summary.sentencesRead, 2);
  EXPECT_EQ(summary.grammarLearned, 2);
  EXPECT_EQ(summary.knowledgeLearned, brain.knowledge().sentenceCount());
  EXPECT_EQ(brain.grammar().pairCount(), 0);
  EXPECT_EQ(brain.grammar().lastAnswerWords(), WordList("WHAT DO YOU KNOW"));
  EXPECT_GE(brain.grammar().groupIdOf("FOX"), 0);
}

TEST(TextTeacher, MissingFileTeachesNothing) {
  TextTeacher teacher([](const Str&) { FAIL() << "nothing to teach"; });
  const TeachSummary summary = teacher.teachFile("/nonexistent-vesko-folder/text.txt");
  EXPECT_FALSE(summary.opened);
  EXPECT_EQ(summary.sentencesRead, 0);
}

}  // namespace
}  // namespace vesko
