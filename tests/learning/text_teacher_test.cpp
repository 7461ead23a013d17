#include "learning/text_teacher.h"

#include <gtest/gtest.h>

#include <sstream>

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

// Sentences end at a mark followed by a space or a line end; lines are joined
// with one space as readLine gives them; text after the last mark is not taught.
TEST(TextTeacher, CutsSentencesAtMarksAndJoinsLines) {
  const std::pair<std::string, Sentences> cases[] = {
      {"Hello there. How are you?\n", {"Hello there.", " How are you?"}},
      {"Pi is 3.14 or so, e.g. here!\n", {"Pi is 3.14 or so, e.g.", " here!"}},
      {"One, two, three\n", {}},
      {"Done. And then\n", {"Done."}},
      {"The cat sat\non the mat.\n", {"The cat sat on the mat."}},
      {"\r\n   The cat\r\n\n\tsat.\r\n", {"The cat sat."}},
      {"First.\nLast line without an end?", {"First.", "Last line without an end?"}},
      {"", {}},
  };
  for (const auto& [text, sentences] : cases) EXPECT_EQ(cut(text), sentences) << text;
  const Sentences longLine = cut(std::string(100000, 'a') + ". b.");
  ASSERT_EQ(longLine.size(), 2u);
  EXPECT_EQ(longLine[0].size(), 100001u);
}

// A Brain is taught through its normalisation into both stores; what the bot
// said last is left as it was, so no stimulus-response pair is made. Odd input
// (binary bytes, huge lines and sentences) finishes without trouble.
TEST(TextTeacher, TeachesABrainWithoutTouchingItsLastAnswer) {
  BrainEnvironment environment;
  environment.clock = std::make_shared<FixedClock>(LocalTime{}, 0);
  environment.random = std::make_unique<SeededRandom>(3);
  Brain brain("/nonexistent-vesko-folder/", true, "Tester", std::move(environment));
  brain.grammar().setLastAnswerWords(WordList("WHAT DO YOU KNOW"));
  TextTeacher teacher(brain);
  std::istringstream in("The quick brown fox jumps over the lazy dog. Hello there!\nok\n");
  const TeachSummary summary = teacher.teach(in);
  EXPECT_TRUE(summary.sentencesRead == 2 && summary.grammarLearned == 2);
  EXPECT_EQ(summary.knowledgeLearned, brain.knowledge().sentenceCount());
  EXPECT_EQ(brain.grammar().pairCount(), 0);
  EXPECT_EQ(brain.grammar().lastAnswerWords(), WordList("WHAT DO YOU KNOW"));
  EXPECT_GE(brain.grammar().groupIdOf("FOX"), 0);

  std::string odd;
  for (int i = 0; i < 5000; ++i) odd += static_cast<char>((i * 37) % 256);
  odd += "\n" + std::string(100000, 'a') + ". ";
  for (int i = 0; i < 5000; ++i) odd += "w" + std::to_string(i) + " ";
  std::istringstream oddIn(odd + "!\n" + std::string(100000, 'b'));
  const TeachSummary oddSummary = teacher.teach(oddIn);
  EXPECT_GE(oddSummary.sentencesRead, 2);
  EXPECT_LE(oddSummary.grammarLearned, oddSummary.sentencesRead);
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
  EXPECT_TRUE(sentences.size() >= 300u && sentences.size() < 1000u);
  EXPECT_TRUE(reports.size() >= 2u && reports.size() < 100u);  // a modest rate, not one per sentence
  EXPECT_EQ(reports.back().sentences, summary.sentencesRead);
  EXPECT_EQ(reports.back().totalBytes, static_cast<std::int64_t>(text.size()));
  const TeachSummary missing = teacher.teachFile("/nonexistent-vesko-folder/text.txt");
  EXPECT_TRUE(!missing.opened && missing.sentencesRead == 0);
}

}  // namespace
}  // namespace vesko
