// Saving a mind: every in-memory bank goes back to its bank file, then the
// bank files are packed into the mind file. A failure stops before anything
// is deleted, so the banks in the working folder remain the mind's copy.
#include <filesystem>
#include <system_error>

#include "engine/brain.h"
#include "storage/bank_files.h"
#include "storage/replacing_file.h"

namespace vesko {

namespace {

// Default banks (".x") are distribution data and never written.
bool writable(const Str& path) { return !path.endsWith(".x"); }

// Lets `write` fill a new file that replaces `path`, and checks that it landed.
template <typename Write>
Status writeBank(const Str& path, const Str& mindFile, Write write) {
  ReplacingFile file(path);
  if (file.isOpen()) {
    write(file.out());
    if (file.commit().isOk()) return Status::ok();
  }
  return Status::ioError(Str("cannot write the bank file ") + path + ": " + Str(file.reason()) + "; the mind file " +
                         mindFile + " was not changed; free space and save again");
}

Status writeTree(const Str& path, const Str& mindFile, const WordTree& tree) {
  // An empty tree still truncates its bank, which then packs as an empty member.
  return writeBank(path, mindFile, [&](std::ostream& out) {
    if (!tree.empty()) tree.save(out);
  });
}

Status notInUse(const Str& mindFile) {
  return Status::ioError(Str("no mind is in use, so nothing was saved to \"") + mindFile +
                         "\"; load a mind before saving it");
}

}  // namespace

Status Brain::writeBanks() {
  Status status = facts_.saveFacts(bankPath(Bank::kProfiles));
  if (status.isOk() && writable(bankPath(Bank::kMorvash))) status = knowledge_.save(bankPath(Bank::kMorvash));
  if (status.isOk() && writable(bankPath(Bank::kGroups)))
    status = grammar_.save(bankPath(Bank::kGroups), bankPath(Bank::kTemps), bankPath(Bank::kSr));
  if (status.isOk() && writable(bankPath(Bank::kBotInfo)))
    status = writeBank(bankPath(Bank::kBotInfo), mindFile_, [&](std::ostream& out) {
      // The bank's order, not the order of the BotInfo fields.
      for (const Str* field : {&bot_.name, &bot_.relationshipType, &bot_.relationshipName, &bot_.gender, &bot_.age, &bot_.location})
        out << *field << '\n';
    });
  if (status.isOk() && writable(bankPath(Bank::kNouns))) status = writeTree(bankPath(Bank::kNouns), mindFile_, nouns_);
  if (status.isOk() && writable(bankPath(Bank::kStuffing))) status = writeTree(bankPath(Bank::kStuffing), mindFile_, stuffing_);
  if (status.isOk() && writable(bankPath(Bank::kNames))) status = writeTree(bankPath(Bank::kNames), mindFile_, names_);
  if (status.isOk() && writable(bankPath(Bank::kBad)))
    status = writeBank(bankPath(Bank::kBad), mindFile_, [&](std::ostream& out) {
      for (const Str& answer : badAnswers_) out << answer << '\n';
    });
  return status;
}

Status Brain::releaseBanks() {
  // Every bank file goes, as packing would remove them, and the converted
  // banks of an older mind with them; the mind file is not touched.
  StrList members;
  listFiles(mindFolder_ + "*.mbk", members);
  std::error_code error;
  for (const Str& name : members) {
    std::filesystem::remove(std::filesystem::path((mindFolder_ + name).std()), error);
    if (error) return Status::ioError(Str("cannot remove the bank file ") + mindFolder_ + name + ": " + Str(error.message()));
  }
  for (const MemoryBank& bank : banks_)
    if (bank.path.endsWith(".mb2")) std::filesystem::remove(std::filesystem::path(bank.path.std()), error);
  mindInUse_ = false;
  return Status::ok();
}

Status Brain::saveMind() {
  if (!mindInUse_) return notInUse(mindFile_);
  if (!learning_) return releaseBanks();
  Status status = writeBanks();
  if (status.isOk()) status = packBanks(mindFile_, mindFolder_, "*.mbk", true);
  if (!status.isOk()) return status;
  // The converted banks of an older mind go only once the mind file stands:
  // until then they are part of the mind in use.
  for (const MemoryBank& bank : banks_) {
    if (!bank.path.endsWith(".mb2")) continue;
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(bank.path.std()), ignored);
  }
  // The banks are packed away; saving again would pack an incomplete folder.
  mindInUse_ = false;
  return Status::ok();
}

Status Brain::checkpoint() {
  if (!mindInUse_) return notInUse(mindFile_);
  if (!learning_) return Status::ok();  // nothing was learned, so the mind file stands as it is
  Status status = writeBanks();
  if (status.isOk()) status = packBanks(mindFile_, mindFolder_, "*.mbk", false);
  return status;
}

void Brain::discardMind() {
  if (!mindInUse_) return;
  StrList names;
  listFiles(mindFolder_ + "*.mbk", names);
  for (const Str& name : names) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path((mindFolder_ + name).std()), ignored);
  }
  for (const MemoryBank& bank : banks_) {
    if (!bank.path.endsWith(".mb2")) continue;
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(bank.path.std()), ignored);
  }
  mindInUse_ = false;
}

Status Brain::createMindStep(std::int32_t selector, const Str& text) {
  switch (selector) {
    case 5:
      return packBanks(text + "new.mnd", text, "*.mbk", false);
    case 6:
      return packDefaults(text, mindFolder_);
    default:
      return Status::ioError(Str("unknown new-mind step ") + Str(selector));
  }
}

}  // namespace vesko
