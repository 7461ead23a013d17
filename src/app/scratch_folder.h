#pragma once
// ScratchFolder: a folder of its own under the system's temporary folder,
// removed with everything in it when the object goes. Tools that take a mind
// apart without touching the working folder unpack into one.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace vesko::app {

class ScratchFolder {
 public:
  // `prefix` names the folder ("vesko-" gives /tmp/vesko-XXXXXX); path() is
  // empty when no folder could be made.
  explicit ScratchFolder(const std::string& prefix = "vesko-") {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / (prefix + "XXXXXX")).string();
    if (!error && ::mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vesko::app
