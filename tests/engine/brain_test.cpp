// The respond pipeline: the name dialogue, bans, fallbacks and the finishing
// step, driven through real banks in a scratch folder.
#include "engine/brain.h"

#include <gtest/gtest.h>

#include "storage/test_folder.h"

namespace vesko {
namespace {

const char* kIdq =
    "Q0=What is your name?\nQ1=How old are you?\nQ2=Where do you live?\n"
    "Q3=What is your job?\nQ4=What is your hobby?\nCONFIRM=Have we met?\n";

class BrainPipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.write("idq.mbk", kIdq);
    folder_.write("botinfo.mbk", "Vesko\nfriend\nMira\nmale\n4\nSofia\n");
  }
  std::unique_ptr<Brain> load(bool headless = false, std::uint32_t seed = 3) {
    BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{2026, 11, 6, 0, 15, 30, 0}),
                                 std::make_unique<SeededRandom>(seed)};
    auto brain = std::make_unique<Brain>(folder_.path(), headless, Str("Ann"), std::move(environment));
    EXPECT_TRUE(brain->loadMind(folder_.path("none.mnd")).loaded());
    return brain;
  }
  TestFolder folder_;
};

TEST_F(BrainPipeline, NameDialogueAsksUntilANameIsGiven) {
  auto brain = load();
  EXPECT_EQ(brain->respond("START_VESKO"), "what is your name?");
  EXPECT_EQ(brain->turn(), 1);
  EXPECT_EQ(brain->respond(""), "please, tell me your name!");
  EXPECT_EQ(brain->respond("   "), "please, tell me your name!");
  EXPECT_EQ(brain->respond("?"), "please, tell me your name!");
  EXPECT_EQ(brain->turn(), 1);
  EXPECT_EQ(brain->respond("My name is Bob."), "how old are you?");
  EXPECT_EQ(brain->turn(), 2);
  EXPECT_EQ(brain->userName(), "USER");  // refreshed at the start of the next line
  // The second answer is taken, then answered like any other line: nothing
  // else answers it, so the next question comes.
  EXPECT_EQ(brain->respond("42"), "where do you live?");
  EXPECT_EQ(brain->turn(), 3);
  EXPECT_EQ(brain->facts().currentKnownCount(), 2);
  EXPECT_EQ(brain->userName(), "BOB");
  EXPECT_TRUE(brain->names().has("BOB"));
  EXPECT_EQ(brain->respond("Berlin"), "what is your job?");
  EXPECT_EQ(brain->lastAnswerSource(), AnswerSource::kProfileQuestion);
  EXPECT_EQ(brain->facts().currentKnownCount(), 3);
}

TEST_F(BrainPipeline, SecondAnswerOfTheNameDialogueReachesTheRules) {
  folder_.write("context.mbk", "###CONTEXT###\nTHIRTY\n0\n###RESPONSE###\n@@T a good age\n");
  auto brain = load();
  brain->respond("START_VESKO");
  brain->respond("Bob");
  EXPECT_EQ(brain->respond("I am thirty"), "a good age");
  EXPECT_EQ(brain->lastAnswerSource(), AnswerSource::kRules);
  EXPECT_TRUE(brain->turn() == 3 && brain->facts().currentKnownCount() == 2);
  EXPECT_EQ(brain->grammar().sentencesLearned(), 1);  // learned like any other line
}

// A headless caller cannot answer a profile question, so none is asked and
// no remark about an unknown person is made; the chat's Brain still asks.
TEST_F(BrainPipeline, HeadlessAsksNoProfileQuestionButTheChatDoes) {
  auto headless = load(/*headless=*/true);
  for (int i = 0; i < 60; ++i) {  // 60 lines: the 1-in-15 remark draw comes up
    const Str answer = headless->respond("qqq zzz.");
    EXPECT_EQ(answer, "qqq zzz.");  // the one sentence shape it knows
    EXPECT_EQ(headless->lastAnswerSource(), AnswerSource::kGenerated);
  }
  auto chat = load();
  chat->respond("START_VESKO");
  chat->respond("Bob");
  chat->respond("42");
  EXPECT_EQ(chat->respond("qqq zzz."), "what is your job?");
}

// Whatever every stage leaves empty, the user hears something.
TEST_F(BrainPipeline, NoAnswerIsEverEmpty) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T\n");
  folder_.write("idq.mbk", "");
  for (const bool headless : {true, false}) {
    auto brain = load(headless);
    if (!headless) {
      EXPECT_EQ(brain->respond("START_VESKO"), "tell me more.");  // no question to ask
      EXPECT_EQ(brain->respond("Bob"), "tell me more.");
    }
    EXPECT_EQ(brain->respond("a = b"), "tell me more.");  // not learned: no shapes, no questions
    EXPECT_EQ(brain->respond("hello you"), "tell me more.");  // a bare rule
  }
}

// "Hello" is no name and a teaching command no answer: both leave the question
// open. A profile question the user banned is not asked again, in that chat or
// the next, where "call me Carl" is recognised as Carl.
TEST_F(BrainPipeline, NamesAreTakenAndBannedQuestionsNotAskedAgain) {
  {
    auto brain = load();
    brain->respond("START_VESKO");
    EXPECT_EQ(brain->respond("hello"), "please, tell me your name!");
    EXPECT_EQ(brain->respond("tell me about dogs"), "i don't know anything about that!");
    EXPECT_EQ(brain->respond("hi, I'm Carl"), "how old are you?");
    EXPECT_EQ(brain->respond("42"), "where do you live?");  // the second answer goes on to the next question
    EXPECT_EQ(brain->respond("don't say that"), "ok, i'll try!");
    brain->respond("");  // the question stays open for this line, which says nothing
    EXPECT_EQ(brain->facts().current().answers[2], "$UNKNOWN$");
    brain->respond("zzz qqq");
    EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kProfileQuestion);
    EXPECT_FALSE(brain->names().has("HELLO"));
    ASSERT_TRUE(brain->saveMind());
  }
  auto brain = load();
  for (const char* line : {"START_VESKO", "call me Carl.", "yes", "zzz qqq"}) brain->respond(line);
  EXPECT_EQ(brain->userName(), "CARL");
  EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kProfileQuestion);
}

TEST_F(BrainPipeline, ProfileQuestionBannedWithTheNameFilledInIsNotAsked) {
  folder_.write("idq.mbk", "Q0=What is your name?\nQ1=How old are you?\nQ2=Where do you live, &username?\n");
  folder_.write("bad.mbk", "WHERE DO YOU LIVE, CARL?\n");
  auto brain = load();
  for (const char* line : {"START_VESKO", "Carl", "42", "zzz qqq"}) brain->respond(line);
  EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kProfileQuestion);
}

TEST_F(BrainPipeline, HeadlessBrainSkipsTheNameDialogue) {
  folder_.write("context.mbk", "###CONTEXT###\nSTART_VESKO\n0\n###RESPONSE###\n@@T HI &USERNAME\n");
  auto brain = load(/*headless=*/true);
  EXPECT_EQ(brain->respond("START_VESKO"), "hi ann");
  EXPECT_EQ(brain->turn(), 1);
  EXPECT_EQ(brain->userName(), "Ann");
}

TEST_F(BrainPipeline, AnswersAreLowerCasedButEmoticonsKeepTheirCase) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T Hello THERE\n");
  folder_.write("emoticon.mbk", "1\n:-D\n");
  auto brain = load(true);
  EXPECT_EQ(brain->respond("hello you"), "hello there :-D");
  EXPECT_EQ(brain->lastAnswer(), "Hello THERE");
}

TEST_F(BrainPipeline, NoEmoticonWithoutAFrequency) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T hi\n");
  folder_.write("emoticon.mbk", "0\n:-D\n");
  auto brain = load(true);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(brain->respond("hello you"), "hi");
}

TEST_F(BrainPipeline, BannedRuleAnswerIsNeverSaidAgain) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T always this\n");
  folder_.write("bad.mbk", "ALWAYS THIS\n");
  auto brain = load(true);
  for (int i = 0; i < 10; ++i) {
    EXPECT_NE(brain->respond("hello you"), "always this");
    EXPECT_NE(brain->lastAnswerSource(), AnswerSource::kRules);
  }
}

TEST_F(BrainPipeline, BanOfOneOfSeveralAnswersIsRetried) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T one\n@@T two\n");
  auto brain = load(true);
  EXPECT_FALSE(brain->respond("hello you").empty());
  brain->respond("don't say that");
  const Str banned = brain->badAnswers().tail().lower();
  int rulesAnswered = 0;
  for (int i = 0; i < 30; ++i) {
    const Str answer = brain->respond("hello you");
    EXPECT_NE(answer, banned);
    if (brain->lastAnswerSource() == AnswerSource::kRules) ++rulesAnswered;
  }
  EXPECT_GT(rulesAnswered, 20);  // three tries almost always find the other answer
}

TEST_F(BrainPipeline, TrailingBlanksDoNotHideTheQuestionMark) {
  folder_.write("context2.mbk", "###CONTEXT###\nWHERE\n0\n###RESPONSE###\n@@T a question\n");
  folder_.write("context.mbk", "###CONTEXT###\nWHERE\n0\n###RESPONSE###\n@@T a statement\n");
  auto brain = load(true);
  EXPECT_EQ(brain->respond("where is it? \t "), "a question");
  EXPECT_EQ(brain->respond("where is it"), "a statement");
}

TEST_F(BrainPipeline, SameSeedSameConversation) {
  folder_.write("context.mbk", "###CONTEXT###\nHELLO\n0\n###RESPONSE###\n@@T a\n@@T b\n@@T c\n@@T d\n");
  std::vector<Str> first;
  {
    auto brain = load(true, 11);
    for (int i = 0; i < 10; ++i) first.push_back(brain->respond("hello there"));
  }
  auto brain = load(true, 11);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(brain->respond("hello there"), first[static_cast<std::size_t>(i)]);
}

}  // namespace
}  // namespace vesko

namespace vesko {
namespace {

// A save that failed (or a run killed after its last checkpoint) leaves banks
// newer than the mind file; loading the mind again must not overwrite them.
TEST(LeftoverBanks, NewerBanksAreKeptBeforeTheMindIsUnpacked) {
  TestFolder folder;
  folder.write("nouns.mbk", "CAT\n");
  {
    auto brain = newBrain(folder);
    ASSERT_TRUE(brain->loadMind(folder.path("m.mnd")).loaded());
    ASSERT_TRUE(brain->saveMind().isOk());
  }
  const std::string packed = folder.read("m.mnd");
  folder.write("nouns.mbk", "CAT\nZEBRA\n");  // learned after the last good save

  auto brain = newBrain(folder);
  const LoadResult result = brain->loadMind(folder.path("m.mnd"));
  ASSERT_TRUE(result.loaded());
  ASSERT_FALSE(result.rescuedBanks.empty());
  EXPECT_EQ(folder.read("rescued-banks-1/nouns.mbk"), "CAT\nZEBRA\n");
  EXPECT_FALSE(brain->nouns().has("ZEBRA"));  // the mind file's content is what loads
  EXPECT_EQ(folder.read("m.mnd"), packed);

  // Banks equal to the mind (a kill right after a checkpoint) are no news.
  ASSERT_TRUE(brain->checkpoint().isOk());
  auto again = newBrain(folder);
  EXPECT_TRUE(again->loadMind(folder.path("m.mnd")).rescuedBanks.empty());
}

}  // namespace
}  // namespace vesko
