// KnowledgeStore: the statements a mind remembers, indexed by their words,
// answering questions by vote and retelling what it knows about a topic.
// Sentences are numbered in the order learned and never removed.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/status.h"
#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

class KnowledgeStore {
 public:
  struct Sentence {
    Str text;  // upper case, words joined by single spaces
    std::int32_t bonus = 0;
  };
  // One index entry: a keyword and the numbers of the sentences holding it,
  // once per occurrence, in the order learned.
  struct Entry {
    Str word;
    std::vector<std::int32_t> numbers;
  };

  // Remembers a statement of four words or more (questions are not learned);
  // true when the sentence was stored.
  bool learn(const WordList& sentence);
  // The best remembered sentence for the question, from the bot's point of
  // view and in lower case, or "%NORESPONSE%".
  Str recall(const WordList& sentence);
  Status save(const Str& path) const;
  // Replaces the store with the file's content; a load error for a damaged
  // file, which then leaves the store as it was. A missing file reads as empty.
  Status load(const Str& path);
  void clear();

  // Right/wrong feedback on the sentence recall last answered with; true when
  // the line held a feedback word.
  bool feedback(const WordList& words);
  // Every remembered sentence holding all keywords of the topic.
  Str tellAbout(const WordList& topic) const;

  std::int64_t sentenceCount() const { return static_cast<std::int64_t>(sentences_.size()); }
  // REQUIRES: 0 <= n < sentenceCount()
  const Sentence& sentence(std::int64_t n) const { return sentences_[static_cast<std::size_t>(n)]; }
  // The whole index in its order: by word, entries of one word in the order made.
  std::vector<Entry> indexEntries() const;
  // The sentence recall last answered with, or -1.
  std::int32_t lastRecalled() const { return lastRecalled_; }
  // The score the sentence recall last answered with won its vote by.
  std::int64_t lastScore() const { return lastScore_; }

  // What keywords() gives, as a vector.
  static std::vector<Str> sortedKeywords(const WordList& words);

 private:
  // The entries of one word. Learning only ever adds to the first; the later
  // ones come from a word repeated in the sentence that introduced it.
  struct WordEntries {
    std::vector<std::int32_t> first;
    std::vector<std::vector<std::int32_t>> later;
  };

  using Index = std::unordered_map<Str, WordEntries>;
  // The index in word order, as the knowledge file lists it.
  std::vector<const Index::value_type*> sortedIndex() const;
  std::vector<Sentence> sentences_;
  // Looked up by word; ordered by word only where the order shows (saving).
  Index index_;
  std::int32_t lastRecalled_ = -1;
  std::int64_t lastScore_ = 0;
};

// The content words of a sentence, sorted, duplicates kept.
StrList keywords(const WordList& words);
// First and second person swapped: I LIKE YOU -> YOU LIKE ME.
WordList swapPerson(WordList words);

}  // namespace vesko
