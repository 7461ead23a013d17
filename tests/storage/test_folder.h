// TestFolder: a fresh, empty folder per test under the system's temporary
// folder, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/brain.h"
#include "text/str.h"

namespace vesko {

class TestFolder {
 public:
  TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string stem = std::string("vesko-storage-") + info->test_suite_name() + "-" + info->name();
    std::replace(stem.begin(), stem.end(), '/', '_');  // parameterised tests have "/" in their names
    for (int i = 0;; ++i) {
      root_ = std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(i));
      if (std::filesystem::create_directories(root_)) break;
    }
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder with a trailing "/", as the engine takes folders.
  Str path() const { return Str(root_.string() + "/"); }
  Str path(const std::string& name) const { return Str((root_ / name).string()); }

  void write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  bool has(const std::string& name) const { return std::filesystem::exists(root_ / name); }
  // Names of the files whose names end in `suffix`, sorted.
  std::vector<std::string> files(const std::string& suffix) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(suffix)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path root_;
};

// A mind file's text with the given members in order.
inline std::string mindText(std::initializer_list<std::pair<std::string, std::string>> members) {
  std::string text;
  for (const auto& [name, lines] : members) text += "[{[" + name + "]}]\n" + lines;
  return text;
}

// A Brain working in `folder` with a fixed clock and seed.
inline std::unique_ptr<Brain> newBrain(const TestFolder& folder) {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}), std::make_unique<SeededRandom>(7)};
  return std::make_unique<Brain>(folder.path(), false, Str(), std::move(environment));
}

}  // namespace vesko
