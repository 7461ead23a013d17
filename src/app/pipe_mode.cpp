#include "app/pipe_mode.h"

#include <unistd.h>

#include <ostream>

#include "app/line_input.h"
#include "app/message_file.h"
#include "app/stop_signal.h"

namespace vesko::app {

int runPipe(const GlobalOptions& options, const PipeOptions& pipe, std::ostream& out, std::ostream& err) {
  installStopHandlers();
  const auto workspace = Workspace::open(options, err);
  if (!workspace) return 1;
  const std::string mindFile = workspace->mindToLoad(options);
  const bool headless = pipe.user.has_value();
  auto brain = openMind(workspace->folder(), mindFile, headless, pipe.user.value_or(std::string()), options, true, err);
  if (!brain) return 1;

  auto say = [&](const Str& answer) {
    out << flattenLine(answer.std()) << std::endl;
    printTrace(err, *brain);
  };
  if (!headless) say(brain->respond(Str("START_VESKO")));
  auto input = descriptorInput(STDIN_FILENO);
  std::string line;
  unsigned long long sinceSave = 0;
  while (out.good() && !stopRequested() && input->next(line, std::string())) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    say(brain->respond(Str(flattenLine(std::move(line)))));
    if (pipe.saveEvery != 0 && ++sinceSave >= pipe.saveEvery) {
      sinceSave = 0;
      const Status saved = brain->checkpoint();
      // The chat goes on; the final save tries again.
      if (!saved.isOk()) complain(err, "cannot save " + mindFile + ": " + saved.message());
    }
  }
  const Status saved = brain->saveMind();
  if (!saved.isOk()) {
    complain(err, "cannot save " + mindFile + ": " + saved.message());
    return 1;
  }
  return 0;
}

}  // namespace vesko::app
