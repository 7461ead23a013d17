#include "learning/grammar_model.h"

#include "learning/grammar_internal.h"

namespace vesko {

using grammar::Group;
using grammar::GroupTable;
using grammar::Template;
using grammar::WordRecord;

GrammarModel::GrammarModel(RandomSource& random)
    : random_(random), table_(std::make_unique<GroupTable>()), pairs_(grammar::kPairSlots) {}

GrammarModel::~GrammarModel() = default;

void GrammarModel::clear() {
  table_->clear();
  for (grammar::Pair& pair : pairs_) pair = grammar::Pair();
  lastUserWords_.clear();
  nextPair_ = 0;
  pairsFull_ = false;
}

namespace {

// Whether a text comes back unchanged from a bank line: readLine drops
// leading blanks and every carriage return, and a line end splits it.
bool fitsOnBankLine(const Str& text) {
  if (text.empty()) return false;
  const char first = text.charAt(0);
  if (first == ' ' || first == '\t' || first == '\v' || first == '\f') return false;
  for (char c : text.std())
    if (c == '\n' || c == '\r') return false;
  // A line beginning with "[{[" would read as a member header of the mind file.
  return !text.startsWith("[{[");
}

// Longer than any word of a language: a pasted blob or a line of no blanks,
// which would sit in the groups bank (and the mind) for ever.
constexpr int kMaxWordBytes = 200;

// A word "=" would end a group in the groups file.
bool unstorable(const Str& token) {
  return token == "=" || token.length() > kMaxWordBytes || !fitsOnBankLine(token);
}

bool holdsWord(const WordList& words) {
  for (const Str& w : words)
    if (!w.empty()) return true;
  return false;
}

WordList withoutEmptyWords(const WordList& words) {
  WordList out;
  for (const Str& w : words)
    if (!w.empty()) out.append(w);
  return out;
}

}  // namespace

void GrammarModel::storePair(const WordList& stimulus, const WordList& response) {
  // Empty words (left where punctuation tokens were stripped) would vanish
  // when the pairs bank is read back; leaving them out here keeps a pair the
  // same before and after a save.
  grammar::Pair pair{withoutEmptyWords(stimulus), withoutEmptyWords(response)};
  if (!fitsOnBankLine(pair.stimulus.join()) || !fitsOnBankLine(pair.response.join())) return;
  pairs_[static_cast<std::size_t>(nextPair_)] = std::move(pair);
  if (++nextPair_ == grammar::kPairSlots) {
    nextPair_ = 0;
    pairsFull_ = true;
  }
}

bool GrammarModel::learn(const WordList& sentence) {
  // 1. Tokens: trailing punctuation split off, empty tokens (a word that was
  // all punctuation) dropped, upper case.
  std::vector<Str> tokens;
  for (const Str& token : sentence.splitPunctuation())
    if (!token.empty()) tokens.push_back(token.upper());
  if (tokens.empty() || tokens.size() > static_cast<std::size_t>(grammar::kMaxLength)) return false;
  for (const Str& token : tokens)
    if (unstorable(token)) return false;
  const std::size_t n = tokens.size();

  // 3. What the user says about the bot is, in the bot's mouth, about the user.
  for (Str& token : tokens) {
    if (token.substr(0, 8) == "&BOTNAME")
      token = Str("&username") + token.substr(8, token.length());
    else if (token.substr(0, 9) == "&USERNAME")
      token = Str("&botname") + token.substr(9, token.length());
  }

  // 4-5. Remember the sentence and pair it with the bot's last answer.
  lastUserWords_.clear();
  for (const Str& token : tokens) lastUserWords_.append(token.stripPunctuation());
  if (holdsWord(lastAnswerWords_) && holdsWord(lastUserWords_)) storePair(lastAnswerWords_, lastUserWords_);

  // 6. Known words give their groups; unknown ones leave a gap.
  std::vector<Group*> t(n, nullptr);
  std::vector<bool> known(n, false);
  std::vector<bool> isWord(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    isWord[i] = !grammar::isMarksOnly(tokens[i]);
    if (WordRecord* record = table_->lookup(tokens[i])) {
      t[i] = GroupTable::find(record->group);
      known[i] = true;
    }
  }

  // 7-9.
  const std::vector<Template*> similar = table_->findSimilar(t, isWord);
  if (similar.empty()) {
    for (std::size_t i = 0; i < n; ++i) {
      if (known[i]) continue;
      WordRecord* record = table_->insertWord(tokens[i]);
      Group* group = table_->newGroup(-1);
      GroupTable::addWord(group, record);
      t[i] = group;
    }
    table_->addTemplate(t);
  } else {
    Template* u = similar[random_.draw() % similar.size()];
    bool isNew = false;
    for (std::size_t i = 0; i < n; ++i) {
      Group* g = GroupTable::find(u->positions[i]);
      const bool p = grammar::isPunctuationWord(tokens[i]);
      if (!known[i]) {
        WordRecord* record = table_->insertWord(tokens[i]);
        if (g->isPunctuation == p) {
          GroupTable::addWord(g, record);
          t[i] = g;
        } else {
          Group* fresh = table_->newGroup(-1);
          GroupTable::addWord(fresh, record);
          t[i] = fresh;
          isNew = true;
        }
      } else {
        Group* h = GroupTable::find(t[i]);
        // Every position of t (earlier ones too) that named g names h after
        // the merge, since g now resolves to h.
        if (g->isPunctuation == p && h != g) table_->merge(h, g);
      }
    }
    if (isNew) table_->addTemplate(t);
  }

  // 10. A word repeated in the sentence is one word: one group, one record.
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (tokens[i] != tokens[j]) continue;
      Group* kept = GroupTable::find(t[i]);
      Group* other = GroupTable::find(t[j]);
      if (kept != other) table_->merge(kept, other);
      // Duplicates are dropped even when the two positions already shared a
      // group (two new records of the word joined the same group in step 9).
      table_->dropDuplicates(kept, tokens[i], table_->lookup(tokens[i]));
    }
  }
  ++sentencesLearned_;
  return true;
}

std::int64_t GrammarModel::groupCount() const { return table_->groupCount(); }
std::int64_t GrammarModel::templateCount() const { return table_->templateCount(); }
std::int64_t GrammarModel::pairCount() const { return pairsFull_ ? grammar::kPairSlots : nextPair_; }

std::vector<GrammarModel::GroupInfo> GrammarModel::groups() const {
  std::vector<GroupInfo> out;
  for (const Group& group : table_->allGroups()) {
    if (!group.live()) continue;
    GroupInfo info;
    info.id = group.id;
    info.isPunctuation = group.isPunctuation;
    group.words.forEach([&info](const WordRecord* record) { info.words.push_back(record->word); });
    out.push_back(std::move(info));
  }
  return out;
}

std::vector<std::int32_t> GrammarModel::freeIds() const {
  return {table_->freeIds().begin(), table_->freeIds().end()};
}

std::vector<std::vector<std::int32_t>> GrammarModel::templates() const {
  std::vector<std::vector<std::int32_t>> out;
  for (int length = 1; length <= grammar::kMaxLength; ++length) {
    for (Template* t : table_->templatesOfLength(length)) {
      std::vector<std::int32_t> ids;
      for (Group* g : t->positions) ids.push_back(GroupTable::find(g)->id);
      out.push_back(std::move(ids));
    }
  }
  return out;
}

std::int32_t GrammarModel::groupIdOf(const Str& word) const {
  const WordRecord* record = table_->lookup(word);
  return record == nullptr ? -1 : GroupTable::find(record->group)->id;
}

const WordList& GrammarModel::pairStimulus(int slot) const { return pairs_[static_cast<std::size_t>(slot)].stimulus; }
const WordList& GrammarModel::pairResponse(int slot) const { return pairs_[static_cast<std::size_t>(slot)].response; }

}  // namespace vesko
