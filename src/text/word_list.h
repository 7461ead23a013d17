// WordList: a sentence cut into words, with a flag that says whether it was a
// question (it follows the last word appended). The engine turns each line
// into one, rewrites it word by word and joins it back into a line.
#pragma once

#include <vector>

#include "text/str.h"

namespace vesko {

class WordList {
 public:
  WordList() = default;
  // Splits at the space character only; runs of spaces make no empty words.
  explicit WordList(const Str& sentence);

  void clear();
  // Adds a copy at the end; the question flag follows the word's last character.
  void append(const Str& word);
  int count() const { return static_cast<int>(words_.size()); }
  bool empty() const { return words_.empty(); }
  bool isQuestion() const { return isQuestion_; }
  void setQuestion(bool question) { isQuestion_ = question; }

  // Word i; past the end a single space, before the start the first word.
  Str wordAt(int i) const;
  // REQUIRES: 0 <= i < count()
  void setWordAt(int i, const Str& word) { words_[static_cast<std::size_t>(i)] = word; }
  // REQUIRES: 0 <= i < count()
  void insertAfter(int i, const Str& word);
  // REQUIRES: 0 <= i < count()
  void removeAt(int i);
  // The index of the first word equal to `word`, if any.
  bool indexOf(const Str& word, int& index) const;

  Str join() const;
  WordList stripped() const;
  WordList upperCased() const;
  // Trailing "!", "?", ".", "," become tokens of their own: WHAT?! -> WHAT ?!
  WordList splitPunctuation() const;
  // Punctuation tokens are glued back to the word before them.
  WordList joinPunctuation() const;

  const std::vector<Str>& words() const { return words_; }
  auto begin() const { return words_.begin(); }
  auto end() const { return words_.end(); }

  friend bool operator==(const WordList&, const WordList&) = default;

 private:
  std::vector<Str> words_;
  bool isQuestion_ = false;
};

}  // namespace vesko
