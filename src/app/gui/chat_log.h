// ChatLog: the conversation of the chat window as labelled lines, plus the
// plain-text copy that a transcript file receives. The window draws the lines;
// the log knows nothing of colours, so recolouring needs no change here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vesko::gui {

struct ChatLine {
  bool isBot = false;
  std::string label;  // the speaker's upper-cased name, without "> "
  std::string text;   // what was said, exactly as typed or answered
};

class ChatLog {
 public:
  // Begins a new line with the speaker's label.
  void startLine(bool isBot, const std::string& nameUpper);
  // Adds text to the current line; starts an unlabelled user line when the
  // log is still empty.
  void appendText(const std::string& text);
  void clear();

  const std::vector<ChatLine>& lines() const { return lines_; }
  // Each line as "NAME> text\n"; the last label waits without a line feed.
  const std::string& plainLog() const { return plainLog_; }

 private:
  std::vector<ChatLine> lines_;
  std::string plainLog_;
};

}  // namespace vesko::gui
