#include "app/teach_tool.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

#include "app/progress_bar.h"
#include "app/stop_signal.h"
#include "app/working_folder.h"
#include "learning/text_teacher.h"

namespace vesko::app {

namespace fs = std::filesystem;

namespace {

// Why `path` cannot be taught from, or "" when it can be read.
std::string unreadable(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return "it is a folder";
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::strerror(errno);
  return std::string();
}

void printSummary(std::ostream& out, const std::string& name, const TeachSummary& summary) {
  out << name << ": " << summary.sentencesRead << (summary.sentencesRead == 1 ? " sentence" : " sentences")
      << " read, " << summary.grammarLearned
      << " learned by the grammar model, " << summary.knowledgeLearned << " learned by the knowledge store\n";
}

}  // namespace

int runTeach(const GlobalOptions& options, const std::vector<std::string>& files, bool progress, std::ostream& out,
             std::ostream& err) {
  // A mistyped name is found before the mind is touched: teaching half the
  // list and then stopping would leave the user guessing what was learned.
  bool allReadable = true;
  for (const std::string& file : files) {
    const std::string why = unreadable(file);
    if (why.empty()) continue;
    complain(err, "cannot read the text file " + file + ": " + why);
    allReadable = false;
  }
  if (!allReadable) {
    complain(err, "nothing was taught; check the file names and try again");
    return 1;
  }

  installStopHandlers();
  const auto workspace = Workspace::open(options, err);
  if (!workspace) return 1;
  const std::string mindFile = workspace->mindToLoad(options);
  auto brain = openMind(workspace->folder(), mindFile, false, std::string(), options, true, err);
  if (!brain) return 1;

  TextTeacher teacher(*brain);
  TeachSummary total;
  bool stopped = false;
  for (const std::string& file : files) {
    std::optional<ProgressBar> bar;
    if (progress) bar.emplace(err, fs::path(file).filename().string());
    teacher.onProgress([&](const TeachProgress& at) {
      if (stopRequested()) teacher.cancel();
      if (bar) bar->update(at.sentences, at.bytesRead, at.totalBytes);
    });
    const TeachSummary summary = teacher.teachFile(Str(file));
    if (bar) bar->finish();
    printSummary(out, file, summary);
    total.sentencesRead += summary.sentencesRead;
    total.grammarLearned += summary.grammarLearned;
    total.knowledgeLearned += summary.knowledgeLearned;
    if (summary.cancelled || stopRequested()) {
      stopped = true;
      break;
    }
  }
  if (files.size() > 1) printSummary(out, "total", total);

  const Status saved = brain->saveMind();
  if (!saved.isOk()) {
    complain(err, "cannot save " + mindFile + ": " + saved.message() + "; what was taught is lost");
    return 1;
  }
  out << "Mind saved: " << mindFile << "\n";
  if (stopped) {
    complain(err, "teaching was stopped; what was learned until then is saved in " + mindFile);
    return 1;
  }
  return 0;
}

}  // namespace vesko::app
