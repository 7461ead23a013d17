#include "app/terminal_text.h"

#include <langinfo.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace vesko::app {

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Where the character that starts at `at` ends.
std::size_t nextCharacter(const std::string& text, std::size_t at) {
  ++at;
  while (at < text.size() && isContinuationByte(text[at])) ++at;
  return at;
}

}  // namespace

void useCharacterLocale() {
  if (std::setlocale(LC_CTYPE, "") == nullptr) std::setlocale(LC_CTYPE, "C");
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || std::strcmp(codeset, "ANSI_X3.4-1968") == 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

std::size_t displayWidth(const std::string& text) {
  std::size_t columns = 0;
  for (const char c : text) columns += isContinuationByte(c) ? 0 : 1;
  return columns;
}

std::string wrapText(const std::string& label, const std::string& text, std::size_t width) {
  const std::size_t labelWidth = displayWidth(label);
  if (width == 0 || labelWidth + displayWidth(text) <= width) return label + text;
  const std::size_t indent = width >= labelWidth + 12 ? labelWidth : 0;
  std::string result = label;
  std::size_t column = labelWidth;
  bool lineHasWord = false;
  const auto newLine = [&] {
    result += '\n';
    result.append(indent, ' ');
    column = indent;
    lineHasWord = false;
  };
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    const std::size_t wordWidth = displayWidth(word);
    const std::size_t needed = wordWidth + (lineHasWord ? 1 : 0);
    if (column + needed <= width) {
      if (lineHasWord) result += ' ';
      result += word;
      column += needed;
      lineHasWord = true;
    } else if (wordWidth <= width - indent) {
      newLine();
      result += word;
      column += wordWidth;
      lineHasWord = true;
    } else {
      // Wider than any line: fill what is left, then go on below.
      if (lineHasWord) {
        if (column + 2 <= width) {
          result += ' ';
          ++column;
        } else {
          newLine();
        }
      }
      for (std::size_t c = 0; c < word.size();) {
        if (column >= width) newLine();
        const std::size_t next = nextCharacter(word, c);
        result.append(word, c, next - c);
        ++column;
        c = next;
      }
      lineHasWord = true;
    }
    at = end;
  }
  return result;
}

std::string upperText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  std::mbstate_t state{};
  std::size_t at = 0;
  while (at < text.size()) {
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, text.data() + at, text.size() - at, &state);
    if (used == 0 || used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
      // Not a character here: keep the byte and start afresh after it.
      result += text[at];
      ++at;
      state = std::mbstate_t{};
      continue;
    }
    char bytes[MB_LEN_MAX];
    std::mbstate_t out{};
    const std::size_t written = std::wcrtomb(bytes, static_cast<wchar_t>(std::towupper(static_cast<wint_t>(wide))), &out);
    if (written == static_cast<std::size_t>(-1)) result.append(text, at, used);
    else result.append(bytes, written);
    at += used;
  }
  return result;
}

}  // namespace vesko::app
