#include "engine/brain.h"

namespace vesko {

// Placeholder until normalisation lands: upper case, every word unknown.
void Brain::normalise(WordList& words, WordList& classes) {
  words = words.upperCased();
  for (int i = 0; i < words.count(); ++i) classes.append("*UNKNOWN");
}

}  // namespace vesko
