#include "storage/word_tree.h"

#include <algorithm>
#include <ostream>

namespace vesko {

namespace {

bool storable(const Str& word) {
  if (word.empty() || word.length() > WordTree::kMaxWordLength) return false;
  return std::all_of(word.std().begin(), word.std().end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 33 && u <= 93;
  });
}

}  // namespace

void WordTree::add(const Str& raw) {
  const Str word = raw.upper();
  if (!storable(word)) return;
  if (nodes_.empty()) nodes_.emplace_back();
  std::int32_t node = 0;
  for (char ch : word.std()) {
    const auto c = static_cast<unsigned char>(ch);
    auto& kids = nodes_[static_cast<std::size_t>(node)].children;
    auto it = std::lower_bound(kids.begin(), kids.end(), c, [](const auto& kid, unsigned char k) { return kid.first < k; });
    if (it != kids.end() && it->first == c) {
      node = it->second;
      continue;
    }
    const auto child = static_cast<std::int32_t>(nodes_.size());
    kids.insert(it, {c, child});  // `kids` is not used after the emplace below
    nodes_.emplace_back();
    node = child;
  }
  Node& end = nodes_[static_cast<std::size_t>(node)];
  if (end.word.empty() || end.word != word) end.word = word;
  ++end.count;
}

std::int32_t WordTree::find(const Str& word) const {
  if (nodes_.empty() || !storable(word)) return -1;
  std::int32_t node = 0;
  for (char ch : word.std()) {
    const auto c = static_cast<unsigned char>(ch);
    const auto& kids = nodes_[static_cast<std::size_t>(node)].children;
    auto it = std::lower_bound(kids.begin(), kids.end(), c, [](const auto& kid, unsigned char k) { return kid.first < k; });
    if (it == kids.end() || it->first != c) return -1;
    node = it->second;
  }
  return node;
}

bool WordTree::has(const Str& word) const {
  const std::int32_t node = find(word.upper());
  if (node < 0) return false;
  const Node& n = nodes_[static_cast<std::size_t>(node)];
  return !n.word.empty() && !n.removed;
}

void WordTree::remove(const Str& word) {
  const std::int32_t node = find(word);
  if (node < 0) return;
  Node& n = nodes_[static_cast<std::size_t>(node)];
  if (!n.word.empty() && !n.removed) n.removed = true;
}

void WordTree::save(std::ostream& out) const {
  if (nodes_.empty()) return;
  // Pre-order without recursion: children are pushed in reverse so that the
  // smallest character is visited first.
  std::vector<std::int32_t> stack{0};
  while (!stack.empty()) {
    const Node& n = nodes_[static_cast<std::size_t>(stack.back())];
    stack.pop_back();
    if (!n.removed)
      for (std::uint32_t i = 0; i < n.count; ++i) out << n.word << '\n';
    for (auto it = n.children.rbegin(); it != n.children.rend(); ++it) stack.push_back(it->second);
  }
}

std::int64_t WordTree::wordCount() const {
  std::int64_t total = 0;
  for (const Node& n : nodes_)
    if (!n.word.empty() && !n.removed) ++total;
  return total;
}

}  // namespace vesko
