// TestFolder: a fresh, empty folder per test under the system's temporary
// folder, removed with everything in it when the test ends; and small helpers
// to write minds, script random draws and build a Brain with a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/brain.h"

namespace vesko {

class TestFolder {
 public:
  TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string stem = std::string("vesko-") + info->test_suite_name() + "-" + info->name() + "-";
    std::replace(stem.begin(), stem.end(), '/', '_');
    for (int i = 0; !std::filesystem::create_directories(root_ = std::filesystem::temp_directory_path() / (stem + std::to_string(i)));) ++i;
  }
  ~TestFolder() { std::error_code ignored; std::filesystem::remove_all(root_, ignored); }

  // The folder with a trailing "/" (as the engine takes folders), or a file in it.
  Str path(const std::string& name = "") const { return Str((root_ / "").string() + name); }
  void write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool has(const std::string& name) const { return std::filesystem::exists(root_ / name); }
  // Sorted names of the files whose names end in `suffix`.
  std::vector<std::string> files(const std::string& suffix) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_))
      if (entry.path().filename().string().ends_with(suffix)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path root_;
};

// Draws what the test queued, then zeros.
struct ScriptedRandom final : RandomSource {
  std::deque<std::uint32_t> next;
  std::uint32_t draw() override {
    const std::uint32_t value = next.empty() ? 0 : next.front();
    if (!next.empty()) next.pop_front();
    return value;
  }
};

// A mind file's text with the given members in order.
inline std::string mindText(std::initializer_list<std::pair<std::string, std::string>> members) {
  std::string text;
  for (const auto& [name, lines] : members) text += "[{[" + name + "]}]\n" + lines;
  return text;
}

inline std::unique_ptr<Brain> newBrain(const TestFolder& folder, std::uint32_t seed = 7) {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}), std::make_unique<SeededRandom>(seed)};
  return std::make_unique<Brain>(folder.path(), false, Str(), std::move(environment));
}

}  // namespace vesko
