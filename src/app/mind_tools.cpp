#include "app/mind_tools.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <system_error>

#include "app/advanced_source.h"
#include "app/distribution.h"
#include "app/file_io.h"
#include "app/scratch_folder.h"
#include "app/working_folder.h"
#include "learning/mind_builder.h"
#include "storage/bank_files.h"
#include "text/str_list.h"

namespace vesko::app {

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A mind file may not be named like a bank: loading would unpack over it.
bool namedLikeBank(const std::string& path) { return endsWith(path, ".mbk") || endsWith(path, ".x"); }

bool hasDefaultBanks(const std::string& folder) {
  StrList found;
  listFiles(Str(folder + "*.x"), found);
  return !found.empty();
}

int makeFromDefaults(const Workspace& workspace, const GlobalOptions& options, const std::string& target,
                     std::ostream& err) {
  if (!hasDefaultBanks(workspace.folder())) {
    complain(err, "there are no default banks (*.x) in " + workspace.folder() + " to make a mind from");
    return 1;
  }
  auto maker = makeBrain(workspace.folder(), false, std::string(), options);
  const Status made = maker->createMindStep(6, Str(target));
  if (!made.isOk()) {
    complain(err, "cannot write " + target + ": " + made.message());
    return 1;
  }
  return 0;
}

// The lines of one member of a mind file, read as the loader reads them.
std::vector<std::string> memberLines(const std::string& mind, const std::string& member) {
  std::ifstream in(mind, std::ios::binary);
  std::vector<std::string> lines;
  bool inside = false;
  Str line;
  for (;;) {
    readLine(in, line);
    if (line.empty() && !in.good()) break;
    if (line.startsWith("[{[")) {
      if (inside) break;
      inside = line == Str("[{[" + member + "]}]");
    } else if (inside) {
      lines.push_back(line.std());
    }
    if (!in.good()) break;
  }
  return lines;
}

const char* resultName(std::int32_t code) {
  switch (code) {
    case LoadResult::kCurrent: return "current";
    case LoadResult::kTooNew: return "too new, refused";
    case LoadResult::kNewerCompatible: return "newer, compatible";
    case LoadResult::kOlder: return "older, missing banks emulated";
    default: return "unknown";
  }
}

}  // namespace

int runNewMind(const GlobalOptions& options, const std::string& path, bool force, std::ostream& out,
               std::ostream& err) {
  // A name is needed: "" or "DIR/" would make a hidden ".mnd".
  std::error_code error;
  if (path.empty() || path.back() == '/' || fs::is_directory(path, error)) {
    complain(err, "new-mind needs the name of the mind file to make, such as poet.mnd" +
                      (path.empty() ? std::string() : "; " + path + " is a folder"));
    return 1;
  }
  std::string target = absolutePath(path);
  // As the mind dialogs do: a name without an extension gets ".mnd".
  if (fs::path(target).extension().empty()) target += ".mnd";
  if (namedLikeBank(target)) {
    complain(err, target + " is named like a bank file; a mind file ends in .mnd");
    return 1;
  }
  if (exists(target) && !force) {
    complain(err, target + " already exists; add --force to replace it");
    return 1;
  }
  const auto workspace = Workspace::open(options, err, MindUse::kChooses);
  if (!workspace) return 1;
  // A mind in use by another Vesko is not replaced under its feet.
  const auto lock = lockMind(target, std::chrono::milliseconds(0), err);
  if (!lock) return 1;
  if (makeFromDefaults(*workspace, options, target, err) != 0) return 1;
  out << "Mind file created: " << target << "\n"
      << "The mind's attributes (name, location, and so on) are Vesko's defaults.\n";
  return 0;
}

int runNewMindAdvanced(const GlobalOptions& options, const std::string& dir, bool force, std::ostream& out,
                       std::ostream& err) {
  std::error_code error;
  const std::string folder = (fs::path(absolutePath(dir)) / "").string();
  if (!fs::is_directory(folder, error)) {
    complain(err, folder + " is not a folder; name the folder that holds input_l.txt, input_k.txt and the banks");
    return 1;
  }
  if (const std::string problem = advancedSourceProblem(folder); !problem.empty()) {
    complain(err, problem);
    return 1;
  }
  const auto workspace = Workspace::open(options, err, MindUse::kChooses);
  if (!workspace) return 1;
  // Building in the working folder would write over the banks of the mind in use.
  if (fs::equivalent(folder, workspace->folder(), error)) {
    complain(err, "the working folder " + workspace->folder() + " cannot be the source folder; use a folder of its own");
    return 1;
  }
  const std::string target = folder + "new.mnd";
  if (exists(target) && !force) {
    complain(err, target + " already exists; add --force to replace it");
    return 1;
  }
  auto maker = makeBrain(workspace->folder(), false, std::string(), options);
  Status status = buildLanguageBanks(Str(folder), Str(folder), maker->random());
  if (status.isOk()) status = maker->createMindStep(5, Str(folder));
  if (!status.isOk()) {
    complain(err, status.message());
    return 1;
  }
  out << "Mind file created: " << target << "\n";
  return 0;
}

int runInitMind(const GlobalOptions& options, const std::optional<std::string>& mind,
                const std::optional<bool>& confirmed, std::ostream& out, std::ostream& err) {
  if (mind && !exists(absolutePath(*mind))) {
    complain(err, "cannot find the mind file " + absolutePath(*mind) + "; make a new one with 'vesko new-mind FILE'");
    return 1;
  }
  const auto workspace = Workspace::open(options, err, MindUse::kChooses);
  if (!workspace) return 1;
  const std::string target = mind ? absolutePath(*mind) : workspace->mindToLoad(options);
  if (target.empty() || !exists(target)) {
    complain(err, "cannot find the mind file " + (target.empty() ? std::string("to initialise") : target) +
                      "; make a new one with 'vesko new-mind FILE'");
    return 1;
  }
  if (namedLikeBank(target)) {
    complain(err, target + " is named like a bank file; a mind file ends in .mnd");
    return 1;
  }
  if (!confirmed) {
    complain(err, "initialising clears everything " + target +
                      " has learned; run it on a terminal to be asked, or add --yes");
    return 1;
  }
  if (!*confirmed) {
    out << "Nothing changed.\n";
    return 0;
  }
  const auto lock = lockMind(target, std::chrono::milliseconds(0), err);
  if (!lock) return 1;
  if (makeFromDefaults(*workspace, options, target, err) != 0) return 1;
  out << "Mind file initialised: " << target << "\n";
  return 0;
}

int runMindInfo(const GlobalOptions& options, const std::string& mind, std::ostream& out, std::ostream& err) {
  std::string source = absolutePath(mind);
  // A bare name given with --home means the mind in that folder, unless the
  // current directory has one of that name.
  if (!exists(source) && options.home && fs::path(mind).is_relative()) {
    const std::string inHome = absolutePath((fs::path(*options.home) / mind).string());
    if (exists(inHome)) source = inHome;
  }
  std::error_code error;
  if (!fs::is_regular_file(source, error)) {
    complain(err, "cannot open the mind file " + source +
                      (exists(source) ? std::string(": it is not a regular file")
                       : options.home && fs::path(mind).is_relative() ? " (nor in " + *options.home + ")"
                                                                      : std::string()));
    return 1;
  }
  ScratchFolder scratch;
  if (scratch.path().empty()) {
    complain(err, "cannot make a scratch folder; set TMPDIR to a folder you can write");
    return 1;
  }
  // Loading a mind too new to use rewrites it; only a copy is ever loaded.
  const std::string copy = scratch.path() + "mind.mnd";
  if (!fs::copy_file(source, copy, error)) {
    complain(err, "cannot read " + source + ": " + error.message());
    return 1;
  }
  // An older mind borrows banks it lacks from the default banks, as a real
  // load in a working folder does.
  for (const EmbeddedFile& file : embeddedDistribution())
    if (file.name != nullptr && endsWith(file.name, ".x")) writeNewFile(scratch.path() + file.name, file.content);
  const std::vector<std::string> version = memberLines(copy, "version.mbk");
  auto brain = makeBrain(scratch.path(), false, std::string(), options);
  const LoadResult result = brain->loadMind(Str(copy));
  out << "mind:       " << source << "\n"
      << "version:    " << (version.size() > 0 ? version[0] : std::string()) << "\n"
      << "generation: " << (version.size() > 1 ? version[1] : std::string()) << "\n";
  if (!result.status.isOk()) {
    out << "load:       refused: " << result.status.message() << "\n";
    return 1;
  }
  out << "load:       " << result.code << " (" << resultName(result.code) << ")\n";
  if (!result.loaded()) return 1;
  out << "nouns:      " << brain->nouns().wordCount() << "\n"
      << "names:      " << brain->names().wordCount() << "\n"
      << "persons:    " << brain->facts().personCount() << "\n"
      << "sentences:  " << brain->knowledge().sentenceCount() << "\n"
      << "groups:     " << brain->grammar().groupCount() << "\n"
      << "templates:  " << brain->grammar().templateCount() << "\n"
      << "pairs:      " << brain->grammar().pairCount() << "\n"
      << "rules:      " << brain->ruleCount(Bank::kContext) << " for statements, "
      << brain->ruleCount(Bank::kContext2) << " for questions\n";
  return 0;
}

int runMindUnpack(const std::string& mind, const std::string& folder, std::ostream& out, std::ostream& err) {
  const std::string source = absolutePath(mind);
  if (!exists(source)) {
    complain(err, "cannot open the mind file " + source);
    return 1;
  }
  Str resolved;
  if (const Status status = resolveMindFile(Str(source), resolved); !status.isOk()) {
    complain(err, status.message());
    return 1;
  }
  std::string target = absolutePath(folder);
  if (target.empty() || target.back() != '/') target += '/';
  std::error_code error;
  fs::create_directories(target, error);
  if (error) {
    complain(err, "cannot make the folder " + target + ": " + error.message());
    return 1;
  }
  StrList written;
  const Status unpacked = unpackBanks(Str(source), Str(target), &written);
  if (!unpacked.isOk()) {
    complain(err, source + ": " + unpacked.message());
    return 1;
  }
  for (const Str& name : written) out << target << name << "\n";
  return 0;
}

int runMindPack(const std::string& folder, const std::string& mind, std::ostream& out, std::ostream& err) {
  std::string source = absolutePath(folder);
  if (!fs::is_directory(source)) {
    complain(err, source + " is not a folder");
    return 1;
  }
  if (source.back() != '/') source += '/';
  const std::string target = absolutePath(mind);
  if (namedLikeBank(target)) {
    complain(err, target + " is named like a bank file; a mind file ends in .mnd");
    return 1;
  }
  StrList members;
  listFiles(Str(source + "*.mbk"), members);
  if (members.empty()) {
    complain(err, "there are no bank files (*.mbk) in " + source);
    return 1;
  }
  // Packing over a mind that a chat is using would be undone by its next save.
  const auto lock = lockMind(target, std::chrono::milliseconds(0), err);
  if (!lock) return 1;
  const Status packed = packBanks(Str(target), Str(source), Str("*.mbk"), false);
  if (!packed.isOk()) {
    complain(err, "cannot write " + target + ": " + packed.message());
    return 1;
  }
  out << "Packed " << members.count() << " banks into " << target << "\n";
  return 0;
}

}  // namespace vesko::app
