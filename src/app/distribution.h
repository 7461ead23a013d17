// The distributed mind built into the program (default banks, manual), and
// laying it out in a working folder that lacks it, so that vesko works in an
// empty folder. Nothing that already stands in the folder is overwritten.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/brain.h"

namespace vesko {

struct EmbeddedFile {
  const char* name;
  std::string_view content;
};

// The files the build embedded (generated from data/ and docs/).
std::span<const EmbeddedFile> embeddedDistribution();

namespace app {

inline constexpr const char* kDefaultMindName = "vesko.mnd";

struct LayoutResult {
  std::vector<std::string> written;  // file names created in the folder
  Status status;
};

// Writes the missing files of `files` into `folder` (ending with "/"), makes
// "vesko.mnd" from the folder's default banks when no such mind exists and
// the folder has default banks, and a first-run config.dat when none exists.
LayoutResult layOutWorkingFolder(const std::string& folder, std::span<const EmbeddedFile> files);

}  // namespace app
}  // namespace vesko
