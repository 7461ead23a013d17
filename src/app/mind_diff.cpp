#include "app/mind_diff.h"

#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <future>
#include <ostream>
#include <sstream>
#include <system_error>
#include <string_view>
#include <unordered_map>

#include "app/scratch_folder.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace fs = std::filesystem;

namespace {

using Items = std::vector<std::string>;

// The distinct words of a word tree, in its saved (pre-order) order.
Items treeWords(const WordTree& tree) {
  std::ostringstream saved;
  tree.save(saved);
  std::istringstream in(saved.str());
  Items words;
  std::string line;
  // Save writes a word once for every time it was added, one after another.
  while (std::getline(in, line))
    if (words.empty() || words.back() != line) words.push_back(line);
  return words;
}

Items statements(Brain& brain) {
  Items items;
  const KnowledgeStore& store = brain.knowledge();
  items.reserve(static_cast<std::size_t>(store.sentenceCount()));
  for (std::int64_t n = 0; n < store.sentenceCount(); ++n) items.push_back(store.sentence(n).text.std());
  return items;
}

Items people(Brain& brain) {
  Items items;
  for (const PersonRecord& person : brain.facts().persons()) {
    std::string text;
    for (const Str& answer : person.answers) {
      if (!text.empty()) text += ", ";
      text += answer == "$UNKNOWN$" ? std::string("?") : answer.std();
    }
    items.push_back(text);
  }
  return items;
}

Items listed(const StrList& list) {
  Items items;
  for (const Str& item : list) items.push_back(item.std());
  return items;
}

// A group by its number and words, a template by its groups' numbers, as the
// banks hold them: numbers stay with a group while a mind learns, so a group
// that gained a word shows as the same number with the old and new words.
Items groups(Brain& brain) {
  Items items;
  for (const GrammarModel::GroupInfo& group : brain.grammar().groups()) {
    // Appended piece by piece: GCC 12 reports a false -Wrestrict on `"..." + std::to_string(n)` at -O3.
    std::string text = "group ";
    text.append(std::to_string(group.id)).append(":");
    for (const Str& word : group.words) text += " " + word.std();
    items.push_back(text);
  }
  return items;
}

Items templates(Brain& brain) {
  Items items;
  for (const std::vector<std::int32_t>& shape : brain.grammar().templates()) {
    std::string text = "groups";
    for (const std::int32_t id : shape) text.append(" ").append(std::to_string(id));
    items.push_back(text);
  }
  return items;
}

Items pairs(Brain& brain) {
  Items items;
  const GrammarModel& grammar = brain.grammar();
  for (int slot = 0; slot < static_cast<int>(grammar.pairCount()); ++slot)
    items.push_back(grammar.pairStimulus(slot).join().std() + " => " + grammar.pairResponse(slot).join().std());
  return items;
}

Items attributes(Brain& brain) {
  const BotInfo& bot = brain.botInfo();
  return {"name: " + bot.name.std(),          "partner's name: " + bot.relationshipName.std(),
          "age: " + bot.age.std(),            "gender: " + bot.gender.std(),
          "location: " + bot.location.std(), "relationship: " + bot.relationshipType.std()};
}

// What `from` holds more often than `other`, item by item, in `from`'s order.
void onlyIn(const Items& from, const Items& other, std::size_t shown, std::int64_t& count, Items& first) {
  std::unordered_map<std::string_view, std::int64_t> available;
  for (const std::string& item : other) ++available[item];
  for (const std::string& item : from) {
    auto found = available.find(item);
    if (found != available.end() && found->second > 0) {
      --found->second;
      continue;
    }
    ++count;
    if (first.size() < shown) first.push_back(item);
  }
}

// An item as the plain listing shows it: a long one (a word group of
// hundreds of words) is cut after about a line, with its word count.
std::string shortened(const std::string& item) {
  constexpr std::size_t kMost = 160;
  if (item.size() <= kMost) return item;
  std::size_t words = 1;
  for (const char c : item) words += c == ' ' ? 1 : 0;
  const std::size_t cut = item.rfind(' ', kMost);
  std::string text = item.substr(0, cut == std::string::npos ? kMost : cut);
  return text.append(" ... (").append(std::to_string(words)).append(" words)");
}

void writeJsonString(std::ostream& out, const std::string& text) {
  out << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (byte < 0x20) {
      static const char* hex = "0123456789abcdef";
      out << "\\u00" << hex[byte >> 4] << hex[byte & 15];
    } else {
      out << c;
    }
  }
  out << '"';
}

void writeJsonList(std::ostream& out, const Items& items) {
  out << '[';
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out << ", ";
    writeJsonString(out, items[i]);
  }
  out << ']';
}

// Loads a copy of `mind` in `scratch` (loading unpacks beside the mind, and
// neither the mind nor the working folder may change); nothing after a
// message on `err` when it cannot be.
std::unique_ptr<Brain> loadCopy(const GlobalOptions& options, const std::string& mind, const ScratchFolder& scratch,
                                std::ostream& err) {
  std::error_code error;
  const fs::file_status status = fs::status(mind, error);
  if (error || !fs::exists(status)) {
    complain(err, "cannot open the mind file " + mind);
    return nullptr;
  }
  if (fs::is_directory(status)) {
    complain(err, mind + " is a folder, not a mind file; 'vesko mind pack " + mind + " MIND' makes a mind of its banks");
    return nullptr;
  }
  if (!fs::is_regular_file(status)) {
    complain(err, mind + " is not a regular file, so it cannot be a mind file");
    return nullptr;
  }
  if (scratch.path().empty()) {
    complain(err, "cannot make a scratch folder; set TMPDIR to a folder you can write");
    return nullptr;
  }
  const std::string copy = scratch.path() + "mind.mnd";
  if (!fs::copy_file(mind, copy, error)) {
    complain(err, "cannot read " + mind + ": " + error.message());
    return nullptr;
  }
  auto brain = makeBrain(scratch.path(), false, std::string(), options);
  const LoadResult result = brain->loadMind(Str(copy));
  if (!result.loaded()) {
    complain(err, mind + ": " + loadFailure(result));
    return nullptr;
  }
  return brain;
}

}  // namespace

std::vector<BankDifference> compareMinds(Brain& a, Brain& b, std::size_t shown) {
  struct BankItems {
    const char* name;
    std::function<Items(Brain&)> items;
  };
  const std::vector<BankItems> banks = {
      {"remembered statements", statements},
      {"people", people},
      {"nouns", [](Brain& brain) { return treeWords(brain.nouns()); }},
      {"names", [](Brain& brain) { return treeWords(brain.names()); }},
      {"filler words", [](Brain& brain) { return treeWords(brain.stuffing()); }},
      {"bad answers", [](Brain& brain) { return listed(brain.badAnswers()); }},
      {"word groups", groups},
      {"templates", templates},
      {"answer pairs", pairs},
      {"attributes", attributes},
  };
  std::vector<BankDifference> differences;
  for (const BankItems& bank : banks) {
    BankDifference difference;
    difference.bank = bank.name;
    {
      // One bank's items of both minds at a time keeps the memory to the minds' own size.
      const Items inA = bank.items(a);
      const Items inB = bank.items(b);
      onlyIn(inA, inB, shown, difference.onlyInA, difference.firstOnlyInA);
      onlyIn(inB, inA, shown, difference.onlyInB, difference.firstOnlyInB);
    }
    differences.push_back(std::move(difference));
  }
  return differences;
}

int runMindDiff(const GlobalOptions& options, const std::string& a, const std::string& b, bool json,
                std::ostream& out, std::ostream& err) {
  const std::string pathA = absolutePath(a);
  const std::string pathB = absolutePath(b);
  ScratchFolder scratchA("vesko-diff-");
  ScratchFolder scratchB("vesko-diff-");
  // The two minds load side by side (each Brain is on its own); messages are
  // collected apart and told in order.
  std::ostringstream errA;
  std::ostringstream errB;
  auto loadingB = std::async(std::launch::async, [&] { return loadCopy(options, pathB, scratchB, errB); });
  const auto brainA = loadCopy(options, pathA, scratchA, errA);
  const auto brainB = loadingB.get();
  err << errA.str() << errB.str();
  if (!brainA || !brainB) return 2;
  const std::vector<BankDifference> differences = compareMinds(*brainA, *brainB);
  bool same = true;
  for (const BankDifference& d : differences) same = same && d.onlyInA == 0 && d.onlyInB == 0;

  if (json) {
    out << "{\"a\": ";
    writeJsonString(out, pathA);
    out << ", \"b\": ";
    writeJsonString(out, pathB);
    out << ", \"same\": " << (same ? "true" : "false") << ", \"banks\": [";
    for (std::size_t i = 0; i < differences.size(); ++i) {
      const BankDifference& d = differences[i];
      out << (i > 0 ? ",\n  " : "\n  ") << "{\"bank\": ";
      writeJsonString(out, d.bank);
      out << ", \"onlyInA\": " << d.onlyInA << ", \"onlyInB\": " << d.onlyInB << ", \"firstOnlyInA\": ";
      writeJsonList(out, d.firstOnlyInA);
      out << ", \"firstOnlyInB\": ";
      writeJsonList(out, d.firstOnlyInB);
      out << '}';
    }
    out << "\n]}" << std::endl;
  } else if (same) {
    out << "The minds hold the same.\n" << std::flush;
  } else {
    out << "--- " << pathA << "\n+++ " << pathB << "\n";
    for (const BankDifference& d : differences) {
      if (d.onlyInA == 0 && d.onlyInB == 0) continue;
      out << d.bank << ": " << d.onlyInB << " only in B, " << d.onlyInA << " only in A\n";
      for (const std::string& item : d.firstOnlyInB) out << "  + " << shortened(item) << "\n";
      if (d.onlyInB > static_cast<std::int64_t>(d.firstOnlyInB.size()))
        out << "  + ... " << d.onlyInB - static_cast<std::int64_t>(d.firstOnlyInB.size()) << " more\n";
      for (const std::string& item : d.firstOnlyInA) out << "  - " << shortened(item) << "\n";
      if (d.onlyInA > static_cast<std::int64_t>(d.firstOnlyInA.size()))
        out << "  - ... " << d.onlyInA - static_cast<std::int64_t>(d.firstOnlyInA.size()) << " more\n";
    }
    out.flush();
  }
  return same ? 0 : 1;
}

}  // namespace vesko::app
