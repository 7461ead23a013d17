// The terminal chat on a real pseudo-terminal, as a person at a keyboard
// meets it: non-ASCII text, a narrow or dumb terminal, Ctrl-D and Ctrl-C,
// long pastes and a closed standard input.
#include <gtest/gtest.h>

#include <clocale>

#include "app/terminal_text.h"
#include "shell_harness.h"
#include "terminal_harness.h"

namespace vesko::app {
namespace {

using namespace shelltest;

class TerminalChat : public ::testing::Test {
 protected:
  // An empty folder: the chat lays out the distributed mind there.
  TerminalOptions options(unsigned short columns = 80, std::vector<std::string> environment = {}) {
    return {{"chat", "--seed", "4", "--home", dir.path().string()}, dir.path().string(), columns, std::move(environment)};
  }
  std::string mind() const { return readText(dir / "vesko.mnd"); }
  ScratchDir dir;
};

// The lines a terminal shows for `screen`: colours dropped, carriage return
// and backspace move the cursor, later characters overwrite earlier ones.
std::vector<std::string> shownLines(const std::string& screen) {
  std::vector<std::string> shown(1);
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < screen.size(); ++i) {
    const char c = screen[i];
    std::string& line = shown.back();
    if (c == '\033') {
      while (i < screen.size() && !std::isalpha(static_cast<unsigned char>(screen[i]))) ++i;
    } else if (c == '\r') {
      cursor = 0;
    } else if (c == '\b') {
      if (cursor > 0) --cursor;
    } else if (c == '\n') {
      shown.emplace_back();
      cursor = 0;
    } else {
      if (cursor < line.size()) line[cursor] = c;
      else line += c;
      ++cursor;
    }
  }
  for (std::string& line : shown)
    while (!line.empty() && line.back() == ' ') line.pop_back();
  while (!shown.empty() && shown.back().empty()) shown.pop_back();
  return shown;
}

TEST_F(TerminalChat, NonAsciiTextRoundTripsByteForByteInTheCLocale) {
  const std::string line = "I like cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e and \xE2\x82\xAC 5.";
  TerminalChild chat(options());
  ASSERT_TRUE(chat.waitFor("USER>"));
  chat.type("my name is Jos\xC3\xA9\r");
  ASSERT_TRUE(chat.waitFor("how old are you?")) << chat.screen();
  chat.type("30\r");
  // The label upper-cases the accented letter too.
  ASSERT_TRUE(chat.waitFor("JOS\xC3\x89>")) << chat.screen();
  const std::size_t mark = chat.screen().size();
  chat.type(line + "\r");
  ASSERT_TRUE(chat.waitFor("VESKO> ", mark)) << chat.screen();
  EXPECT_NE(chat.screen().find(line, mark), std::string::npos) << chat.screen();
  chat.type("bye\r");
  EXPECT_EQ(chat.wait(), 0) << chat.screen();
  // The line reached the bot whole: the knowledge bank holds its bytes.
  EXPECT_NE(mind().find("CR\xC3\xA8ME BR\xC3\xBBL\xC3\xA9" "E AND \xE2\x82\xAC 5."), std::string::npos);
}

TEST_F(TerminalChat, NarrowDumbTerminalGetsWrappedPlainAnswersAndCtrlDEndsCleanly) {
  TerminalChild chat(options(20, {"TERM=dumb"}));
  ASSERT_TRUE(chat.waitFor("USER>"));
  chat.type("\x04");
  EXPECT_EQ(chat.wait(), 0) << chat.screen();
  EXPECT_EQ(chat.screen().find('\033'), std::string::npos) << chat.screen();
  // "VESKO> hello, i am vesko. what is your name?" in lines of 20 columns,
  // and no "^D" left standing after the prompt.
  const auto shown = shownLines(chat.screen());
  EXPECT_EQ(shown.back(), "USER>") << chat.screen();
  ASSERT_GE(shown.size(), 3u) << chat.screen();
  std::string answer;
  for (const std::string& text : shown) {
    EXPECT_LE(displayWidth(text), 20u) << text;
    if (text.starts_with("USER>")) break;
    answer += (answer.empty() ? "" : " ") + text.substr(answer.empty() ? 0 : text.find_first_not_of(' '));
  }
  EXPECT_EQ(answer, "VESKO> hello, i am vesko. what is your name?");
  EXPECT_NE(readText(dir / "config.dat").find("0\n"), std::string::npos);
}

TEST_F(TerminalChat, CtrlCSavesWhatWasSaidShowsTheUnsentLineAndExitsWith130) {
  TerminalChild chat(options());
  ASSERT_TRUE(chat.waitFor("USER>"));
  chat.type("my name is Ann\r");
  ASSERT_TRUE(chat.waitFor("how old are you?")) << chat.screen();
  chat.type("30\r");
  ASSERT_TRUE(chat.waitFor("ANN>"));
  chat.type("a dog is an animal.\r");
  ASSERT_TRUE(chat.waitFor("ANN>", chat.screen().rfind("ANN>") + 1));
  chat.type("half a li");
  ASSERT_TRUE(chat.waitFor("half a li"));
  chat.interrupt();
  EXPECT_EQ(chat.wait(), 130) << chat.screen();
  EXPECT_NE(chat.screen().find("not sent: half a li"), std::string::npos) << chat.screen();
  EXPECT_NE(mind().find("A DOG IS AN ANIMAL."), std::string::npos);
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
}

TEST_F(TerminalChat, LongPasteIsAnsweredWhole) {
  std::string paste;
  while (paste.size() < 100 * 1024) paste += "the quick brown fox jumps over the lazy dog ";
  TerminalChild chat(options());
  ASSERT_TRUE(chat.waitFor("USER>"));
  chat.type(paste + "\r");
  ASSERT_TRUE(chat.waitFor("VESKO> ", paste.size())) << chat.screen().substr(0, 300);
  chat.type("bye\r");
  EXPECT_EQ(chat.wait(), 0);
}

TEST_F(TerminalChat, ClosedOrEmptyStandardInputEndsTheChatWithTheMindSaved) {
  const Outcome empty = runVesko(dir.path(), {"chat", "--home", dir.path().string()}, "");
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_EQ(lines(empty.out).size(), 1u) << empty.out;  // the greeting alone
  // Descriptor 0 not even open: the same, and no crash.
  TerminalOptions closing = options();
  closing.closeInput = true;
  TerminalChild closed(closing);
  EXPECT_EQ(closed.wait(), 0) << closed.screen();
  EXPECT_NE(closed.screen().find("hello, i am vesko"), std::string::npos) << closed.screen();
  EXPECT_FALSE(holdsAny(dir.path(), ".mbk"));
}

// A display that cannot be opened (a remote one that is gone, Wayland
// without its plugin) must not abort the program: the terminal chat takes over.
TEST_F(TerminalChat, AnUnopenableDisplayFallsBackToTheTerminalChat) {
  for (const std::vector<std::string>& display :
       {std::vector<std::string>{"DISPLAY=127.0.0.1:77", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="},
        {"DISPLAY=", "WAYLAND_DISPLAY=wayland-77", "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM="}}) {
    TerminalChild chat({{"--home", dir.path().string()}, dir.path().string(), 80, display});
    ASSERT_TRUE(chat.waitFor("USER>")) << display[0] << "\n" << chat.screen();
    EXPECT_NE(chat.screen().find("starting the terminal chat instead"), std::string::npos) << chat.screen();
    chat.type("bye\r");
    EXPECT_EQ(chat.wait(), 0) << chat.screen();
  }
}

TEST(TerminalText, WrapsAtBlanksByCharactersAndUpperCasesBeyondAscii) {
  EXPECT_EQ(wrapText("BOT> ", "short", 20), "BOT> short");
  EXPECT_EQ(wrapText("BOT> ", "one two three four", 12), "BOT> one two\nthree four");
  // Room for 12 columns after the label: later lines line up under the text.
  EXPECT_EQ(wrapText("BOT> ", "alpha beta gamma delta", 20), "BOT> alpha beta\n     gamma delta");
  // Accented letters take one column each; a word wider than a line is cut
  // between characters.
  EXPECT_EQ(wrapText("B> ", "cr\xC3\xA8mes", 5), "B> cr\n\xC3\xA8mes");
  EXPECT_EQ(wrapText("B> ", "abcdefgh", 4), "B> a\nbcde\nfgh");
  EXPECT_EQ(wrapText("B> ", "a b", 0), "B> a b");
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  EXPECT_EQ(upperText("jos\xC3\xA9 \xC3\xB6zil \xFF"), "JOS\xC3\x89 \xC3\x96ZIL \xFF");
  std::setlocale(LC_CTYPE, "C");
}

}  // namespace
}  // namespace vesko::app
