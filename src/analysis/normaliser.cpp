#include "analysis/normaliser.h"

#include <array>
#include <string>
#include <vector>

#include "engine/brain.h"
#include "skills/date_time.h"

namespace vesko {

namespace {

constexpr const char* kUnknown = "*UNKNOWN";
constexpr const char* kNounMark = "*NOUNMARK";
constexpr const char* kNoun = "*NOUN";
constexpr const char* kStuffing = "*STUFFING";
constexpr const char* kDef = "*DEF";
constexpr const char* kGreeting = "*GREETING";
constexpr const char* kPerson = "*PERSON";
constexpr const char* kAnimal = "*ANIMAL";

constexpr int kMaxRecentNouns = 5;

template <std::size_t N>
bool isOneOf(const Str& word, const std::array<const char*, N>& table) {
  for (const char* entry : table)
    if (word == entry) return true;
  return false;
}

constexpr std::array<const char*, 8> kNounMarkers = {"A", "AN", "THE", "MY", "HIS", "HER", "YOUR", "THIS"};
constexpr std::array<const char*, 4> kGreetings = {"HI", "HELLO", "HOWDY", "ALLO"};
constexpr std::array<const char*, 5> kDefiners = {"IS", "ARE", "HAVE", "DO", "HAS"};
constexpr std::array<const char*, 7> kAnimals = {"CAT", "DOG", "BIRD", "FISH", "HAMSTER", "KITTY", "PUPPY"};

// Whole-word contractions that become two words.
struct Contraction {
  const char* word;
  const char* first;
  const char* second;
};
constexpr std::array<Contraction, 7> kContractions = {{{"DON'T", "DO", "NOT"},
                                                       {"DIDN'T", "DID", "NOT"},
                                                       {"WON'T", "WILL", "NOT"},
                                                       {"ISN'T", "IS", "NOT"},
                                                       {"SHAN'T", "SHALL", "NOT"},
                                                       {"AREN'T", "ARE", "NOT"},
                                                       {"I'M", "I", "AM"}}};

bool endsInApostropheS(const Str& word) { return word.length() >= 2 && word.endsWith("'S"); }

// The upper-case words with "'RE", "CAN'T", "DON'T" and the like spelled out.
WordList expandContractions(const WordList& words) {
  WordList out;
  for (const Str& word : words) {
    if (!word.contains("'")) {
      out.append(word);
      continue;
    }
    const int re = word.find("'RE");
    if (re >= 0) {
      // Whatever follows "'RE" goes, terminal mark included: WE'RE? -> WE ARE.
      out.append(word.substr(0, re));
      out.append("ARE");
      continue;
    }
    if (word == "CAN'T") {
      out.append("CANNOT");
      continue;
    }
    bool replaced = false;
    for (const Contraction& c : kContractions) {
      if (word == c.word) {
        out.append(c.first);
        out.append(c.second);
        replaced = true;
        break;
      }
    }
    if (!replaced) out.append(word);
  }
  return out;
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A time of day: one or two digits, ":" and two digits (9:30PM, 10:30.), so
// neither HOUR: nor 12:3 is one.
bool isTime(const Str& word) {
  const int colon = word.length() >= 2 && word.charAt(1) == ':' ? 1 : word.length() >= 3 && word.charAt(2) == ':' ? 2 : -1;
  if (colon < 0 || word.length() < colon + 3) return false;
  for (int i = 0; i < colon; ++i)
    if (!isDigit(word.charAt(i))) return false;
  return isDigit(word.charAt(colon + 1)) && isDigit(word.charAt(colon + 2));
}

// The tag that replaces the start of `word`, with the rest of the word kept
// behind it; the word unchanged when no tag applies. Names are upper case.
Str tagged(const Str& word, const Str& userName, const Str& botName, const Str& weekday, const Str& partnerName) {
  // An empty name would be a prefix of every word; it matches none. A name
  // must be the whole word up to a non-letter (BOB'S, BOB.), so a user named
  // Al is not found in ALL nor Tom in TOMORROW.
  auto byName = [&word](const Str& name, const char* tag, Str& out) {
    if (name.empty() || !word.startsWith(name)) return false;
    if (word.length() > name.length() && isLetter(word.charAt(name.length()))) return false;
    out = Str(tag) + word.substr(name.length(), word.length() - name.length());
    return true;
  };
  Str out;
  if (byName(userName, "&userName", out)) return out;
  if (byName(botName, "&botName", out)) return out;
  if (isTime(word)) {
    const int rest = word.find(":") + 3;
    return Str("&time") + word.substr(rest, word.length() - rest);
  }
  if (byName(weekday, "&day", out)) return out;
  if (byName(partnerName, "&sigother", out)) return out;
  return word;
}

}  // namespace

Str filterLine(const Str& line) {
  std::string kept;
  for (char c : line.upper().std()) {
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ' || (u >= '!' && u <= ']')) kept += c;
  }
  return Str(std::move(kept));
}

// REQUIRES: `classes` is empty (it is cleared regardless, so the two lists
// always end parallel).
void Brain::normalise(WordList& words, WordList& classes) {
  classes.clear();

  // Words and classes by reference: long lines must not copy a word per look.
  auto word = [&words](int i) -> const Str& { return words.words()[static_cast<std::size_t>(i)]; };
  auto classOf = [&classes](int i) -> const Str& { return classes.words()[static_cast<std::size_t>(i)]; };

  // 1-2. Upper case, contractions spelled out; every word starts unknown.
  words = expandContractions(words.upperCased());
  for (int i = 0; i < words.count(); ++i) classes.append(kUnknown);

  // 3. Tags and first classes.
  const Str userName = userName_.upper();
  const Str botName = bot_.name.upper();
  const Str weekday = weekdayName(*clock_).upper();
  const Str partnerName = bot_.relationshipName.upper();
  // The walk back from a known noun ends at the previous known noun at the
  // latest: everything before it, back to its own marker, was made filler by
  // its walk and would only be made filler again. So each word is walked once.
  int previousNoun = -1;
  for (int i = 0; i < words.count(); ++i) {
    const Str w = words.wordAt(i);
    words.setWordAt(i, tagged(w, userName, botName, weekday, partnerName));
    if (isOneOf(w, kNounMarkers)) {
      classes.setWordAt(i, kNounMark);
    } else if (nouns_.has(w)) {
      classes.setWordAt(i, kNoun);
      // The words before a known noun, back to its marker, are fillers; a
      // possessive "'S" among them is itself the marker.
      for (int j = i - 1; j >= 0 && classOf(j) != kNounMark; --j) {
        const Str& before = word(j);
        if (endsInApostropheS(before)) {
          classes.setWordAt(j, kNounMark);
          break;
        }
        classes.setWordAt(j, kStuffing);
        if (learning_ && !stuffing_.has(before)) stuffing_.add(before);
        if (j == previousNoun) break;
      }
      previousNoun = i;
    } else if (stuffing_.has(w)) {
      classes.setWordAt(i, kStuffing);
    }
  }

  // 4. The first non-filler word after a marker is a noun.
  for (int i = 0; i < words.count();) {
    if (classOf(i) != kNounMark) {
      ++i;
      continue;
    }
    int j = i + 1;
    while (j < words.count() && classOf(j) == kStuffing) ++j;
    if (j >= words.count()) {
      ++i;
      continue;
    }
    classes.setWordAt(j, kNoun);
    if (learning_ && !nouns_.has(word(j))) nouns_.add(word(j).upper());
    // Resume right behind the noun, so a marker standing there (the A of
    // GIVE THE DOG A BONE) starts a noun phrase of its own.
    i = j + 1;
  }

  // 5. A word ending in "'S" is a possessive before a noun, else "<word> IS".
  // The lists are rebuilt in one pass, since inserting into their middle
  // would copy the rest of a long line once per "'S".
  {
    const int count = words.count();
    // nounFrom[k]: a noun stands at k or later.
    std::vector<bool> nounFrom(static_cast<std::size_t>(count) + 1, false);
    for (int k = count - 1; k >= 0; --k)
      nounFrom[static_cast<std::size_t>(k)] = nounFrom[static_cast<std::size_t>(k) + 1] || classOf(k) == kNoun;
    WordList newWords;
    WordList newClasses;
    bool split = false;
    for (int i = 0; i < count; ++i) {
      const Str& w = word(i);
      // The last word is never split: nothing follows it.
      if (i == count - 1 || !endsInApostropheS(w) || w == "LET'S") {
        newWords.append(w);
        newClasses.append(classOf(i));
        continue;
      }
      const Str& next = classOf(i + 1);
      const bool possessive = next == kNoun || (next == kStuffing && nounFrom[static_cast<std::size_t>(i) + 1]);
      if (possessive) {
        newWords.append(w);
        newClasses.append(kNounMark);
      } else {
        newWords.append(w.substr(0, w.length() - 2));
        newClasses.append(classOf(i));
        newWords.append("IS");
        newClasses.append(kDef);
        split = true;
      }
    }
    if (split) {
      const bool question = words.isQuestion();
      words = std::move(newWords);
      words.setQuestion(question);
    }
    classes = std::move(newClasses);
  }

  // 6. The nouns of the line become the most recent topics, newest first.
  for (int i = 0; i < words.count(); ++i) {
    if (classOf(i) != kNoun) continue;
    while (recentNouns_.count() >= kMaxRecentNouns) recentNouns_.popBack();
    recentNouns_.pushFront(word(i).stripPunctuation());
  }

  // 7. Final classes by the words as they now stand.
  for (int i = 0; i < words.count(); ++i) {
    const Str& w = word(i);
    if (isOneOf(w, kGreetings)) {
      classes.setWordAt(i, kGreeting);
    } else if (isOneOf(w, kDefiners)) {
      classes.setWordAt(i, kDef);
    } else if (w == "HE" || w == "SHE" || names_.has(w)) {
      classes.setWordAt(i, kPerson);
    } else if (isOneOf(w, kAnimals)) {
      classes.setWordAt(i, kAnimal);
    }
  }
}

}  // namespace vesko
