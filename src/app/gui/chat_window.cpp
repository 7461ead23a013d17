#include "app/gui/chat_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSessionManager>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>
#include <fstream>
#include <limits>

#include "app/advanced_source.h"
#include "app/config_file.h"
#include "app/gui/colour_table.h"
#include "app/gui/edit_mind_dialog.h"
#include "app/gui/mind_files.h"
#include "app/gui/prompter.h"
#include "app/gui/qt_text.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/teach_dialog.h"
#include "app/gui/transcript_file.h"
#include "app/gui/welcome_dialog.h"
#include "app/version.h"
#include "app/working_folder.h"
#include "engine/answer_trace.h"
#include "learning/mind_builder.h"
#include "storage/bank_files.h"

namespace vesko::gui {

namespace {

const QString kTitle = QString::fromLatin1(kProgramTitle);

const char* const kTooNewText =
    "This mind file was created with\na NEWER VERSION of Vesko than\nyou have.  It either does not have\nall the "
    "information needed by this\nversion, or it has the neccessary\ninformation stored in a way so that\nthis version "
    "of Vesko cannot access\nit.  The file cannot be safely loaded\nor used by this version of Vesko.";
const char* const kNewerCompatibleText =
    "This mind file was created with\na NEWER VERSION of Vesko than\nyou have.  It contains additional\ninformation "
    "that will not be used\nby this version of Vesko.  However,\nit still contains all the information\nneeded by this "
    "version.  The file\ncan be safely loaded and used\nby this version of Vesko.";
const char* const kOlderText =
    "This mind file was created with\na OLDER VERSION of Vesko than\nyou have.  It is missing some\nof the neccessary "
    "memory banks,\nbut this version of Vesko can \"emulate\" those\nmemory banks as if they did exist\nand safely load "
    "this file.";
const char* const kInitialiseWarning =
    "WARNING!\n This will clear this mind file's memory to the original state it was in when distributed.\n Continue?";
const char* const kSimpleCreatedText =
    "Mind file created.\n The mind's attributes (name, location, and so on) have been set to Vesko's defaults. \n You "
    "should now load the mind file in order to customize those settings to your liking.";
const char* const kAdvancedCreatedText =
    "Mind file created.\n The mind file has been successfully created.  You may now manually load it if you wish.";
const char* const kFolderCaption = "Select folder where neccessary MBK and TXT files reside:";
const char* const kCreatedTitle = "Mind File Created";

// A pasted line break would end a bank line early; it becomes a space.
QString oneLine(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

QString withSlash(QString folder) {
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool sameFolder(const QString& a, const QString& b) {
  const auto normal = [](const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
  };
  return normal(a) == normal(b);
}

bool readable(const std::string& path) { return !path.empty() && std::ifstream(path, std::ios::binary).is_open(); }

// "Say" with a focus frame the desktop's style may leave out (Fusion draws
// none on a push button), so a user who tabs to it sees where Enter goes.
class SayButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPushButton::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(4, 4, -5, -5));
  }
};

// The local text file among dropped URLs, if there is exactly one.
QString droppedTextFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return QString();
  const QUrl url = data->urls().first();
  if (!url.isLocalFile() || !url.toLocalFile().endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) return QString();
  return url.toLocalFile();
}

}  // namespace

CChatDlg::CChatDlg(ChatWindowSetup setup, QWidget* parent)
    : QDialog(parent),
      setup_(std::move(setup)),
      prompter_(*setup_.prompter),
      memory_(setup_.memoryFile),
      workingFolder_(setup_.workingFolder) {
  setObjectName(QStringLiteral("chatWindow"));
  setWindowTitle(kTitle);
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

  transcript_ = new QTextBrowser(this);
  transcript_->setObjectName(QStringLiteral("transcript"));
  transcript_->setReadOnly(true);
  transcript_->setOpenLinks(false);
  transcript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  transcript_->setLineWrapMode(QTextEdit::WidgetWidth);
  // Labels are coloured and the words black, so the page stays white whatever
  // the desktop's colour scheme.
  QPalette page = transcript_->palette();
  page.setColor(QPalette::Base, Qt::white);
  page.setColor(QPalette::Text, Qt::black);
  transcript_->setPalette(page);

  input_ = new QLineEdit(this);
  input_->setObjectName(QStringLiteral("input"));
  // A long paste is kept whole (the line edit's own limit is 32767 characters).
  input_->setMaxLength(std::numeric_limits<int>::max());
  input_->installEventFilter(this);
  say_ = new SayButton(QStringLiteral("Say"), this);
  say_->setObjectName(QStringLiteral("sayButton"));
  say_->setDefault(true);
  say_->setFocusPolicy(Qt::StrongFocus);
  connect(say_, &QPushButton::clicked, this, &CChatDlg::onSay);

  findBar_ = new QLineEdit(this);
  findBar_->setObjectName(QStringLiteral("findBar"));
  findBar_->setPlaceholderText(QStringLiteral("Find in the chat (Enter: next, Escape: close)"));
  findBar_->setClearButtonEnabled(true);
  findBar_->installEventFilter(this);
  findBar_->hide();
  connect(findBar_, &QLineEdit::returnPressed, this, [this] { findNext(findBar_->text()); });

  answerTimer_.setSingleShot(true);
  connect(&answerTimer_, &QTimer::timeout, this, &CChatDlg::onAnswerDue);

  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("menuBar"));
  buildMenu(bar);

  auto* inputRow = new QHBoxLayout;
  inputRow->addWidget(input_, 1);
  inputRow->addWidget(say_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(bar);
  layout->addWidget(transcript_, 1);
  layout->addWidget(findBar_);
  layout->addLayout(inputRow);
  whyBar_ = new QStatusBar(this);
  whyBar_->setObjectName(QStringLiteral("whyBar"));
  whyBar_->setSizeGripEnabled(false);
  whyBar_->setVisible(showWhy_->isChecked());
  layout->addWidget(whyBar_);
  resize(560, 420);
  restoreGeometry(memory_.geometry());
  input_->setFocus();
  setAcceptDrops(true);
  addShortcuts();

  brain_ = freshBrain();
  setColours(app::kDefaultUserColour, app::kDefaultBotColour);
  updateMindCommands();

  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, &CChatDlg::onCommitData);
  }
}

CChatDlg::~CChatDlg() {
  // However the window ends, a mind in use is not dropped unsaved.
  if (!closed_) runCloseHandling(false);
}

QAction* CChatDlg::addCommand(QMenu* menu, const QString& text, int id, const char* objectName,
                              void (CChatDlg::*handler)()) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QString::fromLatin1(objectName));
  action->setData(id);
  connect(action, &QAction::triggered, this, handler);
  actions_[id] = action;
  return action;
}

void CChatDlg::buildMenu(QMenuBar* bar) {
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  QMenu* newMind = file->addMenu(QStringLiteral("&New Mind"));
  addCommand(newMind, QStringLiteral("&Simple Mode..."), ID_FILE_NEWMIND_SIMPLE, "actionNewMindSimple",
             &CChatDlg::onNewMindSimple);
  addCommand(newMind, QStringLiteral("&Advanced Mode..."), ID_FILE_NEWMIND_ADVANCED, "actionNewMindAdvanced",
             &CChatDlg::onNewMindAdvanced);
  addCommand(file, QStringLiteral("&Load Mind..."), ID_FILE_LOADMIND, "actionLoadMind", &CChatDlg::onLoadMind);
  file->addSeparator();
  addCommand(file, QStringLiteral("&Save Transcript..."), ID_FILE_SAVETRANSCRIPT, "actionSaveTranscript",
             &CChatDlg::onSaveTranscript);
  file->addSeparator();
  addCommand(file, QStringLiteral("&Restart"), ID_FILE_RESTART, "actionRestart", &CChatDlg::onRestart);
  addCommand(file, QStringLiteral("E&xit"), ID_FILE_EXIT, "actionExit", &CChatDlg::onExit);

  QMenu* customize = bar->addMenu(QStringLiteral("&Customize"));
  addCommand(customize, QStringLiteral("Program &Settings..."), ID_CUSTOMIZE_SETTINGS, "actionSettings",
             &CChatDlg::onSettings);
  showWhy_ = customize->addAction(QStringLiteral("Show &Why"));
  showWhy_->setObjectName(QStringLiteral("actionShowWhy"));
  showWhy_->setCheckable(true);
  showWhy_->setChecked(memory_.showWhy());
  connect(showWhy_, &QAction::toggled, this, &CChatDlg::setShowWhy);
  QMenu* mindFile = customize->addMenu(QStringLiteral("&Mind File"));
  addCommand(mindFile, QStringLiteral("Attributes..."), ID_MINDFILE_ATTRIBUTES, "actionAttributes",
             &CChatDlg::onAttributes);
  mindFile->addSeparator();
  addCommand(mindFile, QStringLiteral("Initialize..."), ID_MINDFILE_INITIALIZE, "actionInitialise",
             &CChatDlg::onInitialise);
  addCommand(mindFile, QStringLiteral("Teach..."), ID_MINDFILE_TEACH, "actionTeach", &CChatDlg::onTeach);

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  addCommand(help, QStringLiteral("&Manual"), ID_HELP_MANUAL, "actionManual", &CChatDlg::onManual);
  addCommand(help, QStringLiteral("Go to &Website"), ID_HELP_WEBSITE, "actionWebsite", &CChatDlg::onWebsite);
  addCommand(help, QStringLiteral("&About Vesko..."), ID_HELP_ABOUT, "actionAbout", &CChatDlg::onAbout);
}

QAction* CChatDlg::action(int commandId) const {
  const auto found = actions_.find(commandId);
  return found == actions_.end() ? nullptr : found->second;
}

std::unique_ptr<Brain> CChatDlg::freshBrain() const {
  auto brain = std::make_unique<Brain>(Str(workingFolder_), false, Str(),
                                       setup_.environment ? setup_.environment() : BrainEnvironment{});
  brain->setTracing(showsWhy());
  return brain;
}

bool CChatDlg::showsWhy() const { return showWhy_ != nullptr && showWhy_->isChecked(); }

void CChatDlg::setShowWhy(bool on) {
  if (showWhy_->isChecked() != on) {
    showWhy_->setChecked(on);  // comes back here through toggled
    return;
  }
  if (brain_ != nullptr) brain_->setTracing(on);
  whyBar_->setVisible(on);
  whyBar_->clearMessage();
  memory_.setShowWhy(on);
}

void CChatDlg::updateMindCommands() {
  // Without a mind in use there is nothing to restart, reset, customise or teach.
  const bool loaded = mindLoaded();
  for (int id : {ID_FILE_RESTART, ID_MINDFILE_INITIALIZE, ID_MINDFILE_ATTRIBUTES, ID_MINDFILE_TEACH})
    actions_.at(id)->setEnabled(loaded);
  // Nobody to talk to: the input waits until a mind is loaded.
  input_->setEnabled(loaded);
  input_->setPlaceholderText(loaded ? QString() : QStringLiteral("No mind is loaded: choose one with File > Load Mind..."));
  if (!answerTimer_.isActive()) say_->setEnabled(loaded);
  updateTitle();
}

void CChatDlg::updateTitle() {
  if (!mindLoaded()) {
    setWindowTitle(kTitle);
    return;
  }
  setWindowTitle(kTitle + QStringLiteral(" - ") + toQString(currentMindFile_) + QStringLiteral(" (") +
                 toQString(brain_->botInfo().name) + QStringLiteral(")"));
}

std::string CChatDlg::labelName(bool isBot) const {
  // The engine upper-cases ASCII letters only; Qt does the rest (é to É).
  const Str name = isBot ? brain_->botNameUpper() : brain_->userNameUpper();
  return toStr(toQString(name).toUpper()).std();
}

void CChatDlg::addShortcuts() {
  action(ID_FILE_EXIT)->setShortcut(QKeySequence::Quit);
  action(ID_HELP_MANUAL)->setShortcut(QKeySequence::HelpContents);
  action(ID_FILE_SAVETRANSCRIPT)->setShortcut(QKeySequence::Save);
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, &CChatDlg::showFindBar);
  for (const QKeySequence& zoomIn : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
    connect(new QShortcut(zoomIn, this), &QShortcut::activated, this, [this] { transcript_->zoomIn(1); });
  connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this, [this] { transcript_->zoomOut(1); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this, [this] {
    transcript_->setFont(font());
  });
}

void CChatDlg::showFindBar() {
  findBar_->show();
  findBar_->setFocus();
  findBar_->selectAll();
}

bool CChatDlg::findNext(const QString& text) {
  if (text.isEmpty()) return false;
  if (transcript_->find(text)) return true;
  // From the top once more before giving up.
  QTextCursor top(transcript_->document());
  transcript_->setTextCursor(top);
  return transcript_->find(text);
}

void CChatDlg::recallHistory(int step) {
  if (history_.empty()) return;
  if (historyAt_ == history_.size()) typedBeforeHistory_ = input_->text();
  if (step < 0 && historyAt_ > 0) --historyAt_;
  else if (step > 0 && historyAt_ < history_.size()) ++historyAt_;
  input_->setText(historyAt_ == history_.size() ? typedBeforeHistory_ : history_[historyAt_]);
}

bool CChatDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == input_ && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      recallHistory(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
    // Escape in the find bar closes the bar, not the window.
    if (watched == findBar_ && key->key() == Qt::Key_Escape) {
      findBar_->hide();
      input_->setFocus();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CChatDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (mindLoaded() && !droppedTextFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CChatDlg::dropEvent(QDropEvent* event) {
  const QString path = droppedTextFile(event->mimeData());
  if (!mindLoaded() || path.isEmpty()) return;
  event->acceptProposedAction();
  // The drop ends before the dialog runs, so the dragging program is not held up.
  QTimer::singleShot(0, this, [this, path] { teachFile(path); });
}

QString CChatDlg::startFolder(const char* kind) const {
  return memory_.folder(kind, QDir::cleanPath(toQString(workingFolder_)));
}

void CChatDlg::openDocument(const QUrl& url) { gui::openDocument(prompter_, this, url); }

void CChatDlg::tell(const QString& text, const QString& title) {
  prompter_.ask(this, QMessageBox::Information, title.isEmpty() ? kTitle : title, text, QMessageBox::Ok);
}

// --- the conversation ---------------------------------------------------------

void CChatDlg::setColours(int userColour, int botColour) {
  userColour_ = isValidColour(userColour) ? userColour : app::kDefaultUserColour;
  botColour_ = isValidColour(botColour) ? botColour : app::kDefaultBotColour;
  rebuild_ = true;  // the next refresh recolours every label shown
}

void CChatDlg::startLine(bool isBot) {
  log_.startLine(isBot, labelName(isBot));
}

void CChatDlg::appendText(bool isBot, const Str& text, bool labelFirst) {
  if (labelFirst) startLine(isBot);
  log_.appendText(text.std());
}

void CChatDlg::refresh() {
  // Lines are only ever added at the end, so the document grows by what is
  // new; a change of colours or a new chat draws it again from the start.
  if (rebuild_) {
    transcript_->clear();
    shownLines_ = 0;
    shownTextBytes_ = 0;
    rebuild_ = false;
  }
  QTextCursor cursor(transcript_->document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat plain;
  plain.setFontWeight(QFont::Normal);
  plain.setForeground(QColor(Qt::black));
  const std::vector<ChatLine>& lines = log_.lines();
  for (std::size_t i = shownLines_ == 0 ? 0 : shownLines_ - 1; i < lines.size(); ++i) {
    const ChatLine& line = lines[i];
    if (i >= shownLines_) {
      if (i > 0) cursor.insertBlock();
      if (!line.label.empty()) {
        QTextCharFormat label;
        label.setFontWeight(QFont::Bold);
        label.setForeground(colourAt(line.isBot ? botColour_ : userColour_));
        cursor.insertText(toQString(line.label + "> "), label);
      }
      shownLines_ = i + 1;
      shownTextBytes_ = 0;
    }
    if (line.text.size() > shownTextBytes_) {
      // insertText shows the characters themselves: nothing typed is markup.
      cursor.insertText(toQString(line.text.substr(shownTextBytes_)), plain);
      shownTextBytes_ = line.text.size();
    }
  }
  transcript_->setTextCursor(cursor);
  transcript_->ensureCursorVisible();
  transcript_->verticalScrollBar()->setValue(transcript_->verticalScrollBar()->maximum());
}

void CChatDlg::startChat() {
  log_.clear();
  rebuild_ = true;
  if (!mindLoaded()) {
    refresh();
    return;
  }
  const Str answer = brain_->respond(Str("START_VESKO"));
  appendText(true, answer, true);
  startLine(false);
  refresh();
}

void CChatDlg::onSay() {
  if (!say_->isEnabled() || brain_ == nullptr) return;
  const Str text = toStr(oneLine(input_->text()));
  pendingAnswer_ = brain_->respond(text);
  if (showsWhy()) pendingWhy_ = toQString(describeTrace(brain_->lastAnswerTrace()));
  // The user's label already stands after the previous answer.
  appendText(false, text, false);
  startLine(true);
  refresh();
  if (history_.empty() || history_.back() != input_->text()) history_.push_back(input_->text());
  historyAt_ = history_.size();
  input_->clear();
  quitAfterAnswer_ = text.upper() == "BYE";
  say_->setEnabled(false);
  // What is typed next goes to the input line, wherever the click was.
  input_->setFocus();
  answerTimer_.start(static_cast<int>(brain_->random().draw() % 3000));
}

void CChatDlg::onAnswerDue() {
  if (brain_ == nullptr) return;
  appendText(true, pendingAnswer_, false);
  startLine(false);
  refresh();
  if (showsWhy()) whyBar_->showMessage(QStringLiteral("Why: ") + pendingWhy_);
  chatStarted_ = true;
  if (quitAfterAnswer_) QTimer::singleShot(0, this, [this] { close(); });
  say_->setEnabled(mindLoaded());
  if (!findBar_->hasFocus()) input_->setFocus();
}

// --- start-up -----------------------------------------------------------------

void CChatDlg::initialise() {
  // The shell has already reported a damaged config.dat when it opened the
  // folder; lines that could not be used read as their defaults here.
  const app::ConfigReading reading = app::readConfigFile(workingFolder_ + app::kConfigFileName);
  const app::Config& config = reading.config;
  // A relative name is taken in the working folder, on the first run and after.
  defaultMindFile_ = config.defaultMindFile.empty() ? std::string() : app::inFolder(workingFolder_, config.defaultMindFile);
  currentMindFile_ = defaultMindFile_;
  if (config.firstRun == 1) {
    CWelcomeDlg welcome(QUrl::fromLocalFile(toQString(workingFolder_ + "manual.html")), prompter_, this);
    prompter_.runDialog(welcome);
    if (closed_) return;
  } else {
    setColours(config.userColour, config.botColour);
  }

  bool loaded = false;
  if (readable(currentMindFile_)) loaded = loadReplacing(currentMindFile_, std::string(), false, false);
  // A missing or refused default mind: the user picks another, or goes on
  // without a mind.
  while (!loaded) {
    const QString chosen = withMindExtension(prompter_.openFileName(this, mindFileChoice(QStringLiteral("Load Mind"), startFolder(WindowMemory::kMinds))));
    if (chosen.isEmpty() || closed_) break;
    memory_.rememberFolderOf(WindowMemory::kMinds, chosen);
    const std::string path = toStr(chosen).std();
    loaded = loadReplacing(path, std::string(), false, true);
    if (loaded) defaultMindFile_ = currentMindFile_ = path;
  }
  if (closed_) return;
  if (!loaded) brain_ = freshBrain();
  startChat();
  updateMindCommands();
}

// --- loading and saving minds -------------------------------------------------

void CChatDlg::showLoadFailure(const LoadResult& result, const std::string& path) {
  if (!result.status.isOk()) {
    prompter_.ask(this, QMessageBox::Critical, kTitle,
                  QStringLiteral("The mind file %1 cannot be loaded:\n%2")
                      .arg(toQString(path), toQString(result.status.message())),
                  QMessageBox::Ok);
  } else if (result.code == LoadResult::kTooNew) {
    prompter_.ask(this, QMessageBox::Warning, kTitle, QString::fromLatin1(kTooNewText), QMessageBox::Ok);
  }
}

bool CChatDlg::loadReplacing(const std::string& path, const std::string& previous, bool previousInUse,
                             bool versionNotes) {
  brain_ = freshBrain();
  // The mind stays locked while this window has it in use, so another Vesko
  // on another working folder cannot save over it meanwhile.
  Str resolved;
  std::unique_ptr<app::FolderLock> lock;
  LoadResult result;
  if (resolveMindFile(Str(path), resolved).isOk() && resolved.std() != lockedMind_) {
    lock = app::FolderLock::forMind(resolved.std(), std::chrono::milliseconds(0));
    if (!lock->held()) result.status = Status::ioError(Str(lock->error()));
  }
  if (result.status.isOk()) result = brain_->loadMind(Str(path));
  if (result.loaded()) {
    if (lock) {
      mindLock_ = std::move(lock);
      lockedMind_ = resolved.std();
    }
    if (versionNotes && result.code == LoadResult::kNewerCompatible) tell(QString::fromLatin1(kNewerCompatibleText));
    if (versionNotes && result.code == LoadResult::kOlder) tell(QString::fromLatin1(kOlderText));
    return true;
  }
  showLoadFailure(result, path);
  if (closed_) return false;
  // A refused mind is never saved: the Brain that tried it is dropped.
  brain_ = freshBrain();
  if (previousInUse) {
    const LoadResult back = brain_->loadMind(Str(previous));
    if (!back.loaded()) {
      showLoadFailure(back, previous);
      brain_ = freshBrain();
    }
  }
  return false;
}

bool CChatDlg::saveBeforeReplacing() {
  if (!mindLoaded()) return true;
  const Status saved = brain_->saveMind();
  if (saved.isOk()) return true;
  prompter_.ask(this, QMessageBox::Critical, kTitle,
                QStringLiteral("The mind could not be saved, so it stays in use:\n%1").arg(toQString(saved.message())),
                QMessageBox::Ok);
  return false;
}

void CChatDlg::askForTranscript() {
  if (!chatStarted_) return;
  if (prompter_.ask(this, QMessageBox::Question, kTitle, QStringLiteral("Would you like to save a transcript of this chat?"),
                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
    onSaveTranscript();
}

void CChatDlg::onLoadMind() {
  const QString chosen = withMindExtension(prompter_.openFileName(this, mindFileChoice(QStringLiteral("Load Mind"), startFolder(WindowMemory::kMinds))));
  if (chosen.isEmpty()) return;
  memory_.rememberFolderOf(WindowMemory::kMinds, chosen);
  askForTranscript();
  if (closed_) return;
  const bool previousInUse = mindLoaded();
  if (!saveBeforeReplacing()) return;
  const std::string path = toStr(chosen).std();
  if (loadReplacing(path, currentMindFile_, previousInUse, true)) currentMindFile_ = path;
  startChat();
  updateMindCommands();
}

void CChatDlg::reloadCurrentMind() {
  brain_ = freshBrain();
  const LoadResult result = brain_->loadMind(Str(currentMindFile_));
  if (!result.loaded()) {
    showLoadFailure(result, currentMindFile_);
    brain_ = freshBrain();
  }
  startChat();
  updateMindCommands();
}

void CChatDlg::onRestart() {
  if (!mindLoaded()) return;
  askForTranscript();
  if (closed_ || !saveBeforeReplacing()) return;
  reloadCurrentMind();
}

void CChatDlg::onInitialise() {
  if (!mindLoaded()) return;
  // No is the default: Enter must never wipe a mind.
  if (prompter_.ask(this, QMessageBox::Warning, kTitle, QString::fromLatin1(kInitialiseWarning),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  askForTranscript();
  if (closed_) return;
  // The mind in use is not saved first: what it learned is what is cleared.
  const Status reset = brain_->createMindStep(6, Str(currentMindFile_));
  if (!reset.isOk()) {
    prompter_.ask(this, QMessageBox::Critical, kTitle,
                  QStringLiteral("The mind could not be initialized:\n%1").arg(toQString(reset.message())), QMessageBox::Ok);
    return;
  }
  // Its banks are let go on purpose; left in the folder they would look
  // like the remains of an unfinished save.
  brain_->discardMind();
  reloadCurrentMind();
}

void CChatDlg::onNewMindSimple() {
  const QString chosen = withMindExtension(
      prompter_.saveFileName(this, mindFileChoice(QStringLiteral("New Mind"), startFolder(WindowMemory::kMinds))));
  if (chosen.isEmpty() || closed_) return;
  memory_.rememberFolderOf(WindowMemory::kMinds, chosen);
  if (mindLoaded() && sameFile(chosen, toQString(currentMindFile_))) {
    prompter_.ask(this, QMessageBox::Warning, kTitle,
                  QStringLiteral("%1 is the mind in use. Choose another file for the new mind.").arg(chosen),
                  QMessageBox::Ok);
    return;
  }
  const Status made = brain_->createMindStep(6, toStr(chosen));
  if (!made.isOk()) {
    prompter_.ask(this, QMessageBox::Critical, kTitle,
                  QStringLiteral("The mind file could not be created:\n%1").arg(toQString(made.message())), QMessageBox::Ok);
    return;
  }
  tell(QString::fromLatin1(kSimpleCreatedText), QString::fromLatin1(kCreatedTitle));
}

void CChatDlg::onNewMindAdvanced() {
  const QString chosen =
      prompter_.existingFolder(this, QString::fromLatin1(kFolderCaption), startFolder(WindowMemory::kMinds));
  if (chosen.isEmpty() || closed_) return;
  memory_.rememberFolderOf(WindowMemory::kMinds, chosen, true);
  const QString folder = withSlash(chosen);
  // The banks are built in the chosen folder: in the working folder they
  // would overwrite the banks of the mind in use.
  if (sameFolder(folder, toQString(workingFolder_))) {
    prompter_.ask(this, QMessageBox::Warning, kTitle,
                  QStringLiteral("The working folder holds the banks of the mind in use and cannot be the source of "
                                 "a new mind. Choose another folder."),
                  QMessageBox::Ok);
    return;
  }
  if (const std::string problem = app::advancedSourceProblem(toStr(folder).std()); !problem.empty()) {
    prompter_.ask(this, QMessageBox::Warning, kTitle, toQString(problem), QMessageBox::Ok);
    return;
  }
  const QString newMind = folder + QStringLiteral("new.mnd");
  if (mindLoaded() && sameFile(newMind, toQString(currentMindFile_))) {
    prompter_.ask(this, QMessageBox::Warning, kTitle,
                  QStringLiteral("%1 is the mind in use and cannot be replaced. Load another mind first.").arg(newMind),
                  QMessageBox::Ok);
    return;
  }
  if (QFileInfo::exists(newMind) &&
      prompter_.ask(this, QMessageBox::Question, kTitle,
                    QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(newMind),
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  if (closed_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Status made = buildLanguageBanks(toStr(folder), toStr(folder), brain_->random());
  if (made.isOk()) made = brain_->createMindStep(5, toStr(folder));
  QApplication::restoreOverrideCursor();
  if (!made.isOk()) {
    prompter_.ask(this, QMessageBox::Critical, kTitle,
                  QStringLiteral("The mind file could not be created:\n%1").arg(toQString(made.message())), QMessageBox::Ok);
    return;
  }
  tell(QString::fromLatin1(kAdvancedCreatedText), QString::fromLatin1(kCreatedTitle));
}

void CChatDlg::onSaveTranscript() {
  // Saving into an existing transcript appends to it, so nothing is overwritten.
  if (brain_ == nullptr) return;
  const LocalTime now = brain_->clock().localNow();
  const QString suggested = QStringLiteral("%1/Vesko transcript %2-%3-%4.txt")
                                .arg(startFolder(WindowMemory::kTranscripts))
                                .arg(now.year)
                                .arg(now.month + 1, 2, 10, QLatin1Char('0'))
                                .arg(now.day, 2, 10, QLatin1Char('0'));
  const FileChoice choice{QStringLiteral("Save Transcript"), QStringLiteral("Text file (*.txt)"), QStringLiteral("txt"),
                          false, suggested};
  const QString chosen = prompter_.saveFileName(this, choice);
  if (chosen.isEmpty() || brain_ == nullptr) return;
  memory_.rememberFolderOf(WindowMemory::kTranscripts, chosen);
  const std::string block = transcriptBlock(brain_->clock().localNow(), labelName(true), labelName(false), log_.plainLog());
  const std::string failure = saveTranscript(toStr(chosen).std(), block);
  if (!failure.empty()) {
    prompter_.ask(this, QMessageBox::Critical, kTitle,
                  QStringLiteral("The transcript could not be written to %1: %2.").arg(chosen, toQString(failure)),
                  QMessageBox::Ok);
    return;
  }
  chatStarted_ = false;
}

// --- dialogs and help -----------------------------------------------------------

void CChatDlg::onSettings() {
  CSettingsDlg dialog(toQString(defaultMindFile_), userColour_, botColour_, prompter_, this);
  dialog.setStartFolder(startFolder(WindowMemory::kMinds));
  if (prompter_.runDialog(dialog) == QDialog::Accepted) {
    defaultMindFile_ = toStr(dialog.defaultMindFile()).std();
    userColour_ = dialog.userColour();
    botColour_ = dialog.botColour();
  }
  setColours(userColour_, botColour_);
  refresh();
}

void CChatDlg::onAttributes() {
  if (!mindLoaded()) return;
  CEditMind dialog(brain_->botInfo(), this);
  if (prompter_.runDialog(dialog) == QDialog::Accepted && !closed_) brain_->botInfo() = dialog.botInfo();
  updateTitle();
}

void CChatDlg::onTeach() {
  if (!mindLoaded()) return;
  CTeachDlg dialog(*brain_, prompter_, this);
  dialog.setStartFolder(startFolder(WindowMemory::kTexts));
  prompter_.runDialog(dialog);
  memory_.rememberFolderOf(WindowMemory::kTexts, dialog.taughtFile());
}

void CChatDlg::teachFile(const QString& path) {
  if (!mindLoaded() || answerTimer_.isActive()) return;
  CTeachDlg dialog(*brain_, prompter_, this);
  dialog.show();
  dialog.teachFile(path);
}

void CChatDlg::onManual() { openDocument(QUrl::fromLocalFile(toQString(workingFolder_ + "manual.html"))); }

void CChatDlg::onWebsite() {
  // Without a web site configured at build time the manual stands in for it.
  if (setup_.homePage.empty()) onManual();
  else openDocument(QUrl(toQString(setup_.homePage)));
}

void CChatDlg::onAbout() {
  CAboutDlg dialog(this);
  prompter_.runDialog(dialog);
}

// --- closing --------------------------------------------------------------------

void CChatDlg::onExit() { close(); }

void CChatDlg::reject() { close(); }

void CChatDlg::closeEvent(QCloseEvent* event) {
  if (!closed_ && !runCloseHandling(true)) {
    event->ignore();
    return;
  }
  closed_ = true;
  answerTimer_.stop();
  memory_.setGeometry(saveGeometry());
  event->accept();
}

bool CChatDlg::runCloseHandling(bool interactive) {
  if (interactive) askForTranscript();
  while (mindLoaded()) {
    const Status saved = brain_->saveMind();
    if (saved.isOk() || !interactive) break;
    const auto choice = prompter_.ask(
        this, QMessageBox::Critical, kTitle,
        QStringLiteral("The mind could not be saved:\n%1\n\nRetry, close without saving, or cancel to keep chatting?")
            .arg(toQString(saved.message())),
        QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel);
    if (choice == QMessageBox::Discard) break;
    if (choice != QMessageBox::Retry) return false;
  }
  // The saved Brain stays until the window goes, for a command that was
  // still waiting on a dialog when the session ended; it no longer has a mind.
  if (!writeConfig() && interactive)
    prompter_.ask(this, QMessageBox::Warning, kTitle,
                  QStringLiteral("The settings could not be written to %1.")
                      .arg(toQString(workingFolder_ + app::kConfigFileName)),
                  QMessageBox::Ok);
  return true;
}

bool CChatDlg::writeConfig() {
  app::Config config;
  config.firstRun = 0;
  config.defaultMindFile = defaultMindFile_;
  config.userColour = userColour_;
  config.botColour = botColour_;
  return app::writeConfigFile(workingFolder_ + app::kConfigFileName, config);
}

void CChatDlg::onCommitData(QSessionManager&) {
  // The session is ending: save now, without questions nobody may answer.
  closeWithoutQuestions();
}

void CChatDlg::closeWithoutQuestions() {
  if (closed_) return;
  // A dialog over the window (a message box, the teaching loop) still holds
  // the Brain on its stack: dismiss it and come back once it has returned.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != this) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
    QTimer::singleShot(50, this, &CChatDlg::closeWithoutQuestions);
    return;
  }
  runCloseHandling(false);
  closed_ = true;
  answerTimer_.stop();
  close();
}

}  // namespace vesko::gui
