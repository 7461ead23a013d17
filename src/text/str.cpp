#include "text/str.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace vesko {

Str::Str(std::int32_t value) : bytes_(std::to_string(value)) {}

Str::Str(char c, int count) : bytes_(count > 0 ? static_cast<std::size_t>(count) : 0, c) {}

Str Str::operator--(int) {
  Str before = *this;
  if (!bytes_.empty()) bytes_.pop_back();
  return before;
}

Str Str::substr(int start, int count) const {
  if (count <= 0 || start < 0 || start >= length()) return Str();
  return Str(bytes_.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

bool isStrippedMark(char c) {
  return c == '!' || c == '(' || c == ')' || c == '.' || c == ',' || c == '?';
}

Str Str::stripPunctuation() const {
  std::string out;
  out.reserve(bytes_.size());
  for (char c : bytes_)
    if (!isStrippedMark(c)) out += c;
  return Str(std::move(out));
}

Str Str::upper() const {
  std::string out = bytes_;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return Str(std::move(out));
}

Str Str::lower() const {
  std::string out = bytes_;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return Str(std::move(out));
}

std::strong_ordering operator<=>(const Str& a, const Str& b) {
  // std::string compares with char_traits<char>, which orders as unsigned bytes.
  const int c = a.bytes_.compare(b.bytes_);
  if (c < 0) return std::strong_ordering::less;
  if (c > 0) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

int Str::find(const Str& needle) const {
  const auto at = bytes_.find(needle.bytes_);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

bool Str::startsWith(const Str& prefix) const { return bytes_.starts_with(prefix.bytes_); }

bool Str::endsWith(const Str& suffix) const { return bytes_.ends_with(suffix.bytes_); }

std::int32_t Str::toInt() const {
  std::size_t i = 0;
  bool negative = false;
  if (!bytes_.empty() && bytes_[0] == '-') {
    negative = true;
    i = 1;
  }
  // Unsigned arithmetic so that overflow wraps the way the classic code did,
  // without undefined behaviour.
  std::uint32_t value = 0;
  for (; i < bytes_.size(); ++i) {
    const char c = bytes_[i];
    if (c < '0' || c > '9') throw NotANumber();
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

float Str::toFloat() const {
  const auto point = bytes_.rfind('.');
  if (bytes_.empty() || point == std::string::npos) return static_cast<float>(toInt());
  const Str whole = point == 0 ? Str("0") : Str(bytes_.substr(0, point));
  float value = static_cast<float>(whole.toInt());
  // "-0.5" has the integer part 0; we keep its sign, as anyone typing it means
  // a negative number.
  const bool negative = value < 0 || (value == 0 && whole.bytes_ == "-0") ||
                        (value == 0 && whole.bytes_.size() > 1 && whole.bytes_[0] == '-');
  float divisor = 1.0f;
  for (std::size_t i = point + 1; i < bytes_.size(); ++i) {
    divisor *= 10.0f;
    const float step = static_cast<float>(bytes_[i] - '0') / divisor;
    value = negative ? value - step : value + step;
  }
  return value;
}

std::ostream& operator<<(std::ostream& out, const Str& text) { return out << text.std(); }

std::istream& readLine(std::istream& in, Str& line, char delimiter) {
  int c = in.get();
  while (in.good() && (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r')) c = in.get();
  std::string collected;
  if (in.good() && c != delimiter) {
    collected += static_cast<char>(c);
    std::string rest;
    std::getline(in, rest, delimiter);
    collected += rest;
    // Meeting the end of the stream before a delimiter counts as a failed read,
    // as it does when the line is read character by character.
    if (in.eof()) in.setstate(std::ios::failbit);
  }
  std::erase(collected, '\r');
  line = Str(std::move(collected));
  return in;
}

}  // namespace vesko
