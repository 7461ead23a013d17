#include "storage/fact_store.h"

namespace vesko {

// Placeholder until the people store lands: no persons, nothing to ask.
FactStore::FactStore(const Clock&, RandomSource&) {}
Status FactStore::loadFacts(const Str&, const Str&) { return Status::ok(); }
Status FactStore::saveFacts(const Str&) const { return Status::ok(); }
Str FactStore::nextQuestion() { return Str(); }
void FactStore::takeAnswer(const Str&) {}
Str FactStore::tellFact() { return Str(); }
Str FactStore::userName() const { return "USER"; }
std::int32_t FactStore::currentKnownCount() const { return 5; }
std::int32_t FactStore::personCount() const { return 0; }

}  // namespace vesko
