#include "learning/grammar_model.h"

namespace vesko {

// Placeholder until the grammar model lands: learns nothing, says nothing.
GrammarModel::GrammarModel(RandomSource& random) : random_(random) {}
void GrammarModel::learn(const WordList&) {}
Status GrammarModel::load(const Str&, const Str&, const Str&) { return Status::ok(); }
Status GrammarModel::save(const Str&, const Str&, const Str&) const { return Status::ok(); }
void GrammarModel::clear() {}
WordList GrammarModel::generate(const WordList&) { return WordList(); }
WordList GrammarModel::bestResponse(const WordList&) const { return WordList(); }
std::int64_t GrammarModel::groupCount() const { return 0; }
std::int64_t GrammarModel::templateCount() const { return 0; }
std::int64_t GrammarModel::pairCount() const { return 0; }

}  // namespace vesko
