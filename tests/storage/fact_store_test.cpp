#include "storage/fact_store.h"

#include <gtest/gtest.h>

#include <vector>

#include "storage/test_folder.h"

namespace vesko {
namespace {

// Hands out the given draws in order, then zeros.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<std::uint32_t> draws) : draws_(std::move(draws)) {}
  std::uint32_t draw() override { return next_ < draws_.size() ? draws_[next_++] : 0; }

 private:
  std::vector<std::uint32_t> draws_;
  std::size_t next_ = 0;
};

const char* kIdq =
    "Q0=What is your name?\nQ1=How old are you?\nQ2=Where do you live?\nQ3=What is your job?\n"
    "Q4=What is your hobby?\nQ7=ignored\nCONFIRM=Have we met?\nLASTTIME=We last talked\n"
    "FACT1=You are \nFACT2=You live in \nFACT0=ignored\nFACT9=ignored\n";

std::string person(int id, const std::vector<std::string>& answers, const std::string& date = "5",
                   const std::string& day = "Monday") {
  std::string text = "ID=" + std::to_string(id) + "\n";
  for (std::size_t q = 0; q < answers.size(); ++q) text += "Q" + std::to_string(q) + "=" + answers[q] + "\n";
  return text + "YEAR=2024\nMONTH=March\nDATE=" + date + "\nDAY=" + day + "\n";
}

class FactStoreTest : public ::testing::Test {
 protected:
  // Today is Friday, 15 March 2024.
  FixedClock clock{LocalTime{2024, 2, 15, 5, 10, 0, 0}};
  ScriptedRandom random{{}};
  TestFolder folder;
  FactStore facts{clock, random};

  Status load(const std::string& profiles) {
    folder.write("idq.mbk", kIdq);
    folder.write("profiles.mbk", profiles);
    return facts.loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk"));
  }
  // Bob and Ann, who differ only by name.
  Status loadBobAndAnn() {
    return load("2\n" + person(0, {"BOB", "30", "PARIS", "COOK", "CHESS"}) +
                person(1, {"ANN", "30", "PARIS", "COOK", "CHESS"}));
  }
};

TEST_F(FactStoreTest, ANewcomerIsNamedFromTheAnswerAndDatedToday) {
  folder.write("idq.mbk", kIdq);
  ASSERT_TRUE(facts.loadFacts(folder.path("idq.mbk"), folder.path("missing.mbk")));
  EXPECT_EQ(facts.userName(), "USER");
  facts.takeAnswer("Bob");  // nothing asked yet
  EXPECT_EQ(facts.nextQuestion(), "What is your name?");
  facts.takeAnswer("?!");  // no name in it
  EXPECT_EQ(facts.personCount(), 0);
  facts.takeAnswer("My name is Bob.");
  ASSERT_EQ(facts.persons().size(), 1u);
  const PersonRecord& bob = facts.persons()[0];
  EXPECT_EQ(Str(bob.id) + " " + bob.answers[0] + " " + bob.year + " " + bob.month + " " + bob.date + " " + bob.day,
            "0 BOB 2024 March 15 Friday");
  EXPECT_EQ(facts.personCount(), 1);
  EXPECT_EQ(facts.nextQuestion(), "How old are you?");
  facts.takeAnswer("forty.");
  EXPECT_EQ(facts.current().answers[1], "FORTY.");
  EXPECT_EQ(facts.currentKnownCount(), 2);

  FactStore other(clock, random);
  other.nextQuestion();
  other.takeAnswer("It is");
  EXPECT_EQ(other.userName(), "IS");
}

TEST_F(FactStoreTest, TheLastCandidateIsConfirmedOrDenied) {
  for (const char* reply : {"yes it is", "no, never"}) {
    ASSERT_TRUE(loadBobAndAnn());
    FactStore store(clock, random);
    ASSERT_TRUE(store.loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
    store.nextQuestion();
    store.takeAnswer("Bob");
    EXPECT_EQ(store.nextQuestion(), "Have we met?");
    store.takeAnswer(reply);
    EXPECT_TRUE(store.identified());
    const bool known = reply[0] == 'y';
    EXPECT_EQ(store.current().id, known ? 0 : 2) << reply;
    EXPECT_EQ(store.current().date, known ? "5" : "15") << reply;
    EXPECT_EQ(store.current().answers[3], known ? "COOK" : "$UNKNOWN$") << reply;
    EXPECT_EQ(store.personCount(), known ? 2 : 3) << reply;
  }
}

TEST_F(FactStoreTest, AsksTheOpenQuestionThatTellsCandidatesApart) {
  ASSERT_TRUE(load("3\n" + person(0, {"BOB", "1", "X", "COOK", "$UNKNOWN$"}) +
                   person(1, {"BOB", "2", "X", "VET", "CHESS"}) + person(2, {"BOB", "2", "X", "PILOT", "GOLF"})));
  facts.nextQuestion();
  facts.takeAnswer("Bob");
  EXPECT_EQ(facts.nextQuestion(), "What is your job?");
  // One candidate's hobby is unknown: that question scores 0.
  EXPECT_EQ(facts.scores(), (std::array<std::int32_t, 5>{1, 2, 1, 3, 0}));
  facts.takeAnswer("vet");
  EXPECT_EQ(facts.nextQuestion(), "Have we met?");
  EXPECT_EQ(facts.candidates(), std::vector<std::int32_t>{1});
}

TEST_F(FactStoreTest, IdentificationEndsWhenNoOpenQuestionTellsCandidatesApart) {
  ASSERT_TRUE(load("3\n" + person(0, {"BOB", "1", "X", "COOK", "CHESS"}) +
                   person(1, {"BOB", "1", "X", "COOK", "CHESS"}) + person(5, {"BOB", "2", "X", "COOK", "CHESS"})));
  facts.nextQuestion();
  facts.takeAnswer("Bob");
  EXPECT_EQ(facts.nextQuestion(), "How old are you?");
  facts.takeAnswer("1");
  EXPECT_EQ(facts.nextQuestion(), "Have we met?");
  EXPECT_EQ(facts.candidates(), std::vector<std::int32_t>{0});
  facts.takeAnswer("nope");
  // The count says 3 but id 5 was read, so the newcomer gets 6.
  EXPECT_EQ(facts.current().id, 6);
  EXPECT_EQ(facts.personCount(), 7);
}

TEST_F(FactStoreTest, SaveRefreshesTheCurrentPersonAndLoadsBackIdentically) {
  ASSERT_TRUE(loadBobAndAnn());
  facts.nextQuestion();
  facts.takeAnswer("Ann");
  facts.nextQuestion();
  facts.takeAnswer("yes");
  ASSERT_TRUE(facts.saveFacts(folder.path("profiles.mbk")));
  const std::string saved = folder.read("profiles.mbk");
  EXPECT_EQ(saved, "2\n" + person(0, {"BOB", "30", "PARIS", "COOK", "CHESS"}) +
                       person(1, {"ANN", "30", "PARIS", "COOK", "CHESS"}, "15", "Friday"));

  FactStore again(clock, random);
  ASSERT_TRUE(again.loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
  ASSERT_TRUE(again.saveFacts(folder.path("profiles2.mbk")));
  EXPECT_EQ(folder.read("profiles2.mbk"), saved);

  folder.write("profiles.x", "unchanged");
  ASSERT_TRUE(facts.saveFacts(folder.path("profiles.x")));
  EXPECT_EQ(folder.read("profiles.x"), "unchanged");
}

TEST_F(FactStoreTest, DamagedProfilesBankIsRefusedNamingBankAndLine) {
  ASSERT_TRUE(load("5\n" + person(0, {"BOB", "1", "X", "COOK", "CHESS"})));  // fewer records than counted
  EXPECT_EQ(facts.candidates(), std::vector<std::int32_t>{0});
  ASSERT_TRUE(loadBobAndAnn());
  const std::pair<std::string, const char*> cases[] = {
      {"x\n", "line 1"},
      {"1\nID=abc\nQ0=BOB\n", "line 2"},
      {"1\nQ0=BOB\n", "line 2"},
      {"1\nID=0\nQ0=BOB\nDATE=fifth\n", "line 4"},
  };
  for (const auto& [profiles, line] : cases) {
    const Status status = load(profiles);
    EXPECT_FALSE(status) << profiles;
    EXPECT_NE(status.message().find("profiles.mbk"), std::string::npos) << status.message();
    EXPECT_NE(status.message().find(line), std::string::npos) << status.message();
  }
  EXPECT_EQ(facts.persons().size(), 2u);  // the refused banks changed nothing
}

TEST_F(FactStoreTest, TellsWhenTheLastTalkWasOrAStoredAnswer) {
  ASSERT_TRUE(load("2\n" + person(0, {"BOB", "30", "PARIS", "COOK", "CHESS"}, "14", "Thursday") +
                   person(1, {"ANN", "41", "ROME", "VET", "GOLF"}, "5", "Monday")));
  ScriptedRandom draws{{5, 2, 0}};
  std::vector<std::string> remarks;
  for (const char* name : {"Bob", "Ann"}) {
    FactStore store(clock, draws);
    ASSERT_TRUE(store.loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
    store.nextQuestion();
    store.takeAnswer(name);
    store.nextQuestion();
    store.takeAnswer("yes");
    remarks.push_back(store.tellFact().std());
    if (remarks.size() == 1) remarks.push_back(store.tellFact().std());
  }
  EXPECT_EQ(remarks, (std::vector<std::string>{"We last talked yesterday", "You live in paris",
                                                "We last talked on Monday the 5th"}));
}

}  // namespace
}  // namespace vesko
