#include "app/working_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vesko::app {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// $XDG_DATA_HOME/vesko, or ~/.local/share/vesko; a relative XDG_DATA_HOME is
// ignored, as the base directory convention asks.
std::optional<std::string> dataHome(std::optional<std::string> (*environment)(const char*)) {
  const auto xdg = environment("XDG_DATA_HOME");
  if (xdg && !xdg->empty() && (*xdg)[0] == '/') return withSlash(*xdg) + "vesko";
  const auto home = environment("HOME");
  if (home && !home->empty()) return withSlash(*home) + ".local/share/vesko";
  return std::nullopt;
}

}  // namespace

FolderChoice chooseWorkingFolder(const std::optional<std::string>& home, FolderUse use,
                                 const std::string& currentDirectory,
                                 std::optional<std::string> (*environment)(const char*)) {
  FolderChoice choice;
  const std::string here = withSlash(currentDirectory);
  std::string folder;
  if (home) {
    if (home->empty()) {
      choice.error = "--home needs a folder name";
      return choice;
    }
    folder = (*home)[0] == '/' ? *home : here + *home;
  } else if (use == FolderUse::kHeadless || exists(here + "config.dat")) {
    folder = here;
  } else {
    const auto data = dataHome(environment);
    if (!data) {
      choice.error = "cannot find a folder for Vesko's minds: HOME is not set; give one with --home DIR";
      return choice;
    }
    folder = *data;
  }
  folder = withSlash(fs::path(folder).lexically_normal().string());
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) {
    choice.error = "cannot use the folder " + folder + " (" +
                   (error ? error.message() : std::string("not a folder")) +
                   "); give another one with --home DIR";
    return choice;
  }
  choice.folder = folder;
  return choice;
}

std::optional<std::string> processEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string currentDirectory() {
  std::error_code error;
  const fs::path path = fs::current_path(error);
  return withSlash(error ? std::string(".") : path.string());
}

std::string inFolder(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return folder + name;
}

std::string absolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return (error ? fs::path(path) : absolute).lexically_normal().string();
}

bool exists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

}  // namespace vesko::app
