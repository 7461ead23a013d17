// GrammarModel: how a mind learns to speak. From every sentence it learns word
// groups (words that stand in the same places) and templates (sequences of
// groups), and it pairs what the bot said with what the user answered.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/random_source.h"
#include "engine/status.h"
#include "text/word_list.h"

namespace vesko {

namespace grammar {
class GroupTable;
struct Pair;
}  // namespace grammar

class GrammarModel {
 public:
  // Draws come from `random`, which must outlive the model.
  explicit GrammarModel(RandomSource& random);
  ~GrammarModel();
  GrammarModel(const GrammarModel&) = delete;
  GrammarModel& operator=(const GrammarModel&) = delete;

  // Learns the groups and shape of one normalised sentence and pairs it with
  // the bot's last answer. False when the sentence was not learned (no word,
  // more than 30 tokens, or a token the bank files cannot hold).
  bool learn(const WordList& sentence);
  // Reads the groups, templates and pairs banks; a missing file reads as
  // empty. On a damaged bank the model is left empty and the error names it.
  Status load(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath);
  // Writes the three banks; a path ending in ".x" is never written.
  Status save(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath) const;
  void clear();

  // A sentence from a learned template, using the seed words where they fit;
  // an empty seed list asks for a random sentence. Empty when nothing fits.
  WordList generate(const WordList& seeds);
  // While on, generate notes the template it used, as its groups' ids.
  void recordTemplates(bool on) { recordTemplates_ = on; }
  // The template of the last generate (empty when none fitted or not recording).
  const std::vector<std::int32_t>& lastTemplate() const { return lastTemplate_; }
  // What the user once answered to something like `sentence`, or empty.
  WordList bestResponse(const WordList& sentence) const;

  // The words of the bot's last answer; the next sentence learned is paired with them.
  void setLastAnswerWords(const WordList& words) { lastAnswerWords_ = words; }
  const WordList& lastAnswerWords() const { return lastAnswerWords_; }

  std::int64_t groupCount() const;
  std::int64_t templateCount() const;
  std::int64_t pairCount() const;
  // How many calls of learn returned true.
  std::int64_t sentencesLearned() const { return sentencesLearned_; }

  // --- read-only views, for tools and tests ---
  struct GroupInfo {
    std::int32_t id = 0;
    std::vector<Str> words;
    bool isPunctuation = false;
  };
  // The live groups in creation order.
  std::vector<GroupInfo> groups() const;
  // Ids of merged-away groups, oldest first.
  std::vector<std::int32_t> freeIds() const;
  // Every template as its group ids, by length and then in store order.
  std::vector<std::vector<std::int32_t>> templates() const;
  // The id of the group the dictionary gives for `word`, or -1.
  std::int32_t groupIdOf(const Str& word) const;
  std::int32_t nextPair() const { return nextPair_; }
  bool pairsFull() const { return pairsFull_; }
  // REQUIRES: 0 <= slot < 200
  const WordList& pairStimulus(int slot) const;
  const WordList& pairResponse(int slot) const;

 private:
  void storePair(const WordList& stimulus, const WordList& response);
  Status loadGroups(const Str& path);
  Status loadTemplates(const Str& path);
  Status loadPairs(const Str& path);

  RandomSource& random_;
  std::unique_ptr<grammar::GroupTable> table_;
  std::vector<grammar::Pair> pairs_;
  WordList lastAnswerWords_;
  WordList lastUserWords_;
  std::int32_t nextPair_ = 0;
  bool pairsFull_ = false;
  std::int64_t sentencesLearned_ = 0;
  std::uint64_t generateMark_ = 0;
  bool recordTemplates_ = false;
  std::vector<std::int32_t> lastTemplate_;
};

}  // namespace vesko
