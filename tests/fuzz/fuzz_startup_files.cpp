// Fuzz target: the shell's readers of config.dat and chat.msg, and the pipe
// mode's line input, on arbitrary bytes, from memory and from a file. A reading never crashes, colours stay
// in range, and what the program writes back reads as what it read.
#include "app/config_file.h"
#include <fcntl.h>
#include <unistd.h>

#include "app/file_io.h"
#include "app/line_input.h"
#include "app/message_file.h"
#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder scratch("startup");
  const std::string text(fuzz::asText(data, size));
  const std::string path = scratch.folder() + "input";
  fuzz::writeFile(path, text);

  const app::ConfigReading config = app::parseConfig(text);
  const app::Config& read = config.config;
  const auto inRange = [](int colour) { return colour >= 0 && colour < app::kColourCount; };
  fuzz::require(read.firstRun == 1 || (inRange(read.userColour) && inRange(read.botColour)),
                "a colour out of range was accepted");
  const app::ConfigReading fromFile = app::readConfigFile(path);
  fuzz::require(fromFile.config.defaultMindFile == read.defaultMindFile && fromFile.warnings == config.warnings,
                "config.dat reads differently from a file");
  // An empty mind name cannot come back: the reader skips blank lines, so the
  // next line would take its place; the program never writes one.
  const app::Config again = app::parseConfig(app::formatConfig(read)).config;
  fuzz::require(read.defaultMindFile.empty() ||
                    (again.firstRun == read.firstRun && again.defaultMindFile == read.defaultMindFile &&
                     (read.firstRun == 1 || (again.userColour == read.userColour && again.botColour == read.botColour))),
                "config.dat written and read back differs");

  // A failed run puts the message back into chat.msg; the next run must find it again.
  const app::ChatMessage message = app::parseChatMessage(text);
  const app::ChatMessage putBack = app::parseChatMessage(app::formatChatMessage(message));
  fuzz::require(putBack.userName == message.userName && putBack.message == message.message,
                "a message put back into chat.msg reads differently");
  fuzz::require(app::readWholeFile(path) == text, "chat.msg read from a file differs");
  const std::string flat = app::flattenLine(text);
  fuzz::require(flat.size() == text.size() && flat.find_first_of("\r\n") == std::string::npos,
                "flattenLine left a line break or changed the length");

  // The pipe's input gives the lines between line ends, and a last line
  // without one, exactly.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  fuzz::require(fd >= 0, "cannot open the input again");
  {
    auto input = app::descriptorInput(fd);
    std::string joined;
    std::string line;
    while (input->next(line, std::string())) joined += line + '\n';
    const bool ended = text.empty() || text.back() == '\n';
    fuzz::require(joined == (ended ? text : text + '\n'), "the line input lost or changed bytes");
  }
  ::close(fd);
  return 0;
}
