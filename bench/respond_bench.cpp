// What one answer costs on the distributed mind: the 100 first-chat lines of
// data/first_chat_lines.txt answered in turn by a Brain talking to "Ann", the
// same draws every run. BM_Respond answers as the chat does; BM_RespondTraced
// adds the details of --trace. Tracing must cost nothing while it is off:
// compare BM_Respond of a build before and after a change, in one run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/distribution.h"
#include "engine/brain.h"

namespace vesko {
namespace {

std::vector<Str> chatLines() {
  std::vector<Str> lines;
  std::ifstream in(VESKO_SOURCE_DIR "/data/first_chat_lines.txt");
  for (std::string line; std::getline(in, line);) lines.emplace_back(line);
  return lines;
}

// A freshly laid-out working folder with the default mind, removed at exit.
struct DefaultMind {
  std::filesystem::path folder;
  DefaultMind() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesko-respond-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
    app::layOutWorkingFolder(folder.string() + "/", embeddedDistribution());
  }
  ~DefaultMind() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::unique_ptr<Brain> load() const {
    BrainEnvironment environment{nullptr, std::make_unique<SeededRandom>(17)};
    auto brain = std::make_unique<Brain>(Str(folder.string() + "/"), true, Str("Ann"), std::move(environment));
    if (!brain->loadMind(Str(folder.string() + "/vesko.mnd")).loaded()) std::abort();
    return brain;
  }
};

void answerAll(benchmark::State& state, bool traced) {
  static const std::vector<Str> lines = chatLines();
  DefaultMind mind;
  for (auto _ : state) {
    // A fresh Brain per round, so every round answers the same lines from the same state.
    state.PauseTiming();
    auto brain = mind.load();
    brain->setTracing(traced);
    state.ResumeTiming();
    for (const Str& line : lines) benchmark::DoNotOptimize(brain->respond(line));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}

void BM_Respond(benchmark::State& state) { answerAll(state, false); }
BENCHMARK(BM_Respond)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_RespondTraced(benchmark::State& state) { answerAll(state, true); }
BENCHMARK(BM_RespondTraced)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
}  // namespace vesko
