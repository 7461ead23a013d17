// mind diff: what two minds hold differently, bank by bank (remembered
// statements, people, nouns, names, filler words, bad answers, word groups,
// templates, answer pairs, attributes), as counts and the first items of each.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/session.h"

namespace vesko::app {

// One bank's difference: how many items each mind holds that the other lacks
// (counted with repeats), and the first of them in the order the mind keeps them.
struct BankDifference {
  std::string bank;
  std::int64_t onlyInA = 0;
  std::int64_t onlyInB = 0;
  std::vector<std::string> firstOnlyInA;
  std::vector<std::string> firstOnlyInB;
};

// Every bank compared, in a fixed order; `shown` caps the items listed.
std::vector<BankDifference> compareMinds(Brain& a, Brain& b, std::size_t shown = 10);

// vesko mind diff A B [--json]: 0 when the minds hold the same, 1 when they
// differ, 2 when either cannot be read or loaded.
int runMindDiff(const GlobalOptions& options, const std::string& a, const std::string& b, bool json,
                std::ostream& out, std::ostream& err);

}  // namespace vesko::app
