// Fuzz target: a chat of arbitrary byte lines (split at "\n") with the
// distributed mind, begun as the window begins it ("START_VESKO", then the
// name dialogue). With FUZZ_INVARIANTS=1 every answer is also checked: one
// line, lower case apart from an appended emoticon, never the no-answer
// marker. In that mode the lines are first flattened as the shell flattens
// typed text (carriage returns become spaces); without it they go in raw.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
    if (!layout.status.isOk()) fuzz::broken("cannot lay out the distribution: " + layout.status.message());
    auto unpacker = fuzz::replayableBrain(scratch.folder());
    const LoadResult loaded = unpacker->loadMind(Str(scratch.file(app::kDefaultMindName)));
    if (!loaded.loaded()) fuzz::broken("the distributed mind does not load: " + loaded.status.message());
    return scratch.folder();
  }();
  return folder;
}

bool invariantsWanted() {
  static const bool wanted = [] {
    const char* value = std::getenv("FUZZ_INVARIANTS");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return wanted;
}

bool hasUpper(std::string_view text) {
  for (const char c : text)
    if (c >= 'A' && c <= 'Z') return true;
  return false;
}

bool mentionsMarker(std::string_view line) {
  std::string lower(line);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower.find("noresponse") != std::string::npos;
}

// `echoes` is true once the user has typed the marker's word: an answer may
// then repeat it (a user may call themselves "%NORESPONSE%"), but never be it.
void check(Brain& brain, const std::string& line, const Str& answer, bool echoes) {
  const std::string& text = answer.std();
  const std::string context = " (line \"" + line + "\", answer \"" + text + "\")";
  if (text.find_first_of("\r\n") != std::string::npos) fuzz::broken("the answer spans lines" + context);
  if (echoes ? text.starts_with("%noresponse%") : text.find("%noresponse%") != std::string::npos)
    fuzz::broken("the no-answer marker was said" + context);
  if (!hasUpper(text)) return;
  // Upper case only inside an emoticon appended as " " + entry.
  for (const Str& emoticon : brain.emoticons()) {
    const std::string suffix = " " + emoticon.std();
    if (text.size() >= suffix.size() && text.ends_with(suffix) &&
        !hasUpper(std::string_view(text).substr(0, text.size() - suffix.size())))
      return;
  }
  fuzz::broken("the answer is not lower case" + context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = mindFolder();
  const bool checking = invariantsWanted();
  auto brain = fuzz::replayableBrain(folder);
  const LoadResult loaded = brain->loadMind(Str(folder + "unpacked.mnd"));
  if (!loaded.loaded()) fuzz::broken("the unpacked banks do not load: " + loaded.status.message());

  const Str greeting = brain->respond(Str("START_VESKO"));
  if (checking) check(*brain, "START_VESKO", greeting, false);
  bool echoes = false;
  std::string_view lines = fuzz::asText(data, size);
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    std::string line(lines.substr(0, end));
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
    if (checking) line = app::flattenLine(std::move(line));
    echoes = echoes || mentionsMarker(line);
    const Str answer = brain->respond(Str(line));
    if (checking) check(*brain, line, answer, echoes);
  }
  return 0;
}
