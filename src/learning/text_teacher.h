// TextTeacher: teaches a Brain a plain-text file. It cuts the text into
// sentences (a ".", "?" or "!" at the end of a line or before a space ends
// one; a sentence may run on over several lines) and hands each to
// Brain::teachSentence, reporting progress and stopping when cancelled.
// The teaching window and the command line share it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>

#include "text/str.h"

namespace vesko {

class Brain;

struct TeachProgress {
  std::int64_t sentences = 0;   // taught so far
  std::int64_t bytesRead = 0;
  std::int64_t totalBytes = 0;  // -1 when the size is not known
};

struct TeachSummary {
  std::int64_t sentencesRead = 0;     // handed to teachSentence
  std::int64_t grammarLearned = 0;    // learned by the grammar model
  std::int64_t knowledgeLearned = 0;  // new statements in the knowledge store
  bool cancelled = false;
  bool opened = true;  // false when the file could not be opened
};

class TextTeacher {
 public:
  using ProgressCallback = std::function<void(const TeachProgress&)>;
  using SentenceSink = std::function<void(const Str&)>;

  // Sentences go to brain.teachSentence; `brain` must outlive the teacher.
  explicit TextTeacher(Brain& brain);
  // Sentences go to `sink`; the learned counts of the summary stay 0.
  explicit TextTeacher(SentenceSink sink);

  // Called now and then while teaching (and once at the end); it may call cancel().
  void onProgress(ProgressCallback callback) { progress_ = std::move(callback); }
  // Teaching stops after the sentence being taught; what was learned stays.
  // Safe to call from another thread.
  void cancel() { cancelled_ = true; }

  // Teaches every sentence of `in`. `totalBytes` is only for progress reports.
  TeachSummary teach(std::istream& in, std::int64_t totalBytes = -1);
  // Teaches a file; one that cannot be opened teaches nothing.
  TeachSummary teachFile(const Str& path);

  // Line by line, for callers that read the text themselves: feed each line
  // (without its line end), then finish() drops text after the last mark.
  // False once cancelled.
  bool feedLine(const Str& line);
  TeachSummary finish();

 private:
  void start();
  void teachPending();
  void report(bool force);

  Brain* brain_ = nullptr;
  SentenceSink sink_;
  ProgressCallback progress_;
  std::atomic<bool> cancelled_{false};
  Str pending_;
  TeachSummary summary_;
  std::int64_t grammarBefore_ = 0;
  std::int64_t knowledgeBefore_ = 0;
  bool started_ = false;
  TeachProgress position_;
  TeachProgress lastReport_;
};

}  // namespace vesko
