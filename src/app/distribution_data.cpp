// Placeholder until the build generates the embedded distribution.
#include "app/distribution.h"

namespace vesko {

std::span<const EmbeddedFile> embeddedDistribution() { return {}; }

}  // namespace vesko
