// The conversational side of the knowledge store: right/wrong feedback,
// "tell me about", keywords and the first/second person swap.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <limits>

#include "learning/knowledge_store.h"

namespace vesko {

namespace {

constexpr std::array<const char*, 11> kStopWords = {"WHAT", "WHERE", "WHO", "HOW", "WHY", "IS",
                                                    "ARE",  "AM",    "THE", "A",   "AN"};

bool isStopWord(const Str& word) {
  return std::any_of(kStopWords.begin(), kStopWords.end(), [&](const char* stop) { return word == stop; });
}

// The position of the first of `candidates` (tried in order) that the line holds.
bool findFirstOf(const WordList& words, std::initializer_list<const char*> candidates, int& at) {
  for (const char* word : candidates)
    if (words.indexOf(word, at)) return true;
  return false;
}

}  // namespace

bool KnowledgeStore::feedback(const WordList& line) {
  // People type feedback in any case and end it with a mark ("that's right."),
  // so the words are prepared the way every other matcher prepares them.
  const WordList words = line.stripped().upperCased();
  int at = 0;
  int step = 0;
  if (findFirstOf(words, {"CORRECT", "RIGHT", "YES"}, at)) step = words.wordAt(at - 1) == "NOT" ? -1 : 1;
  else if (findFirstOf(words, {"INCORRECT", "WRONG", "NO"}, at)) step = words.wordAt(at - 1) == "NOT" ? 1 : -1;
  else return false;

  if (lastRecalled_ >= 0) {
    std::int32_t& bonus = sentences_[static_cast<std::size_t>(lastRecalled_)].bonus;
    std::int64_t moved = std::int64_t{bonus} + step;
    if (moved == 4) moved = 3;
    if (moved == -4) moved = -3;
    bonus = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
  }
  return true;
}

Str KnowledgeStore::tellAbout(const WordList& topic) const {
  const std::vector<Str> keys = sortedKeywords(topic.stripped().upperCased());
  std::vector<std::int32_t> told;
  for (const Str& key : keys) {
    const auto found = index_.find(key);
    if (found == index_.end()) return "I don't know anything about that!";
    const std::vector<std::int32_t>& numbers = found->second.first;
    if (told.empty()) {
      told = numbers;
      continue;
    }
    std::vector<std::int32_t> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    std::erase_if(told, [&](std::int32_t n) { return !std::binary_search(sorted.begin(), sorted.end(), n); });
    if (told.empty()) return "I don't have anything to tell you about that!";
  }
  Str answer;
  for (std::int32_t n : told) {
    answer += swapPerson(WordList(sentences_[static_cast<std::size_t>(n)].text)).join();
    answer += ' ';
  }
  return answer;
}

std::vector<Str> KnowledgeStore::sortedKeywords(const WordList& words) {
  std::vector<Str> keys;
  keys.reserve(static_cast<std::size_t>(words.count()));
  for (const Str& word : words) {
    Str key = word.stripPunctuation();
    if (!isStopWord(key)) keys.push_back(std::move(key));
  }
  // Equal keywords are alike, so any sort gives the list that inserting each
  // before the first entry not smaller would give.
  std::sort(keys.begin(), keys.end(), [](const Str& a, const Str& b) { return a.std() < b.std(); });
  return keys;
}

StrList keywords(const WordList& words) {
  StrList sorted;
  for (const Str& key : KnowledgeStore::sortedKeywords(words)) sorted.pushBack(key);
  return sorted;
}

WordList swapPerson(WordList words) {
  // A YOU before any subject or verb form is the subject (I); after one it is
  // the object (ME).
  bool subjectSeen = false;
  for (int i = 0; i < words.count(); ++i) {
    const Str word = words.wordAt(i);
    if (word == "I") {
      words.setWordAt(i, "YOU");
      if (i + 1 < words.count() && words.wordAt(i + 1) == "AM") words.setWordAt(i + 1, "ARE");
      subjectSeen = true;
    } else if (word == "YOU") {
      if (subjectSeen) {
        words.setWordAt(i, "ME");
      } else {
        words.setWordAt(i, "I");
        if (i + 1 < words.count() && words.wordAt(i + 1) == "ARE") words.setWordAt(i + 1, "AM");
        subjectSeen = true;
      }
    } else if (word == "YOUR") {
      words.setWordAt(i, "MY");
    } else if (word == "MY") {
      words.setWordAt(i, "YOUR");
    } else if (word.endsWith("ING") || word.endsWith("ED")) {
      subjectSeen = true;
    }
  }
  return words;
}

}  // namespace vesko
