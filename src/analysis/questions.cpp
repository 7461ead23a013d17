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

// How many sentences one "tell me about" retells at most.
constexpr std::size_t kMostRetold = 5;

bool isStopWord(const Str& word) {
  return std::any_of(kStopWords.begin(), kStopWords.end(), [&](const char* stop) { return word == stop; });
}

// Keeps the numbers of `told`, in their order and with their repeats, that
// `numbers` also holds. Both lists are normally in the order learned, so one
// walk along them does; otherwise a sorted copy is searched.
void keepCommon(std::vector<std::int32_t>& told, const std::vector<std::int32_t>& numbers) {
  if (std::is_sorted(told.begin(), told.end()) && std::is_sorted(numbers.begin(), numbers.end())) {
    auto at = numbers.begin();
    std::size_t kept = 0;
    for (const std::int32_t n : told) {
      while (at != numbers.end() && *at < n) ++at;
      if (at != numbers.end() && *at == n) told[kept++] = n;
    }
    told.resize(kept);
    return;
  }
  std::vector<std::int32_t> sorted = numbers;
  std::sort(sorted.begin(), sorted.end());
  std::erase_if(told, [&](std::int32_t n) { return !std::binary_search(sorted.begin(), sorted.end(), n); });
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
  // "Tell me about the" names no topic at all.
  if (keys.empty()) return "I don't know anything about that!";
  std::vector<std::int32_t> told;
  for (const Str& key : keys) {
    const auto found = index_.find(key);
    if (found == index_.end()) return "I don't know anything about that!";
    const std::vector<std::int32_t>& numbers = found->second.first;
    if (told.empty()) {
      told = numbers;
      continue;
    }
    keepCommon(told, numbers);
    if (told.empty()) return "I don't have anything to tell you about that!";
  }
  // A topic as common as LIFE in a taught book would retell thousands of
  // sentences in one answer; the most recently learned few are enough. Lists
  // are in the order learned (a hand-edited bank may differ; its tail is kept).
  const auto first = told.size() > kMostRetold ? told.end() - kMostRetold : told.begin();
  Str answer;
  for (auto n = first; n != told.end(); ++n) {
    answer += swapPerson(WordList(sentences_[static_cast<std::size_t>(*n)].text)).join();
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
