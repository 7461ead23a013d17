#include "learning/text_teacher.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <string>

#include "engine/brain.h"

namespace vesko {

namespace {

// Progress is reported after this many sentences or bytes at most, so a
// window stays responsive without spending its time redrawing.
constexpr std::int64_t kReportSentences = 256;
constexpr std::int64_t kReportBytesMost = 64 * 1024;
constexpr std::int64_t kReportBytesLeast = 4 * 1024;

bool endsSentence(char c) { return c == '.' || c == '?' || c == '!'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

TextTeacher::TextTeacher(Brain& brain)
    : brain_(&brain), sink_([&brain](const Str& sentence) { brain.teachSentence(sentence); }) {}

TextTeacher::TextTeacher(SentenceSink sink) : sink_(std::move(sink)) {}

void TextTeacher::start() {
  if (started_) return;
  started_ = true;
  if (brain_ == nullptr) return;
  grammarBefore_ = brain_->grammar().sentencesLearned();
  knowledgeBefore_ = brain_->knowledge().sentenceCount();
}

bool TextTeacher::feedLine(const Str& line) {
  start();
  if (cancelled_) return false;
  const std::string& text = line.std();
  for (std::size_t i = 0; i < text.size(); ++i) {
    pending_ += text[i];
    if (endsSentence(text[i]) && (i + 1 == text.size() || text[i + 1] == ' ')) {
      teachPending();
      if (cancelled_) return false;
    }
  }
  // A sentence may run on over the next line.
  if (!pending_.empty()) pending_ += ' ';
  return true;
}

void TextTeacher::teachPending() {
  sink_(pending_);
  pending_.clear();
  ++summary_.sentencesRead;
  position_.sentences = summary_.sentencesRead;
  report(false);
}

TeachSummary TextTeacher::finish() {
  // Text after the last sentence mark is no sentence.
  pending_.clear();
  summary_.cancelled = cancelled_.exchange(false);
  if (started_ && brain_ != nullptr) {
    summary_.grammarLearned = brain_->grammar().sentencesLearned() - grammarBefore_;
    summary_.knowledgeLearned = std::max<std::int64_t>(0, brain_->knowledge().sentenceCount() - knowledgeBefore_);
  }
  report(true);
  TeachSummary done = summary_;
  summary_ = TeachSummary();
  started_ = false;
  position_ = TeachProgress();
  lastReport_ = TeachProgress();
  return done;
}

void TextTeacher::report(bool force) {
  if (!progress_) return;
  std::int64_t byteStep = kReportBytesMost;
  if (position_.totalBytes > 0) byteStep = std::clamp(position_.totalBytes / 100, kReportBytesLeast, kReportBytesMost);
  if (!force && position_.sentences - lastReport_.sentences < kReportSentences &&
      position_.bytesRead - lastReport_.bytesRead < byteStep)
    return;
  lastReport_ = position_;
  progress_(position_);
}

TeachSummary TextTeacher::teach(std::istream& in, std::int64_t totalBytes) {
  position_.totalBytes = totalBytes;
  start();
  std::string raw;
  while (!cancelled_ && std::getline(in, raw)) {
    position_.bytesRead += static_cast<std::int64_t>(raw.size()) + (in.eof() ? 0 : 1);
    // Lines as readLine gives them: leading blanks and empty lines skipped,
    // carriage returns dropped. A last line without a line end is taught too.
    std::size_t start = 0;
    while (start < raw.size() && isBlank(raw[start])) ++start;
    if (start == raw.size()) continue;
    std::string line = raw.substr(start);
    std::erase(line, '\r');
    if (!feedLine(Str(std::move(line)))) break;
    report(false);
  }
  return finish();
}

TeachSummary TextTeacher::teachFile(const Str& path) {
  std::ifstream in(path.std(), std::ios::binary);
  if (!in) {
    TeachSummary none = finish();
    none.opened = false;
    return none;
  }
  in.seekg(0, std::ios::end);
  const std::int64_t size = static_cast<std::int64_t>(in.tellg());
  in.seekg(0, std::ios::beg);
  return teach(in, size);
}

}  // namespace vesko
