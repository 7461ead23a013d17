// A straightforward normaliser kept beside the tests: the rules written as
// plainly as they read (walk back over every word before a known noun,
// insert IS into the middle of the list), quadratic on long lines. The
// differential test holds the engine's normaliser to its results, and the
// normaliser benchmark times both in one run.
#pragma once

#include <array>

#include "storage/word_tree.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko::reference {

// What normalisation reads and learns besides the line.
struct NormaliserState {
  WordTree& nouns;
  WordTree& stuffing;
  const WordTree& names;
  StrList& recentNouns;
  Str userName, botName, weekday, partnerName;  // upper case
};

template <std::size_t N>
bool isOneOf(const Str& word, const std::array<const char*, N>& table) {
  for (const char* entry : table)
    if (word == entry) return true;
  return false;
}

inline bool endsInApostropheS(const Str& word) { return word.length() >= 2 && word.endsWith("'S"); }

inline WordList expandContractions(const WordList& words) {
  struct Contraction {
    const char *word, *first, *second;
  };
  constexpr std::array<Contraction, 7> contractions = {{{"DON'T", "DO", "NOT"}, {"DIDN'T", "DID", "NOT"},
                                                        {"WON'T", "WILL", "NOT"}, {"ISN'T", "IS", "NOT"},
                                                        {"SHAN'T", "SHALL", "NOT"}, {"AREN'T", "ARE", "NOT"},
                                                        {"I'M", "I", "AM"}}};
  WordList out;
  for (const Str& word : words) {
    const int re = word.find("'RE");
    if (re >= 0) {
      out.append(word.substr(0, re));
      out.append("ARE");
    } else if (word == "CAN'T") {
      out.append("CANNOT");
    } else {
      bool replaced = false;
      for (const Contraction& c : contractions) {
        if (word == c.word) {
          out.append(c.first);
          out.append(c.second);
          replaced = true;
          break;
        }
      }
      if (!replaced) out.append(word);
    }
  }
  return out;
}

inline Str tagged(const Str& word, const NormaliserState& s) {
  auto byName = [&word](const Str& name, const char* tag, Str& out) {
    if (name.empty() || !word.startsWith(name)) return false;
    out = Str(tag) + word.substr(name.length(), word.length() - name.length());
    return true;
  };
  Str out;
  if (byName(s.userName, "&userName", out)) return out;
  if (byName(s.botName, "&botName", out)) return out;
  if ((word.length() >= 2 && word.charAt(1) == ':') || (word.length() >= 3 && word.charAt(2) == ':')) {
    const int rest = word.find(":") + 3;
    return Str("&time") + word.substr(rest, word.length() - rest);
  }
  if (byName(s.weekday, "&day", out)) return out;
  if (byName(s.partnerName, "&sigother", out)) return out;
  return word;
}

inline void normalise(WordList& words, WordList& classes, NormaliserState& s) {
  constexpr std::array<const char*, 8> markers = {"A", "AN", "THE", "MY", "HIS", "HER", "YOUR", "THIS"};
  constexpr std::array<const char*, 4> greetings = {"HI", "HELLO", "HOWDY", "ALLO"};
  constexpr std::array<const char*, 5> definers = {"IS", "ARE", "HAVE", "DO", "HAS"};
  constexpr std::array<const char*, 7> animals = {"CAT", "DOG", "BIRD", "FISH", "HAMSTER", "KITTY", "PUPPY"};
  classes.clear();
  words = expandContractions(words.upperCased());
  for (int i = 0; i < words.count(); ++i) classes.append("*UNKNOWN");
  for (int i = 0; i < words.count(); ++i) {
    const Str w = words.wordAt(i);
    words.setWordAt(i, tagged(w, s));
    if (isOneOf(w, markers)) {
      classes.setWordAt(i, "*NOUNMARK");
    } else if (s.nouns.has(w)) {
      classes.setWordAt(i, "*NOUN");
      for (int j = i - 1; j >= 0 && classes.wordAt(j) != "*NOUNMARK"; --j) {
        if (endsInApostropheS(words.wordAt(j))) {
          classes.setWordAt(j, "*NOUNMARK");
          break;
        }
        classes.setWordAt(j, "*STUFFING");
        if (!s.stuffing.has(words.wordAt(j))) s.stuffing.add(words.wordAt(j));
      }
    } else if (s.stuffing.has(w)) {
      classes.setWordAt(i, "*STUFFING");
    }
  }
  for (int i = 0; i < words.count();) {
    if (classes.wordAt(i) != "*NOUNMARK") {
      ++i;
      continue;
    }
    int j = i + 1;
    while (j < words.count() && classes.wordAt(j) == "*STUFFING") ++j;
    if (j >= words.count()) {
      ++i;
      continue;
    }
    classes.setWordAt(j, "*NOUN");
    if (!s.nouns.has(words.wordAt(j))) s.nouns.add(words.wordAt(j).upper());
    i = j + 1;
  }
  for (int i = 0; i < words.count() - 1; ++i) {
    const Str w = words.wordAt(i);
    if (!endsInApostropheS(w) || w == "LET'S") continue;
    const Str next = classes.wordAt(i + 1);
    bool possessive = next == "*NOUN";
    if (next == "*STUFFING")
      for (int j = i + 1; j < words.count() && !possessive; ++j) possessive = classes.wordAt(j) == "*NOUN";
    if (possessive) {
      classes.setWordAt(i, "*NOUNMARK");
    } else {
      words.setWordAt(i, w.substr(0, w.length() - 2));
      words.insertAfter(i, "IS");
      classes.insertAfter(i, "*DEF");
    }
  }
  for (int i = 0; i < words.count(); ++i) {
    if (classes.wordAt(i) != "*NOUN") continue;
    while (s.recentNouns.count() >= 5) s.recentNouns.popBack();
    s.recentNouns.pushFront(words.wordAt(i).stripPunctuation());
  }
  for (int i = 0; i < words.count(); ++i) {
    const Str w = words.wordAt(i);
    if (isOneOf(w, greetings)) classes.setWordAt(i, "*GREETING");
    else if (isOneOf(w, definers)) classes.setWordAt(i, "*DEF");
    else if (w == "HE" || w == "SHE" || s.names.has(w)) classes.setWordAt(i, "*PERSON");
    else if (isOneOf(w, animals)) classes.setWordAt(i, "*ANIMAL");
  }
}

}  // namespace vesko::reference
