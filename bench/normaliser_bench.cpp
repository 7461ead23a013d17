// Normalisation of one line, the engine's against the plain reference of the
// tests (the rules as first written, quadratic on long lines), in one run:
// a 20-word sentence (target: the engine no slower than the reference), and
// long lines of prose, of one known noun repeated and of possessives, up to
// 10 MB (target: under 2 s for the engine). The reference runs only up to
// 100 kB: at 10 MB it takes minutes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "analysis/normaliser_reference.h"
#include "engine/brain.h"

namespace vesko {
namespace {

constexpr const char* kSentence =
    "my brother's old dog can't find the red ball that we're keeping in your big house near the river today";
constexpr const char* kProse =
    "The old man walked his dog along the river every morning, and the dog's bark woke the whole street. "
    "I'm sure it's the best dog in town, said my neighbour's wife; we're all fond of him. Don't you think "
    "a house needs a dog? His cat didn't agree, and the cat's opinion counts in this house. ";

std::unique_ptr<Brain> newBrain() {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{2024, 2, 1, 5, 21, 15, 0}),
                               std::make_unique<SeededRandom>(1)};
  auto brain = std::make_unique<Brain>(Str("/nonexistent-vesko-folder/"), true, Str("Bob"), std::move(environment));
  brain->respond("hello");
  brain->botInfo().name = "Vesko";
  for (const char* noun : {"DOG", "HOUSE", "RIVER", "BALL", "WORD", "CAT", "MAN", "STREET", "TOWN"})
    brain->nouns().add(noun);
  return brain;
}

std::string repeated(const std::string& piece, std::int64_t bytes) {
  std::string line;
  line.reserve(static_cast<std::size_t>(bytes) + piece.size());
  while (static_cast<std::int64_t>(line.size()) < bytes) line += piece;
  return line;
}

std::string lineOf(int kind, std::int64_t bytes) {
  switch (kind) {
    case 0: return kSentence;
    case 1: return repeated(kProse, bytes);
    case 2: return repeated("word ", bytes);  // one known noun, over and over
    default: return repeated("it's ", bytes);  // a possessive or IS at every word
  }
}

const char* kindName(int kind) {
  static const char* names[] = {"sentence", "prose", "repeated-noun", "apostrophe-s"};
  return names[kind];
}

template <bool kEngine>
void normaliseLine(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const std::string line = lineOf(kind, state.range(1));
  auto brain = newBrain();
  reference::NormaliserState plain{brain->nouns(), brain->stuffing(), brain->names(), brain->recentNouns(),
                                   "BOB", "VESKO", "FRIDAY", ""};
  for (auto _ : state) {
    WordList words{Str(line)};
    WordList classes;
    if constexpr (kEngine) brain->normalise(words, classes);
    else reference::normalise(words, classes, plain);
    benchmark::DoNotOptimize(classes);
  }
  state.SetLabel(std::string(kindName(kind)) + ", " + std::to_string(line.size()) + " bytes");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(line.size()));
}

void engine(benchmark::State& state) { normaliseLine<true>(state); }
void plainReference(benchmark::State& state) { normaliseLine<false>(state); }

BENCHMARK(plainReference)->Args({0, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(engine)->Args({0, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(plainReference)
    ->ArgsProduct({{1, 2, 3}, {50'000, 100'000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(engine)
    ->ArgsProduct({{1, 2, 3}, {50'000, 100'000, 10'000'000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vesko
