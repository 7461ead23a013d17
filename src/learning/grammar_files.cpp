// The three grammar banks: groups ("groups.mbk"), templates ("temps.mbk") and
// answer pairs ("sr.mbk"). One value per line, line feed after each.
#include <cerrno>
#include <fstream>
#include <system_error>
#include <string>
#include <unordered_set>

#include "learning/grammar_internal.h"
#include "learning/grammar_model.h"
#include "storage/bank_reader.h"
#include "storage/replacing_file.h"

namespace vesko {

using grammar::Group;
using grammar::GroupTable;
using grammar::Template;
using grammar::WordRecord;

namespace {

// Reads the first count of a bank. `empty` is set when the file holds nothing
// at all, which reads like a missing file.
Status firstCount(BankReader& reader, std::int32_t& value, bool& empty, const char* what) {
  Str line;
  const bool more = reader.next(line);
  empty = line.empty() && !more;
  if (empty) return Status::ok();
  try {
    if (line.empty()) throw NotANumber();
    value = line.toInt();
  } catch (const NotANumber&) {
    return reader.error(Str(what) + " should be a whole number, found \"" + line.substr(0, 40) + "\"");
  }
  return Status::ok();
}

Status nonNegative(const BankReader& reader, std::int32_t value, const char* what) {
  if (value < 0) return reader.error(Str(what) + " must not be negative, found " + Str(value));
  return Status::ok();
}

// A word or sentence line; a load error when the file ended before it.
Status nextText(BankReader& reader, Str& line, const char* what) {
  const bool wasGood = reader.good();
  const bool more = reader.next(line);
  if (!wasGood || (line.empty() && !more)) return reader.error(Str("the file ends where ") + what + " should stand");
  return Status::ok();
}

// Writes the whole file under a new name and renames it into place; on
// failure the error says why, as the system put it (a full disk, a folder
// without write permission).
Status writeFile(const Str& path, const std::string& text) {
  ReplacingFile file(path);
  file.out().write(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.commit().isOk()) return Status::ok();
  return Status::ioError(Str("cannot write the bank file ") + path + ": " + Str(file.reason()));
}

void appendLine(std::string& text, const std::string& line) {
  text += line;
  text += '\n';
}

}  // namespace

Status GrammarModel::load(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath) {
  clear();
  Status status = loadGroups(groupsPath);
  if (status.isOk()) status = loadTemplates(templatesPath);
  if (status.isOk()) status = loadPairs(pairsPath);
  // A damaged mind is refused whole, never half-loaded.
  if (!status.isOk()) clear();
  return status;
}

Status GrammarModel::loadGroups(const Str& path) {
  BankReader reader(path, baseName(path));
  if (!reader.isOpen()) return Status::ok();
  std::int32_t freeCount = 0;
  bool empty = false;
  Status status = firstCount(reader, freeCount, empty, "the number of free group ids");
  if (!status.isOk() || empty) return status;
  status = nonNegative(reader, freeCount, "the number of free group ids");
  if (!status.isOk()) return status;
  std::deque<std::int32_t> freeIds;
  for (std::int32_t i = 0; i < freeCount; ++i) {
    std::int32_t id = 0;
    status = reader.nextInt(id, "a free group id");
    if (!status.isOk()) return status;
    freeIds.push_back(id);
  }
  table_->setFreeIds(std::move(freeIds));

  std::int32_t count = 0;
  status = reader.nextInt(count, "the number of groups");
  if (status.isOk()) status = nonNegative(reader, count, "the number of groups");
  if (!status.isOk()) return status;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t id = 0;
    status = reader.nextInt(id, "a group id");
    if (status.isOk()) status = nonNegative(reader, id, "a group id");
    if (!status.isOk()) return status;
    if (table_->groupById(id) != nullptr) return reader.error(Str("the group id ") + Str(id) + " is used twice");
    Group* group = table_->newGroup(id);
    for (;;) {
      Str line;
      status = nextText(reader, line, "a word or \"=\"");
      if (!status.isOk()) return status;
      if (line == "=") break;
      GroupTable::addWord(group, table_->insertWord(line));
    }
  }
  return Status::ok();
}

Status GrammarModel::loadTemplates(const Str& path) {
  BankReader reader(path, baseName(path));
  if (!reader.isOpen()) return Status::ok();
  std::int32_t count = 0;
  bool empty = false;
  Status status = firstCount(reader, count, empty, "the number of templates");
  if (!status.isOk() || empty) return status;
  status = nonNegative(reader, count, "the number of templates");
  if (!status.isOk()) return status;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t length = 0;
    status = reader.nextInt(length, "a template length");
    if (!status.isOk()) return status;
    if (length < 1 || length > grammar::kMaxLength)
      return reader.error(Str("a template length must be 1 to 30, found ") + Str(length));
    std::vector<Group*> positions;
    positions.reserve(static_cast<std::size_t>(length));
    bool complete = true;
    for (std::int32_t k = 0; k < length; ++k) {
      std::int32_t id = 0;
      status = reader.nextInt(id, "a group id");
      if (!status.isOk()) return status;
      Group* group = table_->groupById(id);
      complete = complete && group != nullptr;
      positions.push_back(group);
    }
    // A template naming a group that the groups bank does not hold has a
    // position nothing could fill; it is left out.
    if (complete) table_->addTemplate(std::move(positions));
  }
  return Status::ok();
}

Status GrammarModel::loadPairs(const Str& path) {
  BankReader reader(path, baseName(path));
  if (!reader.isOpen()) return Status::ok();
  std::int32_t count = 0;
  bool empty = false;
  Status status = firstCount(reader, count, empty, "the number of pairs");
  if (!status.isOk() || empty) return status;
  if (count < 0 || count > grammar::kPairSlots)
    return reader.error(Str("the number of pairs must be 0 to 200, found ") + Str(count));
  for (std::int32_t i = 0; i < count; ++i) {
    Str stimulus;
    Str response;
    status = nextText(reader, stimulus, "what the bot said");
    if (status.isOk()) status = nextText(reader, response, "what the user answered");
    if (!status.isOk()) return status;
    pairs_[static_cast<std::size_t>(i)] = grammar::Pair{WordList(stimulus), WordList(response)};
  }
  std::int32_t next = 0;
  status = reader.nextInt(next, "the next pair slot");
  if (!status.isOk()) return status;
  if (next < 0 || next >= grammar::kPairSlots)
    return reader.error(Str("the next pair slot must be 0 to 199, found ") + Str(next));
  // The store is full when all 200 slots were written. With fewer pairs the
  // slots after them are empty, so writing goes on right after the last pair
  // whatever a hand-edited bank says (a gap would write empty bank lines).
  pairsFull_ = count == grammar::kPairSlots;
  nextPair_ = pairsFull_ ? next : count;
  return Status::ok();
}

Status GrammarModel::save(const Str& groupsPath, const Str& templatesPath, const Str& pairsPath) const {
  if (!groupsPath.endsWith(".x")) {
    std::string text;
    const auto& freeIds = table_->freeIds();
    appendLine(text, std::to_string(freeIds.size()));
    for (std::int32_t id : freeIds) appendLine(text, std::to_string(id));
    appendLine(text, std::to_string(table_->groupCount()));
    for (const Group& group : table_->allGroups()) {
      if (!group.live()) continue;
      appendLine(text, std::to_string(group.id));
      group.words.forEach([&text](const WordRecord* record) { appendLine(text, record->word.std()); });
      appendLine(text, "=");
    }
    const Status written = writeFile(groupsPath, text);
    if (!written.isOk()) return written;
  }
  if (!templatesPath.endsWith(".x")) {
    std::string text;
    appendLine(text, std::to_string(table_->templateCount()));
    for (int length = 1; length <= grammar::kMaxLength; ++length) {
      for (Template* t : table_->templatesOfLength(length)) {
        appendLine(text, std::to_string(length));
        for (Group*& position : t->positions) {
          position = GroupTable::find(position);
          appendLine(text, std::to_string(position->id));
        }
      }
    }
    const Status written = writeFile(templatesPath, text);
    if (!written.isOk()) return written;
  }
  if (!pairsPath.endsWith(".x")) {
    std::string text;
    const std::int64_t count = pairCount();
    appendLine(text, std::to_string(count));
    for (std::int64_t i = 0; i < count; ++i) {
      const grammar::Pair& pair = pairs_[static_cast<std::size_t>(i)];
      appendLine(text, pair.stimulus.join().std());
      appendLine(text, pair.response.join().std());
    }
    appendLine(text, std::to_string(nextPair_));
    const Status written = writeFile(pairsPath, text);
    if (!written.isOk()) return written;
  }
  return Status::ok();
}

}  // namespace vesko
