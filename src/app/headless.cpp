#include "app/headless.h"

#include <cstdio>
#include <exception>
#include <ostream>

#include "app/distribution.h"
#include "app/file_io.h"
#include "app/message_file.h"
#include "app/session.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace {

// Fails the run: chat.msg still holds the caller's two lines (it is replaced
// only by the answer), so the caller finds them as if the program had never
// started.
int refuse(const std::string& why, std::ostream& err) {
  complain(err, why);
  return 1;
}

int answer(const std::string& folder, const std::string& messagePath, const ChatMessage& message,
           const GlobalOptions& options, std::ostream& err) {
  // A start that will refuse does so before anything is laid out.
  const std::string refusal = refusalBeforeLayout(folder, options);
  if (!refusal.empty()) return refuse(refusal, err);
  // An empty folder gets the distribution and its default mind, as every
  // other mode gives it.
  const LayoutResult layout = layOutWorkingFolder(folder, embeddedDistribution());
  if (!layout.status.isOk()) return refuse("cannot set up " + folder + ": " + layout.status.message(), err);
  std::string mindFile;
  if (options.mind) {
    mindFile = absolutePath(*options.mind);
  } else {
    // Only line 2 matters here; settings of the chat window are not checked.
    const std::string named = readConfigFile(folder + kConfigFileName).config.defaultMindFile;
    // An empty name would load nothing and save the banks nowhere.
    if (named.empty()) return refuse("no mind file is named in " + folder + kConfigFileName, err);
    mindFile = inFolder(folder, named);
  }
  // A mind that does not exist is never made here: config.dat may come from
  // whoever prepared the folder and name any file at all.
  if (!exists(mindFile))
    return refuse("cannot open the mind file " + mindFile +
                      "; headless mode never makes a mind; make one with 'vesko new-mind FILE'",
                  err);
  const auto mindLock = lockMind(mindFile, kHeadlessLockPatience, err);
  if (!mindLock) return 1;
  auto brain = makeBrain(folder, true, message.userName, options);
  const LoadResult loaded = brain->loadMind(Str(mindFile));
  // A refused mind is never answered with nor saved over.
  if (!loaded.loaded()) return refuse(mindFile + ": " + loadFailure(loaded), err);
  if (!loaded.rescuedBanks.empty()) err << "vesko: " << loadNote(loaded) << '\n';
  const Str reply = brain->respond(Str(flattenLine(message.message)));
  const Status saved = brain->saveMind();
  if (!saved.isOk()) return refuse("cannot save " + mindFile + ": " + saved.message(), err);
  // The answer replaces the message in one step: a caller polling chat.msg
  // sees the two lines or the answer, and a run killed before this point
  // leaves the message for the next run.
  if (!writeFileAtomically(messagePath, flattenLine(reply.std()) + "\n"))
    return refuse("cannot write the answer into " + messagePath, err);
  return 0;
}

}  // namespace

int runHeadless(const GlobalOptions& options, std::ostream& err) {
  const std::string here = currentDirectory();
  const std::string messagePath = here + kMessageFileName;
  const FolderChoice choice = chooseWorkingFolder(options.home, FolderUse::kHeadless, here, processEnvironment);
  if (!choice.ok()) {
    complain(err, choice.error);
    return 1;
  }
  // The lock comes before chat.msg is read, so two quick starts answer two
  // messages one after the other instead of racing for the banks.
  FolderLock lock(choice.folder, kHeadlessLockPatience);
  if (!lock.held()) {
    complain(err, lock.error());
    return 1;
  }
  const auto text = readWholeFile(messagePath);
  if (!text) {
    complain(err, "there is no " + messagePath + " to answer");
    return 1;
  }
  const ChatMessage message = parseChatMessage(*text);
  try {
    return answer(choice.folder, messagePath, message, options, err);
  } catch (const std::exception& failure) {
    return refuse(std::string("failed: ") + failure.what(), err);
  }
}

}  // namespace vesko::app
