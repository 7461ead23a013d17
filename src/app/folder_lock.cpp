#include "app/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace vesko::app {

FolderLock::FolderLock(const std::string& folder, std::chrono::milliseconds patience)
    : FolderLock(folder + kLockFileName, patience, "another Vesko is using " + folder + "; close it first") {}

std::unique_ptr<FolderLock> FolderLock::forMind(const std::string& mindFile, std::chrono::milliseconds patience) {
  return std::unique_ptr<FolderLock>(
      new FolderLock(mindFile + ".lock", patience, "another Vesko is using the mind " + mindFile + "; close it first"));
}

FolderLock::FolderLock(const std::string& path, std::chrono::milliseconds patience, const std::string& busy) {
  // The lock file is never removed: removing it would let a waiting process
  // lock a file that a newcomer no longer sees. A link planted under its
  // name is not followed, so locking creates nothing elsewhere.
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error_ = "cannot open the lock file " + path + ": " + std::strerror(errno);
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error_ = "cannot lock " + path + ": " + std::strerror(errno);
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error_ = busy;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace vesko::app
