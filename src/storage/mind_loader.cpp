// Loading a mind: unpack its banks, check the format generation, convert an
// older mind's memory and knowledge, and fill the Brain's in-memory banks.
// A mind that cannot be trusted is refused whole: the mind file is left as it
// was, the unpacked copies are removed, and the Brain keeps nothing of it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "engine/brain.h"
#include "storage/bank_files.h"
#include "storage/bank_reader.h"
#include "storage/replacing_file.h"

namespace vesko {

namespace {

constexpr std::int32_t kTooNewGeneration = 400;
constexpr std::int32_t kCurrentGeneration = 300;
constexpr std::int32_t kFirstGeneration = 100;
constexpr std::int32_t kSecondGeneration = 200;

// Nothing that a bank line cannot hold enters a bank: an empty line, or one
// that would read back as a member header of the mind file.
bool storableLine(const Str& line) { return !line.empty() && !line.startsWith("[{["); }

// The format generation from the second line of the version bank; a missing
// bank, or one without a second line, is generation 0.
Status readGeneration(const Str& path, std::int32_t& generation) {
  generation = 0;
  BankReader reader(path, baseName(path));
  if (!reader.isOpen()) return Status::ok();
  Str line;
  if (!reader.next(line)) return Status::ok();
  reader.next(line);
  if (line.empty()) return Status::ok();
  try {
    generation = line.toInt();
  } catch (const NotANumber&) {
    return reader.error(Str("the format generation should be a whole number, found \"") + line.substr(0, 40) + "\"");
  }
  return Status::ok();
}

// Adds every non-empty line of a word bank; a last line without a line end
// still counts.
void loadWords(const Str& path, WordTree& tree) {
  forEachBankLine(path, [&](const Str& line) {
    if (storableLine(line)) tree.add(line);
  });
}

void loadBadAnswers(const Str& path, StrList& bad) {
  forEachBankLine(path, [&](const Str& line) {
    if (storableLine(line)) bad.pushBack(line);
  });
}

// The six attributes, in the order the bank holds them (not the BotInfo order).
void loadBotInfo(const Str& path, BotInfo& bot) {
  std::ifstream in(path.std(), std::ios::binary);
  for (Str* field : {&bot.name, &bot.relationshipType, &bot.relationshipName, &bot.gender, &bot.age, &bot.location})
    readLine(in, *field);
}

// The emoticon frequency (first line) and the emoticons. A missing or empty
// bank gives frequency 0 and no emoticons, which never adds one to an answer.
Status loadEmoticons(const Str& path, std::int32_t& frequency, StrList& emoticons) {
  frequency = 0;
  BankReader reader(path, baseName(path));
  if (!reader.isOpen()) return Status::ok();
  Str line;
  const bool more = reader.next(line);
  if (!line.empty()) {
    try {
      frequency = line.toInt();
    } catch (const NotANumber&) {
      return reader.error(Str("the emoticon frequency should be a whole number, found \"") + line.substr(0, 40) + "\"");
    }
  }
  if (!more) return Status::ok();
  while (reader.next(line)) emoticons.pushBack(line);
  return Status::ok();
}

// A store whose loader let "Not a number!" escape still gives a load error
// that names its bank.
template <typename Load>
Status guarded(const Str& path, Load load) {
  try {
    return load();
  } catch (const NotANumber&) {
    return Status::loadError(baseName(path), 0, "a value that should be a whole number is not");
  }
}

// A mind file our packer wrote ends with a line end; an empty file, or one
// whose last line has none, was cut short. A missing file is a new mind.
Status checkWhole(const Str& mindFile) {
  std::ifstream in(mindFile.std(), std::ios::binary);
  if (!in.is_open()) return Status::ok();
  int lines = 0;
  char last = '\n';
  bool empty = true;
  std::vector<char> block(1 << 16);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    const auto got = static_cast<std::size_t>(in.gcount());
    empty = false;
    lines += static_cast<int>(std::count(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got), '\n'));
    last = block[got - 1];
  }
  const Str name = baseName(mindFile);
  if (empty)
    return Status::loadError(name, 1, "the mind file is empty, so it was cut short or is no mind at all; it was not loaded");
  if (last != '\n')
    return Status::loadError(name, lines + 1,
                             "the mind file ends in the middle of this line, so it was cut short; it was not loaded "
                             "and is left as it is");
  return Status::ok();
}

}  // namespace

LoadResult Brain::loadMind(const Str& given) {
  mindInUse_ = false;
  LoadResult result;
  // A mind given through a link is the file the link leads to: that file is
  // loaded and later replaced, and the link stays a link.
  Str mindFile;
  const Status usable = resolveMindFile(given, mindFile);
  mindFile_ = mindFile;
  if (!usable.isOk()) {
    result.status = Status::ioError(Str("cannot read the mind file ") + given + ": " + Str(usable.message()));
    return result;
  }

  // What a killed save left half written goes; the shell holds the folder's
  // and the mind's locks, so no one else is writing them.
  ReplacingFile::removeLeftovers(mindFolder_, [](const std::string& target) {
    return target.ends_with(".mbk") || target.ends_with(".mb2");
  });
  const Str mindName = baseName(mindFile);
  const Str mindFolder = mindFile.substr(0, mindFile.length() - mindName.length());
  ReplacingFile::removeLeftovers(mindFolder.empty() ? Str(".") : mindFolder,
                                 [&](const std::string& target) { return target == mindName.std(); });

  result.status = rescueChangedBanks(mindFile, mindFolder_, result.rescuedBanks);
  if (!result.status.isOk()) return result;
  StrList unpacked;
  result.status = unpackBanks(mindFile, mindFolder_, &unpacked);
  if (!result.status.isOk()) return result;

  std::vector<Str> converted;  // .mb2 files written by the conversion
  auto forget = [&] {
    // What was unpacked is a copy of what the mind file holds, and what was
    // converted is made again at the next load; neither may stay behind.
    for (const Str& name : unpacked) {
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path((mindFolder_ + name).std()), ignored);
    }
    for (const Str& path : converted) {
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path(path.std()), ignored);
    }
    for (int i = 0; i < kBankCount; ++i) setBankPath(static_cast<Bank>(i), mindFolder_ + bankFileName(static_cast<Bank>(i)));
    // FactStore holds references to the Brain's clock and random source, so
    // it is rebuilt in place rather than assigned.
    std::destroy_at(&facts_);
    std::construct_at(&facts_, *clock_, *random_);
    knowledge_.clear();
    grammar_.clear();
    nouns_.free();
    stuffing_.free();
    names_.free();
    badAnswers_.clear();
    bot_ = BotInfo{};
    emoticonFrequency_ = 0;
    emoticons_.clear();
  };
  auto refuse = [&](Status status) {
    forget();
    result.status = std::move(status);
    return result;
  };

  std::int32_t generation = 0;
  Status status = readGeneration(mindFolder_ + "version.mbk", generation);
  if (!status.isOk()) return refuse(std::move(status));

  if (generation >= kTooNewGeneration) {
    // The mind file is not written again: it stays exactly as the newer
    // version made it, and only the unpacked copies go.
    forget();
    result.code = LoadResult::kTooNew;
    return result;
  }
  status = checkWhole(mindFile);
  if (!status.isOk()) return refuse(std::move(status));

  bool convert = false;
  if (generation > kCurrentGeneration) {
    result.code = LoadResult::kNewerCompatible;
  } else if (generation == kFirstGeneration) {
    setBankPath(Bank::kNames, mindFolder_ + "names.x");
    setBankPath(Bank::kBad, mindFolder_ + "bad.x");
    setBankPath(Bank::kIdq, mindFolder_ + "idq.x");
    setBankPath(Bank::kProfiles, mindFolder_ + "profiles.x");
    setBankPath(Bank::kEmoticon, mindFolder_ + "emoticon.x");
    convert = true;
  } else if (generation == kSecondGeneration) {
    setBankPath(Bank::kIdq, mindFolder_ + "idq.x");
    setBankPath(Bank::kProfiles, mindFolder_ + "profiles.x");
    convert = true;
  }

  if (convert) {
    result.code = LoadResult::kOlder;
    // Memory: paragraphs of "mem.mbk", each ended by a "***" line, teach a
    // grammar model; text after the last "***" is not learned.
    {
      GrammarModel memory(*random_);
      std::ifstream in((mindFolder_ + "mem.mbk").std(), std::ios::binary);
      Str line;
      Str paragraph;
      while (readLine(in, line)) {
        if (line == "***" && !paragraph.empty()) {
          memory.learn(WordList(paragraph));
          paragraph.clear();
        } else {
          if (!paragraph.empty()) paragraph += ' ';
          paragraph += line;
        }
      }
      const Str groups = mindFolder_ + "groups.mb2";
      const Str temps = mindFolder_ + "temps.mb2";
      const Str sr = mindFolder_ + "sr.mb2";
      converted.insert(converted.end(), {groups, temps, sr});
      status = memory.save(groups, temps, sr);
      if (!status.isOk()) return refuse(std::move(status));
      setBankPath(Bank::kGroups, groups);
      setBankPath(Bank::kTemps, temps);
      setBankPath(Bank::kSr, sr);
    }
    // Knowledge: one statement per line of "know.mbk".
    {
      KnowledgeStore knowledge;
      std::ifstream in((mindFolder_ + "know.mbk").std(), std::ios::binary);
      Str line;
      while (readLine(in, line)) knowledge.learn(WordList(line));
      const Str morvash = mindFolder_ + "morvash.mb2";
      converted.push_back(morvash);
      status = knowledge.save(morvash);
      if (!status.isOk()) return refuse(std::move(status));
      setBankPath(Bank::kMorvash, morvash);
    }
  }

  status = guarded(bankPath(Bank::kProfiles), [&] { return facts_.loadFacts(bankPath(Bank::kIdq), bankPath(Bank::kProfiles)); });
  if (!status.isOk()) return refuse(std::move(status));
  status = guarded(bankPath(Bank::kMorvash), [&] { return knowledge_.load(bankPath(Bank::kMorvash)); });
  if (!status.isOk()) return refuse(std::move(status));
  status = guarded(bankPath(Bank::kGroups),
                   [&] { return grammar_.load(bankPath(Bank::kGroups), bankPath(Bank::kTemps), bankPath(Bank::kSr)); });
  if (!status.isOk()) return refuse(std::move(status));
  loadWords(bankPath(Bank::kNouns), nouns_);
  loadWords(bankPath(Bank::kStuffing), stuffing_);
  loadWords(bankPath(Bank::kNames), names_);
  loadBadAnswers(bankPath(Bank::kBad), badAnswers_);
  loadBotInfo(bankPath(Bank::kBotInfo), bot_);
  status = loadEmoticons(bankPath(Bank::kEmoticon), emoticonFrequency_, emoticons_);
  if (!status.isOk()) return refuse(std::move(status));

  mindInUse_ = true;
  return result;
}

}  // namespace vesko
