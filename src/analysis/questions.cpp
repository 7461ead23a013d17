#include "learning/knowledge_store.h"

namespace vesko {

// Placeholder until feedback and retelling land.
bool KnowledgeStore::feedback(const WordList&) { return false; }
Str KnowledgeStore::tellAbout(const WordList&) const { return Str(); }
StrList keywords(const WordList&) { return StrList(); }
WordList swapPerson(WordList words) { return words; }

}  // namespace vesko
