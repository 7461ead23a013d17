#include "app/commands.h"

#include <unistd.h>

#include <array>
#include <fstream>
#include <iostream>
#include <limits>

#include "app/headless.h"
#include "app/message_file.h"
#include "app/mind_diff.h"
#include "app/mind_tools.h"
#include "app/options.h"
#include "app/pipe_mode.h"
#include "app/rule_checker.h"
#include "app/teach_tool.h"
#include "app/terminal_chat.h"
#include "app/version.h"
#include "app/working_folder.h"

namespace vesko::app {

namespace {

constexpr std::array<OptionSpec, 5> kGlobalOptions = {{
    {"home", 0, true},
    {"seed", 0, true},
    {"mind", 0, true},
    {"help", 'h', false},
    {"version", 'V', false},
}};

constexpr const char* kGlobalHelp =
    "Options for every command:\n"
    "  --home DIR      work in DIR (minds, banks and config.dat); by default the\n"
    "                  current directory when it holds config.dat, else\n"
    "                  $XDG_DATA_HOME/vesko (~/.local/share/vesko)\n"
    "  --mind FILE     use this mind instead of the one named in config.dat\n"
    "  --seed N        seed the bot's random choices with N (0 to 4294967295)\n"
    "  -h, --help      show help and exit\n"
    "  -V, --version   show the version and exit\n";

constexpr const char* kMainHelp =
    "Usage: vesko [OPTION]... [COMMAND] [ARG]...\n"
    "A chatbot that learns as it talks.\n"
    "\n"
    "Without a command vesko answers chat.msg when the current directory holds\n"
    "one (two lines: your name and your message; the answer replaces them),\n"
    "and otherwise starts a chat.\n"
    "\n"
    "Commands:\n"
    "  chat                      chat on the terminal; \"bye\" ends it and saves\n"
    "                            the mind\n"
    "  pipe                      answer one line per input line, for other programs\n"
    "  teach FILE...             teach the mind plain-text files, then save it\n"
    "  check-rules BANK...       find faults in hand-written context banks\n"
    "  new-mind PATH             make a new mind from the distributed banks\n"
    "  new-mind --advanced DIR   build a mind from the source texts in DIR\n"
    "  init-mind [MIND]          return a mind to its distributed state\n"
    "  mind info MIND            show what a mind file holds\n"
    "  mind unpack MIND DIR      write a mind's banks into DIR\n"
    "  mind pack DIR MIND        pack the banks (*.mbk) of DIR into MIND\n"
    "  mind diff A B             what two minds hold differently, bank by bank\n"
    "\n";

constexpr const char* kMainFooter = "\n'vesko COMMAND --help' tells more about a command.\n";

struct Invocation {
  GlobalOptions global;
  ParsedOptions parsed;
  std::ostream& out;
  std::ostream& err;
  const Frontends& frontends;
};

struct Command {
  const char* name;
  const char* help;
  std::vector<OptionSpec> options;
  int (*run)(Invocation&);
};

int usageError(std::ostream& err, const std::string& problem, const std::string& command = std::string()) {
  err << "vesko: " << problem << "\n"
      << "Try 'vesko " << (command.empty() ? "" : command + " ") << "--help' for more information." << std::endl;
  return kExitUsage;
}

// --trace and --no-learn, shared by chat and pipe.
void takeAnswerOptions(Invocation& call) {
  call.global.answering.trace = call.parsed.has("trace");
  call.global.answering.learn = !call.parsed.has("no-learn");
}

int runChat(Invocation& call) {
  if (!call.parsed.operands.empty()) return usageError(call.err, "chat takes no operands", "chat");
  takeAnswerOptions(call);
  return runTerminalChat(call.global, detectConsole(), call.out, call.err);
}

int runPipeCommand(Invocation& call) {
  if (!call.parsed.operands.empty()) return usageError(call.err, "pipe takes no operands", "pipe");
  PipeOptions pipe;
  pipe.user = call.parsed.value("user");
  if (pipe.user && pipe.user->empty()) return usageError(call.err, "--user needs a name", "pipe");
  if (const auto every = call.parsed.value("save-every")) {
    const auto count = parseCount(*every, std::numeric_limits<unsigned long long>::max());
    if (!count) return usageError(call.err, "--save-every needs a whole number, not '" + *every + "'", "pipe");
    pipe.saveEvery = *count;
    if (call.parsed.has("no-learn"))
      return usageError(call.err, "--save-every cannot be used with --no-learn: a bot that learns nothing saves nothing",
                        "pipe");
  }
  takeAnswerOptions(call);
  return runPipe(call.global, pipe, call.out, call.err);
}

int runNewMindCommand(Invocation& call) {
  if (call.parsed.operands.size() != 1) return usageError(call.err, "new-mind needs one PATH", "new-mind");
  if (call.parsed.has("advanced"))
    return runNewMindAdvanced(call.global, call.parsed.operands[0], call.parsed.has("force"), call.out, call.err);
  return runNewMind(call.global, call.parsed.operands[0], call.parsed.has("force"), call.out, call.err);
}

// Yes or no from the terminal; nothing when no one is there to answer.
std::optional<bool> askToInitialise(const std::optional<std::string>& mind, bool yes, std::ostream& out) {
  if (yes) return true;
  if (::isatty(STDIN_FILENO) != 1) return std::nullopt;
  out << "WARNING! This will clear " << (mind ? *mind : std::string("the default mind"))
      << "'s memory to the original state it was in when distributed.\nContinue? [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
}

int runInitMindCommand(Invocation& call) {
  if (call.parsed.operands.size() > 1) return usageError(call.err, "init-mind takes at most one MIND", "init-mind");
  std::optional<std::string> mind;
  if (!call.parsed.operands.empty()) mind = call.parsed.operands[0];
  const auto confirmed = askToInitialise(mind ? mind : call.global.mind, call.parsed.has("yes"), call.out);
  return runInitMind(call.global, mind, confirmed, call.out, call.err);
}

int runTeachCommand(Invocation& call) {
  if (call.parsed.operands.empty()) return usageError(call.err, "teach needs at least one FILE", "teach");
  return runTeach(call.global, call.parsed.operands, ::isatty(STDERR_FILENO) == 1, call.out, call.err);
}

int runCheckRulesCommand(Invocation& call) {
  if (call.parsed.operands.empty()) return usageError(call.err, "check-rules needs at least one BANK", "check-rules");
  int errors = 0;
  bool unreadable = false;
  for (const std::string& bank : call.parsed.operands) {
    std::ifstream in(bank, std::ios::binary);
    if (!in) {
      complain(call.err, "cannot read the bank " + bank);
      unreadable = true;
      continue;
    }
    RuleCheckOptions options;
    options.noTopicWords = call.parsed.has("no-topic-words");
    for (const RuleProblem& problem : checkRules(in, options)) {
      call.out << formatProblem(bank, problem) << "\n";
      if (problem.severity == RuleProblem::Severity::kError) ++errors;
    }
  }
  call.out.flush();
  if (errors > 0)
    complain(call.err, std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                           " found; the rule scan stops or a rule never answers at each line named above");
  return errors > 0 || unreadable ? kExitFailure : kExitOk;
}

constexpr const char* kMindInfoHelp =
    "Usage: vesko mind info MIND\n"
    "Show the version, the load result and the counts of nouns, names, persons,\n"
    "remembered sentences, word groups, templates and answer pairs of MIND.\n"
    "The mind is loaded from a copy in a scratch folder; nothing is changed.\n";
constexpr const char* kMindUnpackHelp =
    "Usage: vesko mind unpack MIND DIR\n"
    "Write the banks of MIND as files into DIR (made when missing), replacing\n"
    "bank files of the same names. A damaged mind is refused and nothing is written.\n";
constexpr const char* kMindDiffHelp =
    "Usage: vesko mind diff [--json] A B\n"
    "Compare the minds A and B bank by bank: remembered statements, people, nouns,\n"
    "names, filler words, bad answers, word groups, templates (as the numbers of\n"
    "their groups), answer pairs and attributes. For each bank that differs,\n"
    "how many items B holds that A lacks (+) and the reverse (-), with the first ten\n"
    "of each. Both minds are loaded from copies; neither changes.\n"
    "  --json   the same as one JSON object, every bank listed\n"
    "Exit status: 0 when the minds hold the same, 1 when they differ, 2 on an error.\n";
constexpr const char* kMindPackHelp =
    "Usage: vesko mind pack DIR MIND\n"
    "Pack every bank file (*.mbk) of DIR into the mind file MIND, replacing it.\n"
    "The bank files stay in DIR.\n";

int runMindCommand(Invocation& call) {
  const auto& operands = call.parsed.operands;
  if (operands.empty()) return usageError(call.err, "mind needs a subcommand: info, unpack, pack or diff", "mind");
  const std::string& sub = operands[0];
  const char* help = sub == "info"     ? kMindInfoHelp
                     : sub == "unpack" ? kMindUnpackHelp
                     : sub == "pack"   ? kMindPackHelp
                     : sub == "diff"   ? kMindDiffHelp
                                       : nullptr;
  if (help == nullptr) return usageError(call.err, "unknown mind subcommand '" + sub + "'", "mind");
  if (call.parsed.has("json") && sub != "diff")
    return usageError(call.err, "--json works only with 'mind diff'", "mind " + sub);
  if (call.parsed.has("help")) {
    call.out << help << "\n" << kGlobalHelp;
    return kExitOk;
  }
  if (sub == "info") {
    if (operands.size() != 2) return usageError(call.err, "mind info needs one MIND", "mind info");
    return runMindInfo(call.global, operands[1], call.out, call.err);
  }
  if (operands.size() != 3) return usageError(call.err, "mind " + sub + " needs two operands", "mind " + sub);
  if (sub == "diff")
    return runMindDiff(call.global, operands[1], operands[2], call.parsed.has("json"), call.out, call.err);
  if (sub == "unpack") return runMindUnpack(operands[1], operands[2], call.out, call.err);
  return runMindPack(operands[1], operands[2], call.out, call.err);
}

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"chat",
       "Usage: vesko chat [OPTION]...\n"
       "Chat on the terminal with the default mind. Each line you type is answered\n"
       "at once. \"bye\", end of input (Ctrl-D), Ctrl-C or SIGTERM end the chat;\n"
       "the mind is then saved and config.dat written. On a terminal lines can be\n"
       "edited and recalled; labels are coloured unless NO_COLOR is set. Through a\n"
       "pipe only the bot's lines are printed.\n"
       "  --trace      after each answer, say on standard error which stage gave it\n"
       "               and where from (a rule's FILE:LINE, a remembered sentence's\n"
       "               number, a generated sentence's seeds and template)\n"
       "  --no-learn   answer as usual but learn nothing: the mind file stays as it was\n",
       {{"trace", 0, false}, {"no-learn", 0, false}},
       runChat},
      {"pipe",
       "Usage: vesko pipe [--user NAME] [--save-every N | --no-learn] [--trace] [OPTION]...\n"
       "Answer each line of standard input with one line on standard output,\n"
       "flushed, in order, until end of input, SIGTERM or Ctrl-C; then save the mind.\n"
       "  --user NAME      talk to NAME: no greeting, exactly one answer per line;\n"
       "                   without it the first line is the bot's greeting and\n"
       "                   the bot asks for the user's name\n"
       "  --save-every N   save the mind every N lines (default 50; 0: only at the end)\n"
       "  --trace          after each answer, one line on standard error: which stage\n"
       "                   answered and where from (see 'vesko chat --help')\n"
       "  --no-learn       answer as usual but learn nothing; the mind file is left\n"
       "                   byte for byte as it was (for a bot open to strangers)\n",
       {{"user", 0, true}, {"save-every", 0, true}, {"trace", 0, false}, {"no-learn", 0, false}},
       runPipeCommand},
      {"teach",
       "Usage: vesko teach FILE... [OPTION]...\n"
       "Teach the mind (--mind, else the default mind) every sentence of the plain-text\n"
       "FILEs, in order, as the window's Teach command does, then save it. A sentence\n"
       "ends with \".\", \"?\" or \"!\" at the end of a line or before a space. Every FILE\n"
       "is checked first; when one cannot be read nothing is taught. On a terminal a\n"
       "progress bar is shown; Ctrl-C stops teaching and saves what was learned.\n",
       {},
       runTeachCommand},
      {"check-rules",
       "Usage: vesko check-rules [--no-topic-words] BANK...\n"
       "Check hand-written context banks (context.x, context2.x and the like) and\n"
       "report, as FILE:LINE: error: ..., every place where the rule scan stops early\n"
       "or a rule can never answer, and as warnings rules that may not do what was\n"
       "meant, such as a response quoting a word its context does not fix. Prints\n"
       "nothing for a sound bank. Exit status 1 when an error is found.\n"
       "  --no-topic-words  also warn about responses that are topic words for a\n"
       "                    made-up sentence instead of \"@@T\" answers\n",
       {{"no-topic-words", 0, false}},
       runCheckRulesCommand},
      {"new-mind",
       "Usage: vesko new-mind [--force] PATH [OPTION]...\n"
       "   or: vesko new-mind --advanced [--force] DIR [OPTION]...\n"
       "Make the mind file PATH (\".mnd\" added when it has no extension) from the\n"
       "default banks of the working folder. With --advanced, build the grammar and\n"
       "knowledge banks of folder DIR from its input_l.txt and input_k.txt and pack\n"
       "the folder's banks (*.mbk) into DIR/new.mnd.\n"
       "  --advanced  build from the source texts and banks of DIR\n"
       "  --force     replace PATH (or DIR/new.mnd) when it exists\n",
       {{"force", 'f', false}, {"advanced", 0, false}},
       runNewMindCommand},
      {"init-mind",
       "Usage: vesko init-mind [--yes] [MIND] [OPTION]...\n"
       "Return MIND (by default the default mind) to the state it was in when\n"
       "distributed: everything it has learned is cleared. Asks first on a terminal.\n"
       "  -y, --yes   do not ask\n",
       {{"yes", 'y', false}},
       runInitMindCommand},
      {"mind",
       "Usage: vesko mind info MIND\n"
       "       vesko mind unpack MIND DIR\n"
       "       vesko mind pack DIR MIND\n"
       "       vesko mind diff [--json] A B\n"
       "Look into mind files, compare them, and take them apart or put them together.\n",
       {{"json", 0, false}},
       runMindCommand},
  };
  return table;
}

const Command* findCommand(const std::string& name) {
  for (const Command& command : commands())
    if (name == command.name) return &command;
  return nullptr;
}

// Global options, as found before the command or after it.
bool takeGlobals(const ParsedOptions& parsed, GlobalOptions& global, std::string& problem) {
  if (const auto home = parsed.value("home")) global.home = *home;
  if (const auto mind = parsed.value("mind")) {
    if (mind->empty()) {
      problem = "--mind needs a file name";
      return false;
    }
    global.mind = *mind;
  }
  if (const auto seed = parsed.value("seed")) {
    const auto value = parseCount(*seed, std::numeric_limits<std::uint32_t>::max());
    if (!value) {
      problem = "--seed needs a whole number from 0 to 4294967295, not '" + *seed + "'";
      return false;
    }
    global.seed = static_cast<std::uint32_t>(*value);
  }
  return true;
}

// No command: answer chat.msg when it is here, else the best chat there is.
int runDefault(const GlobalOptions& global, std::ostream& out, std::ostream& err, const Frontends& frontends) {
  if (exists(currentDirectory() + kMessageFileName)) return runHeadless(global, err);
  if (frontends.window) {
    if (const auto status = frontends.window(global)) return *status;
  }
  return runTerminalChat(global, detectConsole(), out, err);
}

}  // namespace

int runVesko(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Frontends& frontends) {
  const ParsedOptions front = parseOptions(args, 1, kGlobalOptions, true);
  if (!front.ok()) return usageError(err, front.error);
  GlobalOptions global;
  std::string problem;
  if (!takeGlobals(front, global, problem)) return usageError(err, problem);
  if (front.next >= args.size()) {
    if (front.has("version")) {
      out << versionText() << "\n";
      return kExitOk;
    }
    if (front.has("help")) {
      out << kMainHelp << kGlobalHelp << kMainFooter;
      return kExitOk;
    }
    return runDefault(global, out, err, frontends);
  }

  const std::string& name = args[front.next];
  const Command* command = findCommand(name);
  if (command == nullptr) return usageError(err, "unknown command '" + name + "'");
  std::vector<OptionSpec> knownOptions = command->options;
  knownOptions.insert(knownOptions.end(), kGlobalOptions.begin(), kGlobalOptions.end());
  ParsedOptions parsed = parseOptions(args, front.next + 1, knownOptions, false);
  if (!parsed.ok()) return usageError(err, parsed.error, name);
  if (parsed.has("version") || front.has("version")) {
    out << versionText() << "\n";
    return kExitOk;
  }
  // "mind" has subcommands with help of their own.
  if ((parsed.has("help") || front.has("help")) && !(name == "mind" && !parsed.operands.empty())) {
    out << command->help << "\n" << kGlobalHelp;
    return kExitOk;
  }
  if (front.has("help")) parsed.values["help"] = "";
  if (!takeGlobals(parsed, global, problem)) return usageError(err, problem, name);
  Invocation call{global, std::move(parsed), out, err, frontends};
  return command->run(call);
}

}  // namespace vesko::app
