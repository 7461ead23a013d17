// ProgressBar: one line on a terminal that shows how far teaching a file has
// come (sentences, percent of the bytes, sentences per second), redrawn in
// place at most ten times a second so that drawing never slows the work.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace vesko::app {

// The text of the bar: label, bar, percent (when the total is known),
// sentences and rate. `seconds` is the time since the start.
std::string progressText(const std::string& label, std::int64_t sentences, std::int64_t bytesRead,
                         std::int64_t totalBytes, double seconds);

class ProgressBar {
 public:
  using Now = std::function<std::chrono::steady_clock::time_point()>;

  // Draws on `out`, which should be a terminal (the caller decides).
  ProgressBar(std::ostream& out, std::string label, Now now = std::chrono::steady_clock::now);
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Redraws unless the last drawing is less than a tenth of a second old.
  void update(std::int64_t sentences, std::int64_t bytesRead, std::int64_t totalBytes);
  // Draws the last state and ends the line.
  void finish();

 private:
  void draw();

  std::ostream& out_;
  std::string label_;
  Now now_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point drawn_;
  bool everDrawn_ = false;
  bool finished_ = false;
  std::int64_t sentences_ = 0;
  std::int64_t bytesRead_ = 0;
  std::int64_t totalBytes_ = -1;
};

}  // namespace vesko::app
