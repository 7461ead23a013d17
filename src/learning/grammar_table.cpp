#include "learning/grammar_internal.h"

#include <algorithm>

namespace vesko::grammar {

void GroupTable::clear() {
  records_.clear();
  dictionary_.clear();
  byStripped_.clear();
  dictionaryInserts_ = 0;
  groups_.clear();
  liveById_.clear();
  freeIds_.clear();
  groupCount_ = 0;
  templates_.clear();
  for (auto& list : byLength_) list.clear();
  templateCount_ = 0;
}

Group* GroupTable::findAbsorbed(Group* group) {
  Group* root = group;
  while (root->absorbedBy != nullptr) root = root->absorbedBy;
  while (group != root) {
    Group* next = group->absorbedBy;
    group->absorbedBy = root;
    group = next;
  }
  return root;
}

WordRecord* GroupTable::lookup(const Str& word) const {
  const auto it = dictionary_.find(word.upper());
  return it == dictionary_.end() ? nullptr : it->second.current;
}

WordRecord* GroupTable::insertWord(const Str& word) {
  WordRecord& record = records_.emplace_back();
  record.word = word;
  Entry& entry = dictionary_[word.upper()];
  entry.current = &record;
  entry.all.push_back(&record);
  byStripped_[word.stripPunctuation()].push_back(&record);
  ++dictionaryInserts_;
  return &record;
}

void GroupTable::dropDuplicates(Group* group, const Str& word, const WordRecord* keep) {
  const auto it = dictionary_.find(word.upper());
  if (it == dictionary_.end() || it->second.all.size() < 2) return;
  for (WordRecord* record : it->second.all) {
    if (record == keep || record->group == nullptr || record->word != word) continue;
    if (find(record->group) != group) continue;
    group->words.eraseLast(record);
    record->group = nullptr;
    auto& sameStripped = byStripped_[word.stripPunctuation()];
    std::erase(sameStripped, record);
  }
}

const std::vector<WordRecord*>* GroupTable::recordsStripped(const Str& stripped) const {
  const auto it = byStripped_.find(stripped);
  return it == byStripped_.end() ? nullptr : &it->second;
}

Group* GroupTable::newGroup(std::int32_t id) {
  if (id < 0) {
    // A hand-edited bank may list a live id as free, or leave gaps below
    // groupCount; a fresh group never takes an id that is in use.
    while (!freeIds_.empty() && id < 0) {
      const std::int32_t candidate = freeIds_.front();
      freeIds_.pop_front();
      if (candidate >= 0 && liveById_.get(candidate) == nullptr) id = candidate;
    }
    if (id < 0) {
      id = groupCount_;
      while (liveById_.get(id) != nullptr) ++id;
    }
  }
  Group& group = groups_.emplace_back();
  group.id = id;
  liveById_.set(id, &group);
  ++groupCount_;
  return &group;
}

void GroupTable::addWord(Group* group, WordRecord* record) {
  group->words.pushBack(record);
  group->isPunctuation = isPunctuationWord(record->word);
  record->group = group;
}

void GroupTable::merge(Group* kept, Group* absorbed) {
  // Records and template positions that name `absorbed` now resolve to `kept`.
  kept->words.concat(absorbed->words);
  kept->templates.concat(absorbed->templates);
  absorbed->absorbedBy = kept;
  liveById_.set(absorbed->id, nullptr);
  freeIds_.push_back(absorbed->id);
  --groupCount_;
}

Group* GroupTable::groupById(std::int32_t id) const {
  return id < 0 ? nullptr : liveById_.get(id);
}

Template* GroupTable::addTemplate(std::vector<Group*> positions) {
  Template& t = templates_.emplace_back();
  t.positions = std::move(positions);
  for (Group*& position : t.positions) {
    position = find(position);
    position->templates.pushBack(&t);
  }
  t.serial = byLength_[t.positions.size()].size();
  byLength_[t.positions.size()].push_back(&t);
  ++templateCount_;
  return &t;
}

std::vector<Template*> GroupTable::findSimilar(const std::vector<Group*>& positions,
                                              const std::vector<bool>& isWord) const {
  const std::size_t n = positions.size();
  std::vector<Group*> wanted(n, nullptr);
  std::size_t wordPositions = 0;
  std::size_t unknown = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!isWord[i]) continue;
    ++wordPositions;
    if (positions[i] == nullptr) ++unknown;
    else wanted[i] = find(positions[i]);
  }
  // One word may differ in a longer sentence: there one word stands for a
  // class of words, while in a short one a changed word is a changed meaning.
  const std::size_t allowed = wordPositions > 5 ? 1 : 0;
  if (unknown > allowed) return {};
  // A sentence of marks alone is like every template of its length.
  if (wordPositions == 0) return byLength_[n];

  // Every similar template shares the group of all word positions but at
  // most `allowed` of them, so it is in the template list of one of the
  // `allowed + 1` known positions with the shortest lists; only those are
  // compared, not the whole length bucket.
  const std::size_t sources = unknown > 0 ? 1 : allowed + 1;
  std::vector<Group*> shortest;
  for (std::size_t i = 0; i < n; ++i) {
    if (wanted[i] == nullptr) continue;
    Group* g = wanted[i];
    if (std::find(shortest.begin(), shortest.end(), g) != shortest.end()) continue;
    shortest.push_back(g);
    std::sort(shortest.begin(), shortest.end(),
              [](const Group* a, const Group* b) { return a->templates.size() < b->templates.size(); });
    if (shortest.size() > sources) shortest.pop_back();
  }

  std::vector<Template*> similar;
  const std::uint64_t search = ++similarSearches_;
  for (Group* source : shortest) {
    source->templates.forEach([&](Template* u) {
      if (u->similarMark == search || u->positions.size() != n) return;
      u->similarMark = search;
      std::size_t differing = 0;
      for (std::size_t i = 0; i < n && differing <= allowed; ++i) {
        if (!isWord[i]) continue;
        Group*& g = u->positions[i];
        g = find(g);
        if (g != wanted[i]) ++differing;
      }
      if (differing <= allowed) similar.push_back(u);
    });
  }
  std::sort(similar.begin(), similar.end(), [](const Template* a, const Template* b) { return a->serial < b->serial; });
  return similar;
}

}  // namespace vesko::grammar
