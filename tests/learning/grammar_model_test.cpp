#include "learning/grammar_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace vesko {
namespace {

// Draws what the test queued, then 0.
class ScriptedRandom : public RandomSource {
 public:
  std::deque<std::uint32_t> next;
  std::uint32_t draw() override {
    if (next.empty()) return 0;
    const std::uint32_t value = next.front();
    next.pop_front();
    return value;
  }
};

using Ids = std::vector<std::vector<std::int32_t>>;

std::vector<Str> words(std::initializer_list<const char*> list) { return {list.begin(), list.end()}; }

class GrammarModelTest : public ::testing::Test {
 protected:
  bool learn(const char* sentence) { return model.learn(WordList(sentence)); }
  GrammarModel::GroupInfo group(std::int32_t id) const {
    for (const auto& g : model.groups())
      if (g.id == id) return g;
    ADD_FAILURE() << "no group " << id;
    return {};
  }

  ScriptedRandom random;
  GrammarModel model{random};
};

TEST_F(GrammarModelTest, FirstSentenceMakesOneGroupPerWordAndOneTemplate) {
  EXPECT_TRUE(learn("HELLO THERE"));
  ASSERT_EQ(model.groups().size(), 2u);
  EXPECT_EQ(group(0).words, words({"HELLO"}));
  EXPECT_EQ(group(1).words, words({"THERE"}));
  EXPECT_EQ(model.templates(), (Ids{{0, 1}}));
  EXPECT_EQ(model.groupCount(), 2);
  EXPECT_EQ(model.templateCount(), 1);
}

TEST_F(GrammarModelTest, SimilarSentenceAddsItsNewWordToTheGroupInPlace) {
  learn("HELLO THERE");
  learn("hello world");  // lower case is learned upper-cased
  EXPECT_EQ(group(1).words, words({"THERE", "WORLD"}));
  EXPECT_EQ(model.templateCount(), 1);
  EXPECT_EQ(model.groupIdOf("world"), 1);
}

TEST_F(GrammarModelTest, PunctuationIsItsOwnClassAndNeverJoinsAWordGroup) {
  learn("HELLO THERE");
  learn("HELLO !");  // similar by HELLO; "!" cannot join THERE's group
  EXPECT_EQ(group(1).words, words({"THERE"}));
  EXPECT_EQ(model.groupIdOf("!"), 2);
  EXPECT_TRUE(group(2).isPunctuation);
  EXPECT_EQ(model.templates(), (Ids{{0, 1}, {0, 2}}));
}

TEST_F(GrammarModelTest, SentencesItCannotHoldAreNotLearned) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "W" + std::to_string(i) + " ";
  model.setLastAnswerWords(WordList("HI"));
  EXPECT_FALSE(learn((thirty + "W30").c_str()));  // 31 words
  EXPECT_FALSE(learn((thirty.substr(0, thirty.size() - 1) + ".").c_str()));  // 30 words and a point
  EXPECT_FALSE(learn("A = B"));
  EXPECT_FALSE(learn("[{[X].MBK IS A FILE"));
  EXPECT_FALSE(learn("TAB \tLED"));  // the bank would read it back as LED
  EXPECT_FALSE(model.learn(WordList()));
  EXPECT_EQ(model.groupCount(), 0);
  EXPECT_EQ(model.pairCount(), 0);
  EXPECT_TRUE(learn(thirty.c_str()));
  EXPECT_EQ(model.templates().at(0).size(), 30u);
}

TEST_F(GrammarModelTest, NameMarkersSwapSides) {
  learn("&BOTNAME'S &USERNAME");
  EXPECT_EQ(group(0).words, words({"&username'S"}));
  EXPECT_EQ(group(1).words, words({"&botname"}));
}

TEST_F(GrammarModelTest, MergeFreesTheAbsorbedIdAndTheNextGroupReusesIt) {
  learn("A B");
  learn("C D");  // no known word: a template of its own
  random.next = {0};
  learn("A D");  // similar to both; draw 0 takes A B, so D's group absorbs B's
  EXPECT_EQ(model.freeIds(), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(model.groupCount(), 3);
  EXPECT_EQ(group(3).words, words({"D", "B"}));
  EXPECT_EQ(model.templates(), (Ids{{0, 3}, {2, 3}}));
  learn("E F");
  EXPECT_EQ(model.groupIdOf("E"), 1);
  EXPECT_EQ(model.groupIdOf("F"), 4);
  EXPECT_TRUE(model.freeIds().empty());
  std::vector<std::int32_t> order;
  for (const auto& g : model.groups()) order.push_back(g.id);
  EXPECT_EQ(order, (std::vector<std::int32_t>{0, 2, 3, 1, 4}));
}

TEST_F(GrammarModelTest, MergeRenamesEarlierPositionsOfTheTemplateBeingLearned) {
  learn("Y");
  learn("A B Z C A .");  // A's two groups merge: [1 2 3 4 1 6]
  // Similar by A B Z C; Y's group absorbs A's group, named by position 0
  // too; WORD cannot join the point's group, so the sentence is a new template.
  learn("A B Z C Y WORD");
  EXPECT_EQ(model.templates(), (Ids{{0}, {0, 2, 3, 4, 0, 6}, {0, 2, 3, 4, 0, 5}}));
  EXPECT_EQ(group(0).words, words({"Y", "A"}));
  EXPECT_EQ(model.freeIds(), (std::vector<std::int32_t>{1}));
}

TEST_F(GrammarModelTest, RepeatedWordEndsInOneGroupWithOneRecord) {
  learn("THE CAT AND THE DOG");
  EXPECT_EQ(group(0).words, words({"THE"}));
  EXPECT_EQ(model.templates(), (Ids{{0, 1, 2, 0, 4}}));
  EXPECT_EQ(model.freeIds(), (std::vector<std::int32_t>{3}));
}

TEST_F(GrammarModelTest, PairsRingWrapsAfter200) {
  learn("NO ANSWER YET");
  EXPECT_EQ(model.pairCount(), 0);
  for (int i = 0; i < 200; ++i) {
    model.setLastAnswerWords(WordList(Str("SAID ") + Str(i)));
    learn((std::string("REPLY ") + std::to_string(i) + " .").c_str());
  }
  EXPECT_TRUE(model.pairsFull());
  EXPECT_EQ(model.nextPair(), 0);
  EXPECT_EQ(model.pairResponse(0), WordList("REPLY 0"));  // no empty word where "." was
  model.setLastAnswerWords(WordList("SAID AGAIN"));
  learn("LATE REPLY");
  EXPECT_EQ(model.pairStimulus(0), WordList("SAID AGAIN"));
  EXPECT_EQ(model.pairStimulus(1), WordList("SAID 1"));
  EXPECT_EQ(model.nextPair(), 1);
  EXPECT_EQ(model.pairCount(), 200);
  // A reply with no word left once stripped is no pair.
  learn("?");
  EXPECT_EQ(model.nextPair(), 1);
}

// Learns many sentences over a small vocabulary so that groups merge again
// and again, and checks that the tables stay consistent.
TEST_F(GrammarModelTest, HeavyMergingKeepsTablesConsistent) {
  const char* vocabulary[] = {"I", "YOU", "LIKE", "SEE", "THE", "A", "CAT", "DOG", "BIG", "RED", ".", "?", ",", "AND"};
  SeededRandom pick(7);
  random.next.clear();
  for (int s = 0; s < 400; ++s) {
    std::string sentence;
    const int n = 1 + static_cast<int>(pick.draw() % 8);
    for (int i = 0; i < n; ++i) sentence += std::string(vocabulary[pick.draw() % 14]) + " ";
    random.next.push_back(pick.draw());
    learn(sentence.c_str());
  }
  std::set<std::int32_t> live;
  std::set<std::string> seen;
  for (const auto& g : model.groups()) {
    EXPECT_TRUE(live.insert(g.id).second) << "id " << g.id << " twice";
    for (const Str& w : g.words) {
      EXPECT_TRUE(seen.insert(w.std()).second) << w.std() << " in two groups";
      EXPECT_EQ(model.groupIdOf(w), g.id) << w.std();
    }
  }
  EXPECT_EQ(static_cast<std::int64_t>(live.size()), model.groupCount());
  for (std::int32_t id : model.freeIds()) EXPECT_FALSE(live.contains(id)) << id;
  for (const auto& t : model.templates())
    for (std::int32_t id : t) EXPECT_TRUE(live.contains(id)) << id;
  EXPECT_EQ(static_cast<std::int64_t>(model.templates().size()), model.templateCount());
}

class GrammarFilesTest : public GrammarModelTest {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("vesko-grammar-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  Str path(const char* name) const { return Str((folder / name).string()); }
  void write(const char* name, const std::string& text) const { std::ofstream(path(name).std(), std::ios::binary) << text; }
  std::string read(const char* name) const {
    std::ifstream in(path(name).std(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  Status load(GrammarModel& into) { return into.load(path("groups.mbk"), path("temps.mbk"), path("sr.mbk")); }

  std::filesystem::path folder;
};

TEST_F(GrammarFilesTest, SaveThenLoadReproducesTheModel) {
  learn("THE CAT SAT .");
  learn("A DOG SAT .");
  random.next = {0};
  learn("A CAT RAN !");
  model.setLastAnswerWords(WordList("HOW ARE YOU"));
  learn("FINE , THANKS .");
  ASSERT_TRUE(model.save(path("groups.mbk"), path("temps.mbk"), path("sr.mbk")).isOk());

  ScriptedRandom other;
  GrammarModel copy(other);
  ASSERT_TRUE(load(copy).isOk());
  EXPECT_EQ(copy.freeIds(), model.freeIds());
  ASSERT_EQ(copy.groups().size(), model.groups().size());
  for (std::size_t i = 0; i < model.groups().size(); ++i) {
    EXPECT_EQ(copy.groups()[i].id, model.groups()[i].id);
    EXPECT_EQ(copy.groups()[i].words, model.groups()[i].words);
  }
  EXPECT_EQ(copy.templates(), model.templates());
  EXPECT_EQ(copy.groupCount(), model.groupCount());
  EXPECT_EQ(copy.templateCount(), model.templateCount());
  EXPECT_EQ(copy.nextPair(), 1);
  EXPECT_FALSE(copy.pairsFull());
  EXPECT_EQ(copy.pairStimulus(0), WordList("HOW ARE YOU"));
  EXPECT_EQ(copy.pairResponse(0), WordList("FINE THANKS"));

  const std::string groups = read("groups.mbk");
  ASSERT_TRUE(copy.save(path("groups.mbk"), path("temps.mbk"), path("sr.mbk")).isOk());
  EXPECT_EQ(read("groups.mbk"), groups);
}

TEST_F(GrammarFilesTest, FileFormsAreOneValuePerLine) {
  learn("THE CAT AND THE DOG");
  model.setLastAnswerWords(WordList("HI"));
  learn("HI BOT");
  ASSERT_TRUE(model.save(path("groups.mbk"), path("temps.mbk"), path("sr.x")).isOk());
  // HI takes the id that merging THE's second group freed.
  EXPECT_EQ(read("groups.mbk"), "0\n6\n0\nTHE\n=\n1\nCAT\n=\n2\nAND\n=\n4\nDOG\n=\n3\nHI\n=\n5\nBOT\n=\n");
  EXPECT_EQ(read("temps.mbk"), "2\n2\n3\n5\n5\n0\n1\n2\n0\n4\n");
  EXPECT_FALSE(std::filesystem::exists(path("sr.x").std()));
  ASSERT_TRUE(model.save(path("groups.mbk"), path("temps.mbk"), path("sr.mbk")).isOk());
  EXPECT_EQ(read("sr.mbk"), "1\nHI\nHI BOT\n1\n");
}

TEST_F(GrammarFilesTest, FullPairsStoreLoadsFullAndMissingFilesReadAsEmpty) {
  std::string pairs = "200\n";
  for (int i = 0; i < 200; ++i) pairs += "SAID " + std::to_string(i) + "\nREPLY\n";
  write("sr.mbk", pairs + "7\n");
  ASSERT_TRUE(load(model).isOk());
  EXPECT_TRUE(model.pairsFull());
  EXPECT_EQ(model.nextPair(), 7);
  EXPECT_EQ(model.groupCount(), 0);
  EXPECT_EQ(model.pairStimulus(199), WordList("SAID 199"));
}

TEST_F(GrammarFilesTest, TemplateNamingAMissingGroupIsSkipped) {
  write("groups.mbk", "0\n2\n0\nHELLO\n=\n1\nTHERE\n=\n");
  write("temps.mbk", "3\n2\n0\n1\n2\n0\n9\n1\n1\n");
  ASSERT_TRUE(load(model).isOk());
  EXPECT_EQ(model.templates(), (Ids{{1}, {0, 1}}));
  EXPECT_EQ(model.templateCount(), 2);
  EXPECT_EQ(model.groupCount(), 2);
}

TEST_F(GrammarFilesTest, DamagedBanksAreRefusedNamingBankAndLine) {
  struct Case {
    const char* file;
    std::string text;
    const char* message;  // a part of the error
  } cases[] = {
      {"groups.mbk", "0\nX\n", "\"groups.mbk\", line 2"},
      {"groups.mbk", "0\n2\n0\nA\n=\n0\nB\n=\n", "line 6: the group id 0 is used twice"},
      {"groups.mbk", "0\n1\n0\nA\n", "\"groups.mbk\", line 5: the file ends"},
      {"temps.mbk", "1\n31\n", "\"temps.mbk\", line 2: a template length must be 1 to 30"},
      {"temps.mbk", "2\n1\n0\n", "\"temps.mbk\", line 4: the file ends"},
      {"sr.mbk", "201\n", "\"sr.mbk\", line 1: the number of pairs must be 0 to 200"},
      {"sr.mbk", "1\nHI\nHO\n200\n", "\"sr.mbk\", line 4: the next pair slot must be 0 to 199"},
      {"sr.mbk", "2\nHI\nHO\n", "\"sr.mbk\", line 4: the file ends"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    write("groups.mbk", "0\n1\n0\nA\n=\n");
    write(c.file, c.text);
    const Status status = load(model);
    EXPECT_NE(status.message().find(c.message), std::string::npos) << c.file << ": " << status.message();
    EXPECT_EQ(model.groupCount(), 0);
  }
}

}  // namespace
}  // namespace vesko
