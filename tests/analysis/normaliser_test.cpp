#include "analysis/normaliser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/brain.h"

namespace vesko {
namespace {

// Friday, 1 March 2024, 21:15.
LocalTime aFriday() { return LocalTime{2024, 2, 1, 5, 21, 15, 0}; }

std::unique_ptr<Brain> newBrain(bool headless = false, const char* headlessUser = "") {
  BrainEnvironment environment{std::make_shared<FixedClock>(aFriday()), std::make_unique<SeededRandom>(1)};
  return std::make_unique<Brain>(Str("/nonexistent-vesko-folder/"), headless, Str(headlessUser), std::move(environment));
}

struct Normalised {
  std::vector<std::string> words;
  std::vector<std::string> classes;
  bool question = false;
};

Normalised normalise(Brain& brain, const char* line) {
  WordList words{Str(line)};
  WordList classes;
  brain.normalise(words, classes);
  Normalised out;
  for (const Str& w : words) out.words.push_back(w.std());
  for (const Str& c : classes) out.classes.push_back(c.std());
  out.question = words.isQuestion();
  return out;
}

std::vector<std::string> recent(Brain& brain) {
  std::vector<std::string> out;
  for (const Str& noun : brain.recentNouns()) out.push_back(noun.std());
  return out;
}

using Words = std::vector<std::string>;

TEST(Normaliser, RewritesTheWorkedExampleAndLearnsItsNoun) {
  auto brain = newBrain();
  brain->nouns().add("DOG");
  const Normalised n = normalise(*brain, "My big dog's name is Rex.");
  EXPECT_EQ(n.words, (Words{"MY", "BIG", "DOG", "IS", "NAME", "IS", "REX."}));
  EXPECT_EQ(n.classes, (Words{"*NOUNMARK", "*NOUN", "*ANIMAL", "*DEF", "*UNKNOWN", "*DEF", "*UNKNOWN"}));
  EXPECT_TRUE(brain->nouns().has("BIG"));
  EXPECT_EQ(recent(*brain), (Words{"BIG"}));
}

TEST(Normaliser, ClassesWordsWithTheTerminalMarkStillOnTheLastWord) {
  auto brain = newBrain();
  EXPECT_EQ(normalise(*brain, "hi there.").classes, (Words{"*GREETING", "*UNKNOWN"}));
  const Normalised hi = normalise(*brain, "hi.");
  EXPECT_EQ(hi.words, (Words{"HI."}));
  EXPECT_EQ(hi.classes, (Words{"*UNKNOWN"}));

  brain->names().add("MARY");
  EXPECT_EQ(normalise(*brain, "HOWDY HE SHE MARY HAS PUPPY KITTY").classes,
            (Words{"*GREETING", "*PERSON", "*PERSON", "*PERSON", "*DEF", "*ANIMAL", "*ANIMAL"}));

  // DOG. with its full stop is not the known noun DOG.
  brain->nouns().add("DOG");
  EXPECT_EQ(normalise(*brain, "I LIKE DOG.").classes, (Words{"*UNKNOWN", "*UNKNOWN", "*UNKNOWN"}));
  EXPECT_FALSE(brain->stuffing().has("LIKE"));
}

TEST(Normaliser, SpellsOutContractions) {
  auto brain = newBrain();
  EXPECT_EQ(normalise(*brain, "YOU'RE RIGHT").words, (Words{"YOU", "ARE", "RIGHT"}));
  const Normalised were = normalise(*brain, "so WE'RE?");
  EXPECT_EQ(were.words, (Words{"SO", "WE", "ARE"}));
  EXPECT_FALSE(were.question);
  EXPECT_EQ(normalise(*brain, "I CAN'T").words, (Words{"I", "CANNOT"}));
  const Normalised dont = normalise(*brain, "I don't won't didn't isn't shan't aren't I'm go");
  EXPECT_EQ(dont.words, (Words{"I", "DO", "NOT", "WILL", "NOT", "DID", "NOT", "IS", "NOT", "SHALL", "NOT", "ARE", "NOT",
                               "I", "AM", "GO"}));
  EXPECT_EQ(dont.classes[1], "*DEF");
  EXPECT_EQ(dont.classes.size(), dont.words.size());
  // Only whole words are spelled out: the mark keeps CAN'T. as it is.
  EXPECT_EQ(normalise(*brain, "I CAN'T.").words, (Words{"I", "CAN'T."}));
}

TEST(Normaliser, TagsNamesTimesAndToday) {
  auto brain = newBrain(true, "Bob");
  brain->respond("hello");  // takes the user name of the message
  brain->botInfo().name = "Vesko";
  brain->botInfo().relationshipName = "Anna";
  const Normalised n = normalise(*brain, "BOB'S vesko 10:30 9:30PM 1 a: friday, ANNA!");
  // BOB'S is not followed by a noun, so it is also read as BOB IS.
  EXPECT_EQ(n.words, (Words{"&userName", "IS", "&botName", "&time", "&timePM", "1", "&time", "&day,", "&sigother!"}));
  // A word ending in "'S" that is the last word stays as it is.
  EXPECT_EQ(normalise(*brain, "IT IS BOB'S").words, (Words{"IT", "IS", "&userName'S"}));
  // An empty name tags nothing.
  brain->botInfo().name = "";
  brain->botInfo().relationshipName = "";
  EXPECT_EQ(normalise(*brain, "THE CAT SAT").words, (Words{"THE", "CAT", "SAT"}));
}

TEST(Normaliser, MarksFillersBeforeAKnownNoun) {
  auto brain = newBrain();
  brain->nouns().add("DOG");
  const Normalised n = normalise(*brain, "I LIKE DOG AND CAT.");
  EXPECT_EQ(n.classes, (Words{"*STUFFING", "*STUFFING", "*ANIMAL", "*UNKNOWN", "*UNKNOWN"}));
  EXPECT_TRUE(brain->stuffing().has("I"));
  EXPECT_TRUE(brain->stuffing().has("LIKE"));
  // Once learned, a filler is known as one on its own.
  EXPECT_EQ(normalise(*brain, "LIKE IT").classes[0], "*STUFFING");

  // The walk back stops at a marker and turns a possessive into one.
  auto other = newBrain();
  other->nouns().add("BONE");
  EXPECT_EQ(normalise(*other, "THE DOG'S OLD BONE IS HERE").classes,
            (Words{"*NOUNMARK", "*NOUNMARK", "*STUFFING", "*NOUN", "*DEF", "*UNKNOWN"}));
  EXPECT_FALSE(other->stuffing().has("THE"));
}

TEST(Normaliser, LearnsTheNounAfterAMarker) {
  auto brain = newBrain();
  // YOUR is a marker, not a filler, so it is the noun of THIS.
  const Normalised n = normalise(*brain, "IS THIS YOUR DOG");
  EXPECT_EQ(n.classes, (Words{"*DEF", "*NOUNMARK", "*NOUN", "*ANIMAL"}));
  EXPECT_TRUE(brain->nouns().has("YOUR"));

  // A noun at the end of a line keeps the mark in the tree, not in recentNouns.
  normalise(*brain, "I SAW A ZEBRA.");
  EXPECT_TRUE(brain->nouns().has("ZEBRA."));
  EXPECT_FALSE(brain->nouns().has("ZEBRA"));
  EXPECT_EQ(recent(*brain).front(), "ZEBRA");

  // The scan resumes right behind the noun: A starts a phrase of its own.
  auto other = newBrain();
  EXPECT_EQ(normalise(*other, "GIVE THE DOG A BONE NOW").classes,
            (Words{"*UNKNOWN", "*NOUNMARK", "*ANIMAL", "*NOUNMARK", "*NOUN", "*UNKNOWN"}));
  EXPECT_TRUE(other->nouns().has("BONE"));
  // A marker at the end of the line has no noun.
  EXPECT_EQ(normalise(*other, "LOOK AT THE").classes.back(), "*NOUNMARK");
}

TEST(Normaliser, TellsPossessivesFromContractedIs) {
  auto brain = newBrain();
  brain->nouns().add("DOG");
  EXPECT_EQ(normalise(*brain, "IT'S A DOG").words, (Words{"IT", "IS", "A", "DOG"}));
  const Normalised john = normalise(*brain, "JOHN'S DOG BARKS");
  EXPECT_EQ(john.words, (Words{"JOHN'S", "DOG", "BARKS"}));
  EXPECT_EQ(john.classes[0], "*NOUNMARK");
  EXPECT_EQ(normalise(*brain, "LET'S GO").words, (Words{"LET'S", "GO"}));
  // Fillers then a noun: possessive; fillers and no noun: contraction.
  brain->stuffing().add("VERY");
  EXPECT_EQ(normalise(*brain, "JOHN'S VERY OLD DOG").words[0], "JOHN'S");
  EXPECT_EQ(normalise(*brain, "JOHN'S VERY TALL").words, (Words{"JOHN", "IS", "VERY", "TALL"}));
  // Two in a row: the second is looked at after the inserted IS.
  EXPECT_EQ(normalise(*brain, "HE'S SHE'S OK").words, (Words{"HE", "IS", "SHE", "IS", "OK"}));
}

TEST(Normaliser, KeepsFiveRecentNounsNewestFirst) {
  auto brain = newBrain();
  for (const char* noun : {"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX"}) brain->nouns().add(noun);
  for (const char* line : {"ONE", "TWO", "THREE", "FOUR", "FIVE"}) normalise(*brain, line);
  EXPECT_EQ(recent(*brain), (Words{"FIVE", "FOUR", "THREE", "TWO", "ONE"}));
  normalise(*brain, "SIX");
  EXPECT_EQ(recent(*brain), (Words{"SIX", "FIVE", "FOUR", "THREE", "TWO"}));
  normalise(*brain, "A SIX A SIX");
  EXPECT_EQ(recent(*brain), (Words{"SIX", "SIX", "SIX", "FIVE", "FOUR"}));
}

TEST(Normaliser, SurvivesAnyLine) {
  auto brain = newBrain();
  brain->nouns().add("DOG");
  brain->stuffing().add("BIG");
  WordList empty;
  WordList classes;
  brain->normalise(empty, classes);
  EXPECT_TRUE(empty.empty());
  EXPECT_TRUE(classes.empty());

  std::string noisy;
  for (int i = 0; i < 10000; ++i) noisy += static_cast<char>(i % 256 == 32 ? 'x' : i % 256);
  std::string dogs;
  while (dogs.size() < 10000) dogs += "BIG DOG'S DOG A ";
  for (const std::string& line : {noisy, dogs, std::string("caf\xc3\xa9 _~{ \x01\x7f DOG'S")}) {
    WordList words{Str(line)};
    WordList cls;
    brain->normalise(words, cls);
    EXPECT_EQ(words.count(), cls.count());
  }
  // Bytes the word trees cannot hold are never learned.
  normalise(*brain, "A caf\xc3\xa9 A _x_");
  EXPECT_FALSE(brain->nouns().has("CAF\xc3\xa9"));
  EXPECT_FALSE(brain->nouns().has("_X_"));
  EXPECT_LE(brain->recentNouns().count(), 5);
}

TEST(FilterLine, KeepsUpperCasedPrintableCharactersAndSpaces) {
  EXPECT_EQ(filterLine("Caf\xc3\xa9_1!"), Str("CAF1!"));
  EXPECT_EQ(filterLine("a\tb \x01" "c{d}~^ [x]"), Str("AB CD [X]"));
  EXPECT_EQ(filterLine(""), Str(""));
}

}  // namespace
}  // namespace vesko
