// CChatDlg: the chat window. It owns the Brain of the chat, feeds every line
// the user says to respond() and shows both sides as a transcript whose lines
// begin with the speaker's name in bold and colour. Its menu creates, loads,
// restarts and initialises minds, saves transcripts and opens the dialogs.
// Every way out (close button, Exit, "bye", Escape, the session ending) saves
// the mind and writes config.dat.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/folder_lock.h"
#include "app/gui/chat_log.h"
#include "app/gui/window_memory.h"
#include "engine/brain.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSessionManager;
class QStatusBar;
class QTextBrowser;

namespace vesko::gui {

class Prompter;

// Menu command ids, as the menu resource numbers them.
inline constexpr int ID_FILE_EXIT = 505;
inline constexpr int ID_FILE_SAVETRANSCRIPT = 506;
inline constexpr int ID_FILE_LOADMIND = 507;
inline constexpr int ID_FILE_NEWMIND_SIMPLE = 508;
inline constexpr int ID_FILE_NEWMIND_ADVANCED = 509;
inline constexpr int ID_FILE_RESTART = 510;
inline constexpr int ID_CUSTOMIZE_SETTINGS = 512;
inline constexpr int ID_HELP_WEBSITE = 513;
inline constexpr int ID_HELP_MANUAL = 514;
inline constexpr int ID_HELP_ABOUT = 40001;
inline constexpr int ID_MINDFILE_ATTRIBUTES = 40002;
inline constexpr int ID_MINDFILE_INITIALIZE = 40003;
inline constexpr int ID_MINDFILE_TEACH = 40004;

// What the window needs from outside.
struct ChatWindowSetup {
  std::string workingFolder;  // ends with "/"
  Prompter* prompter = nullptr;  // not owned; outlives the window
  // The clock and random source of each fresh Brain; empty gives the defaults.
  std::function<BrainEnvironment()> environment;
  std::string homePage;  // the maker's web site; empty: Go to Website opens the manual
  // Where window size, place and last folders are kept; empty: the user's
  // settings of the program.
  QString memoryFile;
};

class CChatDlg final : public QDialog {
  Q_OBJECT

 public:
  // REQUIRES: setup.prompter is set.
  explicit CChatDlg(ChatWindowSetup setup, QWidget* parent = nullptr);
  ~CChatDlg() override;

  // Reads config.dat, greets a first-time user, loads the default mind (or
  // asks for one) and starts the chat. Call once, before the window runs.
  void initialise();

  // The conversation as it is drawn.
  void setColours(int userColour, int botColour);
  void startLine(bool isBot);
  void appendText(bool isBot, const Str& text, bool labelFirst);
  void refresh();
  void startChat();

  // --- state, for tests and the screenshot ---
  const std::string& plainLog() const { return log_.plainLog(); }
  const std::string& currentMindFile() const { return currentMindFile_; }
  const std::string& defaultMindFile() const { return defaultMindFile_; }
  int userColour() const { return userColour_; }
  int botColour() const { return botColour_; }
  bool chatStarted() const { return chatStarted_; }
  bool isClosed() const { return closed_; }
  bool mindLoaded() const { return brain_ != nullptr && brain_->mindInUse(); }
  Brain* brain() { return brain_.get(); }
  QAction* action(int commandId) const;
  // Customize > Show Why: the status bar tells where each answer came from.
  bool showsWhy() const;
  void setShowWhy(bool on);

  // Menu commands, named after their ids.
  void onNewMindSimple();
  void onNewMindAdvanced();
  void onLoadMind();
  void onSaveTranscript();
  void onRestart();
  void onExit();
  void onSettings();
  void onAttributes();
  void onInitialise();
  void onTeach();
  void onManual();
  void onWebsite();
  void onAbout();

  // Teaches the text file at `path` in the Teaching dialog and tells what
  // was learned; what dropping a file on the window does.
  void teachFile(const QString& path);
  // Shows the find bar under the transcript (Ctrl+F); Enter there finds the
  // next match, Escape hides it.
  void showFindBar();
  bool findNext(const QString& text);

  // The Escape key runs the close handling rather than dropping the chat.
  void reject() override;
  // Closes without questions (the session or the process is ending): any
  // dialog open over the window is dismissed first, then the mind is saved
  // and config.dat written.
  void closeWithoutQuestions();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenu(QMenuBar* bar);
  QAction* addCommand(QMenu* menu, const QString& text, int id, const char* objectName, void (CChatDlg::*handler)());
  void onSay();
  void onAnswerDue();
  void onCommitData(QSessionManager& manager);

  std::unique_ptr<Brain> freshBrain() const;
  // A fresh Brain on the mind in use, and a new chat (Restart, Initialise).
  void reloadCurrentMind();
  // Loads `path` into a fresh Brain, with the messages of the Load Mind
  // command. A refused mind brings back `previous` when that was in use.
  // Returns true when `path` itself is in use afterwards.
  bool loadReplacing(const std::string& path, const std::string& previous, bool previousInUse, bool versionNotes);
  // Saves the mind in use; false (after telling the user) when that failed.
  bool saveBeforeReplacing();
  void askForTranscript();
  void tell(const QString& text, const QString& title = QString());
  void showLoadFailure(const LoadResult& result, const std::string& path);
  void updateMindCommands();
  // "Vesko 4.1 - PATH (BOT)" once a mind is in use.
  void updateTitle();
  // A speaker's name as its label shows it: upper-cased, accents too.
  std::string labelName(bool isBot) const;
  // Opens a page with the desktop's handler, or says where it is.
  void openDocument(const QUrl& url);
  QString startFolder(const char* kind) const;
  void addShortcuts();
  void recallHistory(int step);
  // Saves the mind and writes config.dat; false keeps the window open.
  bool runCloseHandling(bool interactive);
  bool writeConfig();

  ChatWindowSetup setup_;
  Prompter& prompter_;
  QTextBrowser* transcript_;
  QLineEdit* input_;
  QPushButton* say_;
  QLineEdit* findBar_;
  QTimer answerTimer_;
  WindowMemory memory_;
  // Lines said in this window, oldest first; Up and Down in the input line
  // walk them. historyAt_ == history_.size() is the line being typed.
  std::vector<QString> history_;
  std::size_t historyAt_ = 0;
  QString typedBeforeHistory_;
  std::map<int, QAction*> actions_;
  QAction* showWhy_ = nullptr;
  QStatusBar* whyBar_ = nullptr;
  QString pendingWhy_;

  std::unique_ptr<Brain> brain_;
  // The lock beside the mind in use, and the file it locks (links resolved).
  std::unique_ptr<app::FolderLock> mindLock_;
  std::string lockedMind_;
  ChatLog log_;
  std::string currentMindFile_;
  std::string defaultMindFile_;
  std::string workingFolder_;
  bool chatStarted_ = false;
  Str pendingAnswer_;
  bool quitAfterAnswer_ = false;
  int userColour_ = 0;
  int botColour_ = 0;
  bool closed_ = false;

  // How much of log_ the transcript shows; a rebuild starts from nothing.
  bool rebuild_ = true;
  std::size_t shownLines_ = 0;
  std::size_t shownTextBytes_ = 0;
};

}  // namespace vesko::gui
