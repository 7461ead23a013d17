// GrammarModel: how a mind learns to speak. From every sentence it learns word
// groups (words that stand in the same places) and templates (sequences of
// groups), and it pairs what the bot said with what the user answered.
#pragma once

#include <cstdint>

#include "engine/random_source.h"
#include "engine/status.h"
#include "text/word_list.h"

namespace vesko {

class GrammarModel {
 public:
  // Draws come from `random`, which must outlive the model.
  explicit GrammarModel(RandomSource& random);

  void learn(const WordList& sentence);
  Status load(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath);
  Status save(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath) const;
  void clear();

  // A sentence from a learned template, using the seed words where they fit;
  // an empty seed list asks for a random sentence. Empty when nothing fits.
  WordList generate(const WordList& seeds);
  // What the user once answered to something like `sentence`, or empty.
  WordList bestResponse(const WordList& sentence) const;

  // The words of the bot's last answer; the next sentence learned is paired with them.
  void setLastAnswerWords(const WordList& words) { lastAnswerWords_ = words; }
  const WordList& lastAnswerWords() const { return lastAnswerWords_; }

  std::int64_t groupCount() const;
  std::int64_t templateCount() const;
  std::int64_t pairCount() const;

 private:
  RandomSource& random_;
  WordList lastAnswerWords_;
};

}  // namespace vesko
