// The three commands a user types to correct the bot in the chat itself.
#include <algorithm>

#include "engine/brain.h"

namespace vesko {

namespace {

// True when the answer could not be kept as a line of the bad bank: nothing
// but blanks, or the "[{[" that begins a member of a mind file.
bool unfitForBadBank(const Str& answer) {
  const std::string& text = answer.std();
  const bool blank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
  return blank || answer.startsWith("[{[");
}

}  // namespace

bool Brain::teachCommand(const Str& line, Str& answer) {
  const Str prepared = line.upper().stripPunctuation();
  if (prepared == "DON'T SAY THAT" || prepared == "DO NOT SAY THAT") {
    // Before the bot has said anything there is nothing to ban.
    if (!unfitForBadBank(lastAnswer_)) badAnswers_.pushBack(lastAnswer_.upper());
    answer = "ok, i'll try!";
    return true;
  }
  if (prepared.startsWith("TELL ME ABOUT")) {
    // The command and the one character after it are cut off.
    answer = knowledge_.tellAbout(WordList(prepared.substr(14, prepared.length() - 14)));
    return true;
  }
  if (prepared.contains("IS NOT A NOUN")) {
    nouns_.remove(WordList(prepared).wordAt(0));
    answer = "i'll take your word on that";
    return true;
  }
  return false;
}

}  // namespace vesko
