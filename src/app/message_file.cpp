#include "app/message_file.h"

#include <sstream>

#include "text/str.h"

namespace vesko::app {

ChatMessage parseChatMessage(std::istream& in) {
  Str name;
  Str message;
  readLine(in, name);
  readLine(in, message);
  return ChatMessage{name.std(), message.std()};
}

ChatMessage parseChatMessage(const std::string& text) {
  std::istringstream in(text);
  return parseChatMessage(in);
}

std::string formatChatMessage(const ChatMessage& message) {
  return message.userName + "\n" + message.message + "\n";
}

std::string flattenLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace vesko::app
