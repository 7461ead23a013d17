// How fast the context rules answer: a 20-word line against a context bank of
// 5,000 rules whose only match stands near the end of the file. The in-memory
// matcher (the bank parsed once, checked on disk each line) against the
// literal scan that reads the file once for every start position.
// Targets: in-memory under 1 ms per line, at least 20 times faster than the scan.
// Then the distributed banks (data/, or the folder VESKO_BENCH_BANKS names,
// to compare other versions of them) answering a 20-word statement and a
// 20-word question through the whole normalise-and-match road.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/context_rules.h"
#include "analysis/rule_bank.h"
#include "analysis/rule_file_scan.h"
#include "engine/brain.h"
#include "learning/grammar_model.h"

namespace vesko {
namespace {

constexpr int kRules = 5000;
constexpr int kLineWords = 20;
constexpr int kVocabulary = 2000;
constexpr int kWinningBlock = 4900;

std::string wordOf(int i) {
  std::string word = "W";
  word += std::to_string(i);
  return word;
}

struct Setup {
  std::filesystem::path folder;
  Str bankPath;
  WordList words;    // as normalisation leaves them
  WordList classes;
  WordList prepared;  // as the rules match them

  Setup() {
    std::mt19937 rng(4242);
    for (int i = 0; i < kLineWords; ++i) {
      words.append(Str(wordOf(static_cast<int>(rng() % kVocabulary))));
      classes.append(i % 4 == 1 ? "*NOUN" : "*UNKNOWN");
    }
    words.setWordAt(kLineWords - 1, words.wordAt(kLineWords - 1) + Str("."));
    prepared = words.stripped().upperCased();

    // Rules over the same vocabulary, so many first patterns hold somewhere in
    // the line and the matcher has to look further; the one full match is
    // block kWinningBlock, at start position 15.
    std::string bank;
    const char* offsets[] = {"0", "1", "2", "1001"};
    int blocks = 0;
    bool planted = false;
    for (int r = 1; r <= kRules; ++r) {
      bank += "###CONTEXT###\n";
      ++blocks;
      // Blocks numbered 5000 and up never answer, so the match is planted by
      // block number, not rule number.
      if (!planted && blocks >= kWinningBlock) {
        planted = true;
        bank += prepared.wordAt(15).std() + "\n0\n" + prepared.wordAt(16).std() + "\n1\n*NOUN\n1002\n";
        bank += "###RESPONSE###\n@@T YOU SAID @0 AND @1\n@@T SO @R1 @P0\n";
        continue;
      }
      // Two or three patterns; the first over the line's vocabulary, the last
      // never holding (a word or a class the line lacks).
      const int patterns = 2 + static_cast<int>(rng() % 2);
      for (int p = 0; p < patterns; ++p) {
        std::string pattern = wordOf(static_cast<int>(rng() % kVocabulary));
        if (p == patterns - 1) pattern = rng() % 3 == 0 ? std::string("*DEF") : "X" + pattern;
        bank += pattern + "\n" + offsets[rng() % 4] + "\n";
      }
      if (rng() % 5 == 0) {  // an alternative context, also never holding
        bank += "###CONTEXT###\nX" + wordOf(static_cast<int>(rng() % kVocabulary)) + "\n0\n";
        ++blocks;
      }
      bank += "###RESPONSE###\n@@T ANSWER " + std::to_string(r) + " @0\nTOPIC @1 WORDS\n";
    }
    folder = std::filesystem::temp_directory_path() / ("vesko-rules-bench-" + std::to_string(rng()));
    std::filesystem::create_directories(folder);
    bankPath = Str((folder / "context.mbk").string());
    std::ofstream(bankPath.std(), std::ios::binary) << bank;
  }
  ~Setup() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

Setup& setup() {
  static Setup instance;
  return instance;
}

std::unique_ptr<Brain> newBrain() {
  BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}), std::make_unique<SeededRandom>(1)};
  auto brain = std::make_unique<Brain>(Str(setup().folder.string() + "/"), false, Str(), std::move(environment));
  brain->setBankPath(Bank::kContext, setup().bankPath);
  return brain;
}

void BM_InMemoryMatcher(benchmark::State& state) {
  auto brain = newBrain();
  const Setup& s = setup();
  // Both ways must agree before their speeds are worth comparing.
  SeededRandom random(1);
  GrammarModel grammar(random);
  const Str expected = chooseRuleAnswer(scanRuleFile(s.bankPath, s.prepared, s.classes), random, grammar);
  const Str got = brain->respondByRules(s.words, s.classes);
  if (got != expected || (!got.startsWith("YOU SAID") && !got.startsWith("SO "))) {
    std::fprintf(stderr, "matcher and scan disagree: '%s' / '%s'\n", got.c_str(), expected.c_str());
    std::abort();
  }
  for (auto _ : state) benchmark::DoNotOptimize(brain->respondByRules(s.words, s.classes));
}
BENCHMARK(BM_InMemoryMatcher)->Unit(benchmark::kMicrosecond);

void BM_LineByLineScan(benchmark::State& state) {
  const Setup& s = setup();
  SeededRandom random(1);
  GrammarModel grammar(random);
  for (auto _ : state)
    benchmark::DoNotOptimize(chooseRuleAnswer(scanRuleFile(s.bankPath, s.prepared, s.classes), random, grammar));
}
BENCHMARK(BM_LineByLineScan)->Unit(benchmark::kMicrosecond);

// The one-time cost of reading the bank into memory (after every edit).
void BM_ParseBank(benchmark::State& state) {
  const Setup& s = setup();
  for (auto _ : state) {
    std::ifstream in(s.bankPath.std(), std::ios::binary);
    benchmark::DoNotOptimize(RuleBank::parse(in).reachableBlocks());
  }
}
BENCHMARK(BM_ParseBank)->Unit(benchmark::kMillisecond);

// A Brain whose context banks are the distributed ones (or those of
// $VESKO_BENCH_BANKS), with the distributed nouns, names and filler words.
struct DistributedBanks {
  std::unique_ptr<Brain> brain;
  DistributedBanks() {
    const char* override = std::getenv("VESKO_BENCH_BANKS");
    const std::string data = std::string(VESKO_SOURCE_DIR) + "/data/";
    const std::string banks = override != nullptr ? std::string(override) + "/" : data;
    BrainEnvironment environment{std::make_shared<FixedClock>(LocalTime{}), std::make_unique<SeededRandom>(1)};
    brain = std::make_unique<Brain>(Str(setup().folder.string() + "/"), false, Str(), std::move(environment));
    brain->setBankPath(Bank::kContext, Str(banks + "context.x"));
    brain->setBankPath(Bank::kContext2, Str(banks + "context2.x"));
    for (const auto& [file, tree] : {std::pair{"nouns.x", &brain->nouns()}, std::pair{"names.x", &brain->names()},
                                     std::pair{"stuffing.x", &brain->stuffing()}}) {
      std::ifstream in(data + file);
      for (std::string word; std::getline(in, word);)
        if (!word.empty()) tree->add(Str(word));
    }
  }
};

void answerLine(benchmark::State& state, const char* line) {
  static DistributedBanks banks;
  WordList words{Str(line)}, classes;
  banks.brain->normalise(words, classes);
  // The answer shows which rule matched (a topic-word rule may make none).
  state.SetLabel(banks.brain->respondByRules(words, classes).std());
  for (auto _ : state) benchmark::DoNotOptimize(banks.brain->respondByRules(words, classes));
}

void BM_DistributedStatement(benchmark::State& state) {
  answerLine(state, "yesterday my little sister and I went to the big park near our house and we played football "
                    "until dark.");
}
BENCHMARK(BM_DistributedStatement)->Unit(benchmark::kMicrosecond);

void BM_DistributedQuestion(benchmark::State& state) {
  answerLine(state, "do you think the weather will be nice enough tomorrow for a long walk by the sea with my "
                    "dog?");
}
BENCHMARK(BM_DistributedQuestion)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vesko
