// The inner workings of GrammarModel: word records, groups, templates and the
// dictionary, with the table operations (newGroup, addWord, addTemplate,
// merge, findSimilar) that learning and loading share. Only src/learning uses it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/str.h"
#include "text/word_list.h"

namespace vesko::grammar {

constexpr int kMaxLength = 30;
constexpr int kPairSlots = 200;

// A sequence that grows at both ends without moving what it holds, so that
// joining two of them costs one step per element of the shorter one: the
// front part is kept reversed in `front_`, the rest in order in `back_`.
template <typename T>
class Seq {
 public:
  std::size_t size() const { return front_.size() + back_.size(); }
  bool empty() const { return front_.empty() && back_.empty(); }
  // REQUIRES: i < size()
  const T& operator[](std::size_t i) const {
    return i < front_.size() ? front_[front_.size() - 1 - i] : back_[i - front_.size()];
  }
  void pushBack(const T& value) { back_.push_back(value); }

  template <typename F>
  void forEach(F f) const {
    for (auto it = front_.rbegin(); it != front_.rend(); ++it) f(*it);
    for (const T& value : back_) f(value);
  }

  // This sequence followed by `tail`; `tail` ends empty.
  void concat(Seq& tail) {
    if (size() >= tail.size()) {
      tail.forEach([this](const T& value) { back_.push_back(value); });
    } else {
      // Put our elements in front of the longer tail, last one first.
      for (auto it = back_.rbegin(); it != back_.rend(); ++it) tail.front_.push_back(*it);
      for (const T& value : front_) tail.front_.push_back(value);
      std::swap(front_, tail.front_);
      std::swap(back_, tail.back_);
    }
    tail.release();
  }

  // Removes the last occurrence of `value`; true when there was one.
  bool eraseLast(const T& value) {
    for (std::size_t i = back_.size(); i-- > 0;) {
      if (back_[i] == value) {
        back_.erase(back_.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
      }
    }
    for (std::size_t i = 0; i < front_.size(); ++i) {
      if (front_[i] == value) {
        front_.erase(front_.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
      }
    }
    return false;
  }

  void release() {
    std::vector<T>().swap(front_);
    std::vector<T>().swap(back_);
  }

 private:
  std::vector<T> front_;  // reversed
  std::vector<T> back_;
};

struct Group;
struct Template;

// A word as learned (upper case, or a lower-case name marker) and the one
// group it belongs to. `group` may point at a group that was absorbed since;
// GroupTable::find resolves it. Null once the record was dropped as a
// duplicate.
struct WordRecord {
  Str word;
  Group* group = nullptr;
};

// A group of words that stand in the same places. A group absorbed by merge
// stays behind as a forwarding stub (`absorbedBy`), so references to it never
// need rewriting: merging costs one step per element of the smaller side.
struct Group {
  std::int32_t id = 0;
  bool isPunctuation = false;
  Group* absorbedBy = nullptr;
  Seq<WordRecord*> words;
  // Each template once per position whose group this is, in insertion order.
  Seq<Template*> templates;
  bool live() const { return absorbedBy == nullptr; }
};

// A sentence shape: one group per position. Positions may name absorbed
// groups; they are resolved (and shortened) on use.
struct Template {
  std::vector<Group*> positions;
  // Its place in the list of its length: findSimilar answers in that order.
  std::size_t serial = 0;
  // Scratch for counting candidates while generating.
  std::uint64_t mark = 0;
  int count = 0;
  // Scratch for findSimilar: the search that last met this template.
  std::uint64_t similarMark = 0;
};

// True for a token whose first character is one of "!", ".", "?", ",".
inline bool isPunctuationWord(const Str& word) {
  if (word.empty()) return false;
  const char c = word.charAt(0);
  return c == '!' || c == '.' || c == '?' || c == ',';
}

// True for a token made of nothing but ".", "!", "?" and ",": it holds no
// word, so it neither makes nor breaks the likeness of two sentences.
inline bool isMarksOnly(const Str& token) {
  if (token.empty()) return false;
  for (char c : token.std())
    if (c != '!' && c != '.' && c != '?' && c != ',') return false;
  return true;
}

// The live group of each id. Ids run densely from 0, so a vector holds them
// (a lookup per template position when a mind loads); the odd large id of a
// hand-edited bank goes to a map instead of growing the vector.
class GroupsById {
 public:
  // REQUIRES: id >= 0
  Group* get(std::int32_t id) const {
    if (id < kDense) return static_cast<std::size_t>(id) < dense_.size() ? dense_[static_cast<std::size_t>(id)] : nullptr;
    const auto it = sparse_.find(id);
    return it == sparse_.end() ? nullptr : it->second;
  }
  // A null group forgets the id. REQUIRES: id >= 0
  void set(std::int32_t id, Group* group) {
    if (id < kDense) {
      const auto at = static_cast<std::size_t>(id);
      if (at >= dense_.size()) dense_.resize(at + 1, nullptr);
      dense_[at] = group;
    } else if (group != nullptr) {
      sparse_[id] = group;
    } else {
      sparse_.erase(id);
    }
  }
  void clear() {
    dense_.clear();
    sparse_.clear();
  }

 private:
  static constexpr std::int32_t kDense = 1 << 20;
  std::vector<Group*> dense_;
  std::unordered_map<std::int32_t, Group*> sparse_;
};

class GroupTable {
 public:
  GroupTable() = default;
  GroupTable(const GroupTable&) = delete;
  GroupTable& operator=(const GroupTable&) = delete;

  void clear();

  // The live group a reference stands for, shortening the path on the way.
  static Group* find(Group* group) { return group->absorbedBy == nullptr ? group : findAbsorbed(group); }

  // --- dictionary ---
  // The record the dictionary returns for `word` (compared in upper case), or null.
  WordRecord* lookup(const Str& word) const;
  // A new record, made the one returned for its word from now on.
  WordRecord* insertWord(const Str& word);
  // Drops every record spelled exactly `word` from `group`, except `keep`.
  void dropDuplicates(Group* group, const Str& word, const WordRecord* keep);
  // Live records whose word without punctuation is `stripped`.
  const std::vector<WordRecord*>* recordsStripped(const Str& stripped) const;
  std::int64_t dictionaryInserts() const { return dictionaryInserts_; }

  // --- groups ---
  // `id` -1 takes the oldest free id, else groupCount.
  // REQUIRES: an id >= 0 is not in use
  Group* newGroup(std::int32_t id);
  static void addWord(Group* group, WordRecord* record);
  void merge(Group* kept, Group* absorbed);
  Group* groupById(std::int32_t id) const;
  std::int32_t groupCount() const { return groupCount_; }
  const std::deque<std::int32_t>& freeIds() const { return freeIds_; }
  void setFreeIds(std::deque<std::int32_t> ids) { freeIds_ = std::move(ids); }
  // Every group ever made, in creation order; the live ones are the model's groups.
  const std::deque<Group>& allGroups() const { return groups_; }

  // --- templates ---
  // REQUIRES: 1 <= positions <= 30, every position set
  Template* addTemplate(std::vector<Group*> positions);
  // Stored templates of the same length with the same group as `positions`
  // at every word position (`isWord`), in store order. A sentence of more
  // than five word positions may differ at one of them; a position with no
  // group (a word not learned yet) differs. Positions that hold only marks
  // count neither way.
  // REQUIRES: positions.size() == isWord.size(), 1 to 30
  std::vector<Template*> findSimilar(const std::vector<Group*>& positions, const std::vector<bool>& isWord) const;
  const std::vector<Template*>& templatesOfLength(int length) const {
    return byLength_[static_cast<std::size_t>(length)];
  }
  std::int64_t templateCount() const { return templateCount_; }

 private:
  static Group* findAbsorbed(Group* group);

  struct Entry {
    WordRecord* current = nullptr;
    std::vector<WordRecord*> all;  // every record made for this key
  };

  std::deque<WordRecord> records_;
  std::unordered_map<Str, Entry> dictionary_;
  std::unordered_map<Str, std::vector<WordRecord*>> byStripped_;
  std::int64_t dictionaryInserts_ = 0;

  std::deque<Group> groups_;
  GroupsById liveById_;
  std::deque<std::int32_t> freeIds_;
  std::int32_t groupCount_ = 0;

  std::deque<Template> templates_;
  std::array<std::vector<Template*>, kMaxLength + 1> byLength_;
  std::int64_t templateCount_ = 0;
  mutable std::uint64_t similarSearches_ = 0;
};

// One remembered exchange: what the bot said, and what the user answered.
struct Pair {
  WordList stimulus;
  WordList response;
};

}  // namespace vesko::grammar
