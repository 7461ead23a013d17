#include "app/terminal_chat.h"

#include <unistd.h>

#include <ostream>

#include "app/colours.h"
#include "app/line_input.h"
#include "app/message_file.h"
#include "app/stop_signal.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace {

// libedit measures the prompt; escape sequences between \001 and \002 take no
// room. It drops an escape that ends the prompt, so the label's trailing blank
// stands after the colour reset, or the typed text would come out coloured.
std::string promptLabel(const std::string& label, int colour, bool coloured) {
  if (!coloured) return label;
  std::string text = label;
  std::string tail;
  while (!text.empty() && text.back() == ' ') {
    text.pop_back();
    tail += ' ';
  }
  const std::string painted = colouredLabel(text, colour);
  const std::size_t textStart = painted.find('m') + 1;
  const std::size_t textEnd = painted.rfind('\033');
  // Built by appending: GCC 12 reports a false -Wrestrict on the chained "+" form at -O3.
  std::string prompt = "\001";
  prompt.append(painted, 0, textStart);
  prompt += '\002';
  prompt.append(painted, textStart, textEnd - textStart);
  prompt += '\001';
  prompt.append(painted, textEnd);
  prompt += '\002';
  prompt += tail;
  return prompt;
}

// A typed line as respond should see it: a line end's carriage return goes,
// any other line break becomes a space.
std::string cleanLine(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return flattenLine(std::move(line));
}

class ChatPrinter {
 public:
  ChatPrinter(std::ostream& out, const ChatConsole& console, const Config& config)
      : out_(out), console_(console), config_(config) {}

  void say(const Brain& brain, const Str& answer) {
    const std::string label = brain.botNameUpper().std() + "> ";
    out_ << (console_.colour ? colouredLabel(label, config_.botColour) : label) << flattenLine(answer.std())
         << std::endl;
  }
  std::string prompt(const Brain& brain) const {
    // A script feeding the chat through a pipe sees only the bot's lines.
    if (!console_.inputIsTerminal) return std::string();
    return promptLabel(brain.userNameUpper().std() + "> ", config_.userColour, console_.colour);
  }
  bool good() const { return out_.good(); }

 private:
  std::ostream& out_;
  const ChatConsole& console_;
  const Config& config_;
};

}  // namespace

ChatConsole detectConsole() {
  ChatConsole console;
  console.inputIsTerminal = ::isatty(STDIN_FILENO) == 1;
  const auto noColour = processEnvironment("NO_COLOR");
  console.colour = ::isatty(STDOUT_FILENO) == 1 && (!noColour || noColour->empty());
  return console;
}

int runTerminalChat(const GlobalOptions& options, const ChatConsole& console, std::ostream& out, std::ostream& err) {
  installStopHandlers();
  const auto workspace = Workspace::open(options, err);
  if (!workspace) return 1;
  std::string defaultMind = workspace->defaultMindFile();
  const std::string mindFile = workspace->mindToLoad(options);
  auto brain = openMind(workspace->folder(), mindFile, false, std::string(), options, true, err);
  if (!brain) return 1;
  // As in the window: a chosen mind becomes the default when the default
  // itself cannot be opened.
  if (defaultMind.empty() || !exists(defaultMind)) defaultMind = mindFile;

  ChatPrinter printer(out, console, workspace->config());
  printer.say(*brain, brain->respond(Str("START_VESKO")));
  auto input = console.inputIsTerminal ? terminalInput() : descriptorInput(STDIN_FILENO);
  std::string line;
  while (printer.good() && !stopRequested() && input->next(line, printer.prompt(*brain))) {
    line = cleanLine(std::move(line));
    printer.say(*brain, brain->respond(Str(line)));
    if (Str(line).upper() == "BYE") break;
  }

  const Status saved = brain->saveMind();
  if (!saved.isOk()) {
    complain(err, "cannot save " + mindFile + ": " + saved.message());
    return 1;
  }
  Config closing = workspace->config();
  closing.firstRun = 0;
  closing.defaultMindFile = defaultMind;
  const std::string configPath = workspace->folder() + kConfigFileName;
  if (!writeConfigFile(configPath, closing)) {
    complain(err, "cannot write " + configPath);
    return 1;
  }
  return 0;
}

}  // namespace vesko::app
