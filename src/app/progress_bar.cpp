#include "app/progress_bar.h"

#include <algorithm>
#include <ostream>

namespace vesko::app {

namespace {

constexpr int kBarWidth = 24;
constexpr std::size_t kLongestLabel = 28;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

std::string progressText(const std::string& label, std::int64_t sentences, std::int64_t bytesRead,
                         std::int64_t totalBytes, double seconds) {
  // A long file name keeps its end, which is where names differ.
  std::string text = label.size() > kLongestLabel ? "..." + label.substr(label.size() - (kLongestLabel - 3)) : label;
  if (totalBytes > 0) {
    const std::int64_t done = std::clamp<std::int64_t>(bytesRead, 0, totalBytes);
    const int filled = static_cast<int>(done * kBarWidth / totalBytes);
    const int percent = static_cast<int>(done * 100 / totalBytes);
    text += " [" + std::string(static_cast<std::size_t>(filled), '#') +
            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
            (percent < 10 ? "  " : percent < 100 ? " " : "") + std::to_string(percent) + "%";
  }
  text += "  " + std::to_string(sentences) + (sentences == 1 ? " sentence" : " sentences");
  if (seconds > 0) text += "  " + std::to_string(static_cast<std::int64_t>(sentences / seconds)) + "/s";
  return text;
}

ProgressBar::ProgressBar(std::ostream& out, std::string label, Now now)
    : out_(out), label_(std::move(label)), now_(std::move(now)), started_(now_()) {}

void ProgressBar::update(std::int64_t sentences, std::int64_t bytesRead, std::int64_t totalBytes) {
  sentences_ = sentences;
  bytesRead_ = bytesRead;
  totalBytes_ = totalBytes;
  if (everDrawn_ && now_() - drawn_ < kRedrawInterval) return;
  draw();
}

void ProgressBar::finish() {
  if (finished_) return;
  finished_ = true;
  draw();
  out_ << "\n" << std::flush;
}

void ProgressBar::draw() {
  drawn_ = now_();
  everDrawn_ = true;
  const double seconds = std::chrono::duration<double>(drawn_ - started_).count();
  // Back to the start of the line, then clear what a longer line left behind.
  out_ << "\r" << progressText(label_, sentences_, bytesRead_, totalBytes_, seconds) << "\033[K" << std::flush;
}

}  // namespace vesko::app
