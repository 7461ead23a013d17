#include "text/word_list.h"

namespace vesko {

namespace {

bool endsWithQuestionMark(const Str& word) { return !word.empty() && word.charAt(word.length() - 1) == '?'; }

bool isSentenceMark(char c) { return c == '!' || c == '?' || c == '.' || c == ','; }

}  // namespace

WordList::WordList(const Str& sentence) {
  const std::string& text = sentence.std();
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) append(Str(text.substr(start, i - start)));
  }
}

void WordList::clear() {
  words_.clear();
  isQuestion_ = false;
}

void WordList::append(const Str& word) {
  words_.push_back(word);
  isQuestion_ = endsWithQuestionMark(word);
}

Str WordList::wordAt(int i) const {
  if (i < 0) return words_.empty() ? Str(" ") : words_.front();
  if (i >= count()) return Str(" ");
  return words_[static_cast<std::size_t>(i)];
}

void WordList::insertAfter(int i, const Str& word) {
  words_.insert(words_.begin() + i + 1, word);
}

void WordList::removeAt(int i) { words_.erase(words_.begin() + i); }

bool WordList::indexOf(const Str& word, int& index) const {
  for (int i = 0; i < count(); ++i) {
    if (words_[static_cast<std::size_t>(i)] == word) {
      index = i;
      return true;
    }
  }
  return false;
}

Str WordList::join() const {
  std::string out;
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (i > 0) out += ' ';
    out += words_[i].std();
  }
  return Str(std::move(out));
}

WordList WordList::stripped() const {
  WordList out;
  out.words_.reserve(words_.size());
  for (const Str& w : words_) out.words_.push_back(w.stripPunctuation());
  out.isQuestion_ = isQuestion_;
  return out;
}

WordList WordList::upperCased() const {
  WordList out;
  out.words_.reserve(words_.size());
  for (const Str& w : words_) out.words_.push_back(w.upper());
  out.isQuestion_ = isQuestion_;
  return out;
}

WordList WordList::splitPunctuation() const {
  WordList out;
  for (Str word : words_) {
    std::string marks;
    while (!word.empty() && isSentenceMark(word.charAt(word.length() - 1))) {
      marks.insert(marks.begin(), word.charAt(word.length() - 1));
      word--;
    }
    out.append(word);
    if (!marks.empty()) out.append(Str(std::move(marks)));
  }
  return out;
}

WordList WordList::joinPunctuation() const {
  WordList out;
  bool havePending = false;
  Str pending;
  for (const Str& token : words_) {
    const bool isMark = !token.empty() && (token.charAt(0) == '.' || token.charAt(0) == '!' ||
                                           token.charAt(0) == ',' || token.charAt(0) == '?');
    // A mark with no word before it stays a word of its own, so no marker text
    // can ever reach the result.
    if (isMark && havePending) {
      pending += token;
      continue;
    }
    if (havePending) out.append(pending);
    pending = token;
    havePending = true;
  }
  if (havePending) out.append(pending);
  return out;
}

}  // namespace vesko
