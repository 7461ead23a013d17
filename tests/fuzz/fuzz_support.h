// Shared pieces of the fuzz targets: a scratch folder per process (under
// $TMPDIR, removed at exit), whole-file writes, a Brain with a fixed clock and
// seed so that every input replays the same way, and a loud failure for a
// broken invariant.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/brain.h"
#include "engine/clock.h"
#include "engine/random_source.h"

namespace vesko::fuzz {

namespace fs = std::filesystem;

// A folder of this process's own; nothing a fuzz run writes lands elsewhere.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* purpose) {
    std::string pattern = (fs::temp_directory_path() / (std::string("vesko-fuzz-") + purpose + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
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
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Removes everything in the folder, keeping the folder.
  void clear() const {
    std::error_code error;
    for (fs::directory_iterator it(path_, error), end; !error && it != end; it.increment(error)) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }

 private:
  fs::path path_;
};

inline void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::abort();
  }
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A Brain whose answers depend on nothing but its input.
inline std::unique_ptr<Brain> replayableBrain(const std::string& folder, bool headless = false,
                                              const std::string& userName = std::string()) {
  LocalTime noon;
  noon.year = 2024;
  noon.month = 5;
  noon.day = 14;
  noon.weekday = 5;
  noon.hour = 12;
  BrainEnvironment environment{std::make_shared<FixedClock>(noon, 1718366400), std::make_unique<SeededRandom>(1)};
  return std::make_unique<Brain>(Str(folder), headless, Str(userName), std::move(environment));
}

// Ends the run as a crash, so libFuzzer keeps the input that broke `what`.
[[noreturn]] inline void broken(const std::string& what) {
  std::fprintf(stderr, "INVARIANT BROKEN: %s\n", what.c_str());
  std::abort();
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace vesko::fuzz
