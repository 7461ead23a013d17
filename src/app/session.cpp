#include "app/session.h"

#include <filesystem>
#include <ostream>
#include <system_error>
#include <vector>

#include "app/distribution.h"
#include "app/working_folder.h"
#include "engine/random_source.h"
#include "storage/bank_files.h"

namespace vesko::app {

void complain(std::ostream& err, const std::string& message) { err << "vesko: " << message << std::endl; }

void printTrace(std::ostream& err, const Brain& brain) {
  if (brain.tracing()) err << "trace: " << describeTrace(brain.lastAnswerTrace()) << std::endl;
}

namespace {

std::string noMindAdvice() { return "; name one with --mind FILE, or make one with 'vesko new-mind FILE'"; }

// The mind a command would load in `folder`: --mind, else config.dat's line 2;
// without config.dat, the default mind the layout names in the one it writes.
std::string mindNamedIn(const std::string& folder, const GlobalOptions& options) {
  if (options.mind) return absolutePath(*options.mind);
  std::error_code error;
  if (std::filesystem::symlink_status(folder + kConfigFileName, error).type() == std::filesystem::file_type::not_found)
    return folder + kDefaultMindName;
  const std::string named = readConfigFile(folder + kConfigFileName).config.defaultMindFile;
  return named.empty() ? std::string() : inFolder(folder, named);
}

}  // namespace

std::string refusalBeforeLayout(const std::string& folder, const GlobalOptions& options) {
  const std::string mind = mindNamedIn(folder, options);
  if (mind.empty()) return std::string("no mind file is named in ") + folder + kConfigFileName + noMindAdvice();
  if (!exists(mind) && mind != folder + kDefaultMindName) return "cannot open the mind file " + mind + noMindAdvice();
  return std::string();
}

std::unique_ptr<Workspace> Workspace::open(const GlobalOptions& options, std::ostream& err, MindUse use) {
  const FolderChoice choice =
      chooseWorkingFolder(options.home, FolderUse::kInteractive, currentDirectory(), processEnvironment);
  if (!choice.ok()) {
    complain(err, choice.error);
    return nullptr;
  }
  auto lock = std::make_unique<FolderLock>(choice.folder, std::chrono::milliseconds(0));
  if (!lock->held()) {
    complain(err, lock->error());
    return nullptr;
  }
  if (use == MindUse::kLoads) {
    const std::string refusal = refusalBeforeLayout(choice.folder, options);
    if (!refusal.empty()) {
      complain(err, refusal);
      return nullptr;
    }
  }
  const LayoutResult layout = layOutWorkingFolder(choice.folder, embeddedDistribution());
  if (!layout.status.isOk()) {
    complain(err, "cannot set up " + choice.folder + ": " + layout.status.message());
    return nullptr;
  }
  ConfigReading reading = readConfigFile(choice.folder + kConfigFileName);
  for (const std::string& warning : reading.warnings) complain(err, "warning: " + warning);
  return std::unique_ptr<Workspace>(new Workspace(choice.folder, std::move(lock), std::move(reading.config)));
}

std::string Workspace::defaultMindFile() const {
  if (config_.defaultMindFile.empty()) return std::string();
  return inFolder(folder_, config_.defaultMindFile);
}

std::string Workspace::mindToLoad(const GlobalOptions& options) const {
  if (options.mind) return absolutePath(*options.mind);
  return defaultMindFile();
}

std::unique_ptr<Brain> makeBrain(const std::string& folder, bool headless, const std::string& userName,
                                 const GlobalOptions& options) {
  BrainEnvironment environment;
  if (options.seed) environment.random = std::make_unique<SeededRandom>(*options.seed);
  return std::make_unique<Brain>(Str(folder), headless, Str(userName), std::move(environment));
}

std::string loadFailure(const LoadResult& result) {
  if (!result.status.isOk()) return result.status.message();
  if (result.code == LoadResult::kTooNew) return "the mind was made by a newer version of Vesko and cannot be loaded";
  return std::string();
}

std::string loadNote(const LoadResult& result) {
  if (!result.rescuedBanks.empty())
    return "note: banks left by a save that did not finish held more than the mind file; they were kept in " +
           result.rescuedBanks.std() + " — 'vesko mind pack " + result.rescuedBanks.std() +
           " MIND' makes a mind of them";
  if (result.code == LoadResult::kNewerCompatible)
    return "note: the mind was made by a newer version of Vesko; it loads safely, and what this version "
           "does not use is kept";
  if (result.code == LoadResult::kOlder)
    return "note: the mind was made by an older version of Vesko; the banks it lacks are emulated";
  return std::string();
}

std::unique_ptr<Brain> openMind(const std::string& folder, const std::string& mindFile, bool headless,
                                const std::string& userName, const GlobalOptions& options, bool mustExist,
                                std::ostream& err) {
  if (mustExist && (mindFile.empty() || !exists(mindFile))) {
    complain(err, (mindFile.empty() ? std::string("no mind file is named in ") + folder + kConfigFileName
                                    : "cannot open the mind file " + mindFile) +
                      noMindAdvice());
    return nullptr;
  }
  auto lock = lockMind(mindFile, std::chrono::milliseconds(0), err);
  if (lock == nullptr) return nullptr;
  auto brain = makeBrain(folder, headless, userName, options);
  const LoadResult result = brain->loadMind(Str(mindFile));
  if (!result.loaded()) {
    complain(err, mindFile + ": " + loadFailure(result));
    return nullptr;
  }
  const std::string note = loadNote(result);
  if (!note.empty()) complain(err, note);
  brain->setTracing(options.answering.trace);
  brain->setLearning(options.answering.learn);
  // Every command that opens a mind uses it to its end.
  static std::vector<std::unique_ptr<FolderLock>> heldToTheEnd;
  heldToTheEnd.push_back(std::move(lock));
  return brain;
}

std::unique_ptr<FolderLock> lockMind(const std::string& mindFile, std::chrono::milliseconds patience,
                                     std::ostream& err) {
  Str resolved;
  const Status status = resolveMindFile(Str(mindFile), resolved);
  if (!status.isOk()) {
    complain(err, status.message());
    return nullptr;
  }
  auto lock = FolderLock::forMind(resolved.std(), patience);
  if (!lock->held()) {
    complain(err, lock->error());
    return nullptr;
  }
  return lock;
}

}  // namespace vesko::app
