// Teaching benchmark: teaches a fresh Brain a large plain-text file (by
// default the fortunes text that bench/fortunes.sh builds), saves what it
// learned and answers chat lines, printing each figure beside its target.
//   teach_bench [TEXT_FILE] [--before SECONDS]
// (default text: fortunes.txt, then /tmp/fortunes.txt). SECONDS is the
// processor time an earlier build took to teach and save the same text; the
// new one may take at most 1.2 times as long.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "engine/brain.h"
#include "learning/text_teacher.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of this process so far: on a busy machine it tells the cost
// apart from the waiting.
double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Peak resident memory of this process in MB (VmHWM), or -1.
double peakMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return -1;
}

void figure(const char* name, double value, const char* unit, const char* target, bool met) {
  std::printf("%-34s %10.3f %-3s (target %s) %s\n", name, value, unit, target, met ? "ok" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::string path;
  double before = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--before" && i + 1 < argc) before = std::stod(argv[++i]);
    else path = arg;
  }
  if (path.empty()) path = fs::exists("fortunes.txt") ? "fortunes.txt" : "/tmp/fortunes.txt";
  if (!fs::exists(path)) {
    std::cerr << "teach_bench: no text at " << path << "; run bench/fortunes.sh first\n";
    return 2;
  }
  const fs::path folder = fs::temp_directory_path() / ("vesko-teach-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const vesko::Str base = (folder.string() + "/").c_str();

  vesko::BrainEnvironment environment;
  environment.random = std::make_unique<vesko::SeededRandom>(1);
  auto taught = std::make_unique<vesko::Brain>(base, true, "Bench", std::move(environment));
  vesko::Brain& brain = *taught;

  // Teach, timing each tenth of the file.
  std::vector<double> tenthEnds;
  const auto start = Clock::now();
  const double cpuStart = cpuSeconds();
  vesko::TextTeacher teacher(brain);
  teacher.onProgress([&](const vesko::TeachProgress& p) {
    if (p.totalBytes <= 0) return;
    while (tenthEnds.size() < 10 && p.bytesRead * 10 >= p.totalBytes * static_cast<std::int64_t>(tenthEnds.size() + 1))
      tenthEnds.push_back(secondsSince(start));
  });
  const vesko::TeachSummary summary = teacher.teachFile(path.c_str());
  const double teachSeconds = secondsSince(start);

  const auto saveStart = Clock::now();
  const vesko::Str groups = base + "groups.mbk";
  const vesko::Str temps = base + "temps.mbk";
  const vesko::Str sr = base + "sr.mbk";
  const vesko::Str morvash = base + "morvash.mbk";
  vesko::Status saved = brain.grammar().save(groups, temps, sr);
  if (saved.isOk()) saved = brain.knowledge().save(morvash);
  const double saveSeconds = secondsSince(saveStart);
  const double peakTaught = peakMegabytes();
  const double totalSeconds = secondsSince(start);
  const double totalCpu = cpuSeconds() - cpuStart;
  if (!saved.isOk()) std::cerr << "teach_bench: saving failed: " << saved.message() << "\n";

  // Answer chat lines: every 97th taught line of the file, and a few fixed ones.
  std::vector<std::string> lines = {"hello there", "what is your name?", "I like cats.", "what is two plus three?",
                                    "tell me about dogs", "do you like music?", "the weather is nice today"};
  {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int n = 0; std::getline(in, line) && lines.size() < 300; ++n)
      if (n % 97 == 0 && line.size() > 3) lines.push_back(line);
  }
  const auto chatStart = Clock::now();
  for (const std::string& line : lines) brain.respond(line.c_str());
  const double chatMs = secondsSince(chatStart) * 1000.0 / static_cast<double>(lines.size());

  const long long groupCount = brain.grammar().groupCount();
  const long long templateCount = brain.grammar().templateCount();
  const long long pairCount = brain.grammar().pairCount();
  // A program holds one mind at a time: the taught one is gone before the
  // saved banks are loaded into fresh stores and saved again.
  taught.reset();
  const auto reloadStart = Clock::now();
  const double reloadCpuStart = cpuSeconds();
  vesko::SeededRandom random(2);
  vesko::GrammarModel grammar(random);
  vesko::KnowledgeStore knowledge;
  vesko::Status reloaded = grammar.load(groups, temps, sr);
  if (reloaded.isOk()) reloaded = knowledge.load(morvash);
  if (reloaded.isOk()) reloaded = grammar.save(groups, temps, sr);
  if (reloaded.isOk()) reloaded = knowledge.save(morvash);
  const double reloadSeconds = secondsSince(reloadStart);
  const double reloadCpu = cpuSeconds() - reloadCpuStart;
  if (!reloaded.isOk()) std::cerr << "teach_bench: load and save failed: " << reloaded.message() << "\n";

  const double peak = peakMegabytes();
  std::printf("text %s: %lld bytes, %lld sentences read, %lld learned by the grammar model, %lld by the knowledge store\n",
              path.c_str(), static_cast<long long>(fs::file_size(path)), static_cast<long long>(summary.sentencesRead),
              static_cast<long long>(summary.grammarLearned), static_cast<long long>(summary.knowledgeLearned));
  std::printf("grammar: %lld groups, %lld templates, %lld pairs\n", groupCount, templateCount, pairCount);
  std::printf("teaching %.3f s, saving %.3f s; processor time for both %.3f s\n", teachSeconds, saveSeconds,
              totalCpu);
  std::printf("total time, saving included: %.3f s\n", totalSeconds);
  if (before > 0)
    figure("processor time / before", totalCpu / before, "", "<= 1.2", totalCpu / before <= 1.2);
  std::printf("peak memory after teaching and saving %.1f MB, at the end %.1f MB\n", peakTaught, peak);
  figure("peak memory (VmHWM)", peak, "MB", "< 80 MB", peak < 80.0);
  if (tenthEnds.size() == 10) {
    const double first = tenthEnds[0];
    const double last = tenthEnds[9] - tenthEnds[8];
    std::printf("first tenth %.3f s, last tenth %.3f s\n", first, last);
    figure("last tenth / first tenth", last / first, "", "<= 2", last / first <= 2.0);
  }
  figure("average chat answer", chatMs, "ms", "< 2 ms", chatMs < 2.0);
  std::printf("load + save: processor time %.3f s\n", reloadCpu);
  figure("load + save", reloadSeconds, "s", "< 0.5 s", reloadSeconds < 0.5);

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
