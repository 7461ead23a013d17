// Fuzz target: an arbitrary file loaded as a mind. Loading must end in a mind
// in use or a clear refusal, never a crash; a refused or too-new mind file
// stays byte for byte as it was, and a too-new one leaves no bank behind; a
// mind that loaded and saved loads again.
#include "app/file_io.h"
#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchFolder scratch("mind-load");  // a fresh folder: no bank of an earlier input in it
  const std::string mindPath = scratch.folder() + "fuzz.mnd";
  const std::string_view bytes = fuzz::asText(data, size);
  fuzz::writeFile(mindPath, bytes);

  auto brain = fuzz::replayableBrain(scratch.folder());
  const LoadResult loaded = brain->loadMind(Str(mindPath));
  if (!loaded.loaded()) {
    fuzz::require(app::readWholeFile(mindPath) == bytes, "a refused mind file was changed");
    for (const auto& entry : fuzz::fs::directory_iterator(scratch.folder()))
      fuzz::require(loaded.code != LoadResult::kTooNew || entry.path().extension() != ".mbk",
                    "a too-new mind left " + entry.path().string());
    return 0;
  }
  const Status saved = brain->saveMind();
  fuzz::require(saved.isOk(), "a loaded mind did not save: " + saved.message());
  brain.reset();
  const LoadResult reloaded = fuzz::replayableBrain(scratch.folder())->loadMind(Str(mindPath));
  fuzz::require(reloaded.loaded(), "a mind saved by this version does not load again: " + reloaded.status.message());
  return 0;
}
