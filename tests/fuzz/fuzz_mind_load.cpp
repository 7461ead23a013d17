// Fuzz target: an arbitrary file loaded as a mind. Loading must end in a mind
// in use or a clear refusal, never a crash; a refused or too-new mind file
// stays byte for byte as it was; a mind that loaded and saved loads again.
#include <cstdint>
#include <string>

#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder scratch("mind-load");
  scratch.clear();
  const std::string mindPath = scratch.file("fuzz.mnd");
  const std::string_view bytes = fuzz::asText(data, size);
  fuzz::writeFile(mindPath, bytes);

  auto brain = fuzz::replayableBrain(scratch.folder());
  const LoadResult loaded = brain->loadMind(Str(mindPath));
  if (!loaded.loaded()) {
    if (fuzz::readFile(mindPath) != bytes) fuzz::broken("a refused mind file was changed");
    if (loaded.code == LoadResult::kTooNew && !fuzz::fs::is_empty(scratch.folder())) {
      for (const auto& entry : fuzz::fs::directory_iterator(scratch.folder()))
        if (entry.path().extension() == ".mbk") fuzz::broken("a too-new mind left " + entry.path().string());
    }
    return 0;
  }
  const Status saved = brain->saveMind();
  if (!saved.isOk()) fuzz::broken("a loaded mind did not save: " + saved.message());
  brain.reset();

  auto again = fuzz::replayableBrain(scratch.folder());
  const LoadResult reloaded = again->loadMind(Str(mindPath));
  if (!reloaded.loaded())
    fuzz::broken("a mind saved by this version does not load again: " + reloaded.status.message());
  return 0;
}
