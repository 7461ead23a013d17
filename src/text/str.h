// Str: the engine's one text type, an owned run of 8-bit bytes with exact,
// case-sensitive comparison and the handful of ASCII rules the engine needs.
// Values are independent copies; there is no length cap and no shared scratch
// buffer, so concatenation and line reading are safe for any input size.
#pragma once

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vesko {

// Thrown by Str::toInt and Str::toFloat for a character that is not allowed.
class NotANumber : public std::runtime_error {
 public:
  NotANumber() : std::runtime_error("Not a number!") {}
};

class Str {
 public:
  Str() = default;
  Str(const char* text) : bytes_(text == nullptr ? "" : text) {}  // NOLINT: literals read naturally as Str
  Str(std::string text) : bytes_(std::move(text)) {}              // NOLINT
  Str(std::string_view text) : bytes_(text) {}                    // NOLINT
  // The decimal form of an integer, as "%d" prints it.
  explicit Str(std::int32_t value);
  Str(char) = delete;  // a char would silently become its code
  // `count` copies of `c`; a count of 0 or less gives the empty text.
  Str(char c, int count);

  std::int32_t length() const { return static_cast<std::int32_t>(bytes_.size()); }
  bool empty() const { return bytes_.empty(); }
  // REQUIRES: 0 <= i < length()
  char& at(int i) { return bytes_[static_cast<std::size_t>(i)]; }
  char charAt(int i) const { return bytes_[static_cast<std::size_t>(i)]; }
  void clear() { bytes_.clear(); }

  Str& operator+=(const Str& other) {
    bytes_ += other.bytes_;
    return *this;
  }
  Str& operator+=(char c) {
    bytes_ += c;
    return *this;
  }
  friend Str operator+(const Str& left, const Str& right) { return Str(left.bytes_ + right.bytes_); }

  // Removes the last character and returns the value as it was before.
  Str operator--(int);

  // The characters from `start` for `count` characters; clamped to the text.
  Str substr(int start, int count) const;
  // A copy without "!", "(", ")", ".", ",", "?".
  Str stripPunctuation() const;
  Str upper() const;
  Str lower() const;

  friend bool operator==(const Str& a, const Str& b) { return a.bytes_ == b.bytes_; }
  friend bool operator==(const Str& a, const char* b) { return a.bytes_ == b; }
  // Byte order with bytes read as unsigned, a prefix being the smaller.
  friend std::strong_ordering operator<=>(const Str& a, const Str& b);

  // Index of the first occurrence of `needle`, or -1; the empty text is found at 0.
  int find(const Str& needle) const;
  bool startsWith(const Str& prefix) const;
  bool endsWith(const Str& suffix) const;
  bool contains(const Str& needle) const { return find(needle) >= 0; }

  // Decimal integer with an optional leading "-"; wraps on overflow.
  // Throws NotANumber for any other character. "" and "-" give 0.
  std::int32_t toInt() const;
  // Decimal with an optional fraction after the last "."; see str.cpp.
  float toFloat() const;

  const std::string& std() const& { return bytes_; }
  // On a temporary the bytes are moved out, so `text.upper().std()` in a
  // range-for never refers to a destroyed value.
  std::string std() && { return std::move(bytes_); }
  const char* c_str() const { return bytes_.c_str(); }

 private:
  std::string bytes_;
};

std::ostream& operator<<(std::ostream& out, const Str& text);

// Reads one line: skips leading white space (and with it empty lines), drops
// every carriage return, stops at `delimiter`, which is consumed. A last line
// without a delimiter is collected while the stream reports failure.
std::istream& readLine(std::istream& in, Str& line, char delimiter = '\n');

// True for the six marks that matchers remove: ! ( ) . , ?
bool isStrippedMark(char c);

}  // namespace vesko

template <>
struct std::hash<vesko::Str> {
  std::size_t operator()(const vesko::Str& s) const noexcept { return std::hash<std::string>()(s.std()); }
};
