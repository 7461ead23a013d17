// How the knowledge store scales: learning 100,000 statements of 6 to 12 words
// drawn from 5,000 words, recalling 1,000 questions against them, and saving
// and loading the whole store. Targets: learning under 1 s in all, a recall
// under 0.5 ms on average, save + load under 1 s.
// Then a store that reads like a taught book: 300,000 sentences, about half of
// their words pronouns, auxiliaries and prepositions, LIFE in every third and
// WORLD in every second. Targets: a recall of an everyday question ("do you
// know anything about ...?") under 1 ms on average, "tell me about" a topic as
// common as LIFE under 5 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "learning/knowledge_store.h"

namespace vesko {
namespace {

constexpr int kVocabulary = 5000;
constexpr int kSentences = 100000;
constexpr int kQuestions = 1000;

// Distinct upper-case words: WA, WB, ..., WAA, ...
std::vector<Str> vocabulary() {
  std::vector<Str> words;
  for (int i = 0; i < kVocabulary; ++i) {
    std::string word = "W";
    for (int n = i; n > 0 || word.size() == 1; n /= 26) word += static_cast<char>('A' + n % 26);
    words.emplace_back(word);
  }
  return words;
}

std::vector<WordList> sentences(int count, int fewest, int most, bool questions, std::uint32_t seed) {
  static const std::vector<Str> words = vocabulary();
  std::mt19937 engine(seed);
  std::uniform_int_distribution<int> length(fewest, most);
  std::uniform_int_distribution<int> pick(0, kVocabulary - 1);
  std::vector<WordList> out(static_cast<std::size_t>(count));
  for (WordList& sentence : out) {
    const int n = length(engine);
    for (int i = 0; i < n; ++i) sentence.append(words[static_cast<std::size_t>(pick(engine))]);
    if (questions) sentence.append("?");
  }
  return out;
}

const std::vector<WordList>& statements() {
  static const std::vector<WordList> all = sentences(kSentences, 6, 12, false, 1);
  return all;
}

KnowledgeStore& learnedStore() {
  static KnowledgeStore store = [] {
    KnowledgeStore s;
    for (const WordList& sentence : statements()) s.learn(sentence);
    return s;
  }();
  return store;
}

void BM_Learn100kStatements(benchmark::State& state) {
  const auto& all = statements();
  for (auto _ : state) {
    KnowledgeStore store;
    for (const WordList& sentence : all) store.learn(sentence);
    benchmark::DoNotOptimize(store.sentenceCount());
  }
  state.SetLabel("target: under 1000 ms for all 100,000");
}
BENCHMARK(BM_Learn100kStatements)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RecallOneQuestion(benchmark::State& state) {
  static const std::vector<WordList> questions = sentences(kQuestions, 3, 8, true, 2);
  KnowledgeStore& store = learnedStore();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.recall(questions[next]));
    next = (next + 1) % questions.size();
  }
  state.SetLabel("target: under 0.5 ms per recall, over 1,000 questions");
}
BENCHMARK(BM_RecallOneQuestion)->Unit(benchmark::kMicrosecond)->Iterations(kQuestions);

constexpr int kBookSentences = 300000;
// Words a question shares with most of memory.
const std::vector<Str> kCommonWords = {"I",   "YOU", "DO", "THE", "IS",   "OF",   "TO",    "IN",   "IT",   "THAT",
                                       "HAVE", "MY", "YOUR", "CAN", "KNOW", "ABOUT", "WITH", "WAS", "THIS", "AND"};

// `count` sentences (or questions) of `fewest` to `most` words, each word a
// common word or a vocabulary word with even odds.
std::vector<WordList> bookSentences(int count, int fewest, int most, bool questions, std::uint32_t seed) {
  static const std::vector<Str> words = vocabulary();
  std::mt19937 engine(seed);
  std::uniform_int_distribution<int> length(fewest, most);
  std::uniform_int_distribution<int> pick(0, kVocabulary - 1);
  std::uniform_int_distribution<int> common(0, static_cast<int>(kCommonWords.size()) - 1);
  std::vector<WordList> out(static_cast<std::size_t>(count));
  for (std::size_t s = 0; s < out.size(); ++s) {
    std::string text;
    if (!questions && s % 3 == 0) text += "LIFE ";
    if (!questions && s % 2 == 0) text += "WORLD ";
    const int n = length(engine);
    for (int i = 0; i < n; ++i)
      text += (engine() % 2 ? kCommonWords[static_cast<std::size_t>(common(engine))]
                            : words[static_cast<std::size_t>(pick(engine))]).std() + " ";
    text.back() = questions ? '?' : '.';  // the mark ends the last word, as typed
    out[s] = WordList(Str(text));
  }
  return out;
}

KnowledgeStore& bookStore() {
  static KnowledgeStore store = [] {
    KnowledgeStore s;
    for (const WordList& sentence : bookSentences(kBookSentences, 8, 14, false, 3)) s.learn(sentence);
    return s;
  }();
  return store;
}

void BM_Recall300kEverydayQuestion(benchmark::State& state) {
  static const std::vector<WordList> questions = bookSentences(kQuestions, 4, 8, true, 4);
  KnowledgeStore& store = bookStore();
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.recall(questions[next]));
    next = (next + 1) % questions.size();
  }
  state.SetLabel("target: under 1 ms per recall on 300,000 sentences");
}
BENCHMARK(BM_Recall300kEverydayQuestion)->Unit(benchmark::kMicrosecond)->Iterations(kQuestions);

void BM_TellAbout300k(benchmark::State& state, const char* topic) {
  KnowledgeStore& store = bookStore();
  const WordList words{Str(topic)};
  std::size_t length = 0;
  for (auto _ : state) {
    const Str told = store.tellAbout(words);
    length = static_cast<std::size_t>(told.length());
    benchmark::DoNotOptimize(told);
  }
  state.counters["answer_chars"] = static_cast<double>(length);
  state.SetLabel("target: under 5 ms on 300,000 sentences");
}
BENCHMARK_CAPTURE(BM_TellAbout300k, life, "LIFE")->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_TellAbout300k, life_world, "LIFE WORLD")->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_TellAbout300k, life_rare_word, "LIFE WB")->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SaveAndLoad100kStatements(benchmark::State& state) {
  const KnowledgeStore& store = learnedStore();
  const Str path((std::filesystem::temp_directory_path() / "vesko-knowledge-bench.mbk").string());
  for (auto _ : state) {
    if (!store.save(path)) state.SkipWithError("save failed");
    KnowledgeStore loaded;
    if (!loaded.load(path)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(loaded.sentenceCount());
  }
  std::filesystem::remove(path.std());
  state.SetLabel("target: under 1000 ms for save + load");
}
BENCHMARK(BM_SaveAndLoad100kStatements)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vesko
