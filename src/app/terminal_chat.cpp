#include "app/terminal_chat.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <ostream>

#include "app/colours.h"
#include "app/line_input.h"
#include "app/message_file.h"
#include "app/stop_signal.h"
#include "app/terminal_text.h"
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
    const std::string label = upperText(brain.botNameUpper().std()) + "> ";
    // The answer is wrapped to the terminal as it is now, so a resized
    // window gets lines that fit; the label is painted afterwards.
    std::string text = wrapText(label, flattenLine(answer.std()), console_.outputIsTerminal ? terminalWidth() : 0);
    if (console_.colour) text.replace(0, label.size(), colouredLabel(label, config_.botColour));
    out_ << text << std::endl;
  }
  std::string prompt(const Brain& brain) const {
    // A script feeding the chat through a pipe sees only the bot's lines.
    if (!console_.inputIsTerminal) return std::string();
    return promptLabel(upperText(brain.userNameUpper().std()) + "> ", config_.userColour, console_.colour);
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
  console.outputIsTerminal = ::isatty(STDOUT_FILENO) == 1;
  const auto noColour = processEnvironment("NO_COLOR");
  const auto term = processEnvironment("TERM");
  const bool dumb = !term || term->empty() || *term == "dumb";
  console.colour = console.outputIsTerminal && !dumb && (!noColour || noColour->empty());
  return console;
}

std::size_t terminalWidth() {
  winsize size{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 0;
}

int runTerminalChat(const GlobalOptions& options, const ChatConsole& console, std::ostream& out, std::ostream& err) {
  installStopHandlers();
  useCharacterLocale();
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
  printTrace(err, *brain);
  auto input = console.inputIsTerminal ? terminalInput() : descriptorInput(STDIN_FILENO);
  std::string line;
  while (printer.good() && !stopRequested() && input->next(line, printer.prompt(*brain))) {
    line = cleanLine(std::move(line));
    printer.say(*brain, brain->respond(Str(line)));
    printTrace(err, *brain);
    if (Str(line).upper() == "BYE") break;
  }

  // Ctrl-C in the middle of a line: the words typed so far stay on record.
  if (const std::string unsent = input->unsent(); !unsent.empty()) complain(err, "stopped; not sent: " + unsent);
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
  // Ended by Ctrl-C or SIGTERM: saved, and the shell hears of the signal.
  return stopRequested() ? 128 + stopSignal() : 0;
}

}  // namespace vesko::app
