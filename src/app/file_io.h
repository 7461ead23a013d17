// Small file helpers of the shell: whole-file writes that a reader polling the
// file never sees half done, and whole-file reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesko::app {

// Writes `content` to a new file beside `path`, syncs it and renames it over
// `path` (a link standing there is replaced, never followed). False (and no
// temporary file left) on any failure.
bool writeFileAtomically(const std::string& path, std::string_view content);
// Writes `content` only when nothing stands at `path` yet (not even a link);
// false on failure or when the name is taken.
bool writeNewFile(const std::string& path, std::string_view content);
// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace vesko::app
