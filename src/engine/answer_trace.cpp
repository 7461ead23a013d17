#include "engine/answer_trace.h"

namespace vesko {

namespace {

std::string quotedList(const StrList& items) {
  std::string out;
  for (const Str& item : items) {
    if (!out.empty()) out += ", ";
    out += "\"" + item.std() + "\"";
  }
  return out;
}

std::string wordList(const StrList& items) {
  std::string out;
  for (const Str& item : items) {
    if (!out.empty()) out += ' ';
    out += item.std();
  }
  return out;
}

std::string templateText(const std::vector<std::int32_t>& groups) {
  if (groups.empty()) return "none fitted";
  std::string out = "groups";
  // Appended piece by piece: GCC 12 reports a false -Wrestrict on `" " + std::to_string(id)` at -O3.
  for (const std::int32_t id : groups) out.append(" ").append(std::to_string(id));
  return out;
}

}  // namespace

const char* answerSourceName(AnswerSource source) {
  switch (source) {
    case AnswerSource::kNone: return "no stage";
    case AnswerSource::kNameDialogue: return "name dialogue";
    case AnswerSource::kTeachingCommand: return "teaching command";
    case AnswerSource::kArithmetic: return "arithmetic";
    case AnswerSource::kRules: return "rules";
    case AnswerSource::kKnowledge: return "memory";
    case AnswerSource::kProfileQuestion: return "profile question";
    case AnswerSource::kRemark: return "remark";
    case AnswerSource::kGenerated: return "generated sentence";
  }
  return "no stage";
}

std::string describeTrace(const AnswerTrace& trace) {
  std::string line = answerSourceName(trace.source);
  switch (trace.source) {
    case AnswerSource::kRules:
      // FILE:LINE, so an editor or a terminal can jump straight to the block.
      line.append(": block ").append(trace.ruleBank.std()).append(":").append(std::to_string(trace.blockLine));
      line.append(", response line ").append(std::to_string(trace.responseLine));
      if (!trace.defaultBank.empty()) line += " (the same lines in " + trace.defaultBank.std() + ")";
      if (!trace.seeds.empty())
        line += ", topic words " + wordList(trace.seeds) + ", template " + templateText(trace.templateGroups);
      break;
    case AnswerSource::kKnowledge:
      line.append(": sentence ").append(std::to_string(trace.sentence));
      line.append(", score ").append(std::to_string(trace.score));
      break;
    case AnswerSource::kGenerated:
      line += ": seeds " + (trace.seeds.empty() ? std::string("none") : wordList(trace.seeds));
      if (!trace.seedOrigin.empty()) line += " (" + trace.seedOrigin.std() + ")";
      line += ", template " + templateText(trace.templateGroups);
      break;
    default:
      break;
  }
  if (!trace.skipped.empty()) line += "; banned, skipped: " + quotedList(trace.skipped);
  return line;
}

}  // namespace vesko
