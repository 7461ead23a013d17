#include "app/distribution.h"

#include <filesystem>
#include <system_error>

#include "app/config_file.h"
#include "app/file_io.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace fs = std::filesystem;

namespace {

// Only plain file names are laid out; anything else would land outside the
// working folder.
bool isPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// Anything at all standing at the path, a link that leads nowhere included:
// laying out never writes where something stands.
bool stands(const std::string& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

bool hasDefaultBanks(const std::string& folder) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".x" && it->is_regular_file(error)) return true;
  return false;
}

}  // namespace

LayoutResult layOutWorkingFolder(const std::string& folder, std::span<const EmbeddedFile> files) {
  LayoutResult result;
  for (const EmbeddedFile& file : files) {
    if (file.name == nullptr || !isPlainName(file.name)) continue;
    const std::string path = folder + file.name;
    if (stands(path)) continue;
    if (!writeNewFile(path, file.content)) {
      result.status = Status::ioError(Str("cannot write " + path));
      return result;
    }
    result.written.emplace_back(file.name);
  }
  const std::string mind = folder + kDefaultMindName;
  // Without any default bank a new mind would be empty; leave it to the user.
  if (!stands(mind) && hasDefaultBanks(folder)) {
    Brain maker(Str(folder), false, Str());
    result.status = maker.createMindStep(6, Str(mind));
    if (!result.status.isOk()) return result;
    result.written.emplace_back(kDefaultMindName);
  }
  const std::string config = folder + kConfigFileName;
  if (!stands(config)) {
    Config firstRun;
    firstRun.firstRun = 1;
    firstRun.defaultMindFile = kDefaultMindName;
    firstRun.userColour = kDefaultUserColour;
    firstRun.botColour = kDefaultBotColour;
    if (!writeNewFile(config, formatConfig(firstRun))) {
      result.status = Status::ioError(Str("cannot write " + config));
      return result;
    }
    result.written.emplace_back(kConfigFileName);
  }
  return result;
}

}  // namespace vesko::app
