// StrList: an ordered list of Str with cheap insertion and removal at both
// ends; duplicates allowed, insertion order kept. Holds bad answers,
// emoticons, recent nouns, file names and rule candidates.
#pragma once

#include <deque>

#include "text/str.h"

namespace vesko {

class StrList {
 public:
  void pushFront(const Str& s) { items_.push_front(s); }
  void pushBack(const Str& s) { items_.push_back(s); }
  // REQUIRES: !empty()
  Str popFront() {
    Str s = std::move(items_.front());
    items_.pop_front();
    return s;
  }
  // REQUIRES: !empty()
  Str popBack() {
    Str s = std::move(items_.back());
    items_.pop_back();
    return s;
  }
  void clear() { items_.clear(); }
  int count() const { return static_cast<int>(items_.size()); }
  bool empty() const { return items_.empty(); }
  // REQUIRES: 0 <= i < count(); position counted from the head.
  const Str& at(int i) const { return items_[static_cast<std::size_t>(i)]; }
  const Str& head() const { return items_.front(); }
  const Str& tail() const { return items_.back(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::deque<Str> items_;
};

}  // namespace vesko
