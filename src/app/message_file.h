// chat.msg: the message file through which another program talks to the bot.
// The caller writes two lines (user name, message); the program replaces them
// with one line, the answer.
#pragma once

#include <iosfwd>
#include <string>

namespace vesko::app {

inline constexpr const char* kMessageFileName = "chat.msg";

struct ChatMessage {
  std::string userName;
  std::string message;
};

// Two lines read with readLine: blank lines are skipped, carriage returns
// dropped; a file with one line gives an empty message.
ChatMessage parseChatMessage(std::istream& in);
ChatMessage parseChatMessage(const std::string& text);

// The two lines as a caller writes them, for putting a message back.
std::string formatChatMessage(const ChatMessage& message);

// Carriage returns and line feeds become spaces: nothing typed or piped in may
// break a bank line or an answer line.
std::string flattenLine(std::string text);

}  // namespace vesko::app
