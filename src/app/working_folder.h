// Where a vesko process keeps its minds, banks and config.dat: the folder
// named by --home, else the current directory when it holds config.dat, else
// $XDG_DATA_HOME/vesko. Headless message mode keeps the current directory.
#pragma once

#include <optional>
#include <string>

namespace vesko::app {

enum class FolderUse {
  kHeadless,     // chat.msg is answered: the current directory unless --home
  kInteractive,  // terminal chat, pipe mode and the tools
};

// Folder paths here always end with "/".
struct FolderChoice {
  std::string folder;
  std::string error;  // what went wrong and what to do, empty on success
  bool ok() const { return error.empty(); }
};

// Decides the working folder and creates it when it does not exist yet.
// `environment` reads a variable (getenv in the program, a map in tests).
FolderChoice chooseWorkingFolder(const std::optional<std::string>& home, FolderUse use,
                                 const std::string& currentDirectory,
                                 std::optional<std::string> (*environment)(const char*));

// The variable from the process environment, or nothing when unset.
std::optional<std::string> processEnvironment(const char* name);
// The current directory, ending with "/".
std::string currentDirectory();

// `folder` (ending with "/") joined with `name`; an absolute name stays as it is.
std::string inFolder(const std::string& folder, const std::string& name);
// An absolute, lexically normal form of a path given on the command line.
std::string absolutePath(const std::string& path);
// True when a file (or anything) stands at the path.
bool exists(const std::string& path);

}  // namespace vesko::app
