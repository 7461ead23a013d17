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
      {"Done. And then\n", {"Done."}},
      {"The cat sat\non the mat.\n", {"The cat sat on the mat."}},
      {"\r\n   The cat\r\n\n\tsat.\r\n", {"The cat sat."}},
      {"First.\nLast line without an end?", {"First.", "Last line without an end?"}},
      {"", {}},
  };
  for (const auto& [text, sentences] : cases) EXPECT_EQ(cut(text), sentences) << text;
}

// A Brain is taught through its normalisation into both stores; what the bot
// said last is left as it was, so no stimulus-response pair is made. Odd input
// (binary bytes, huge lines and sentences) finishes without trouble. (Cancel and
// progress are the teaching window's tests, a missing file the teach command's.)
TEST(TextTeacher, TeachesABrainWithoutTouchingItsLastAnswer) {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}, 0), std::make_unique<SeededRandom>(3)};
  Brain brain("/nonexistent-vesko-folder/", true, "Tester", std::move(environment));
  brain.grammar().setLastAnswerWords(WordList("WHAT DO YOU KNOW"));
  TextTeacher teacher(brain);
  std::istringstream in("The quick brown fox jumps over the lazy dog. Hello there!\nok\n");
  const TeachSummary summary = teacher.teach(in);
  EXPECT_TRUE(summary.sentencesRead == 2 && summary.grammarLearned == 2 && summary.knowledgeLearned == 1);
  EXPECT_EQ(brain.knowledge().sentenceCount(), 1);  // "Hello there!" is too short to remember
  EXPECT_TRUE(brain.grammar().pairCount() == 0 && brain.grammar().lastAnswerWords() == WordList("WHAT DO YOU KNOW"));
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

}  // namespace
}  // namespace vesko
