#include "learning/knowledge_store.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

#include "storage/bank_reader.h"
#include "storage/replacing_file.h"

namespace vesko {

namespace {

constexpr const char* kNoResponse = "%NORESPONSE%";
// Longer sentences are not remembered: a bank line holds at most this much.
constexpr int kMaxSentenceLength = 1999;

bool isLineBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// True when `text` comes back unchanged as a line of the knowledge file: the
// line reader drops leading blanks and carriage returns, and "[{[" at the
// start of a line would begin a member of the mind file.
bool survivesAsLine(const Str& text) {
  if (text.empty() || isLineBlank(text.charAt(0)) || text.startsWith("[{[")) return false;
  return text.std().find_first_of("\r\n") == std::string::npos;
}

// A read text line; a load error when the file ended before it.
Status readText(BankReader& reader, Str& line, const char* what) {
  const bool wasGood = reader.good();
  reader.next(line);
  if (!wasGood || (line.empty() && !reader.good()))
    return reader.error(Str("the file ends where ") + what + " should stand");
  return Status::ok();
}

Status readCount(BankReader& reader, std::int32_t& value, const char* what) {
  if (Status s = reader.nextInt(value, what); !s) return s;
  if (value < 0) return reader.error(Str(what) + " should not be negative");
  return Status::ok();
}

// Words that carry no topic: pronouns, auxiliaries, prepositions and the like.
// A question shares them with almost every remembered sentence, so they never
// choose what is recalled. Sorted, for the binary search.
constexpr std::array<std::string_view, 83> kFunctionWords = {
    "ABOUT", "AND",   "ANY",    "ANYTHING", "AS",    "AT",    "BE",   "BEEN",      "BEING", "BUT",      "BY",
    "CAN",   "COULD", "DID",    "DO",       "DOES",  "DONE",  "EVER", "FOR",       "FROM",  "GET",      "HAD",
    "HAS",   "HAVE",  "HE",     "HER",      "HERE",  "HERS",  "HIM",  "HIS",       "I",     "IF",       "IN",
    "IT",    "ITS",   "KNOW",   "MAKE",     "MAKES", "MAY",   "ME",   "MIGHT",     "MINE",  "MUST",     "MY",
    "MYSELF", "NO",   "NOT",    "OF",       "ON",    "OR",    "OUR",  "SHALL",     "SHE",   "SHOULD",   "SO",
    "SOME",  "SOMETHING", "TELL", "THAT",   "THEIR", "THEM",  "THERE", "THESE",    "THEY",  "THINK",    "THIS",
    "THOSE", "TO",    "US",     "VERY",     "WAS",   "WE",    "WERE", "WHEN",      "WHICH", "WILL",     "WITH",
    "WOULD", "YES",   "YOU",    "YOUR",     "YOURS", "YOURSELF"};
static_assert(std::is_sorted(kFunctionWords.begin(), kFunctionWords.end()));

bool isFunctionWord(const Str& word) {
  return std::binary_search(kFunctionWords.begin(), kFunctionWords.end(), std::string_view(word.std()));
}

void writeNumbers(std::ostream& out, const Str& word, const std::vector<std::int32_t>& numbers) {
  out << word << '\n' << numbers.size() << '\n';
  for (std::int32_t n : numbers) out << n << '\n';
}

}  // namespace

bool KnowledgeStore::learn(const WordList& sentence) {
  const WordList copy = sentence.upperCased();
  if (copy.isQuestion() || copy.count() <= 3) return false;
  const Str text = copy.join();
  if (text.length() > kMaxSentenceLength || !survivesAsLine(text)) return false;
  const std::vector<Str> keys = sortedKeywords(copy);
  // The empty keyword (a word of punctuation only) is indexed but never saved.
  for (const Str& key : keys)
    if (!key.empty() && !survivesAsLine(key)) return false;

  const auto n = static_cast<std::int32_t>(sentences_.size());
  sentences_.push_back(Sentence{text, 0});
  // Merging the sorted keywords into the sorted index: a known word gets the
  // number once per occurrence; a new word gets one entry per occurrence.
  for (std::size_t i = 0; i < keys.size();) {
    const Str& word = keys[i];
    std::size_t repeats = 1;
    while (i + repeats < keys.size() && keys[i + repeats] == word) ++repeats;
    i += repeats;
    const auto found = index_.find(word);
    if (found != index_.end()) {
      found->second.first.insert(found->second.first.end(), repeats, n);
    } else {
      WordEntries entries;
      entries.first.push_back(n);
      entries.later.assign(repeats - 1, std::vector<std::int32_t>{n});
      index_.emplace(word, std::move(entries));
    }
  }
  lastRecalled_ = -1;
  return true;
}

Str KnowledgeStore::recall(const WordList& sentence) {
  const std::vector<Str> keys = sortedKeywords(sentence.stripped().upperCased());
  std::vector<std::int32_t> hits;
  for (const Str& key : keys) {
    // A word of punctuation alone (a "?" typed apart) is no topic either.
    if (key.empty() || isFunctionWord(key)) continue;
    const auto found = index_.find(key);
    if (found != index_.end()) hits.insert(hits.end(), found->second.first.begin(), found->second.first.end());
  }
  if (hits.empty()) {
    lastRecalled_ = -1;
    return kNoResponse;
  }

  // The vote table: open addressing over as many slots as there are hits,
  // probing from the sentence number onwards. Which slot a sentence lands in
  // decides ties, so the probing order is part of the answer.
  struct Slot {
    std::int32_t sentence = -1;  // -1: free
    std::int64_t score = 0;
  };
  const std::size_t size = hits.size();
  std::vector<Slot> table(size);
  std::size_t lastSlot = 0;
  for (std::int32_t s : hits) {
    std::size_t slot = static_cast<std::size_t>(s) % size;
    while (table[slot].sentence >= 0 && table[slot].sentence != s) slot = slot + 1 == size ? 0 : slot + 1;
    if (table[slot].sentence < 0) {
      table[slot].sentence = s;
      table[slot].score = std::int64_t{sentences_[static_cast<std::size_t>(s)].bonus} + 2;
    } else {
      table[slot].score += 2;
    }
    lastSlot = slot;
  }
  std::size_t best = lastSlot;
  for (std::size_t slot = 0; slot < size; ++slot)
    if (table[slot].sentence >= 0 && table[slot].score > table[best].score) best = slot;

  lastRecalled_ = table[best].sentence;
  lastScore_ = table[best].score;
  return swapPerson(WordList(sentences_[static_cast<std::size_t>(lastRecalled_)].text)).join().lower();
}

Status KnowledgeStore::save(const Str& path) const {
  ReplacingFile file(path);
  std::ostream& out = file.out();
  out << sentences_.size() << '\n';
  for (const Sentence& s : sentences_) out << s.text << '\n' << s.bonus << '\n';
  const auto sorted = sortedIndex();
  std::size_t written = 0;
  for (const auto* item : sorted)
    if (!item->first.empty()) written += 1 + item->second.later.size();
  out << written << '\n';
  for (const auto* item : sorted) {
    const auto& [word, entries] = *item;
    if (word.empty()) continue;
    writeNumbers(out, word, entries.first);
    for (const auto& numbers : entries.later) writeNumbers(out, word, numbers);
  }
  return file.commit();
}

Status KnowledgeStore::load(const Str& path) {
  BankReader reader(path, baseName(path));
  std::vector<Sentence> sentences;
  Index index;
  // A missing file, or one without a single line, holds nothing.
  Str first;
  if (reader.isOpen()) reader.next(first);
  if (!first.empty()) {
    std::int32_t count = 0;
    try {
      count = first.toInt();
    } catch (const NotANumber&) {
      return reader.error("the number of sentences should be a whole number, found \"" + first.substr(0, 40) + "\"");
    }
    if (count < 0) return reader.error("the number of sentences should not be negative");
    for (std::int32_t i = 0; i < count; ++i) {
      Sentence sentence;
      if (Status s = readText(reader, sentence.text, "a sentence"); !s) return s;
      if (Status s = reader.nextInt(sentence.bonus, "a sentence's bonus"); !s) return s;
      sentences.push_back(std::move(sentence));
    }
    std::int32_t entryCount = 0;
    if (Status s = readCount(reader, entryCount, "the number of index words"); !s) return s;
    const Str* previous = nullptr;
    for (std::int32_t e = 0; e < entryCount; ++e) {
      Str word;
      if (Status s = readText(reader, word, "an index word"); !s) return s;
      // The index is kept sorted by word; the store cannot answer from one
      // that is not, so such a file counts as damaged.
      if (previous != nullptr && word < *previous) return reader.error("the index words are out of order");
      std::int32_t numberCount = 0;
      if (Status s = readCount(reader, numberCount, "the number of sentences of an index word"); !s) return s;
      std::vector<std::int32_t> numbers;
      for (std::int32_t j = 0; j < numberCount; ++j) {
        std::int32_t n = 0;
        if (Status s = reader.nextInt(n, "a sentence number"); !s) return s;
        if (n < 0 || n >= static_cast<std::int32_t>(sentences.size()))
          return reader.error("sentence number " + Str(n) + " names no sentence");
        numbers.push_back(n);
      }
      const auto [at, added] = index.try_emplace(word);
      if (added) at->second.first = std::move(numbers);
      else at->second.later.push_back(std::move(numbers));
      previous = &at->first;
    }
  }
  sentences_ = std::move(sentences);
  index_ = std::move(index);
  lastRecalled_ = -1;
  return Status::ok();
}

void KnowledgeStore::clear() {
  sentences_.clear();
  index_.clear();
  lastRecalled_ = -1;
}

std::vector<const KnowledgeStore::Index::value_type*> KnowledgeStore::sortedIndex() const {
  std::vector<const Index::value_type*> sorted;
  sorted.reserve(index_.size());
  for (const auto& item : index_) sorted.push_back(&item);
  std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return a->first.std() < b->first.std(); });
  return sorted;
}

std::vector<KnowledgeStore::Entry> KnowledgeStore::indexEntries() const {
  std::vector<Entry> entries;
  for (const auto* item : sortedIndex()) {
    const auto& [word, group] = *item;
    entries.push_back(Entry{word, group.first});
    for (const auto& numbers : group.later) entries.push_back(Entry{word, numbers});
  }
  return entries;
}

}  // namespace vesko
