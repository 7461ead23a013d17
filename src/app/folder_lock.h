// FolderLock: one vesko process per working folder, and one per mind file.
// An advisory lock on "vesko.lock" in the folder (or on the mind's name
// followed by ".lock", beside the mind), held for the lifetime of the object
// and let go by the system when the process ends, however it ends.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace vesko::app {

inline constexpr const char* kLockFileName = "vesko.lock";

class FolderLock {
 public:
  // Tries to lock `folder` (ending with "/"), waiting up to `patience`.
  FolderLock(const std::string& folder, std::chrono::milliseconds patience);
  // Locks the mind file `mindFile` (its final path, links resolved).
  static std::unique_ptr<FolderLock> forMind(const std::string& mindFile, std::chrono::milliseconds patience);
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  bool held() const { return fd_ >= 0 && held_; }
  // Why the lock is not held, in words for the user.
  const std::string& error() const { return error_; }

 private:
  FolderLock(const std::string& lockPath, std::chrono::milliseconds patience, const std::string& busy);

  int fd_ = -1;
  bool held_ = false;
  std::string error_;
};

}  // namespace vesko::app
