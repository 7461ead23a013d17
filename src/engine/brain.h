// Brain: the conversation engine. It owns everything a loaded mind knows (bot
// attributes, word trees, fact, knowledge and grammar stores, the calculator,
// the bank table) and turns one user line into one answer with respond().
// One Brain per chat; the shell builds a new one rather than reloading.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "analysis/context_rules.h"
#include "engine/answer_trace.h"
#include "engine/clock.h"
#include "engine/random_source.h"
#include "engine/status.h"
#include "learning/grammar_model.h"
#include "learning/knowledge_store.h"
#include "skills/calculator.h"
#include "storage/fact_store.h"
#include "storage/word_tree.h"
#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

// The six attributes of a bot, in the order the Brain holds them.
struct BotInfo {
  Str name;
  Str relationshipName;
  Str age;
  Str gender;
  Str location;
  Str relationshipType;
};

// The 14 bank slots of a mind, in bank-table order.
enum class Bank : int {
  kBotInfo = 0,
  kContext,
  kContext2,
  kNouns,
  kNames,
  kStuffing,
  kBad,
  kIdq,
  kProfiles,
  kTemps,
  kGroups,
  kSr,
  kMorvash,
  kEmoticon,
};
constexpr int kBankCount = 14;
// The file name of each slot, "botinfo.mbk" first.
const char* bankFileName(Bank bank);

// One bank of a mind: the full path of its file (it may be redirected to a
// default ".x" bank or a converted ".mb2" bank while a mind is loaded).
struct MemoryBank {
  Str path;
};

// What loadMind found. `code` is the version verdict; `status` a damaged bank.
struct LoadResult {
  static constexpr std::int32_t kCurrent = 0;
  static constexpr std::int32_t kTooNew = 1;
  static constexpr std::int32_t kNewerCompatible = 2;
  static constexpr std::int32_t kOlder = 4;

  std::int32_t code = kCurrent;
  Status status;
  // Set when bank files left by an unfinished save held more than the mind
  // file: the folder they were copied to before the mind was unpacked.
  Str rescuedBanks;
  // True when the mind is in use: loaded and not refused.
  bool loaded() const { return status.isOk() && code != kTooNew; }
};

// The clock and random source a Brain uses; defaults are the system clock and
// a generator seeded from the clock in seconds.
struct BrainEnvironment {
  std::shared_ptr<const Clock> clock;
  std::unique_ptr<RandomSource> random;
};

class Brain {
 public:
  // `folder` is the working folder, ending with "/".
  Brain(Str folder, bool headless, Str headlessUserName, BrainEnvironment environment = {});
  Brain(const Brain&) = delete;
  Brain& operator=(const Brain&) = delete;
  ~Brain();

  // The answer to one user line; "START_VESKO" begins a chat.
  Str respond(Str line);

  // Unpacks and reads a mind; see LoadResult.
  LoadResult loadMind(const Str& mindFile);
  // Writes every bank, packs them into the mind file and removes them.
  Status saveMind();
  // Writes every bank and packs the mind file, keeping the banks in use.
  Status checkpoint();
  // Lets the mind in use go without saving it: its unpacked banks are
  // removed, so the next load does not take them for an unfinished save.
  void discardMind();
  // 5: packs the .mbk banks of folder `text` into text + "new.mnd";
  // 6: makes mind file `text` from the default banks of the working folder.
  Status createMindStep(std::int32_t selector, const Str& text);

  // Learns one sentence of a taught text without answering it.
  void teachSentence(const Str& sentence);

  Str botNameUpper() const { return bot_.name.upper(); }
  Str userNameUpper() const { return userName_.upper(); }
  Str substituteVariables(const Str& text) const;
  Str emoticonSuffix();

  // Normalisation of a line's words; fills `classes` (passed empty).
  void normalise(WordList& words, WordList& classes);
  // The answer of the context rules, or "%NORESPONSE%".
  Str respondByRules(const WordList& words, const WordList& classes);
  // How many context blocks of a context bank can answer (for tools).
  std::int32_t ruleCount(Bank bank);
  // Handles "don't say that", "tell me about", "is not a noun".
  bool teachCommand(const Str& line, Str& answer);
  // True when teachCommand would handle the line: such a line is a command to
  // the bot, never the answer to a profile question.
  bool isTeachingCommand(const Str& line) const { return teachingCommandOf(line) != TeachingCommand::kNone; }

  // --- state, for the shell, tools and tests ---
  BotInfo& botInfo() { return bot_; }
  const BotInfo& botInfo() const { return bot_; }
  const Str& userName() const { return userName_; }
  const Str& mindFile() const { return mindFile_; }
  // True from a loadMind that loaded until saveMind packed the mind away; a
  // Brain without a mind in use refuses to save.
  bool mindInUse() const { return mindInUse_; }
  const Str& mindFolder() const { return mindFolder_; }
  const Str& bankPath(Bank bank) const { return banks_[static_cast<std::size_t>(bank)].path; }
  void setBankPath(Bank bank, const Str& path) { banks_[static_cast<std::size_t>(bank)].path = path; }
  FactStore& facts() { return facts_; }
  KnowledgeStore& knowledge() { return knowledge_; }
  GrammarModel& grammar() { return grammar_; }
  Calculator& calculator() { return calculator_; }
  WordTree& nouns() { return nouns_; }
  WordTree& names() { return names_; }
  WordTree& stuffing() { return stuffing_; }
  StrList& badAnswers() { return badAnswers_; }
  StrList& emoticons() { return emoticons_; }
  StrList& recentNouns() { return recentNouns_; }
  std::int32_t emoticonFrequency() const { return emoticonFrequency_; }
  std::int32_t turn() const { return turn_; }
  const Str& lastAnswer() const { return lastAnswer_; }
  AnswerSource lastAnswerSource() const { return lastAnswerSource_; }
  // While tracing, each answer records where it came from in detail; off by
  // default, so answering pays nothing for it.
  void setTracing(bool on);
  bool tracing() const { return tracing_; }
  // The last answer's stage and, while tracing, its details.
  AnswerTrace lastAnswerTrace() const;
  // A Brain that does not learn answers as usual but changes nothing a mind
  // holds (grammar, memory, nouns, names, fillers, profiles, bans, bonuses),
  // and saving leaves the mind file as it was, only clearing the bank files.
  void setLearning(bool on) { learning_ = on; }
  bool learning() const { return learning_; }
  bool isHeadless() const { return headless_; }
  const Clock& clock() const { return *clock_; }
  RandomSource& random() { return *random_; }

 private:
  enum class TeachingCommand { kNone, kBanLastAnswer, kTellAbout, kNotANoun };
  TeachingCommand teachingCommandOf(const Str& line) const;
  bool isBanned(const Str& answer) const;
  // Runs `attempt` up to three times while its answer is banned; a third
  // banned answer counts as none when `bannedMeansNone`.
  template <typename Attempt>
  Str firstUnbanned(Attempt attempt, bool bannedMeansNone);
  Str finish(const Str& answer);
  Status writeBanks();
  // Removes the unpacked bank files without packing them (a Brain that does
  // not learn has nothing to keep).
  Status releaseBanks();
  void noteSeeds(const WordList& seeds, const char* origin);
  void noteSkipped(const Str& banned) {
    if (tracing_) trace_.skipped.pushBack(banned);
  }

  std::shared_ptr<const Clock> clock_;
  std::unique_ptr<RandomSource> random_;

  BotInfo bot_;
  Str userName_ = "USER";
  Calculator calculator_;
  FactStore facts_;
  KnowledgeStore knowledge_;
  GrammarModel grammar_;
  std::int32_t emoticonFrequency_ = 0;
  StrList emoticons_;
  bool profileQuestionPending_ = false;
  bool feedbackExpected_ = false;
  std::int32_t turn_ = 0;
  Str lastAnswer_;
  Str mindFile_;
  bool mindInUse_ = false;
  std::array<MemoryBank, kBankCount> banks_;
  Str mindFolder_;
  bool headless_;
  Str headlessUserName_;
  WordTree nouns_;
  WordTree stuffing_;
  StrList recentNouns_;
  WordTree names_;
  StrList badAnswers_;
  RuleBankCache ruleBanks_;
  AnswerSource lastAnswerSource_ = AnswerSource::kNone;
  bool tracing_ = false;
  AnswerTrace trace_;
  bool learning_ = true;
};

}  // namespace vesko
