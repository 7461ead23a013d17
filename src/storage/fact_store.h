// FactStore: the people a mind has talked to. Each person is known by the
// answers to five profile questions (the first is the name) and the date of
// the last talk; a chat identifies the user by asking until one person is left.
// The store owns its persons; the clock and random source belong to the Brain.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/clock.h"
#include "engine/random_source.h"
#include "engine/status.h"
#include "text/str.h"

namespace vesko {

// One person: five answers ("$UNKNOWN$" when not known, else upper case) and
// the date of the last talk in words (2004, January, 5, Monday).
struct PersonRecord {
  std::int32_t id = -1;  // -1 matches no stored person
  std::int32_t knownCount = 0;
  std::array<Str, 5> answers{"$UNKNOWN$", "$UNKNOWN$", "$UNKNOWN$", "$UNKNOWN$", "$UNKNOWN$"};
  Str year;
  Str month;
  Str date;
  Str day;
};

class FactStore {
 public:
  static constexpr int kQuestionCount = 5;
  // pendingQuestion() values besides 0 to 4.
  static constexpr std::int32_t kNothingPending = -1;
  static constexpr std::int32_t kConfirmPending = -2;

  FactStore(const Clock& clock, RandomSource& random);

  // Reads the question texts and the persons; a load error for a damaged
  // profiles bank, which then leaves the store as it was.
  Status loadFacts(const Str& idqPath, const Str& profilesPath);
  // Writes the persons, the current one dated today; nothing for a ".x" path.
  Status saveFacts(const Str& profilesPath) const;

  // Counts, per question, the different answers among the candidates (0 when
  // a candidate's answer is unknown).
  void computeScores();
  // The text to ask next.
  Str nextQuestion();
  // Records the user's answer to the pending question; false when nothing was
  // recorded (nothing pending, a blank answer, a name answer without a name).
  bool takeAnswer(const Str& answer);
  // The name in an answer to the name question, upper case ("hi, I'm Carl"
  // gives CARL); empty when it holds none ("hello", "my name is").
  static Str nameFromAnswer(const Str& answer);
  // A remark about the current person.
  Str tellFact();

  // The current person's name, or "USER" while it is unknown.
  Str userName() const;
  // How many of the current person's five answers are known.
  std::int32_t currentKnownCount() const { return current_.knownCount; }
  std::int32_t personCount() const { return personCount_; }

  // --- read access for tools and tests ---
  const PersonRecord& current() const { return current_; }
  const std::vector<PersonRecord>& persons() const { return persons_; }
  const std::vector<std::int32_t>& candidates() const { return candidates_; }
  const std::array<std::int32_t, 5>& scores() const { return scores_; }
  std::int32_t pendingQuestion() const { return pendingQuestion_; }
  bool identified() const { return identified_; }
  const Str& question(int q) const { return questions_[static_cast<std::size_t>(q)]; }
  const Str& confirmText() const { return confirmText_; }

 private:
  // Makes `current_` a new person, dated today, and adds it to the persons.
  void addCurrentAsNewPerson();

  const Clock& clock_;
  RandomSource& random_;

  std::array<Str, 5> questions_;
  Str confirmText_;
  Str doneText_;
  std::array<Str, 5> templates_;
  PersonRecord current_;
  std::vector<PersonRecord> persons_;
  std::vector<std::int32_t> candidates_;  // positions in persons_
  std::array<std::int32_t, 5> scores_{};
  std::int32_t personCount_ = 0;
  std::int32_t highestId_ = -1;  // of every person held, read or added
  std::int32_t pendingQuestion_ = kNothingPending;
  bool identified_ = false;
};

}  // namespace vesko
