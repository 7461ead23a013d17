// Shared pieces of the fuzz targets: scratch folders (under $TMPDIR, removed
// at the end), whole-file writes, a Brain with a fixed
// clock and seed so that every input replays the same way, and a loud
// failure for a broken invariant.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "engine/brain.h"  // with the clocks and random sources of BrainEnvironment

namespace vesko::fuzz {

namespace fs = std::filesystem;

// Ends the run as a crash unless `invariant` holds, so that libFuzzer keeps
// the input that broke it.
inline void require(bool invariant, const std::string& what) {
  if (invariant) return;
  std::fprintf(stderr, "INVARIANT BROKEN: %s\n", what.c_str());
  std::abort();
}

// A folder of this process's own; nothing a fuzz run writes lands elsewhere.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* purpose) {
    std::string pattern = (fs::temp_directory_path() / (std::string("vesko-fuzz-") + purpose + "-XXXXXX")).string();
    require(::mkdtemp(pattern.data()) != nullptr, "cannot make a scratch folder " + pattern);
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with its trailing "/", as the engine takes folders.
  std::string folder() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

inline void writeFile(const std::string& path, std::string_view bytes) {
  require(!!std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size())),
          "cannot write " + path);
}

// A Brain whose answers depend on nothing but its input.
inline std::unique_ptr<Brain> replayableBrain(const std::string& folder) {
  const LocalTime noon{.year = 2024, .month = 5, .day = 14, .weekday = 5, .hour = 12};
  return std::make_unique<Brain>(Str(folder), false, Str(),
                                 BrainEnvironment{std::make_shared<FixedClock>(noon, 1718366400),
                                                  std::make_unique<SeededRandom>(1)});
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace vesko::fuzz
