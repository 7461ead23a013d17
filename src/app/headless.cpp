#include "app/headless.h"

#include "app/session.h"

#include <cstdio>
#include <exception>
#include <ostream>

#include "app/file_io.h"
#include "app/message_file.h"
#include "app/session.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace {

// Fails the run after the message was taken: the caller finds its two lines
// again, as if the program had never started.
int putBack(const std::string& messagePath, const ChatMessage& message, const std::string& why, std::ostream& err) {
  complain(err, why);
  if (!writeFileAtomically(messagePath, formatChatMessage(message)))
    complain(err, "cannot put the message back into " + messagePath);
  return 1;
}

int answer(const std::string& folder, const std::string& messagePath, const ChatMessage& message,
           const GlobalOptions& options, std::ostream& err) {
  std::string mindFile;
  if (options.mind) {
    mindFile = absolutePath(*options.mind);
  } else {
    // Only line 2 matters here; settings of the chat window are not checked.
    const std::string named = readConfigFile(folder + kConfigFileName).config.defaultMindFile;
    // An empty name would load nothing and save the banks nowhere.
    if (named.empty())
      return putBack(messagePath, message, "no mind file is named in " + folder + kConfigFileName, err);
    mindFile = inFolder(folder, named);
  }
  auto brain = makeBrain(folder, true, message.userName, options);
  const LoadResult loaded = brain->loadMind(Str(mindFile));
  // A refused mind is never answered with nor saved over.
  if (!loaded.loaded()) return putBack(messagePath, message, mindFile + ": " + loadFailure(loaded), err);
  if (!loaded.rescuedBanks.empty()) err << "vesko: " << loadNote(loaded) << '\n';
  const Str reply = brain->respond(Str(flattenLine(message.message)));
  const Status saved = brain->saveMind();
  if (!saved.isOk()) return putBack(messagePath, message, "cannot save " + mindFile + ": " + saved.message(), err);
  if (!writeFileAtomically(messagePath, flattenLine(reply.std()) + "\n"))
    return putBack(messagePath, message, "cannot write the answer into " + messagePath, err);
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
  if (std::remove(messagePath.c_str()) != 0) {
    complain(err, "cannot remove " + messagePath + "; the message stays unanswered");
    return 1;
  }
  try {
    return answer(choice.folder, messagePath, message, options, err);
  } catch (const std::exception& failure) {
    return putBack(messagePath, message, std::string("failed: ") + failure.what(), err);
  }
}

}  // namespace vesko::app
