#include "analysis/context_rules.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unordered_map>

#include "analysis/rule_bank.h"
#include "engine/brain.h"

namespace vesko {

namespace {

constexpr const char* kNoResponse = "%NORESPONSE%";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool sameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::ifstream left(a, std::ios::binary);
  std::ifstream right(b, std::ios::binary);
  const std::string x{std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>()};
  const std::string y{std::istreambuf_iterator<char>(right), std::istreambuf_iterator<char>()};
  return left && right && x == y;
}

}  // namespace

struct RuleBankCache::Impl {
  struct Entry {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    RuleBank bank;
    // The default twin's verdict, kept while the twin's size and time stand.
    bool twinChecked = false;
    std::uintmax_t twinSize = 0;
    std::filesystem::file_time_type twinModified;
    Str twin;
  };
  std::unordered_map<std::string, Entry> entries;
  RuleBank none;
};

RuleBankCache::RuleBankCache() : impl_(std::make_unique<Impl>()) {}
RuleBankCache::~RuleBankCache() = default;

const RuleBank& RuleBankCache::bank(const Str& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file(path.std());
  const std::uintmax_t size = fs::file_size(file, error);  // fails for a missing file or a folder
  if (error) {
    impl_->entries.erase(path.std());
    return impl_->none;
  }
  const fs::file_time_type modified = fs::last_write_time(file, error);
  if (error) {
    impl_->entries.erase(path.std());
    return impl_->none;
  }
  auto it = impl_->entries.find(path.std());
  if (it != impl_->entries.end() && it->second.size == size && it->second.modified == modified) return it->second.bank;

  std::ifstream in(path.std(), std::ios::binary);
  if (!in) {
    impl_->entries.erase(path.std());
    return impl_->none;
  }
  Impl::Entry entry;
  entry.size = size;
  entry.modified = modified;
  entry.bank = RuleBank::parse(in);
  auto [stored, added] = impl_->entries.insert_or_assign(path.std(), std::move(entry));
  (void)added;
  return stored->second.bank;
}

Str RuleBankCache::identicalDefaultBank(const Str& path) {
  namespace fs = std::filesystem;
  auto it = impl_->entries.find(path.std());
  if (!path.endsWith(".mbk") || it == impl_->entries.end()) return Str();
  Impl::Entry& entry = it->second;
  fs::path twin(path.std());
  twin.replace_extension(".x");
  std::error_code error;
  const std::uintmax_t size = fs::file_size(twin, error);
  const fs::file_time_type modified = error ? fs::file_time_type() : fs::last_write_time(twin, error);
  if (error) return Str();
  if (!entry.twinChecked || entry.twinSize != size || entry.twinModified != modified) {
    entry.twinChecked = true;
    entry.twinSize = size;
    entry.twinModified = modified;
    entry.twin = size == entry.size && sameBytes(fs::path(path.std()), twin) ? Str(twin.filename().string()) : Str();
  }
  return entry.twin;
}

Str expandResponse(const Str& line, const WordList& words, std::int32_t start) {
  WordList out;
  for (const Str& token : WordList(line)) {
    int referenceLength = 0;
    char kind = ' ';
    if (token.length() >= 2 && token.charAt(0) == '@' && isDigit(token.charAt(1))) {
      referenceLength = 2;
    } else if (token.length() >= 3 && token.charAt(0) == '@' && (token.charAt(1) == 'P' || token.charAt(1) == 'R') &&
               isDigit(token.charAt(2))) {
      referenceLength = 3;
      kind = token.charAt(1);
    }
    if (referenceLength == 0) {
      out.append(token);
      continue;
    }
    const std::int64_t at = static_cast<std::int64_t>(start) + (token.charAt(referenceLength - 1) - '0');
    Str word = at >= words.count() ? Str(" ") : words.wordAt(static_cast<int>(at));
    const Str upper = word.upper();
    if (kind == 'P') {
      if (upper == "HE") word = "HIM";
      else if (upper == "SHE") word = "HER";
    } else if (kind == 'R') {
      if (upper == "MY") word = "YOUR";
      else if (upper == "YOUR") word = "MY";
    }
    out.append(word + token.substr(referenceLength, token.length() - referenceLength));
  }
  return out.join();
}

Str chooseRuleAnswer(const StrList& candidates, RandomSource& random, GrammarModel& grammar, std::int32_t* picked) {
  if (candidates.empty()) return kNoResponse;
  const auto pick = random.draw() % static_cast<std::uint32_t>(candidates.count());
  if (picked != nullptr) *picked = static_cast<std::int32_t>(pick);
  WordList answer(candidates.at(static_cast<int>(pick)));
  if (!answer.empty() && answer.wordAt(0) == "@@T") {
    answer.removeAt(0);
    return answer.join();
  }
  // A topic-word response the grammar cannot make a sentence of is no answer,
  // so memory and the fallbacks still get their turn.
  const Str generated = grammar.generate(answer).join();
  return generated.empty() ? Str(kNoResponse) : generated;
}

Str Brain::respondByRules(const WordList& words, const WordList& classes) {
  const WordList prepared = words.stripped().upperCased();
  if (prepared.empty()) return kNoResponse;
  const Str& path = bankPath(prepared.isQuestion() ? Bank::kContext2 : Bank::kContext);
  if (!tracing_) return chooseRuleAnswer(ruleBanks_.bank(path).candidates(prepared, classes), *random_, grammar_);

  RuleMatch match;
  const StrList candidates = ruleBanks_.bank(path).candidates(prepared, classes, &match);
  std::int32_t picked = 0;
  const Str answer = chooseRuleAnswer(candidates, *random_, grammar_, &picked);
  if (candidates.empty()) return answer;
  // Candidates stand in reverse file order: the last one is the first response.
  trace_.ruleBank = path;
  trace_.defaultBank = ruleBanks_.identicalDefaultBank(path);
  trace_.blockLine = match.blockLine;
  trace_.responseLine = match.responseLines[static_cast<std::size_t>(candidates.count() - 1 - picked)];
  trace_.seeds.clear();
  WordList chosen(candidates.at(picked));
  if (!chosen.empty() && chosen.wordAt(0) != "@@T")
    for (const Str& word : chosen) trace_.seeds.pushBack(word);
  trace_.templateGroups = grammar_.lastTemplate();
  return answer;
}

std::int32_t Brain::ruleCount(Bank bank) { return ruleBanks_.bank(bankPath(bank)).reachableBlocks(); }

}  // namespace vesko
