// Fuzz target: a chat of arbitrary byte lines (split at "\n") with the
// distributed mind, begun as the window begins it ("START_VESKO", then the
// name dialogue). With FUZZ_INVARIANTS=1 every answer is also checked: one
// line, lower case apart from an appended emoticon, never the no-answer
// marker. In that mode the lines are first flattened as the shell flattens
// typed text (carriage returns become spaces); without it they go in raw.
#include <algorithm>
#include <sstream>

#include "app/distribution.h"
#include "app/message_file.h"
#include "fuzz_support.h"

using namespace vesko;

namespace {

// The distributed mind laid out once per process and unpacked into its
// folder. Each input then loads the unpacked banks through a mind name that
// does not exist, so nothing is unpacked or saved again.
const std::string& mindFolder() {
  static const fuzz::ScratchFolder scratch("respond");
  static const std::string folder = [] {
    const app::LayoutResult layout = app::layOutWorkingFolder(scratch.folder(), embeddedDistribution());
    fuzz::require(layout.status.isOk(), "cannot lay out the distribution: " + layout.status.message());
    const LoadResult loaded =
        fuzz::replayableBrain(scratch.folder())->loadMind(Str(scratch.folder() + app::kDefaultMindName));
    fuzz::require(loaded.loaded(), "the distributed mind does not load: " + loaded.status.message());
    return scratch.folder();
  }();
  return folder;
}

// `echoes` is true once the user has typed the marker's word: an answer may
// then repeat it (a user may call themselves "%NORESPONSE%"), but never be it.
void check(Brain& brain, const std::string& line, const std::string& answer, bool echoes) {
  const std::string context = " (line \"" + line + "\", answer \"" + answer + "\")";
  fuzz::require(answer.find_first_of("\r\n") == std::string::npos, "the answer spans lines" + context);
  fuzz::require(echoes ? !answer.starts_with("%noresponse%") : answer.find("%noresponse%") == std::string::npos,
                "the no-answer marker was said" + context);
  // Upper case only inside an emoticon appended as " " + entry.
  std::size_t plain = answer.size();
  for (const Str& emoticon : brain.emoticons())
    if (answer.ends_with(" " + emoticon.std())) plain = std::min(plain, answer.size() - emoticon.std().size() - 1);
  const Str before(answer.substr(0, plain));
  fuzz::require(before.lower().std() == before.std(), "the answer is not lower case" + context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const invariants = std::getenv("FUZZ_INVARIANTS");
  static const bool checking = invariants != nullptr && std::string_view(invariants) == "1";
  auto brain = fuzz::replayableBrain(mindFolder());
  const LoadResult loaded = brain->loadMind(Str(mindFolder() + "unpacked.mnd"));
  fuzz::require(loaded.loaded(), "the unpacked banks do not load: " + loaded.status.message());
  brain->setTracing(size % 2 == 1);  // half the chats go through the tracing paths too
  std::istringstream lines("START_VESKO\n" + std::string(fuzz::asText(data, size)));
  bool echoes = false;
  for (std::string line; std::getline(lines, line);) {
    if (checking) line = app::flattenLine(std::move(line));
    echoes = echoes || Str(line).lower().std().find("noresponse") != std::string::npos;
    const Str answer = brain->respond(Str(line));
    if (brain->tracing())
      fuzz::require(describeTrace(brain->lastAnswerTrace()).find('\n') == std::string::npos, "a trace spans lines");
    if (checking) check(*brain, line, answer.std(), echoes);
  }
  return 0;
}
