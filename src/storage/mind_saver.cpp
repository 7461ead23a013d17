#include "engine/brain.h"

namespace vesko {

// Placeholder until minds are written.
Status Brain::writeBanks() { return Status::ok(); }
Status Brain::saveMind() { return writeBanks(); }
Status Brain::checkpoint() { return writeBanks(); }
Status Brain::createMindStep(std::int32_t, const Str&) { return Status::ok(); }

}  // namespace vesko
