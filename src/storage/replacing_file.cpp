#include "storage/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <streambuf>
#include <system_error>
#include <vector>

namespace vesko {

namespace {

// Names are unique by process id and a running number; a name that is taken
// (a file or a link planted there) is skipped, never opened.
std::atomic<unsigned long> nextNumber{0};
constexpr int kNameAttempts = 100;

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const char* data, std::size_t size, int& error) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

// A stream buffer that writes to the temporary file's descriptor.
class ReplacingFile::Buffer : public std::streambuf {
 public:
  Buffer(int fd, int& error) : fd_(fd), error_(error), space_(64 * 1024) { setp(space_.data(), space_.data() + space_.size()); }

  bool drain() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    setp(space_.data(), space_.data() + space_.size());
    if (error_ != 0) return false;
    return writeAll(fd_, space_.data(), size, error_);
  }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    if (size >= static_cast<std::streamsize>(space_.size())) {
      if (!drain() || !writeAll(fd_, data, static_cast<std::size_t>(size), error_)) return 0;
      return size;
    }
    return std::streambuf::xsputn(data, size);
  }

 private:
  int fd_;
  int& error_;
  std::vector<char> space_;
};

ReplacingFile::ReplacingFile(const Str& target) : target_(target) {
  // A file that replaces another keeps its permissions.
  mode_t mode = 0666;
  struct stat existing {};
  if (::stat(target.std().c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) mode = existing.st_mode & 07777;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary_ = target.std() + "." + std::to_string(::getpid()) + "-" + std::to_string(nextNumber++) + ".tmp";
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) {
    error_ = errno;
    temporary_.clear();
  } else if (mode != 0666) {
    ::fchmod(fd_, mode);
  }
  buffer_ = std::make_unique<Buffer>(fd_, error_);
  stream_ = std::make_unique<std::ostream>(buffer_.get());
  if (fd_ < 0) stream_->setstate(std::ios::badbit);
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::isOpen() const { return fd_ >= 0; }

std::ostream& ReplacingFile::out() { return *stream_; }

std::string ReplacingFile::reason() const {
  return error_ != 0 ? std::generic_category().message(error_) : std::string("the system gave no reason");
}

void ReplacingFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

Status ReplacingFile::finishWriting(bool sync) {
  auto failed = [&] {
    discard();
    return Status::ioError(Str("cannot write ") + target_ + ": " + Str(reason()));
  };
  if (fd_ < 0) return failed();
  stream_->flush();
  if (!buffer_->drain() || !stream_->good()) return failed();
  if (sync && ::fsync(fd_) != 0) {
    error_ = errno;
    return failed();
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    error_ = errno;
    return failed();
  }
  return Status::ok();
}

Status ReplacingFile::commit(Durability durability) {
  const bool sync = durability == Durability::kSynced;
  Status status = finishWriting(sync);
  if (!status.isOk()) return status;
  if (::rename(temporary_.c_str(), target_.std().c_str()) != 0) {
    error_ = errno;
    discard();
    return Status::ioError(Str("cannot write ") + target_ + ": " + Str(reason()));
  }
  temporary_.clear();
  if (sync) {
    // The rename is the replacement; syncing the folder makes it last, so
    // nothing that relies on the new file (deleting what it replaces) can
    // outlive it in a power cut.
    const int folder = ::open(folderOf(target_.std()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }
  return Status::ok();
}

Status ReplacingFile::commitIfAbsent(bool& taken) {
  taken = false;
  Status status = finishWriting(false);
  if (!status.isOk()) return status;
  // link() refuses any name that stands, a dangling link included.
  if (::link(temporary_.c_str(), target_.std().c_str()) != 0) {
    error_ = errno;
    taken = error_ == EEXIST;
    discard();
    return Status::ioError(Str("cannot write ") + target_ + ": " + Str(reason()));
  }
  discard();
  return Status::ok();
}

std::vector<std::string> ReplacingFile::leftoversIn(const Str& folder) {
  // "<target>.<digits>-<digits>.tmp"
  const auto isLeftover = [](const std::string& name) {
    if (!name.ends_with(".tmp")) return false;
    const std::size_t numbers = name.rfind('.', name.size() - 5);
    if (numbers == std::string::npos || numbers == 0) return false;
    const std::string middle = name.substr(numbers + 1, name.size() - 5 - numbers);
    const std::size_t dash = middle.find('-');
    return dash != std::string::npos && dash > 0 && dash + 1 < middle.size() &&
           middle.find_first_not_of("0123456789-") == std::string::npos && middle.find('-', dash + 1) == std::string::npos;
  };
  std::vector<std::string> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(std::filesystem::path(folder.std()), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeError;
    const std::string name = it->path().filename().string();
    if (isLeftover(name) && it->is_regular_file(typeError)) found.push_back(name);
  }
  return found;
}

void ReplacingFile::removeLeftover(const Str& folder, const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(std::filesystem::path(folder.std()) / name, ignored);
}

}  // namespace vesko
