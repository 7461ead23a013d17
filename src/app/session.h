// What every mode of the shell shares on its way to a loaded mind: the global
// options, the working folder with its lock and layout, config.dat, and
// building and loading a Brain with the user told what went wrong.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "app/config_file.h"
#include "app/folder_lock.h"
#include "engine/brain.h"

namespace vesko::app {

// How the chat commands answer: --trace and --no-learn.
struct AnswerOptions {
  bool trace = false;  // a line on standard error after each answer: where it came from
  bool learn = true;   // false: nothing a line says changes the mind
};

struct GlobalOptions {
  std::optional<std::string> home;
  std::optional<std::uint32_t> seed;
  std::optional<std::string> mind;  // as given; relative to the current directory
  AnswerOptions answering;           // set by chat and pipe; openMind applies it
};

// What a command does with the mind of its working folder.
enum class MindUse {
  kLoads,   // loads the mind (--mind or config.dat's), which must exist
  kChooses, // asks for a mind itself (the window) or makes one (the tools)
};

// The working folder of an interactive command, locked and laid out.
class Workspace {
 public:
  // Chooses, locks and lays out the folder and reads config.dat (its warnings
  // go to `err`). Nothing, after a message on `err`, when any step fails. A
  // command that loads a mind is refused before anything is laid out when
  // that mind does not exist and is not the default mind the layout makes.
  static std::unique_ptr<Workspace> open(const GlobalOptions& options, std::ostream& err,
                                         MindUse use = MindUse::kLoads);

  const std::string& folder() const { return folder_; }
  const Config& config() const { return config_; }
  // The full path of the default mind as the window takes it from config.dat:
  // relative to the working folder on the first run, else as written (a
  // relative name is still taken in the working folder).
  std::string defaultMindFile() const;
  // The mind to load: --mind when given, else the default mind.
  std::string mindToLoad(const GlobalOptions& options) const;

 private:
  Workspace(std::string folder, std::unique_ptr<FolderLock> lock, Config config)
      : folder_(std::move(folder)), lock_(std::move(lock)), config_(std::move(config)) {}

  std::string folder_;
  std::unique_ptr<FolderLock> lock_;
  Config config_;
};

// A Brain for `folder` whose random source follows --seed when given.
std::unique_ptr<Brain> makeBrain(const std::string& folder, bool headless, const std::string& userName,
                                 const GlobalOptions& options);

// Why a load result keeps the mind from being used, or "" when it loaded.
std::string loadFailure(const LoadResult& result);
// A note for results 2 and 4 (the mind loaded but is of another version).
std::string loadNote(const LoadResult& result);

// Why a command that loads a mind in `folder` would be refused before the
// folder is laid out (the mind is not named, or does not exist and is not the
// default mind the layout makes), or "" when it may go on.
std::string refusalBeforeLayout(const std::string& folder, const GlobalOptions& options);

// Builds a Brain and loads `mindFile`; nothing, after a message on `err`, when
// the file is missing (with `mustExist`), is in use by another Vesko, or the
// mind is refused. The mind file (the file a link leads to) stays locked
// until the process ends.
std::unique_ptr<Brain> openMind(const std::string& folder, const std::string& mindFile, bool headless,
                                const std::string& userName, const GlobalOptions& options, bool mustExist,
                                std::ostream& err);

// After an answer: where it came from, as one "trace: " line on `err`, when
// the Brain is tracing.
void printTrace(std::ostream& err, const Brain& brain);

// Locks the mind file `mindFile` stands for (links followed), waiting up to
// `patience`; nothing, after a message on `err`, when it is in use by another
// Vesko or is no regular file.
std::unique_ptr<FolderLock> lockMind(const std::string& mindFile, std::chrono::milliseconds patience,
                                     std::ostream& err);

// "vesko: " + message, on its own line.
void complain(std::ostream& err, const std::string& message);

}  // namespace vesko::app
