#include "engine/brain.h"

namespace vesko {

// Placeholder until minds are read.
LoadResult Brain::loadMind(const Str& mindFile) {
  mindFile_ = mindFile;
  return LoadResult{};
}

}  // namespace vesko
