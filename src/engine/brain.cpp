#include "engine/brain.h"

#include <utility>

namespace vesko {

namespace {

constexpr const char* kNoResponse = "%NORESPONSE%";

constexpr std::array<const char*, kBankCount> kBankFileNames = {
    "botinfo.mbk", "context.mbk", "context2.mbk", "nouns.mbk", "names.mbk",   "stuffing.mbk", "bad.mbk",
    "idq.mbk",     "profiles.mbk", "temps.mbk",   "groups.mbk", "sr.mbk",     "morvash.mbk",  "emoticon.mbk"};

std::unique_ptr<RandomSource> defaultRandom(const Clock& clock) {
  return std::make_unique<SeededRandom>(static_cast<std::uint32_t>(clock.secondsSinceEpoch()));
}

// Trailing blanks are not part of what the user said: "where is my dog? "
// stays a question, and a line of blanks counts as empty.
Str withoutTrailingBlanks(Str line) {
  while (!line.empty() && (line.charAt(line.length() - 1) == ' ' || line.charAt(line.length() - 1) == '\t')) line--;
  return line;
}

}  // namespace

const char* bankFileName(Bank bank) { return kBankFileNames[static_cast<std::size_t>(bank)]; }

Brain::Brain(Str folder, bool headless, Str headlessUserName, BrainEnvironment environment)
    : clock_(environment.clock ? std::move(environment.clock) : systemClock()),
      random_(environment.random ? std::move(environment.random) : defaultRandom(*clock_)),
      facts_(*clock_, *random_),
      grammar_(*random_),
      mindFolder_(std::move(folder)),
      headless_(headless),
      headlessUserName_(std::move(headlessUserName)) {
  userName_ = facts_.userName();
  for (int i = 0; i < kBankCount; ++i)
    banks_[static_cast<std::size_t>(i)].path = mindFolder_ + bankFileName(static_cast<Bank>(i));
}

Brain::~Brain() = default;

void Brain::setTracing(bool on) {
  tracing_ = on;
  grammar_.recordTemplates(on);
  trace_ = AnswerTrace();
}

AnswerTrace Brain::lastAnswerTrace() const {
  AnswerTrace trace = trace_;
  trace.source = lastAnswerSource_;
  if (lastAnswerSource_ == AnswerSource::kKnowledge) {
    trace.sentence = knowledge_.lastRecalled();
    trace.score = knowledge_.lastScore();
  }
  if (lastAnswerSource_ == AnswerSource::kGenerated) trace.templateGroups = grammar_.lastTemplate();
  return trace;
}

void Brain::noteSeeds(const WordList& seeds, const char* origin) {
  if (!tracing_) return;
  trace_.seeds.clear();
  for (const Str& seed : seeds) trace_.seeds.pushBack(seed);
  trace_.seedOrigin = seeds.empty() ? Str() : Str(origin);
}

bool Brain::isBanned(const Str& answer) const {
  // Case-blind, so a ban also catches a remembered statement, which the
  // knowledge store gives back in lower case.
  const Str wanted = answer.upper();
  for (const Str& bad : badAnswers_)
    if (bad.upper() == wanted) return true;
  return false;
}

Str Brain::emoticonSuffix() {
  // A mind without emoticons, or with a frequency of 0 or less, never gets one.
  if (emoticonFrequency_ <= 0 || emoticons_.empty()) return Str();
  if (random_->draw() % static_cast<std::uint32_t>(emoticonFrequency_) != 0) return Str();
  const auto pick = random_->draw() % static_cast<std::uint32_t>(emoticons_.count());
  return Str(" ") + emoticons_.at(static_cast<int>(pick));
}

Str Brain::finish(const Str& chosen) {
  // Every stage may leave the answer empty (a mind with no sentence shapes
  // yet, a bare "@@T" rule): the user always hears something.
  const Str answer = WordList(chosen).empty() ? Str("Tell me more.") : chosen;
  lastAnswer_ = answer;
  const Str substituted = substituteVariables(answer);
  grammar_.setLastAnswerWords(WordList(substituted.stripPunctuation().upper()));
  return substituted.lower() + emoticonSuffix();
}

Str Brain::respond(Str line) {
  line = withoutTrailingBlanks(std::move(line));
  if (tracing_) trace_ = AnswerTrace();
  const Str typed = line;  // arithmetic sees the line without the added mark

  // 1. Terminal mark.
  if (line != "START_VESKO" && !line.empty()) {
    const char last = line.charAt(line.length() - 1);
    if (last != '!' && last != '?' && last != '.') line += '.';
  }
  // 2. Words.
  WordList words(line);

  // 3. User name.
  if (headless_) {
    userName_ = headlessUserName_;
  } else {
    userName_ = facts_.userName();
    const Str upperName = userName_.upper();
    if (learning_ && upperName != "USER" && !names_.has(upperName)) names_.add(upperName);
  }

  // 4-6. The name dialogue at the start of a chat.
  bool secondAnswer = false;
  if (!headless_) {
    if (line == "START_VESKO") {
      profileQuestionPending_ = true;
      turn_ = 1;
      lastAnswerSource_ = AnswerSource::kNameDialogue;
      return finish(facts_.nextQuestion());
    }
    if (turn_ == 1) {
      profileQuestionPending_ = true;
      // A teaching command is carried out and the name is asked for again
      // with the next line.
      Str command;
      if (teachCommand(line, command)) {
        lastAnswerSource_ = AnswerSource::kTeachingCommand;
        return finish(command);
      }
      lastAnswerSource_ = AnswerSource::kNameDialogue;
      // An answer without a name in it ("hello", "?", "...") is asked again.
      if (!facts_.takeAnswer(line)) return finish("Please, tell me your name!");
      turn_ = 2;
      return finish(facts_.nextQuestion());
    }
    if (turn_ == 2 && !isTeachingCommand(line)) {
      // The second answer is taken, then answered like any other line.
      facts_.takeAnswer(line);
      turn_ = 3;
      profileQuestionPending_ = false;
      secondAnswer = true;
    }
  }

  // 7. Any other turn. A teaching command is no answer to a profile question:
  // the question stays open for the next line.
  bool questionStaysOpen = false;
  if (!secondAnswer) {
    ++turn_;
    questionStaysOpen = !headless_ && profileQuestionPending_ && isTeachingCommand(line);
    if (!headless_ && profileQuestionPending_ && !questionStaysOpen && learning_) facts_.takeAnswer(line);
  }
  // 8. Feedback on a remembered answer.
  if (feedbackExpected_ && learning_) knowledge_.feedback(words);
  // 9.
  profileQuestionPending_ = questionStaysOpen;
  feedbackExpected_ = false;

  // 10-11. Normalise and learn the sentence's grammar.
  WordList classes;
  normalise(words, classes);
  if (learning_) grammar_.learn(words);

  Str answer = kNoResponse;
  lastAnswerSource_ = AnswerSource::kNone;
  if (teachCommand(line, answer)) {
    // 12. Teaching commands answer directly.
    lastAnswerSource_ = AnswerSource::kTeachingCommand;
  } else if (calculator_.isMathQuestion(typed)) {
    // 13. Arithmetic.
    answer = calculator_.answerMathQuestion(typed);
    lastAnswerSource_ = AnswerSource::kArithmetic;
  } else if (words.isQuestion()) {
    // 14. Questions: the rules, else memory; a banned answer is tried again,
    // and one still banned after three tries counts as none.
    for (int attempt = 0; attempt < 3; ++attempt) {
      answer = respondByRules(words, classes);
      lastAnswerSource_ = AnswerSource::kRules;
      if (answer == kNoResponse) {
        answer = knowledge_.recall(words);
        if (answer != kNoResponse) {
          feedbackExpected_ = true;
          lastAnswerSource_ = AnswerSource::kKnowledge;
        }
      }
      if (!isBanned(answer)) break;
      noteSkipped(answer);
      if (attempt == 2) {
        answer = kNoResponse;
        feedbackExpected_ = false;
      }
    }
  } else {
    // 15. Statements are remembered, then the rules answer.
    if (learning_) knowledge_.learn(words);
    for (int attempt = 0; attempt < 3; ++attempt) {
      answer = respondByRules(words, classes);
      if (!isBanned(answer)) break;
      noteSkipped(answer);
      if (attempt == 2) answer = kNoResponse;
    }
    lastAnswerSource_ = AnswerSource::kRules;
  }
  if (answer == kNoResponse) lastAnswerSource_ = AnswerSource::kNone;

  // 16. Profile fallback; a question the user banned is not asked again. A
  // headless caller (a message file, a pipe with a named user) can never
  // answer a profile question, and a Brain that does not learn cannot take
  // the answer, so neither is asked one.
  if (answer == kNoResponse && !headless_ && learning_ && facts_.currentKnownCount() < 5) {
    const Str question = facts_.nextQuestion();
    if (!isBanned(question) && !isBanned(substituteVariables(question))) {
      profileQuestionPending_ = true;
      lastAnswerSource_ = AnswerSource::kProfileQuestion;
      return finish(question);
    }
    noteSkipped(question);
  }
  // 17. Generation fallback: now and then a remark about the user, else a
  // sentence of the bot's own, seeded by what the user once answered.
  if (answer == kNoResponse) {
    // A remark needs a person to remark on; headless, nobody is identified
    // and it would read "$unknown$".
    const bool remark = random_->draw() % 15 == 0;
    if (remark && (!headless_ || facts_.identified())) {
      lastAnswerSource_ = AnswerSource::kRemark;
      return finish(facts_.tellFact());
    }
    WordList seeds = grammar_.bestResponse(WordList(line));
    noteSeeds(seeds, "what a user once answered to a line like this");
    if (seeds.empty() && !recentNouns_.empty()) {
      seeds.append(recentNouns_.popFront());
      noteSeeds(seeds, "a noun mentioned earlier");
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
      answer = grammar_.generate(seeds).join();
      if (!isBanned(answer)) break;
      if (attempt < 2) noteSkipped(answer);
    }
    lastAnswerSource_ = AnswerSource::kGenerated;
  }
  return finish(answer);
}

}  // namespace vesko
