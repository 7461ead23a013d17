#include "analysis/normaliser.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "analysis/normaliser_reference.h"
#include "engine/brain.h"

namespace vesko {
namespace {

// A headless Brain talking to Bob on Friday, 1 March 2024, at 21:15; the bot
// is Vesko and its other half Anna; it knows the person MARY and `nouns`.
std::unique_ptr<Brain> newBrain(const char* nouns = "") {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{2024, 2, 1, 5, 21, 15, 0}),
                               std::make_unique<SeededRandom>(1)};
  auto brain = std::make_unique<Brain>(Str("/nonexistent-vesko-folder/"), true, Str("Bob"), std::move(environment));
  brain->respond("hello");  // takes the user name of the message
  brain->botInfo().name = "Vesko";
  brain->botInfo().relationshipName = "Anna";
  brain->names().add("MARY");
  for (const Str& noun : WordList(Str(nouns))) brain->nouns().add(noun);
  return brain;
}

// The words (and "(?)" for a question) and their classes after normalising.
std::pair<std::string, std::string> normalise(Brain& brain, const char* line) {
  WordList words{Str(line)};
  WordList classes;
  brain.normalise(words, classes);
  EXPECT_EQ(words.count(), classes.count()) << line;
  return {words.join().std() + (words.isQuestion() ? " (?)" : ""), classes.join().std()};
}

std::string joined(const StrList& list) {
  std::string out;
  for (const Str& s : list) out += (out.empty() ? "" : " ") + s.std();
  return out;
}

TEST(Normaliser, RewritesAndClassesEachWord) {
  const struct {
    const char *nouns, *line, *words, *classes;
  } cases[] = {
      // The worked example: a marker makes the next word a noun, a possessive
      // without a noun after it is a contracted IS, the terminal mark stays on
      // the last word.
      {"DOG", "My big dog's name is Rex.", "MY BIG DOG IS NAME IS REX.", "*NOUNMARK *NOUN *ANIMAL *DEF *UNKNOWN *DEF *UNKNOWN"},
      {"", "hi there?", "HI THERE? (?)", "*GREETING *UNKNOWN"},
      // Contractions are spelled out, whole words only.
      {"", "so WE'RE?", "SO WE ARE", "*UNKNOWN *UNKNOWN *DEF"},
      // Names and times become tags. BOB'S is not followed by a noun, so it is BOB IS;
      // a last word ending in 'S stays as it is.
      {"", "BOB'S vesko 10:30 9:30PM 1 friday, ANNA!", "&userName IS &botName &time &timePM 1 &day, &sigother!",
       "*UNKNOWN *DEF *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN"},
      // A tag takes a whole word: Bob is not in BOBBY, a weekday not in its
      // plural; a time needs digits on both sides of the ":" (so "a:" stays).
      {"", "BOBBY BOBBOB VESKOS FRIDAYS ANNAS BOB. a: HOUR: TH:E : 1: 12:3 10:30.",
       "BOBBY BOBBOB VESKOS FRIDAYS ANNAS &userName. A: HOUR: TH:E : 1: 12:3 &time.",
       "*UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN *UNKNOWN"},
      {"", "IT IS BOB'S", "IT IS &userName'S", "*UNKNOWN *DEF *UNKNOWN"},
      // Fillers before a known noun are marked; the walk back stops at a marker
      // and turns a possessive (a noun follows, fillers allowed) into one.
      {"DOG", "I LIKE DOG AND CAT.", "I LIKE DOG AND CAT.", "*STUFFING *STUFFING *ANIMAL *UNKNOWN *UNKNOWN"},
      {"BONE", "THE DOG'S OLD BONE IS HERE", "THE DOG'S OLD BONE IS HERE", "*NOUNMARK *NOUNMARK *STUFFING *NOUN *DEF *UNKNOWN"},
      // A marker at the end has no noun to give.
      {"", "LOOK AT THE", "LOOK AT THE", "*UNKNOWN *UNKNOWN *NOUNMARK"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    auto brain = newBrain(c.nouns);
    EXPECT_EQ(normalise(*brain, c.line), std::make_pair(std::string(c.words), std::string(c.classes))) << c.line;
  }
}

TEST(Normaliser, LearnsNounsAndFillersAndKeepsFiveRecentNouns) {
  auto brain = newBrain("DOG");
  normalise(*brain, "My big dog's name is Rex.");
  EXPECT_TRUE(brain->nouns().has("BIG"));
  EXPECT_EQ(joined(brain->recentNouns()), "BIG");
  normalise(*brain, "I LIKE DOG.");
  EXPECT_FALSE(brain->stuffing().has("LIKE"));
  normalise(*brain, "I LIKE DOG AND CAT.");
  EXPECT_TRUE(brain->stuffing().has("I") && brain->stuffing().has("LIKE"));
  EXPECT_EQ(normalise(*brain, "LIKE IT").second, "*STUFFING *UNKNOWN");  // a learned filler is one on its own
  normalise(*brain, "THE DOG'S OLD BONE");
  EXPECT_FALSE(brain->stuffing().has("THE"));
  // A noun at the end of a line keeps the mark in the tree, not in the recent
  // nouns, which hold each line's nouns newest first.
  normalise(*brain, "I SAW A ZEBRA.");
  EXPECT_TRUE(brain->nouns().has("ZEBRA.") && !brain->nouns().has("ZEBRA"));
  EXPECT_EQ(joined(brain->recentNouns()), "ZEBRA DOG DOG BIG");
  for (const char* line : {"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX", "A SIX A SIX"}) {
    brain->nouns().add(line);
    normalise(*brain, line);
  }
  EXPECT_EQ(joined(brain->recentNouns()), "SIX SIX SIX FIVE FOUR");
  // An empty name is never a tag. (Odd bytes, huge lines and sentences go
  // through normalisation in the text teacher's tests.)
  brain->botInfo().name = "";
  brain->botInfo().relationshipName = "";
  EXPECT_EQ(normalise(*brain, "THE CAT SAT").first, "THE CAT SAT");
}

std::string saved(const WordTree& tree) {
  std::ostringstream out;
  tree.save(out);
  return out.str();
}

// Lines drawn from words that exercise every rule (markers, known and new
// nouns, fillers, possessives, contractions, classes, marks), none of them a
// tag, normalised one after another so that what a line learns shapes the
// next: the engine and the plain reference must agree on every word, class,
// learned word and recent noun.
TEST(Normaliser, AgreesWithThePlainReferenceOnRandomLines) {
  const std::vector<const char*> vocabulary = {
      "A", "the", "My", "HIS", "your", "this", "dog", "DOG.", "cat?", "house", "bone", "big", "old", "red",
      "very", "I", "like", "and", "John's", "dog's", "it's", "LET'S", "'S", "'s.", "don't", "we're", "can't",
      "I'm", "isn't", "hi", "hello", "is", "are", "has", "he", "she", "mary", "Mary's", "fish", "puppy",
      "zebra", "ran", "x", "?", ".", "!", "well,", "o'clock"};
  std::mt19937 draw(20240601);
  auto engine = newBrain("DOG HOUSE BONE");
  auto plain = newBrain("DOG HOUSE BONE");
  reference::NormaliserState state{plain->nouns(), plain->stuffing(), plain->names(), plain->recentNouns(),
                                   "BOB", "VESKO", "FRIDAY", "ANNA"};
  for (int n = 0; n < 400; ++n) {
    std::string line;
    const int length = static_cast<int>(draw() % 40);
    for (int i = 0; i < length; ++i) line += std::string(i ? " " : "") + vocabulary[draw() % vocabulary.size()];
    WordList words{Str(line)}, classes, plainWords{Str(line)}, plainClasses;
    engine->normalise(words, classes);
    reference::normalise(plainWords, plainClasses, state);
    ASSERT_EQ(words, plainWords) << line;
    ASSERT_EQ(classes, plainClasses) << line;
    ASSERT_EQ(joined(engine->recentNouns()), joined(plain->recentNouns())) << line;
    ASSERT_EQ(saved(engine->nouns()), saved(plain->nouns())) << line;
    ASSERT_EQ(saved(engine->stuffing()), saved(plain->stuffing())) << line;
  }
}

TEST(FilterLine, KeepsUpperCasedPrintableCharactersAndSpaces) {
  EXPECT_EQ(filterLine("Caf\xc3\xa9_1!"), Str("CAF1!"));
  EXPECT_EQ(filterLine("a\tb \x01" "c{d}~^ [x]"), Str("AB CD [X]"));
}

}  // namespace
}  // namespace vesko
