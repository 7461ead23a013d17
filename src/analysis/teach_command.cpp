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

// The topic of "tell me about ...": the command and the one character after
// it are cut off.
Str topicOf(const Str& prepared) { return prepared.substr(14, prepared.length() - 14); }

}  // namespace

Brain::TeachingCommand Brain::teachingCommandOf(const Str& line) const {
  const Str prepared = line.upper().stripPunctuation();
  if (prepared == "DON'T SAY THAT" || prepared == "DO NOT SAY THAT") return TeachingCommand::kBanLastAnswer;
  if (prepared.startsWith("TELL ME ABOUT")) {
    // "Tell me about yourself" asks about the bot, which the rules answer, not
    // a retelling of what the user said.
    const Str botName = bot_.name.upper();
    for (const Str& word : WordList(topicOf(prepared)))
      if (word == "YOU" || word == "YOURSELF" || word == "YOURSELVES" || (!botName.empty() && word == botName))
        return TeachingCommand::kNone;
    return TeachingCommand::kTellAbout;
  }
  if (prepared.contains("IS NOT A NOUN")) return TeachingCommand::kNotANoun;
  return TeachingCommand::kNone;
}

bool Brain::teachCommand(const Str& line, Str& answer) {
  const Str prepared = line.upper().stripPunctuation();
  switch (teachingCommandOf(line)) {
    case TeachingCommand::kBanLastAnswer:
      // Before the bot has said anything there is nothing to ban.
      if (learning_ && !unfitForBadBank(lastAnswer_)) badAnswers_.pushBack(lastAnswer_.upper());
      answer = "ok, i'll try!";
      return true;
    case TeachingCommand::kTellAbout:
      answer = knowledge_.tellAbout(WordList(topicOf(prepared)));
      return true;
    case TeachingCommand::kNotANoun:
      if (learning_) nouns_.remove(WordList(prepared).wordAt(0));
      answer = "i'll take your word on that";
      return true;
    case TeachingCommand::kNone:
      break;
  }
  return false;
}

}  // namespace vesko
