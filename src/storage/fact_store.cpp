#include "storage/fact_store.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <set>

#include "skills/date_time.h"
#include "storage/bank_reader.h"
#include "storage/replacing_file.h"
#include "text/word_list.h"

namespace vesko {

namespace {

constexpr const char* kUnknown = "$UNKNOWN$";

// The slot named by the digit at `at`, or -1 when it is no digit in range.
int slotDigit(const Str& line, int at, int lowest, int highest) {
  if (line.length() <= at) return -1;
  const int n = line.charAt(at) - '0';
  return n >= lowest && n <= highest ? n : -1;
}

bool isBlank(const Str& text) {
  return std::all_of(text.std().begin(), text.std().end(), [](char c) { return c == ' ' || c == '\t'; });
}

Str rest(const Str& line, int from) { return line.substr(from, line.length() - from); }

template <std::size_t N>
bool isOneOf(const Str& word, const std::array<const char*, N>& table) {
  return std::any_of(table.begin(), table.end(), [&](const char* entry) { return word == entry; });
}

// Greetings and fillers people wrap a name in ("hi, I'm Carl", "well, Carl").
constexpr std::array<const char*, 21> kNameFillers = {"HELLO", "HI",    "HEY",    "HIYA",  "HOWDY", "THERE",  "GOOD",
                                                      "MORNING", "AFTERNOON", "EVENING", "THANKS", "THANK", "YOU", "OK",
                                                      "OKAY",  "WELL",  "SURE",   "YES",   "NO",    "OH",     "UM"};
// The words after which the name follows ("I am Carl", "call me Carl").
constexpr std::array<const char*, 6> kNameTriggers = {"IS", "I'M", "IM", "AM", "ME", "CALLED"};
// Words between a trigger and the name ("I am called Carl", "is my name").
constexpr std::array<const char*, 5> kNotAName = {"MY", "A", "THE", "CALLED", "NAME"};

// A word with neither letter nor digit (a lone "'" or "-") is no part of a name.
bool hasLetterOrDigit(const Str& word) {
  return std::any_of(word.std().begin(), word.std().end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

struct IdqTexts {
  std::array<Str, 5> questions;
  Str confirmText;
  std::array<Str, 5> templates;
};

IdqTexts readIdq(const Str& path) {
  IdqTexts texts;
  std::ifstream in(path.std(), std::ios::binary);
  Str line;
  while (in.good()) {
    readLine(in, line);
    if (line.startsWith("Q")) {
      const int n = slotDigit(line, 1, 0, 4);
      if (n >= 0) texts.questions[static_cast<std::size_t>(n)] = rest(line, 3);
    } else if (line.startsWith("CONFIRM=")) {
      texts.confirmText = rest(line, 8);
    } else if (line.startsWith("LASTTIME=")) {
      texts.templates[0] = rest(line, 9) + " ";
    } else if (line.startsWith("FACT")) {
      const int n = slotDigit(line, 4, 1, 4);
      if (n >= 0) texts.templates[static_cast<std::size_t>(n)] = rest(line, 6);
    }
  }
  return texts;
}

// Applies one line of a person's record (anything but its "ID=" line).
Status applyRecordLine(const Str& line, PersonRecord& record, const BankReader& reader) {
  if (line.startsWith("Q")) {
    const int n = slotDigit(line, 1, 0, 4);
    if (n < 0) return Status::ok();
    record.answers[static_cast<std::size_t>(n)] = rest(line, 3);
    if (record.answers[static_cast<std::size_t>(n)] == kUnknown && record.knownCount > 0) --record.knownCount;
  } else if (line.startsWith("YEAR=")) {
    record.year = rest(line, 5);
  } else if (line.startsWith("MONTH=")) {
    record.month = rest(line, 6);
  } else if (line.startsWith("DATE=")) {
    // The day of the month is read as a number when the last talk is told.
    const Str date = rest(line, 5);
    try {
      date.toInt();
    } catch (const NotANumber&) {
      return reader.error("the day of the month should be a whole number, found \"" + date.substr(0, 40) + "\"");
    }
    record.date = date;
  } else if (line.startsWith("DAY=")) {
    record.day = rest(line, 4);
  }
  return Status::ok();
}

}  // namespace

Str FactStore::nameFromAnswer(const Str& answer) {
  std::vector<Str> words;
  for (const Str& word : WordList(answer.stripPunctuation().upper()))
    if (hasLetterOrDigit(word) && !isOneOf(word, kNameFillers)) words.push_back(word);
  const auto count = words.size();
  // "Carl is my name", "Carl's my name".
  if (count >= 3 && words[count - 2] == "MY" && words[count - 1] == "NAME") {
    if (count >= 4 && words[count - 3] == "IS") return words[count - 4];
    if (words[count - 3].endsWith("'S") && words[count - 3].length() > 2)
      return words[count - 3].substr(0, words[count - 3].length() - 2);
  }
  // "my name is Carl", "I am called Carl", "call me Carl": the name follows
  // the last trigger. A trigger with no name behind it ("it is", "my name
  // is") gives no name, so the user is asked again.
  for (auto at = count; at-- > 0;) {
    if (!isOneOf(words[at], kNameTriggers)) continue;
    for (auto next = at + 1; next < count; ++next)
      if (!isOneOf(words[next], kNotAName)) return words[next];
    return Str();
  }
  return count == 0 ? Str() : words.back();
}

FactStore::FactStore(const Clock& clock, RandomSource& random) : clock_(clock), random_(random) {}

Status FactStore::loadFacts(const Str& idqPath, const Str& profilesPath) {
  const IdqTexts texts = readIdq(idqPath);

  // A missing or empty profiles bank holds nobody.
  std::int32_t count = 0;
  std::int32_t highest = -1;
  std::vector<PersonRecord> persons;
  BankReader reader(profilesPath, baseName(profilesPath));
  Str line;
  if (reader.isOpen()) reader.next(line);
  if (!line.empty()) {
    try {
      count = line.toInt();
    } catch (const NotANumber&) {
      return reader.error("the number of persons should be a whole number, found \"" + line.substr(0, 40) + "\"");
    }
    line.clear();
    bool more = count > 0 && reader.next(line);
    // One working record serves every person, so a field that a person's
    // lines leave out keeps the previous person's value.
    PersonRecord working;
    while (!line.empty()) {
      if (!line.startsWith("ID=")) return reader.error("a person should begin with an \"ID=\" line");
      try {
        working.id = rest(line, 3).toInt();
      } catch (const NotANumber&) {
        return reader.error("a person's id should be a whole number, found \"" + line.substr(0, 40) + "\"");
      }
      working.knownCount = 5;
      line.clear();
      while (more) {
        more = reader.next(line);
        if (line.startsWith("ID=")) break;
        if (Status s = applyRecordLine(line, working, reader); !s) return s;
        line.clear();
      }
      persons.push_back(working);
      highest = std::max(highest, working.id);
    }
  }

  questions_ = texts.questions;
  confirmText_ = texts.confirmText;
  templates_ = texts.templates;
  doneText_ = Str();
  persons_ = std::move(persons);
  personCount_ = count;
  highestId_ = highest;
  // A count above the records read names nobody past the last record.
  const std::int32_t candidateCount = std::min<std::int64_t>(std::max(count, 0), persons_.size());
  candidates_.clear();
  for (std::int32_t i = 0; i < candidateCount; ++i) candidates_.push_back(i);
  computeScores();
  return Status::ok();
}

Status FactStore::saveFacts(const Str& profilesPath) const {
  if (profilesPath.endsWith(".x")) return Status::ok();
  ReplacingFile file(profilesPath);
  std::ostream& out = file.out();
  const LocalTime now = clock_.localNow();
  out << personCount_ << '\n';
  for (const PersonRecord& stored : persons_) {
    // Only an identified user has a record of their own to refresh.
    const bool isCurrent = identified_ && stored.id == current_.id;
    const PersonRecord& answers = isCurrent ? current_ : stored;
    out << "ID=" << stored.id << '\n';
    for (int q = 0; q < kQuestionCount; ++q) out << 'Q' << q << '=' << answers.answers[static_cast<std::size_t>(q)] << '\n';
    out << "YEAR=" << (isCurrent ? yearText(now) : stored.year) << '\n';
    out << "MONTH=" << (isCurrent ? monthName(now) : stored.month) << '\n';
    out << "DATE=" << (isCurrent ? dayOfMonth(now) : stored.date) << '\n';
    out << "DAY=" << (isCurrent ? weekdayName(now) : stored.day) << '\n';
  }
  return file.commit();
}

void FactStore::computeScores() {
  for (int q = 0; q < kQuestionCount; ++q) {
    std::set<Str> answers;
    bool unknown = false;
    for (std::int32_t c : candidates_) {
      const Str& answer = persons_[static_cast<std::size_t>(c)].answers[static_cast<std::size_t>(q)];
      if (answer == kUnknown) unknown = true;
      answers.insert(answer);
    }
    scores_[static_cast<std::size_t>(q)] = unknown ? 0 : static_cast<std::int32_t>(answers.size());
  }
}

Str FactStore::nextQuestion() {
  if (pendingQuestion_ == kNothingPending) {
    pendingQuestion_ = 0;
    return questions_[0];
  }
  if (!identified_) {
    if (candidates_.empty()) {
      // Only a name answer that was refused leaves this state: ask it again.
      pendingQuestion_ = 0;
      return questions_[0];
    }
    if (candidates_.size() > 1) {
      computeScores();
      // Only questions this user has not answered yet are asked, so
      // identification ends after at most five questions.
      int best = -1;
      for (int q = 0; q < kQuestionCount; ++q) {
        if (current_.answers[static_cast<std::size_t>(q)] != kUnknown) continue;
        if (best < 0 || scores_[static_cast<std::size_t>(q)] > scores_[static_cast<std::size_t>(best)]) best = q;
      }
      if (best >= 0 && scores_[static_cast<std::size_t>(best)] >= 2) {
        pendingQuestion_ = best;
        return questions_[static_cast<std::size_t>(best)];
      }
      // No open question tells the candidates apart: ask about the first.
      candidates_.resize(1);
    }
    pendingQuestion_ = kConfirmPending;
    return confirmText_;
  }
  for (int q = 0; q < kQuestionCount; ++q) {
    if (current_.answers[static_cast<std::size_t>(q)] == kUnknown) {
      pendingQuestion_ = q;
      return questions_[static_cast<std::size_t>(q)];
    }
  }
  pendingQuestion_ = kNothingPending;
  return doneText_;
}

bool FactStore::takeAnswer(const Str& answer) {
  // With no question pending there is nothing to answer.
  if (pendingQuestion_ == kNothingPending) return false;
  const Str text = pendingQuestion_ == 0 ? nameFromAnswer(answer) : answer;
  if (pendingQuestion_ == kConfirmPending) {
    const WordList words(answer.stripPunctuation().upper());
    int at = 0;
    const bool denied = words.indexOf("NO", at) || words.indexOf("NOPE", at) || words.indexOf("NOT", at) ||
                        words.indexOf("NEVER", at);
    if (!denied && !candidates_.empty()) {
      identified_ = true;
      current_ = persons_[static_cast<std::size_t>(candidates_.front())];
    } else {
      addCurrentAsNewPerson();
    }
    return true;
  }
  // A blank answer says nothing and must not reach the profiles bank (to the
  // confirming question above it is a yes: it holds no denial).
  if (isBlank(text)) return false;

  const auto q = static_cast<std::size_t>(pendingQuestion_);
  current_.answers[q] = text.upper();
  if (current_.knownCount < 5) ++current_.knownCount;
  if (identified_) return true;
  std::erase_if(candidates_, [&](std::int32_t c) {
    return persons_[static_cast<std::size_t>(c)].answers[q] != current_.answers[q];
  });
  if (candidates_.empty()) addCurrentAsNewPerson();
  return true;
}

void FactStore::addCurrentAsNewPerson() {
  identified_ = true;
  // The id must be new even when the bank's count is below its highest id;
  // the count then follows the id, so the next newcomer is new as well.
  const std::int64_t id = std::max<std::int64_t>(personCount_, std::int64_t{highestId_} + 1);
  current_.id = static_cast<std::int32_t>(std::min<std::int64_t>(id, std::numeric_limits<std::int32_t>::max() - 1));
  const LocalTime now = clock_.localNow();
  current_.year = yearText(now);
  current_.month = monthName(now);
  current_.date = dayOfMonth(now);
  current_.day = weekdayName(now);
  persons_.push_back(current_);
  highestId_ = std::max(highestId_, current_.id);
  personCount_ = current_.id + 1;
}

Str FactStore::tellFact() {
  const auto k = random_.draw() % 5;
  if (k == 0) {
    Str phrase = relativeDay(clock_.localNow(), current_.day, current_.date, current_.month, current_.year);
    if (phrase != "today" && phrase != "yesterday") phrase = "on " + phrase;
    return templates_[0] + phrase;
  }
  return templates_[k] + current_.answers[k].lower();
}

Str FactStore::userName() const { return current_.answers[0] == kUnknown ? Str("USER") : current_.answers[0]; }

}  // namespace vesko
