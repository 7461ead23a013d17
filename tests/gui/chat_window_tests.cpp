// The chat window driven as a user would drive it, on the offscreen platform.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <fstream>

#include "app/gui/colour_table.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

const char* const kTooNewText =
    "This mind file was created with\na NEWER VERSION of Vesko than\nyou have.  It either does not have\nall the "
    "information needed by this\nversion, or it has the neccessary\ninformation stored in a way so that\nthis version "
    "of Vesko cannot access\nit.  The file cannot be safely loaded\nor used by this version of Vesko.";

// A working folder, a scripted user and, once opened, the chat window on them.
struct Session {
  TestFolder folder;
  ScriptedPrompter prompter;
  std::unique_ptr<CChatDlg> window;

  explicit Session(bool open = true) {
    if (open) this->open();
  }
  void open() { window = openWindow(folder, prompter); }
  void trigger(int id) { window->action(id)->trigger(); }
  QLineEdit* input() const { return window->findChild<QLineEdit*>(QStringLiteral("input")); }
  QPushButton* sayButton() const { return window->findChild<QPushButton*>(QStringLiteral("sayButton")); }
  QTextDocument* document() const { return window->findChild<QTextBrowser*>(QStringLiteral("transcript"))->document(); }
  // Types a line and presses Enter, which "Say" takes as the default button.
  void type(const QString& text) {
    input()->setText(text);
    QTest::keyClick(input(), Qt::Key_Return);
  }
  bool waitForAnswer() { return QTest::qWaitFor([&] { return sayButton()->isEnabled(); }, 4000); }
  bool say(const QString& text) {
    type(text);
    return waitForAnswer();
  }
  QString botLabel() const { return QString::fromStdString(window->brain()->botNameUpper().std() + "> "); }
};

// Every line starts with a bold label in the speaker's colour; the words
// after it are plain black.
void checkLabels(QTextDocument* doc, const QString& botLabel, const QColor& user, const QColor& bot) {
  int labels = 0;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    bool first = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (first) {
        QVERIFY2(it.fragment().text().endsWith(QStringLiteral("> ")), qPrintable(it.fragment().text()));
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
        QCOMPARE(format.foreground().color(), block.text().startsWith(botLabel) ? bot : user);
        ++labels;
      } else {
        QVERIFY(format.fontWeight() != int(QFont::Bold));
        QCOMPARE(format.foreground().color(), QColor(Qt::black));
      }
      first = false;
    }
  }
  QVERIFY(labels >= 2);
}

}  // namespace

class ChatWindowTests : public QObject {
  Q_OBJECT

 private slots:
  // Enter shows the typed line as typed (markup too) at once, the answer after
  // the delay, each after its label; "Say" is off while the answer is pending.
  // New colours recolour every label; a cancelled settings dialog changes
  // nothing, even after edits.
  void sayShowsTheLineThenTheAnswerWithColouredLabels() {
    Session s;
    QVERIFY(s.window->mindLoaded());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Vesko 4.1"));
    // The same mind with the same clock and draws answers the same lines.
    TestFolder twinFolder;
    Brain twin(Str(twinFolder.folder()), false, Str(), testEnvironment());
    QVERIFY(twin.loadMind(Str(twinFolder.mind())).loaded());
    ChatLog expected;
    expected.startLine(true, twin.botNameUpper().std());
    expected.appendText(twin.respond(Str("START_VESKO")).std());
    expected.startLine(false, twin.userNameUpper().std());
    QCOMPARE(s.window->plainLog(), expected.plainLog());

    const QString line = QStringLiteral("<b>hello</b> {\\b \\par} &amp; caf\u00e9");
    s.type(line);
    const Str answer = twin.respond(Str(line.toUtf8().toStdString()));
    expected.appendText(line.toUtf8().toStdString());
    expected.startLine(true, twin.botNameUpper().std());
    // Until the timer fires the bot's label waits alone and "Say" is off.
    QVERIFY(!s.sayButton()->isEnabled() && s.input()->text().isEmpty());
    QCOMPARE(s.window->plainLog(), expected.plainLog());
    QVERIFY(s.waitForAnswer());
    expected.appendText(answer.std());
    expected.startLine(false, twin.userNameUpper().std());
    QCOMPARE(s.window->plainLog(), expected.plainLog());
    QCOMPARE(s.document()->toPlainText().toStdString(), expected.plainLog());
    QVERIFY(s.window->chatStarted());
    checkLabels(s.document(), s.botLabel(), colourAt(1), colourAt(3));

    const auto pick = [&](int user, int bot, int result) {
      s.prompter.dialogs = {[=](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"))->setCurrentIndex(user);
        dialog.findChild<QComboBox*>(QStringLiteral("botColourCombo"))->setCurrentIndex(bot);
        return result;
      }};
      s.trigger(ID_CUSTOMIZE_SETTINGS);
    };
    pick(5, 7, QDialog::Accepted);
    QVERIFY(s.window->userColour() == 5 && s.window->botColour() == 7);
    checkLabels(s.document(), s.botLabel(), colourAt(5), colourAt(7));
    pick(0, 0, QDialog::Rejected);
    QVERIFY(s.window->userColour() == 5 && s.window->botColour() == 7);
    checkLabels(s.document(), s.botLabel(), colourAt(5), colourAt(7));
  }

  // "bye" (no mark after it) closes after the answer, Escape at once; either way
  // the mind is saved and config.dat rewritten with first run "0".
  void byeOrEscapeClosesSavingMindAndSettings() {
    for (const bool escape : {false, true}) {
      Session s(false);
      s.folder.setConfig(0, s.folder.mind(), 4, 8);
      s.open();
      const QByteArray before = readBytes(s.folder.mind());
      QVERIFY(!s.folder.banks().isEmpty());
      writeBytes(s.folder.path(QStringLiteral("config.dat")), "stale");
      if (escape) {
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(s.prompter.asked.empty());  // nothing said yet: no transcript to offer
      } else {
        QVERIFY(s.say(QStringLiteral("bye.")));  // a mark added: not a farewell
        QTest::qWait(50);
        QVERIFY(s.window->isVisible());
        s.prompter.answers = {QMessageBox::No};  // no transcript
        s.type(QStringLiteral("ByE"));
        QVERIFY(QTest::qWaitFor([&] { return !s.window->isVisible(); }, 4000));
        QCOMPARE(s.prompter.askedTexts(), QStringList{QStringLiteral("Would you like to save a transcript of this chat?")});
        QVERIFY(s.window->plainLog().find("ByE\n") != std::string::npos);
        QVERIFY(readBytes(s.folder.mind()) != before);
      }
      QVERIFY(!s.window->isVisible() && s.folder.banks().isEmpty());  // packed back into the mind file
      QCOMPARE(s.folder.config(), QByteArray::fromStdString(app::formatConfig(app::Config{0, s.folder.mind(), 4, 8})));
    }
  }

  // A second save to the same file appends its block; a failed write keeps the
  // chat started, so the transcript is offered again.
  void savingATranscriptTwiceAppendsTheSecondBlock() {
    Session s;
    QVERIFY(s.say(QStringLiteral("hello")) && s.window->chatStarted());
    const QString file = s.folder.path(QStringLiteral("chat.txt"));
    s.prompter.files = {file, file};
    s.trigger(ID_FILE_SAVETRANSCRIPT);
    QVERIFY(!s.window->chatStarted());
    s.trigger(ID_FILE_SAVETRANSCRIPT);
    const std::string log = s.window->plainLog();
    const std::string user = log.substr(log.rfind('\n') + 1, log.size() - log.rfind('\n') - 3);
    std::string botInfo;
    std::getline(std::ifstream(s.folder.folder() + "botinfo.x"), botInfo);
    const std::string rule(54, '#');
    const std::string block = rule + "\n### VESKO 4.1: Transcript of January 17, 2004 at 8:46\n### Bot " +
                              Str(botInfo).upper().std() + " talking to " + user + "\n" + rule + "\n" + log;
    QCOMPARE(readBytes(file), QByteArray::fromStdString(block + "\n" + block));
    QVERIFY(log.back() == ' ');  // the waiting label has no line feed
    QCOMPARE(s.prompter.fileChoices.back().confirmOverwrite, false);

    QVERIFY(s.say(QStringLiteral("again")));
    s.prompter.files = {s.folder.path(QStringLiteral("no/such/folder/chat.txt"))};
    s.trigger(ID_FILE_SAVETRANSCRIPT);
    QCOMPARE(s.prompter.asked.size(), std::size_t{1});
    QVERIFY(s.window->chatStarted());
  }

  // A loadable mind replaces the one in use and names itself in the title; a
  // too new (generation 400) or damaged one is reported and the previous kept.
  void loadingKeepsThePreviousMindWhenTheNewOneIsTooNewOrDamaged() {
    Session s;
    const QString copy = s.folder.path(QStringLiteral("copy.mnd"));
    QVERIFY(QFile::copy(QString::fromStdString(s.folder.mind()), copy));
    const QString future = s.folder.path(QStringLiteral("future.mnd"));
    const QByteArray futureBytes("[{[version.mbk]}]\n5.0\n400\n[{[botinfo.mbk]}]\nNova\nfriend\nAnn\nfemale\n3\nMars\n");
    writeBytes(future, futureBytes);
    const QString damaged = s.folder.path(QStringLiteral("damaged.mnd"));
    writeBytes(damaged, QByteArray("[{[version.mbk]}]\n4.1\nthree hundred\n"));
    s.prompter.files = {copy, future, damaged};
    for (int i = 0; i < 3; ++i) s.trigger(ID_FILE_LOADMIND);
    QCOMPARE(s.prompter.asked.size(), std::size_t{2});
    QCOMPARE(s.prompter.asked[0].text, QString::fromLatin1(kTooNewText));
    QCOMPARE(s.prompter.asked[1].icon, QMessageBox::Critical);
    QVERIFY(s.prompter.asked[1].text.contains(QStringLiteral("version.mbk")));
    QVERIFY(s.window->mindLoaded() && s.window->brain()->botNameUpper() != Str("NOVA"));
    QCOMPARE(s.window->currentMindFile(), copy.toStdString());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Vesko 4.1 - ") + copy);
    QCOMPARE(readBytes(future), futureBytes);
  }

  void cancelledDialogsChangeNothing() {
    Session s;
    const std::string log = s.window->plainLog();
    const QStringList files = QDir(s.folder.path()).entryList(QDir::Files);
    const QByteArray mind = readBytes(s.folder.mind());
    for (int id : {ID_FILE_LOADMIND, ID_FILE_NEWMIND_SIMPLE, ID_FILE_NEWMIND_ADVANCED, ID_FILE_SAVETRANSCRIPT,
                   ID_CUSTOMIZE_SETTINGS, ID_MINDFILE_ATTRIBUTES, ID_MINDFILE_TEACH, ID_MINDFILE_INITIALIZE})
      s.trigger(id);
    QCOMPARE(s.prompter.asked.size(), std::size_t{1});  // only the initialise warning, answered No
    QCOMPARE(s.window->plainLog(), log);
    QCOMPARE(s.window->currentMindFile(), s.folder.mind());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Vesko 4.1"));
    QVERIFY(s.window->mindLoaded());
    QCOMPARE(QDir(s.folder.path()).entryList(QDir::Files), files);
    QCOMPARE(readBytes(s.folder.mind()), mind);
  }

  // Without a mind (the file dialog cancelled) the mind commands wait and
  // nothing is saved; a mind that cannot be saved keeps the window open until
  // the user discards it.
  void closingWithoutAMindOrAWayToSaveIt() {
    Session none(false);
    none.folder.setConfig(0, none.folder.folder() + "missing.mnd", 1, 3);
    none.open();
    QCOMPARE(none.prompter.fileChoices.at(0).filter, QStringLiteral("Vesko mind files (*.mnd)"));
    QVERIFY(!none.window->mindLoaded() && none.window->plainLog().empty());
    for (int id : {ID_FILE_RESTART, ID_MINDFILE_INITIALIZE, ID_MINDFILE_ATTRIBUTES, ID_MINDFILE_TEACH})
      QVERIFY(!none.window->action(id)->isEnabled());
    none.window->close();
    QVERIFY(!QFile::exists(none.folder.path(QStringLiteral("missing.mnd"))));

    Session s(false);
    QVERIFY(QDir(s.folder.path()).mkdir(QStringLiteral("minds")));
    const QString mind = s.folder.path(QStringLiteral("minds/mine.mnd"));
    QVERIFY(QFile::copy(QString::fromStdString(s.folder.mind()), mind));
    s.folder.setConfig(0, mind.toStdString(), 1, 3);
    s.open();
    QVERIFY(s.window->mindLoaded() && QDir(s.folder.path(QStringLiteral("minds"))).removeRecursively());
    s.prompter.answers = {QMessageBox::Cancel, QMessageBox::Discard};
    s.window->close();
    QVERIFY(s.window->isVisible() && s.window->mindLoaded());
    QCOMPARE(s.prompter.asked.back().buttons, QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel);
    s.window->close();
    QVERIFY(!s.window->isVisible());
    for (const Session* closed : {&none, &s})
      QCOMPARE(app::readConfigFile(closed->folder.folder() + "config.dat").config.firstRun, 0);
  }

  // A simple new mind comes from the defaults and gets its extension; an advanced
  // one packs a folder into its "new.mnd", asking before replacing it. Neither
  // replaces the mind in use or takes the working folder as a source.
  void newMindsAreMadeButNeverReplaceTheMindInUse() {
    Session s;
    QTemporaryDir source;
    const QString newMind = source.path() + QStringLiteral("/new.mnd");
    writeBytes(source.path() + QStringLiteral("/input_l.txt"), "Hi &username, I am &botname.\nThe cat sat on the mat.\n");
    writeBytes(source.path() + QStringLiteral("/input_k.txt"), "The sky is blue on a sunny day.\n");
    writeBytes(source.path() + QStringLiteral("/botinfo.mbk"), "Nova\nfriend\nAnn\nfemale\n3\nMars\n");
    const QByteArray inUse = readBytes(s.folder.mind());
    s.prompter.files = {s.folder.path(QStringLiteral("fresh")), QString::fromStdString(s.folder.mind())};
    s.prompter.folders = {s.folder.path(), source.path(), source.path()};
    const auto told = [&](int id) {  // what the user is told after the command
      s.trigger(id);
      return s.prompter.asked.back();
    };
    const QString created = QStringLiteral("Mind File Created");
    QCOMPARE(told(ID_FILE_NEWMIND_SIMPLE).title, created);
    QVERIFY(QFile::exists(s.folder.path(QStringLiteral("fresh.mnd"))));
    QCOMPARE(told(ID_FILE_NEWMIND_SIMPLE).icon, QMessageBox::Warning);
    QCOMPARE(told(ID_FILE_NEWMIND_ADVANCED).icon, QMessageBox::Warning);
    QVERIFY(!QFile::exists(s.folder.path(QStringLiteral("new.mnd"))));
    QCOMPARE(told(ID_FILE_NEWMIND_ADVANCED).title, created);
    const QByteArray made = readBytes(newMind);
    for (const char* member : {"[{[botinfo.mbk]}]\nNova\n", "[{[groups.mbk]}]", "[{[morvash.mbk]}]", "[{[version.mbk]}]\n4.1\n300\n"})
      QVERIFY2(made.contains(member), member);
    writeBytes(newMind, "kept");
    s.prompter.answers = {QMessageBox::No};
    QCOMPARE(told(ID_FILE_NEWMIND_ADVANCED).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(readBytes(newMind), QByteArray("kept"));
    QCOMPARE(readBytes(s.folder.mind()), inUse);
  }

  void attributesChangeTheLabelAndInitialiseBringsTheDefaultsBack() {
    Session s;
    const Str original = s.window->brain()->botNameUpper();
    s.prompter.dialogs = {[](QDialog& dialog) {
      dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("Zora"));
      return int(QDialog::Accepted);
    }};
    s.trigger(ID_MINDFILE_ATTRIBUTES);
    QVERIFY(s.say(QStringLiteral("hello")));
    // The label already shown keeps the old name; the answer's label is new.
    QVERIFY(s.window->plainLog().find(original.std() + "> ") == 0);
    QVERIFY(s.window->plainLog().find("\nZORA> ") != std::string::npos);
    // Restart saves the new name into the mind and reads it back.
    s.prompter.answers = {QMessageBox::No};  // no transcript
    s.trigger(ID_FILE_RESTART);
    QCOMPARE(s.window->brain()->botNameUpper(), Str("ZORA"));
    QVERIFY(s.window->plainLog().find("ZORA> ") == 0);

    s.prompter.answers = {QMessageBox::Yes, QMessageBox::No};  // initialise, no transcript
    s.trigger(ID_MINDFILE_INITIALIZE);
    QCOMPARE(s.prompter.askedTexts().mid(s.prompter.asked.size() - 2),
             (QStringList{QStringLiteral("WARNING!\n This will clear this mind file's memory to the original state it "
                                         "was in when distributed.\n Continue?"),
                          QStringLiteral("Would you like to save a transcript of this chat?")}));
    QVERIFY(s.window->mindLoaded());
    QCOMPARE(s.window->brain()->botNameUpper(), original);
  }

  void aFirstRunGreetsAndTakesTheMindInTheWorkingFolder() {
    Session s(false);
    s.folder.setConfig(1, "vesko.mnd", 7, 7);
    QString caption;
    s.prompter.dialogs = {[&](QDialog& dialog) {
      caption = dialog.windowTitle();
      dialog.findChild<QPushButton*>(QStringLiteral("readManualButton"))->click();
      return int(QDialog::Accepted);
    }};
    s.open();
    QCOMPARE(caption, QStringLiteral("Welcome!"));
    QCOMPARE(s.prompter.opened, std::vector<QUrl>{QUrl::fromLocalFile(s.folder.path(QStringLiteral("manual.html")))});
    QCOMPARE(s.window->currentMindFile(), s.folder.mind());
    QVERIFY(s.window->mindLoaded());
    QCOMPARE(s.window->userColour(), 1);  // colours are not read on a first run
  }

  // Renders the window after an exchange into a PNG ($VESKO_SCREENSHOT names
  // the file; the README's picture is made this way or under Xvfb).
  void rendersTheWindowAfterAnExchange() {
    Session s;
    QVERIFY(s.say(QStringLiteral("Hi! My name is Ann.")));
    const QByteArray target = qgetenv("VESKO_SCREENSHOT");
    const QString file = target.isEmpty() ? s.folder.path(QStringLiteral("window.png")) : QString::fromLocal8Bit(target);
    QVERIFY(s.window->grab().save(file, "PNG"));
    const QImage image(file);
    QCOMPARE(image.size(), s.window->grab().size());
    bool botBlue = false;  // the bot's label is drawn in its colour (blue by default)
    for (int y = 0; y < image.height() && !botBlue; ++y)
      for (int x = 0; x < image.width() && !botBlue; ++x) {
        const QColor c = image.pixelColor(x, y);
        botBlue = c.blue() > 200 && c.red() < 60 && c.green() < 60;
      }
    QVERIFY(botBlue);
  }
};

int runChatWindowTests(int argc, char** argv) {
  ChatWindowTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "chat_window_tests.moc"
