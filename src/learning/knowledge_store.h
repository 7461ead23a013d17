// KnowledgeStore: the statements a mind remembers, indexed by their words,
// answering questions by vote and retelling what it knows about a topic.
#pragma once

#include <cstdint>

#include "engine/status.h"
#include "text/str.h"
#include "text/str_list.h"
#include "text/word_list.h"

namespace vesko {

class KnowledgeStore {
 public:
  // Remembers a statement of four words or more (questions are not learned).
  void learn(const WordList& sentence);
  // The best remembered sentence for the question, from the bot's point of
  // view and in lower case, or "%NORESPONSE%".
  Str recall(const WordList& sentence);
  Status save(const Str& path) const;
  Status load(const Str& path);
  void clear();

  // Right/wrong feedback on the sentence recall last answered with; true when
  // the line held a feedback word.
  bool feedback(const WordList& words);
  // Every remembered sentence holding all keywords of the topic.
  Str tellAbout(const WordList& topic) const;

  std::int64_t sentenceCount() const;
};

// The content words of a sentence, sorted, duplicates kept.
StrList keywords(const WordList& words);
// First and second person swapped: I LIKE YOU -> YOU LIKE ME.
WordList swapPerson(WordList words);

}  // namespace vesko
