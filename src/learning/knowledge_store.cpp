#include "learning/knowledge_store.h"

namespace vesko {

// Placeholder until the memory of statements lands: remembers nothing.
void KnowledgeStore::learn(const WordList&) {}
Str KnowledgeStore::recall(const WordList&) { return "%NORESPONSE%"; }
Status KnowledgeStore::save(const Str&) const { return Status::ok(); }
Status KnowledgeStore::load(const Str&) { return Status::ok(); }
void KnowledgeStore::clear() {}
std::int64_t KnowledgeStore::sentenceCount() const { return 0; }

}  // namespace vesko
