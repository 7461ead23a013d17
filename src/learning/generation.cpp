// Sentence generation of the GrammarModel: a new sentence from a learned
// template, and the reply the user once gave to something like a line.

#include "learning/grammar_internal.h"
#include "learning/grammar_model.h"

namespace vesko {

using grammar::Group;
using grammar::GroupTable;
using grammar::Template;
using grammar::WordRecord;

namespace {

std::uint32_t drawBelow(RandomSource& random, std::size_t n) {
  return random.draw() % static_cast<std::uint32_t>(n);
}

// A group word without its punctuation equal to `seed` without its
// punctuation, the first in the group's order; null when there is none.
const WordRecord* fittingWord(const GroupTable& table, Group* group, const Str& seed) {
  const Str wanted = seed.stripPunctuation();
  const std::vector<WordRecord*>* records = table.recordsStripped(wanted);
  if (records == nullptr) return nullptr;
  const WordRecord* found = nullptr;
  int inGroup = 0;
  for (WordRecord* record : *records) {
    if (record->group == nullptr || GroupTable::find(record->group) != group) continue;
    found = record;
    ++inGroup;
  }
  if (inGroup < 2) return found;
  // Several spellings fit (E.G and EG, say): the group's order decides.
  for (std::size_t i = 0; i < group->words.size(); ++i)
    if (group->words[i]->word.stripPunctuation() == wanted) return group->words[i];
  return found;
}

}  // namespace

WordList GrammarModel::generate(const WordList& seeds) {
  if (recordTemplates_) lastTemplate_.clear();
  Template* chosen = nullptr;
  if (seeds.empty()) {
    // Every stored template is equally likely, so sentence lengths come up
    // as often as they were learned.
    if (table_->templateCount() <= 0) return WordList();
    std::size_t pick = drawBelow(random_, static_cast<std::size_t>(table_->templateCount()));
    for (int length = 1; length <= grammar::kMaxLength && chosen == nullptr; ++length) {
      const auto& bucket = table_->templatesOfLength(length);
      if (pick < bucket.size()) chosen = bucket[pick];
      else pick -= bucket.size();
    }
    if (chosen == nullptr) return WordList();
  } else {
    std::vector<Group*> seedGroups;
    for (const Str& seed : seeds) {
      const WordRecord* record = table_->lookup(seed);
      if (record == nullptr) return WordList();
      seedGroups.push_back(GroupTable::find(record->group));
    }
    // The template met most often among the seed groups' templates; among
    // equal counts the one met first.
    const std::uint64_t mark = ++generateMark_;
    std::vector<Template*> distinct;
    for (Group* group : seedGroups) {
      group->templates.forEach([&](Template* t) {
        if (t->mark != mark) {
          t->mark = mark;
          t->count = 0;
          distinct.push_back(t);
        }
        ++t->count;
      });
    }
    int best = 0;
    for (Template* t : distinct) {
      if (t->count > best) {
        best = t->count;
        chosen = t;
      }
    }
    if (chosen == nullptr) return WordList();
  }

  if (recordTemplates_)
    for (Group* position : chosen->positions) lastTemplate_.push_back(GroupTable::find(position)->id);
  std::vector<Str> unplaced(seeds.begin(), seeds.end());
  WordList sentence;
  for (Group*& position : chosen->positions) {
    position = GroupTable::find(position);
    Group* group = position;
    const WordRecord* word = nullptr;
    for (auto seed = unplaced.begin(); seed != unplaced.end(); ++seed) {
      word = fittingWord(*table_, group, *seed);
      if (word != nullptr) {
        unplaced.erase(seed);
        break;
      }
    }
    // A group left without words (a hand-edited bank) has nothing to say here.
    if (word == nullptr && !group->words.empty()) word = group->words[drawBelow(random_, group->words.size())];
    if (word != nullptr) sentence.append(word->word);
  }
  return sentence.joinPunctuation();
}

WordList GrammarModel::bestResponse(const WordList& sentence) const {
  const WordList user = sentence.upperCased().stripped();
  int best = -1;
  const WordList* candidate = nullptr;
  for (const grammar::Pair& pair : pairs_) {
    if (pair.stimulus.empty()) break;
    const WordList said = pair.stimulus.stripped();
    int score = 0;
    for (const Str& word : user) {
      int at = 0;
      if (said.indexOf(word, at)) ++score;
    }
    if (score > best) {
      best = score;
      candidate = &pair.response;
    }
  }
  if (candidate == nullptr || best <= user.count() / 2) return WordList();
  return *candidate;
}

}  // namespace vesko
