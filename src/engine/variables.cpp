#include <array>

#include "engine/brain.h"
#include "skills/date_time.h"

namespace vesko {

namespace {

// The placeholders of stored answers, in the order they are tried; the first
// that begins the lower-cased word wins.
enum class Variable { kBotName, kUserName, kDay, kTime, kSigOther, kAge, kGender, kLocation, kRelationship };

struct VariableName {
  const char* prefix;
  Variable variable;
};

constexpr std::array<VariableName, 9> kVariables = {{{"&botname", Variable::kBotName},
                                                     {"&username", Variable::kUserName},
                                                     {"&day", Variable::kDay},
                                                     {"&time", Variable::kTime},
                                                     {"&sigother", Variable::kSigOther},
                                                     {"@age", Variable::kAge},
                                                     {"@gender", Variable::kGender},
                                                     {"@location", Variable::kLocation},
                                                     {"@relationship", Variable::kRelationship}}};

}  // namespace

Str Brain::substituteVariables(const Str& text) const {
  // Values are read now, never cached: a renamed bot or a new minute shows at once.
  auto valueOf = [this](Variable variable) -> Str {
    switch (variable) {
      case Variable::kBotName: return bot_.name;
      case Variable::kUserName: return userName_;
      case Variable::kDay: return weekdayName(*clock_);
      case Variable::kTime: return timeText(*clock_);
      case Variable::kSigOther: return bot_.relationshipName;
      case Variable::kAge: return bot_.age;
      case Variable::kGender: return bot_.gender;
      case Variable::kLocation: return bot_.location;
      case Variable::kRelationship: return bot_.relationshipType;
    }
    return Str();
  };

  WordList out;
  for (const Str& word : WordList(text)) {
    const Str lower = word.lower();
    if (lower.empty() || (lower.charAt(0) != '&' && lower.charAt(0) != '@')) {
      out.append(word);
      continue;
    }
    Str replaced = "%INVALID_VARIABLE%";
    for (const VariableName& v : kVariables) {
      const Str prefix(v.prefix);
      if (!lower.startsWith(prefix)) continue;
      // What follows the name stays: "&username," keeps its comma.
      replaced = valueOf(v.variable) + lower.substr(prefix.length(), lower.length() - prefix.length());
      break;
    }
    out.append(replaced);
  }
  return out.join();
}

}  // namespace vesko
