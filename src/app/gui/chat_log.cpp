#include "app/gui/chat_log.h"

namespace vesko::gui {

void ChatLog::startLine(bool isBot, const std::string& nameUpper) {
  lines_.push_back(ChatLine{isBot, nameUpper, {}});
  plainLog_ += nameUpper;
  plainLog_ += "> ";
}

void ChatLog::appendText(const std::string& text) {
  if (lines_.empty()) lines_.push_back(ChatLine{});
  lines_.back().text += text;
  plainLog_ += text;
  plainLog_ += '\n';
}

void ChatLog::clear() {
  lines_.clear();
  plainLog_.clear();
}

}  // namespace vesko::gui
