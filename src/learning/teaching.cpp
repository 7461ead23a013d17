#include "analysis/normaliser.h"
#include "engine/brain.h"

namespace vesko {

namespace {

// A text of more words than this holds well over 1999 characters, which the
// knowledge store skips, and no normalisation brings it down to the grammar
// model's 30 tokens: neither store would learn it, so it is not normalised.
constexpr int kMostWordsWorthLearning = 1000;

}  // namespace

void Brain::teachSentence(const Str& sentence) {
  WordList words(filterLine(sentence));
  if (words.empty() || words.count() > kMostWordsWorthLearning) return;
  WordList classes;
  normalise(words, classes);
  // A taught text is no answer to what the bot said last: it is learned as if
  // the bot had said nothing, and the last answer is kept for the chat.
  const WordList lastAnswer = grammar_.lastAnswerWords();
  grammar_.setLastAnswerWords(WordList());
  grammar_.learn(words);
  grammar_.setLastAnswerWords(lastAnswer);
  knowledge_.learn(words);
}

}  // namespace vesko
