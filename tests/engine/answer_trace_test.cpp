// Answer tracing and the Brain that does not learn: where each answer came
// from, and a chat that leaves every bank of the mind as it was.
#include "engine/answer_trace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/brain.h"
#include "storage/test_folder.h"

namespace vesko {
namespace {

// Two blocks before the one that answers, three responses, and blank lines
// (which the rule reader skips), so file lines have to be counted right.
const char* kContext =
    "###CONTEXT###\nCATS\n0\n###RESPONSE###\n@@T cats are fine\n\n\n"
    "###CONTEXT###\nBIRDS\n0\n###CONTEXT###\nDOGS\n0\n  \n###RESPONSE###\n@@T first dog\n\n@@T second dog\n"
    "@@T third dog\n";

std::vector<std::string> fileLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::unique_ptr<Brain> headlessBrain(const TestFolder& folder, std::uint32_t seed) {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{2026, 11, 6, 0, 15, 30, 0}),
                               std::make_unique<SeededRandom>(seed)};
  auto brain = std::make_unique<Brain>(folder.path(), true, Str("Ann"), std::move(environment));
  EXPECT_TRUE(brain->loadMind(folder.path("none.mnd")).loaded());
  return brain;
}

TEST(AnswerTrace, RuleAnswerNamesTheBankTheBlockAndTheResponseLine) {
  TestFolder folder;
  folder.write("context.mbk", kContext);
  const std::vector<std::string> lines = fileLines(kContext);
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    auto brain = headlessBrain(folder, seed);
    brain->setTracing(true);
    const Str answer = brain->respond("I walk my dogs");
    const AnswerTrace trace = brain->lastAnswerTrace();
    ASSERT_EQ(trace.source, AnswerSource::kRules);
    EXPECT_EQ(trace.ruleBank, folder.path("context.mbk"));
    EXPECT_EQ(trace.blockLine, 11);  // the DOGS block's header
    ASSERT_GE(trace.responseLine, 1);
    ASSERT_LE(trace.responseLine, static_cast<std::int32_t>(lines.size()));
    EXPECT_EQ(lines[static_cast<std::size_t>(trace.responseLine - 1)], "@@T " + answer.std());
    EXPECT_NE(describeTrace(trace).find(folder.path("context.mbk").std() + ":11,"), std::string::npos);
  }
}

TEST(AnswerTrace, MemoryAnswerNamesTheSentenceAndItsScore) {
  TestFolder folder;
  auto brain = headlessBrain(folder, 3);
  brain->setTracing(true);
  brain->respond("my sister plays the violin");
  brain->respond("the old harbour smells of tar");
  brain->respond("harbour?");
  const AnswerTrace trace = brain->lastAnswerTrace();
  ASSERT_EQ(trace.source, AnswerSource::kKnowledge);
  EXPECT_EQ(trace.sentence, 1);
  EXPECT_EQ(trace.score, 2);  // one keyword, no bonus
  EXPECT_EQ(describeTrace(trace), "memory: sentence 1, score 2");
}

TEST(AnswerTrace, GeneratedSentenceNamesItsTemplateAndBannedRuleAnswersAreListed) {
  TestFolder folder;
  folder.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T always this\n");
  folder.write("bad.mbk", "ALWAYS THIS\n");
  auto brain = headlessBrain(folder, 5);
  for (const char* sentence : {"The cat sat on the mat.", "A dog ran in the park.", "My friend lives in town."})
    brain->teachSentence(sentence);
  brain->setLearning(false);  // no profile questions, so a line nothing answers is generated
  brain->setTracing(true);
  bool generated = false;
  for (int i = 0; i < 30 && !generated; ++i) {
    const Str answer = brain->respond("hello there");
    const AnswerTrace trace = brain->lastAnswerTrace();
    ASSERT_EQ(trace.skipped.count(), 3);
    EXPECT_EQ(trace.skipped.head(), "always this");
    if (trace.source != AnswerSource::kGenerated) continue;
    generated = true;
    const auto templates = brain->grammar().templates();
    EXPECT_NE(std::find(templates.begin(), templates.end(), trace.templateGroups), templates.end())
        << describeTrace(trace) << " answer " << answer.std() << " templates " << templates.size();
    EXPECT_NE(describeTrace(trace).find("banned, skipped: \"always this\""), std::string::npos);
  }
  EXPECT_TRUE(generated);
}

TEST(AnswerTrace, WithoutTracingOnlyTheStageIsKnown) {
  TestFolder folder;
  folder.write("context.mbk", kContext);
  auto brain = headlessBrain(folder, 1);
  brain->respond("I walk my dogs");
  EXPECT_EQ(brain->lastAnswerTrace().source, AnswerSource::kRules);
  EXPECT_TRUE(brain->lastAnswerTrace().ruleBank.empty());
  brain->respond("what is 2+3");
  EXPECT_EQ(describeTrace(brain->lastAnswerTrace()), "arithmetic");
}

// Everything a chat could teach, each a different way in.
const char* const kTeachingChat[] = {
    "START_VESKO", "Carl", "30", "I bought a red bicycle for my nephew", "don't say that",
    "my big hat is red", "what is a bicycle?", "wrong", "bicycle is not a noun", "Sofia", "tell me about bicycle"};

void chat(Brain& brain) {
  for (const char* line : kTeachingChat) brain.respond(line);
}

// What a chat can change in memory. The people are left out: the name given
// in the name dialogue identifies the user for the chat (and is never saved).
std::string banks(Brain& brain) {
  std::ostringstream out;
  brain.nouns().save(out);
  brain.names().save(out);
  brain.stuffing().save(out);
  out << brain.knowledge().sentenceCount() << ' ' << brain.grammar().templateCount() << ' '
      << brain.grammar().pairCount() << ' ' << brain.badAnswers().count();
  if (brain.knowledge().sentenceCount() > 0) out << ' ' << brain.knowledge().sentence(0).bonus;
  return out.str();
}

TEST(NoLearning, AChatChangesNoBankAndSavingLeavesTheMindFileAsItWas) {
  TestFolder folder;
  folder.write("idq.mbk",
               "Q0=What is your name?\nQ1=How old are you?\nQ2=Where do you live?\nQ3=What is your job?\n"
               "Q4=What is your hobby?\nCONFIRM=Have we met?\n");
  folder.write("nouns.mbk", "HAT\n");
  {
    auto maker = newBrain(folder);
    ASSERT_TRUE(maker->loadMind(folder.path("m.mnd")).loaded());
    ASSERT_TRUE(maker->saveMind().isOk());
  }
  const std::string packed = folder.read("m.mnd");

  // The same chat learns when learning is on, so the comparison below can fail.
  {
    auto learner = newBrain(folder);
    ASSERT_TRUE(learner->loadMind(folder.path("m.mnd")).loaded());
    const std::string before = banks(*learner);
    chat(*learner);
    EXPECT_NE(banks(*learner), before);
    ASSERT_TRUE(learner->checkpoint().isOk());
    EXPECT_NE(folder.read("m.mnd"), packed);
  }
  folder.write("m.mnd", packed);
  for (const std::string& bank : folder.files(".mbk")) std::filesystem::remove(folder.path(bank).std());

  auto brain = newBrain(folder);
  ASSERT_TRUE(brain->loadMind(folder.path("m.mnd")).loaded());
  brain->setLearning(false);
  const std::string before = banks(*brain);
  chat(*brain);
  EXPECT_EQ(banks(*brain), before);
  EXPECT_EQ(brain->userNameUpper(), "CARL");  // the chat still knows who it talks to
  ASSERT_TRUE(brain->checkpoint().isOk());
  ASSERT_TRUE(brain->saveMind().isOk());
  EXPECT_EQ(folder.read("m.mnd"), packed);
  EXPECT_TRUE(folder.files(".mbk").empty());
  EXPECT_FALSE(brain->mindInUse());
}

}  // namespace
}  // namespace vesko
