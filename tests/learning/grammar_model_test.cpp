#include "learning/grammar_model.h"

#include <gtest/gtest.h>

#include <set>

#include "storage/test_folder.h"

namespace vesko {
namespace {

// The groups in the model's order, each as "id:WORD,WORD" ("!" marks punctuation).
std::string groupsOf(const GrammarModel& model) {
  std::string out;
  for (const auto& g : model.groups()) {
    out += (out.empty() ? "" : " ") + std::to_string(g.id) + (g.isPunctuation ? "!" : "") + ":";
    for (std::size_t i = 0; i < g.words.size(); ++i) out += (i > 0 ? "," : "") + g.words[i].std();
  }
  return out;
}

// The templates as "id id|id id".
std::string templatesOf(const GrammarModel& model) {
  std::string out;
  for (const auto& t : model.templates()) {
    out += out.empty() ? "" : "|";
    for (std::size_t i = 0; i < t.size(); ++i) out += (i > 0 ? " " : "") + std::to_string(t[i]);
  }
  return out;
}

class GrammarModelTest : public ::testing::Test {
 protected:
  bool learn(const char* sentence) { return model.learn(WordList(sentence)); }

  ScriptedRandom random;
  GrammarModel model{random};
};

// A sentence joins a template only when the group of every word matches; a
// sentence of more than five words may differ at one word, and marks count
// neither way. Its new word then joins the group at that place, or its known
// word's group absorbs that group, freeing the absorbed id for later groups.
TEST_F(GrammarModelTest, LearnsGroupsAndTemplates) {
  const struct {
    std::vector<const char*> sentences;
    std::deque<std::uint32_t> draws;
    const char *groups, *templates, *freeIds;
  } cases[] = {
      {{"HELLO THERE", "hello world"}, {}, "0:HELLO 1:THERE 2:WORLD", "0 1|0 2", ""},  // learned upper-cased
      {{"HELLO THERE", "HELLO !"}, {}, "0:HELLO 1:THERE 2!:!", "0 1|0 2", ""},  // "!" never joins a word group
      {{"&BOTNAME'S &USERNAME"}, {}, "0:&username'S 1:&botname", "0 1", ""},  // the name markers swap sides
      {{"THE CAT AND THE DOG"}, {}, "0:THE 1:CAT 2:AND 4:DOG", "0 1 2 0 4", "3"},  // a repeated word, one group
      // Two words: every one must match, so nothing merges.
      {{"A B", "C D", "A D"}, {}, "0:A 1:B 2:C 3:D", "0 1|2 3|0 3", ""},
      // Five words: still every one.
      {{"THE DOG IS VERY BIG", "THE CAT IS VERY BIG"}, {}, "0:THE 1:DOG 2:IS 3:VERY 4:BIG 5:CAT",
       "0 1 2 3 4|0 5 2 3 4", ""},
      // Six words may differ at one; the marks at the end count neither way.
      {{"I SAW A BIG RED DOG .", "I SAW A BIG RED CAT !"}, {}, "0:I 1:SAW 2:A 3:BIG 4:RED 5:DOG,CAT 6!:.,!",
       "0 1 2 3 4 5 6", ""},
      {{"I SAW A BIG RED DOG", "YOU SAW A BIG RED CAT"}, {}, "0:I 1:SAW 2:A 3:BIG 4:RED 5:DOG 6:YOU 7:CAT",
       "0 1 2 3 4 5|6 1 2 3 4 7", ""},
      // CAT, known, differs at one place: its group absorbs DOG's.
      {{"CAT", "I SAW A BIG RED DOG", "I SAW A BIG RED CAT"}, {}, "0:CAT,DOG 1:I 2:SAW 3:A 4:BIG 5:RED",
       "0|1 2 3 4 5 0", "6"},
      // Similar to both templates; draw 1 takes the second (V's group goes to
      // T's), draw 0 the first (U's group goes to W's).
      {{"P Q R S T U", "P Q R S V W", "P Q R S T W"}, {1}, "0:P 1:Q 2:R 3:S 4:T,V 5:U 7:W",
       "0 1 2 3 4 5|0 1 2 3 4 7", "6"},
      {{"P Q R S T U", "P Q R S V W", "P Q R S T W"}, {0}, "0:P 1:Q 2:R 3:S 4:T 6:V 7:W,U",
       "0 1 2 3 4 7|0 1 2 3 6 7", "5"},
      // A's two groups merge in the second sentence; the third differs from it
      // at two words (Y and the new WORD), so it is a template of its own.
      {{"Y", "A B Z C A .", "A B Z C Y WORD"}, {}, "0:Y 1:A 2:B 3:Z 4:C 6!:. 5:WORD", "0|1 2 3 4 1 6|1 2 3 4 0 5", ""},
  };
  for (const auto& c : cases) {
    GrammarModel fresh(random);
    random.next = c.draws;
    for (const char* sentence : c.sentences) fresh.learn(WordList(sentence));
    std::string free;
    for (std::int32_t id : fresh.freeIds()) free += std::to_string(id);
    EXPECT_EQ(groupsOf(fresh) + " / " + templatesOf(fresh) + " / " + free,
              std::string(c.groups) + " / " + c.templates + " / " + c.freeIds);
  }
}

TEST_F(GrammarModelTest, SentencesItCannotHoldAreNotLearned) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "W" + std::to_string(i) + " ";
  model.setLastAnswerWords(WordList("HI"));
  // 31 words; 30 and a point; words a bank line cannot hold (a tab: read back as LED).
  for (const std::string& refused : {thirty + "W30", thirty.substr(0, thirty.size() - 1) + ".", std::string("A = B"),
                                     std::string("[{[X].MBK IS A FILE"), std::string("TAB \tLED"), std::string(),
                                     "A " + std::string(201, 'W') + " WORD"})
    EXPECT_FALSE(learn(refused.c_str())) << refused;
  EXPECT_TRUE(model.groupCount() == 0 && model.pairCount() == 0);
  EXPECT_TRUE(learn(thirty.c_str()) && model.templates().at(0).size() == 30u);
  EXPECT_TRUE(learn(("A " + std::string(200, 'W') + " WORD").c_str()));  // long, but a word
}

TEST_F(GrammarModelTest, PairsRingWrapsAfter200) {
  EXPECT_TRUE(learn("NO ANSWER YET") && model.pairCount() == 0);  // nothing said yet: no pair
  for (int i = 0; i < 200; ++i) {
    model.setLastAnswerWords(WordList(Str("SAID ") + Str(i)));
    learn((std::string("REPLY ") + std::to_string(i) + " .").c_str());
  }
  EXPECT_TRUE(model.pairsFull() && model.nextPair() == 0);
  EXPECT_EQ(model.pairResponse(0), WordList("REPLY 0"));  // no empty word where "." was
  model.setLastAnswerWords(WordList("SAID AGAIN"));
  learn("LATE REPLY");
  EXPECT_EQ(model.pairStimulus(0), WordList("SAID AGAIN"));
  EXPECT_EQ(model.pairStimulus(1), WordList("SAID 1"));
  EXPECT_TRUE(model.nextPair() == 1 && model.pairCount() == 200);
  learn("?");  // a reply with no word left once stripped is no pair
  EXPECT_EQ(model.nextPair(), 1);
}

TEST_F(GrammarModelTest, SavesOneValuePerLine) {
  TestFolder folder;
  const auto save = [&](const char* pairs) {
    return model.save(folder.path("groups.mbk"), folder.path("temps.mbk"), folder.path(pairs)).isOk();
  };
  learn("THE CAT AND THE DOG");
  model.setLastAnswerWords(WordList("HI"));
  learn("HI BOT");
  ASSERT_TRUE(save("sr.x"));  // a default is never written
  // HI takes the id that merging THE's second group freed.
  EXPECT_EQ(folder.read("groups.mbk"), "0\n6\n0\nTHE\n=\n1\nCAT\n=\n2\nAND\n=\n4\nDOG\n=\n3\nHI\n=\n5\nBOT\n=\n");
  EXPECT_EQ(folder.read("temps.mbk"), "2\n2\n3\n5\n5\n0\n1\n2\n0\n4\n");
  EXPECT_FALSE(folder.has("sr.x"));
  ASSERT_TRUE(save("sr.mbk"));
  EXPECT_EQ(folder.read("sr.mbk"), "1\nHI\nHI BOT\n1\n");
  // A bank that cannot be written says why, as the system put it.
  const Status refused = model.save(folder.path("no/groups.mbk"), folder.path("temps.mbk"), folder.path("sr.mbk"));
  EXPECT_NE(refused.message().find("no/groups.mbk: No such file or directory"), std::string::npos) << refused.message();
}

// Many sentences over a small vocabulary, each paired with the one before;
// half of them change one word of the sentence before, so that groups merge
// again and again, and the pairs store wraps: the tables stay consistent, and
// the model loaded from its banks is the same and saves them byte for byte.
TEST_F(GrammarModelTest, HeavyMergingKeepsTablesConsistentThroughSaveAndLoad) {
  const char* vocabulary[] = {"I", "YOU", "LIKE", "SEE", "THE", "A", "CAT", "DOG", "BIG", "RED", ".", "?", ",", "AND"};
  SeededRandom pick(7);
  std::vector<std::string> words;
  for (int s = 0; s < 400; ++s) {
    if (words.empty() || pick.draw() % 2 == 0) {
      words.clear();
      for (std::uint32_t n = 1 + pick.draw() % 9; n > 0; --n) words.push_back(vocabulary[pick.draw() % 14]);
    } else {
      words[pick.draw() % words.size()] = vocabulary[pick.draw() % 14];
    }
    std::string sentence;
    for (const std::string& word : words) sentence += word + " ";
    random.next.push_back(pick.draw());
    learn(sentence.c_str());
    model.setLastAnswerWords(WordList(sentence));
  }
  std::set<std::int32_t> live;
  for (const auto& g : model.groups()) {
    EXPECT_TRUE(live.insert(g.id).second) << "id " << g.id << " twice";
    for (const Str& w : g.words) EXPECT_EQ(model.groupIdOf(w), g.id) << w.std();  // so in no other group
  }
  EXPECT_LT(model.groupCount(), 8);  // 14 words: long sentences did merge groups
  for (std::int32_t id : model.freeIds()) EXPECT_FALSE(live.contains(id)) << id;
  for (const auto& t : model.templates())
    for (std::int32_t id : t) EXPECT_TRUE(live.contains(id)) << id;

  TestFolder folder;
  const auto banks = [&](const GrammarModel& m) {
    EXPECT_TRUE(m.save(folder.path("groups.mbk"), folder.path("temps.mbk"), folder.path("sr.mbk")).isOk());
    return folder.read("groups.mbk") + folder.read("temps.mbk") + folder.read("sr.mbk");
  };
  const std::string saved = banks(model);
  ScriptedRandom other;
  GrammarModel copy(other);
  ASSERT_TRUE(copy.load(folder.path("groups.mbk"), folder.path("temps.mbk"), folder.path("sr.mbk")).isOk());
  EXPECT_EQ(groupsOf(copy) + " / " + templatesOf(copy), groupsOf(model) + " / " + templatesOf(model));
  EXPECT_TRUE(copy.freeIds() == model.freeIds() && copy.nextPair() == model.nextPair() && copy.pairsFull());
  EXPECT_EQ(banks(copy), saved);  // counts and pairs too
}

// What a bank holds loads: a template naming a missing group (skipped), missing
// files (empty); damage is refused naming bank and line.
TEST_F(GrammarModelTest, LoadsWhatItCanAndRefusesDamage) {
  TestFolder folder;
  const auto load = [&] { return model.load(folder.path("groups.mbk"), folder.path("temps.mbk"), folder.path("sr.mbk")); };
  folder.write("groups.mbk", "0\n2\n0\nHELLO\n=\n1\nTHERE\n=\n");
  folder.write("temps.mbk", "3\n2\n0\n1\n2\n0\n9\n1\n1\n");
  ASSERT_TRUE(load().isOk());
  EXPECT_EQ(templatesOf(model), "1|0 1");
  EXPECT_TRUE(model.templateCount() == 2 && model.groupCount() == 2);

  const struct {
    const char* file;
    std::string text;
    const char* message;  // a part of the error
  } cases[] = {
      {"groups.mbk", "0\nX\n", "\"groups.mbk\", line 2"},
      {"groups.mbk", "0\n2\n0\nA\n=\n0\nB\n=\n", "line 6: the group id 0 is used twice"},
      {"groups.mbk", "0\n1\n0\nA\n", "\"groups.mbk\", line 5: the file ends"},
      {"temps.mbk", "1\n31\n", "\"temps.mbk\", line 2: a template length must be 1 to 30"},
      {"sr.mbk", "201\n", "\"sr.mbk\", line 1: the number of pairs must be 0 to 200"},
      {"sr.mbk", "1\nHI\nHO\n200\n", "\"sr.mbk\", line 4: the next pair slot must be 0 to 199"},
  };
  for (const auto& c : cases) {
    folder.write("groups.mbk", "0\n1\n0\nA\n=\n");
    for (const char* other : {"temps.mbk", "sr.mbk"}) std::filesystem::remove(folder.path(other).std());
    folder.write(c.file, c.text);
    const Status status = load();
    EXPECT_NE(status.message().find(c.message), std::string::npos) << c.file << ": " << status.message();
    EXPECT_EQ(model.groupCount(), 0);
  }
}

}  // namespace
}  // namespace vesko
