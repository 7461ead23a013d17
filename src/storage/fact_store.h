// FactStore: the people a mind has talked to. Each person is known by the
// answers to five profile questions (the first is the name) and the date of
// the last talk; a chat identifies the user by asking until one person is left.
#pragma once

#include <cstdint>

#include "engine/clock.h"
#include "engine/random_source.h"
#include "engine/status.h"
#include "text/str.h"

namespace vesko {

class FactStore {
 public:
  FactStore(const Clock& clock, RandomSource& random);

  // Reads the question texts and the persons; a load error for a damaged
  // profiles bank.
  Status loadFacts(const Str& idqPath, const Str& profilesPath);
  // Writes the persons, the current one dated today; nothing for a ".x" path.
  Status saveFacts(const Str& profilesPath) const;

  // The text to ask next.
  Str nextQuestion();
  // Records the user's answer to the pending question.
  void takeAnswer(const Str& answer);
  // A remark about the current person.
  Str tellFact();

  // The current person's name, or "USER" while it is unknown.
  Str userName() const;
  // How many of the current person's five answers are known.
  std::int32_t currentKnownCount() const;
  std::int32_t personCount() const;
};

}  // namespace vesko
