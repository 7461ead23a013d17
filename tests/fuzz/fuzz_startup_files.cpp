// Fuzz target: the shell's readers of config.dat and chat.msg on arbitrary
// bytes, from memory and from a file. A reading never crashes, colours stay
// in range, and a message put back into chat.msg reads as the same message.
#include <cstdint>
#include <string>

#include "app/config_file.h"
#include "app/file_io.h"
#include "app/message_file.h"
#include "fuzz_support.h"

using namespace vesko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder scratch("startup");
  const std::string text(fuzz::asText(data, size));
  const std::string path = scratch.file("input");
  fuzz::writeFile(path, text);

  const app::ConfigReading config = app::parseConfig(text);
  const app::Config& read = config.config;
  if (read.firstRun != 1 && (read.userColour < 0 || read.userColour >= app::kColourCount ||
                             read.botColour < 0 || read.botColour >= app::kColourCount))
    fuzz::broken("a colour out of range was accepted");
  const app::ConfigReading fromFile = app::readConfigFile(path);
  if (fromFile.config.defaultMindFile != read.defaultMindFile || fromFile.warnings != config.warnings)
    fuzz::broken("config.dat reads differently from a file");
  // What the program writes, it reads back the same. (An empty mind name
  // cannot come back: the reader skips blank lines, so the next line would
  // take its place; the program never writes one.)
  const app::ConfigReading again = app::parseConfig(app::formatConfig(read));
  if (!read.defaultMindFile.empty() &&
      (again.config.firstRun != read.firstRun || again.config.defaultMindFile != read.defaultMindFile ||
       (read.firstRun != 1 && (again.config.userColour != read.userColour || again.config.botColour != read.botColour))))
    fuzz::broken("config.dat written and read back differs");

  const app::ChatMessage message = app::parseChatMessage(text);
  const auto whole = app::readWholeFile(path);
  if (!whole || *whole != text) fuzz::broken("chat.msg read from a file differs");
  // A failed run puts the two lines back; the next run must find them again.
  const app::ChatMessage putBack = app::parseChatMessage(app::formatChatMessage(message));
  if (putBack.userName != message.userName || putBack.message != message.message)
    fuzz::broken("a message put back into chat.msg reads differently");

  const std::string flat = app::flattenLine(text);
  if (flat.size() != text.size() || flat.find_first_of("\r\n") != std::string::npos)
    fuzz::broken("flattenLine left a line break or changed the length");
  return 0;
}
