#include "storage/fact_store.h"

#include <gtest/gtest.h>

#include "storage/test_folder.h"

namespace vesko {
namespace {

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
// Bob and Ann, who differ only by name.
const std::string kBobAndAnn =
    "2\n" + person(0, {"BOB", "30", "PARIS", "COOK", "CHESS"}) + person(1, {"ANN", "30", "PARIS", "COOK", "CHESS"});

class FactStoreTest : public ::testing::Test {
 protected:
  // Today is Friday, 15 March 2024.
  FixedClock clock{LocalTime{2024, 2, 15, 5, 10, 0, 0}};
  ScriptedRandom random;
  TestFolder folder;

  // Loads the profiles (none when empty), then answers each question asked,
  // expecting it to be `question`.
  void talk(FactStore& store, const std::string& profiles, std::vector<std::pair<const char*, const char*>> dialogue) {
    folder.write("idq.mbk", kIdq);
    if (profiles.empty()) std::filesystem::remove(folder.path("profiles.mbk").std());
    else folder.write("profiles.mbk", profiles);
    ASSERT_TRUE(store.loadFacts(folder.path("idq.mbk"), folder.path("profiles.mbk")));
    store.takeAnswer("Zed");  // nothing asked yet: not an answer
    for (const auto& [question, reply] : dialogue) {
      ASSERT_EQ(store.nextQuestion(), question) << reply;
      store.takeAnswer(reply);
    }
  }
};

// Identification asks the open question whose answers tell the candidates
// apart best (a question one of them has no answer to tells nothing), then
// puts the first remaining candidate to the user; a newcomer is dated today.
TEST_F(FactStoreTest, IdentifiesAKnownPersonOrMakesANewOne) {
  const std::string threeBobs = "3\n" + person(0, {"BOB", "1", "X", "$UNKNOWN$", "CHESS"}) +
                                person(1, {"BOB", "2", "X", "VET", "GOLF"}) + person(2, {"BOB", "2", "X", "PILOT", "TENNIS"});
  // The count says 3 but id 5 was read, so a newcomer gets 6.
  const std::string twins = "3\n" + person(0, {"BOB", "1", "X", "COOK", "CHESS"}) + person(1, {"BOB", "1", "X", "COOK", "CHESS"}) +
                            person(5, {"BOB", "2", "X", "COOK", "CHESS"});
  const struct {
    std::string profiles;
    std::vector<std::pair<const char*, const char*>> dialogue;  // question asked, reply
    const char* person;                                         // id, name, job, date, day; then the number of persons
  } cases[] = {
      {"", {{"What is your name?", "?!"}, {"What is your name?", "My name is Bob."}}, "0 BOB $UNKNOWN$ 15 Friday 1"},
      // "It is" names nobody, so the name is asked again.
      {"0\n", {{"What is your name?", "It is"}, {"What is your name?", "hello, I'm Bob"}}, "0 BOB $UNKNOWN$ 15 Friday 1"},
      {kBobAndAnn, {{"What is your name?", "Bob"}, {"Have we met?", "yes it is"}}, "0 BOB COOK 5 Monday 2"},
      {kBobAndAnn, {{"What is your name?", "Bob"}, {"Have we met?", "no, never"}}, "2 BOB $UNKNOWN$ 15 Friday 3"},
      // An empty reply holds no denial: it is a yes.
      {kBobAndAnn, {{"What is your name?", "Bob"}, {"Have we met?", ""}}, "0 BOB COOK 5 Monday 2"},
      {threeBobs, {{"What is your name?", "Bob"}, {"What is your hobby?", "golf"}, {"Have we met?", "yes"}}, "1 BOB VET 5 Monday 3"},
      {twins, {{"What is your name?", "Bob"}, {"How old are you?", "1"}, {"Have we met?", "nope"}}, "6 BOB $UNKNOWN$ 15 Friday 7"},
      // Fewer records than counted: the bank loads, and no counted id is reused.
      {"5\n" + person(0, {"BOB", "1", "X", "COOK", "CHESS"}), {{"What is your name?", "Bob"}, {"Have we met?", "no"}},
       "5 BOB $UNKNOWN$ 15 Friday 6"},
  };
  for (const auto& c : cases) {
    FactStore store(clock, random);
    talk(store, c.profiles, c.dialogue);
    const PersonRecord& p = store.current();
    EXPECT_TRUE(store.identified());
    EXPECT_EQ(Str(p.id) + " " + p.answers[0] + " " + p.answers[3] + " " + p.date + " " + p.day + " " + Str(store.personCount()),
              c.person);
  }
}

// Only the name is kept from what people say around it; "hello" names nobody.
TEST(FactStoreName, IsTakenFromTheWaysPeopleSayIt) {
  std::string many;
  for (int i = 0; i < 999; ++i) many += "la ";
  const std::pair<std::string, const char*> cases[] = {
      {"hi, I'm Carl", "CARL"}, {"I am called Carl", "CARL"}, {"Carl's my name!", "CARL"}, {"call me Al", "AL"},
      {"hello", ""},           {"my name is", ""},          {"'", ""},                 {many + "Zed", "ZED"}};
  for (const auto& [answer, name] : cases) EXPECT_EQ(FactStore::nameFromAnswer(Str(answer)), name) << answer.substr(0, 30);
}

// Tells when we last talked or a stored answer; saving dates the person
// talked to today and no one else.
TEST_F(FactStoreTest, RemembersWhenWeLastTalkedAndSavesToday) {
  const std::string bob = person(0, {"BOB", "30", "PARIS", "COOK", "CHESS"}, "14", "Thursday");
  const std::string profiles = "2\n" + bob + person(1, {"ANN", "41", "ROME", "VET", "GOLF"});
  random.next = {5, 2, 0};
  std::vector<std::string> remarks;
  for (const char* name : {"Bob", "Ann"}) {
    FactStore store(clock, random);
    talk(store, profiles, {{"What is your name?", name}, {"Have we met?", "yes"}});
    remarks.push_back(store.tellFact().std());
    if (remarks.size() == 1) remarks.push_back(store.tellFact().std());
    ASSERT_TRUE(store.saveFacts(folder.path("profiles.mbk")));
    folder.write("profiles.x", "unchanged");  // a default is never written
    ASSERT_TRUE(store.saveFacts(folder.path("profiles.x")));
    EXPECT_EQ(folder.read("profiles.x"), "unchanged");
  }
  EXPECT_EQ(remarks, (std::vector<std::string>{"We last talked yesterday", "You live in paris", "We last talked on Monday the 5th"}));
  EXPECT_EQ(folder.read("profiles.mbk"), "2\n" + bob + person(1, {"ANN", "41", "ROME", "VET", "GOLF"}, "15", "Friday"));
}

}  // namespace
}  // namespace vesko
