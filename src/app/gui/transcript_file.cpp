#include "app/gui/transcript_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "skills/date_time.h"

namespace vesko::gui {

std::string transcriptBlock(const LocalTime& now, const std::string& botNameUpper, const std::string& userNameUpper,
                            const std::string& plainLog) {
  const std::string rule = std::string(54, '#') + "\n";
  std::string block = rule;
  block += "### VESKO 4.1: Transcript of " + monthName(now).std() + " " + dayOfMonth(now).std() + ", " +
           yearText(now).std() + " at " + timeText(now).std() + "\n";
  block += "### Bot " + botNameUpper + " talking to " + userNameUpper + "\n";
  block += rule;
  block += plainLog;
  return block;
}

std::string saveTranscript(const std::string& path, const std::string& block) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == ELOOP) return "it is a symbolic link; choose the file itself";
    return std::strerror(errno);
  }
  struct stat state {};
  std::string text = ::fstat(fd, &state) == 0 && state.st_size > 0 ? "\n" + block : block;
  std::string_view rest(text);
  int error = 0;
  while (!rest.empty() && error == 0) {
    const ssize_t written = ::write(fd, rest.data(), rest.size());
    if (written < 0 && errno != EINTR) error = errno;
    if (written > 0) rest.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? std::string() : std::string(std::strerror(error));
}

}  // namespace vesko::gui
