// Small file helpers of the shell: whole-file writes that a reader polling the
// file never sees half done, and whole-file reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesko::app {

// Writes `content` to a temporary file beside `path`, flushes it and renames
// it over `path`. False (and no temporary file left) on any failure.
bool writeFileAtomically(const std::string& path, std::string_view content);
// Writes `content` only when nothing stands at `path` yet; false on failure
// or when the file exists.
bool writeNewFile(const std::string& path, std::string_view content);
// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace vesko::app
