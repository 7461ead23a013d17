// The chat window driven as a user would drive it, on the offscreen platform.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTemporaryDir>
#include <fstream>

#include "app/gui/colour_table.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/transcript_file.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

const char* const kTooNewText =
    "This mind file was created with\na NEWER VERSION of Vesko than\nyou have.  It either does not have\nall the "
    "information needed by this\nversion, or it has the neccessary\ninformation stored in a way so that\nthis version "
    "of Vesko cannot access\nit.  The file cannot be safely loaded\nor used by this version of Vesko.";

QLineEdit* input(CChatDlg& window) { return window.findChild<QLineEdit*>(QStringLiteral("input")); }
QPushButton* sayButton(CChatDlg& window) { return window.findChild<QPushButton*>(QStringLiteral("sayButton")); }
QTextDocument* document(CChatDlg& window) {
  return window.findChild<QTextBrowser*>(QStringLiteral("transcript"))->document();
}

// Types a line and presses Enter, which "Say" takes as the default button.
void type(CChatDlg& window, const QString& text) {
  input(window)->setText(text);
  QTest::keyClick(input(window), Qt::Key_Return);
}

bool waitForAnswer(CChatDlg& window) { return QTest::qWaitFor([&] { return sayButton(window)->isEnabled(); }, 4000); }

// Every line starts with a bold label in the speaker's colour; the words
// after it are plain black.
void checkLabels(QTextDocument* doc, const QString& botLabel, const QColor& user, const QColor& bot) {
  int labels = 0;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    bool first = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      if (first) {
        QVERIFY2(fragment.text().endsWith(QStringLiteral("> ")), qPrintable(fragment.text()));
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
  void sayShowsTheLineThenTheAnswerAfterTheDelay() {
    TestFolder folder;
    TestFolder twinFolder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    QVERIFY(window->mindLoaded());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vesko 4.1"));

    // The same mind with the same clock and draws answers the same lines.
    Brain twin(Str(twinFolder.folder()), false, Str(), testEnvironment());
    QVERIFY(twin.loadMind(Str(twinFolder.mind())).loaded());
    ChatLog expected;
    expected.startLine(true, twin.botNameUpper().std());
    expected.appendText(twin.respond(Str("START_VESKO")).std());
    expected.startLine(false, twin.userNameUpper().std());
    QCOMPARE(window->plainLog(), expected.plainLog());

    type(*window, QStringLiteral("hello there"));
    const Str answer = twin.respond(Str("hello there"));
    expected.appendText("hello there");
    expected.startLine(true, twin.botNameUpper().std());
    // Until the timer fires the bot's label waits alone and "Say" is off.
    QVERIFY(!sayButton(*window)->isEnabled());
    QCOMPARE(window->plainLog(), expected.plainLog());
    QVERIFY(input(*window)->text().isEmpty());

    QVERIFY(waitForAnswer(*window));
    expected.appendText(answer.std());
    expected.startLine(false, twin.userNameUpper().std());
    QCOMPARE(window->plainLog(), expected.plainLog());
    QVERIFY(window->chatStarted());
    QCOMPARE(document(*window)->toPlainText().toStdString(), expected.plainLog());
    checkLabels(document(*window), QString::fromStdString(twin.botNameUpper().std() + "> "), colourAt(1), colourAt(3));
  }

  void typedMarkupIsShownAsTyped() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    const QString markup = QStringLiteral("<b>bold</b> {\\b \\par} &amp; caf\u00e9");
    type(*window, markup);
    QVERIFY(waitForAnswer(*window));
    QVERIFY(document(*window)->toPlainText().contains(markup));
    QVERIFY(window->plainLog().find(markup.toUtf8().toStdString()) != std::string::npos);
  }

  void byeClosesAfterTheAnswerSavingMindAndSettings() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    const QByteArray before = readBytes(QString::fromStdString(folder.mind()));
    QVERIFY(!folder.banks().isEmpty());

    type(*window, QStringLiteral("bye."));  // a mark added: not a farewell
    QVERIFY(waitForAnswer(*window));
    QTest::qWait(50);
    QVERIFY(window->isVisible());

    prompter.answers = {QMessageBox::No};  // no transcript
    type(*window, QStringLiteral("ByE"));
    QVERIFY(QTest::qWaitFor([&] { return !window->isVisible(); }, 4000));
    QCOMPARE(prompter.askedTexts(), QStringList{QStringLiteral("Would you like to save a transcript of this chat?")});
    QVERIFY(window->plainLog().find("ByE\n") != std::string::npos);
    QVERIFY(folder.banks().isEmpty());  // packed back into the mind file
    QVERIFY(readBytes(QString::fromStdString(folder.mind())) != before);
    const app::ConfigReading config = app::readConfigFile(folder.folder() + "config.dat");
    QCOMPARE(config.config.firstRun, 0);
    QCOMPARE(config.config.defaultMindFile, folder.mind());
    QCOMPARE(readBytes(folder.path(QStringLiteral("config.dat"))),
             QByteArray::fromStdString(app::formatConfig(app::Config{0, folder.mind(), 1, 3})));
  }

  void escapeRunsTheCloseHandling() {
    TestFolder folder;
    ScriptedPrompter prompter;
    folder.setConfig(0, folder.mind(), 4, 8);
    auto window = openWindow(folder, prompter);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(folder.banks().isEmpty());
    QCOMPARE(readBytes(folder.path(QStringLiteral("config.dat"))),
             QByteArray::fromStdString(app::formatConfig(app::Config{0, folder.mind(), 4, 8})));
  }

  void savingATranscriptTwiceAppendsTheSecondBlock() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    type(*window, QStringLiteral("hello"));
    QVERIFY(waitForAnswer(*window));
    QVERIFY(window->chatStarted());

    const QString file = folder.path(QStringLiteral("chat.txt"));
    prompter.files = {file, file};
    window->action(ID_FILE_SAVETRANSCRIPT)->trigger();
    QVERIFY(!window->chatStarted());
    window->action(ID_FILE_SAVETRANSCRIPT)->trigger();

    const std::string log = window->plainLog();
    const std::string user = log.substr(log.rfind('\n') + 1, log.size() - log.rfind('\n') - 3);
    std::string botInfo;
    std::getline(std::ifstream(folder.folder() + "botinfo.x"), botInfo);
    const std::string rule(54, '#');
    const std::string block = rule + "\n### VESKO 4.1: Transcript of January 17, 2004 at 8:46\n### Bot " +
                              Str(botInfo).upper().std() + " talking to " + user + "\n" + rule + "\n" + log;
    QCOMPARE(readBytes(file), QByteArray::fromStdString(block + "\n" + block));
    QVERIFY(log.size() > 0 && log.back() == ' ');  // the waiting label has no line feed
    QCOMPARE(prompter.fileChoices.back().confirmOverwrite, false);
  }

  void aFailedTranscriptWriteKeepsTheChatStarted() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    type(*window, QStringLiteral("hello"));
    QVERIFY(waitForAnswer(*window));
    prompter.files = {folder.path(QStringLiteral("no/such/folder/chat.txt"))};
    window->action(ID_FILE_SAVETRANSCRIPT)->trigger();
    QCOMPARE(prompter.asked.size(), std::size_t{1});
    QVERIFY(window->chatStarted());
  }

  void newColoursRecolourEveryLabel() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    type(*window, QStringLiteral("hello"));
    QVERIFY(waitForAnswer(*window));
    const QString botLabel = QString::fromStdString(window->brain()->botNameUpper().std() + "> ");

    prompter.dialogs = {[](QDialog& dialog) {
      dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"))->setCurrentIndex(5);
      dialog.findChild<QComboBox*>(QStringLiteral("botColourCombo"))->setCurrentIndex(7);
      return int(QDialog::Accepted);
    }};
    window->action(ID_CUSTOMIZE_SETTINGS)->trigger();
    QCOMPARE(window->userColour(), 5);
    QCOMPARE(window->botColour(), 7);
    checkLabels(document(*window), botLabel, colourAt(5), colourAt(7));

    // A cancelled settings dialog changes nothing, even after edits.
    prompter.dialogs = {[](QDialog& dialog) {
      dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"))->setCurrentIndex(0);
      return int(QDialog::Rejected);
    }};
    window->action(ID_CUSTOMIZE_SETTINGS)->trigger();
    QCOMPARE(window->userColour(), 5);
    checkLabels(document(*window), botLabel, colourAt(5), colourAt(7));
  }

  void loadingKeepsThePreviousMindWhenTheNewOneIsTooNew() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);

    // A loadable copy first: the title then names it.
    const QString copy = folder.path(QStringLiteral("copy.mnd"));
    QVERIFY(QFile::copy(QString::fromStdString(folder.mind()), copy));
    prompter.files = {copy};
    window->action(ID_FILE_LOADMIND)->trigger();
    QCOMPARE(window->currentMindFile(), copy.toStdString());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vesko 4.1 - ") + copy);

    const QString future = folder.path(QStringLiteral("future.mnd"));
    const QByteArray futureBytes("[{[version.mbk]}]\n5.0\n400\n[{[botinfo.mbk]}]\nNova\nfriend\nAnn\nfemale\n3\nMars\n");
    writeBytes(future, futureBytes);
    prompter.files = {future};
    window->action(ID_FILE_LOADMIND)->trigger();
    QCOMPARE(prompter.askedTexts(), QStringList{QString::fromLatin1(kTooNewText)});
    QVERIFY(window->mindLoaded());
    QCOMPARE(window->currentMindFile(), copy.toStdString());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vesko 4.1 - ") + copy);
    QVERIFY(window->brain()->botNameUpper() != Str("NOVA"));
    QCOMPARE(readBytes(future), futureBytes);
  }

  void aDamagedMindIsReportedAndThePreviousOneKept() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    const QString damaged = folder.path(QStringLiteral("damaged.mnd"));
    writeBytes(damaged, QByteArray("[{[version.mbk]}]\n4.1\nthree hundred\n"));
    prompter.files = {damaged};
    window->action(ID_FILE_LOADMIND)->trigger();
    QCOMPARE(prompter.asked.size(), std::size_t{1});
    QCOMPARE(prompter.asked[0].icon, QMessageBox::Critical);
    QVERIFY(prompter.asked[0].text.contains(QStringLiteral("version.mbk")));
    QVERIFY(window->mindLoaded());
    QCOMPARE(window->currentMindFile(), folder.mind());
  }

  void cancelledDialogsChangeNothing() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    const std::string log = window->plainLog();
    const QStringList files = QDir(folder.path(QString())).entryList(QDir::Files);
    const QByteArray mind = readBytes(QString::fromStdString(folder.mind()));
    for (int id : {ID_FILE_LOADMIND, ID_FILE_NEWMIND_SIMPLE, ID_FILE_NEWMIND_ADVANCED, ID_FILE_SAVETRANSCRIPT,
                   ID_CUSTOMIZE_SETTINGS, ID_MINDFILE_ATTRIBUTES, ID_MINDFILE_TEACH, ID_MINDFILE_INITIALIZE})
      window->action(id)->trigger();
    QCOMPARE(prompter.asked.size(), std::size_t{1});  // only the initialise warning, answered No
    QCOMPARE(window->plainLog(), log);
    QCOMPARE(window->currentMindFile(), folder.mind());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vesko 4.1"));
    QVERIFY(window->mindLoaded());
    QCOMPARE(QDir(folder.path(QString())).entryList(QDir::Files), files);
    QCOMPARE(readBytes(QString::fromStdString(folder.mind())), mind);
  }

  void withoutAMindTheMindCommandsWaitAndNothingIsSaved() {
    TestFolder folder;
    folder.setConfig(0, folder.folder() + "missing.mnd", 1, 3);
    ScriptedPrompter prompter;  // the file dialog is cancelled
    auto window = openWindow(folder, prompter);
    QCOMPARE(prompter.fileChoices.size(), std::size_t{1});
    QCOMPARE(prompter.fileChoices[0].filter, QStringLiteral("Vesko mind files (*.mnd)"));
    QVERIFY(!window->mindLoaded());
    QVERIFY(window->plainLog().empty());
    for (int id : {ID_FILE_RESTART, ID_MINDFILE_INITIALIZE, ID_MINDFILE_ATTRIBUTES, ID_MINDFILE_TEACH})
      QVERIFY(!window->action(id)->isEnabled());
    window->close();
    QVERIFY(!QFile::exists(folder.path(QStringLiteral("missing.mnd"))));
    QCOMPARE(app::readConfigFile(folder.folder() + "config.dat").config.firstRun, 0);
  }

  void aMindThatCannotBeSavedKeepsTheWindowOpen() {
    TestFolder folder;
    ScriptedPrompter prompter;
    QVERIFY(QDir(folder.path(QString())).mkdir(QStringLiteral("minds")));
    const QString mind = folder.path(QStringLiteral("minds/mine.mnd"));
    QVERIFY(QFile::copy(QString::fromStdString(folder.mind()), mind));
    folder.setConfig(0, mind.toStdString(), 1, 3);
    auto window = openWindow(folder, prompter);
    QVERIFY(window->mindLoaded());
    QVERIFY(QDir(folder.path(QStringLiteral("minds"))).removeRecursively());

    prompter.answers = {QMessageBox::Cancel};
    window->close();
    QVERIFY(window->isVisible());
    QVERIFY(window->mindLoaded());
    QCOMPARE(prompter.asked.back().buttons, QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel);

    prompter.answers = {QMessageBox::Discard};
    window->close();
    QVERIFY(!window->isVisible());
    QCOMPARE(app::readConfigFile(folder.folder() + "config.dat").config.firstRun, 0);
  }

  void aSimpleNewMindGetsItsExtensionAndNeverReplacesTheMindInUse() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    prompter.files = {folder.path(QStringLiteral("fresh"))};
    window->action(ID_FILE_NEWMIND_SIMPLE)->trigger();
    QVERIFY(QFile::exists(folder.path(QStringLiteral("fresh.mnd"))));
    QCOMPARE(prompter.asked.back().title, QStringLiteral("Mind File Created"));

    const QByteArray inUse = readBytes(QString::fromStdString(folder.mind()));
    prompter.files = {QString::fromStdString(folder.mind())};
    window->action(ID_FILE_NEWMIND_SIMPLE)->trigger();
    QCOMPARE(prompter.asked.back().icon, QMessageBox::Warning);
    QCOMPARE(readBytes(QString::fromStdString(folder.mind())), inUse);
  }

  void theAdvancedNewMindPacksTheFolderAndAsksBeforeReplacing() {
    TestFolder folder;
    QTemporaryDir source;
    const QString sourceFolder = source.path() + QLatin1Char('/');
    writeBytes(sourceFolder + QStringLiteral("input_l.txt"), "Hi &username, I am &botname.\nThe cat sat on the mat.\n");
    writeBytes(sourceFolder + QStringLiteral("input_k.txt"), "The sky is blue on a sunny day.\n");
    writeBytes(sourceFolder + QStringLiteral("botinfo.mbk"), "Nova\nfriend\nAnn\nfemale\n3\nMars\n");
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    // The working folder holds the banks in use: never a source.
    prompter.folders = {folder.path(QString())};
    window->action(ID_FILE_NEWMIND_ADVANCED)->trigger();
    QCOMPARE(prompter.asked.back().icon, QMessageBox::Warning);
    QVERIFY(!QFile::exists(folder.path(QStringLiteral("new.mnd"))));

    prompter.folders = {source.path()};
    window->action(ID_FILE_NEWMIND_ADVANCED)->trigger();
    QCOMPARE(prompter.asked.back().title, QStringLiteral("Mind File Created"));
    const QByteArray made = readBytes(sourceFolder + QStringLiteral("new.mnd"));
    for (const char* member : {"[{[botinfo.mbk]}]\nNova\n", "[{[groups.mbk]}]", "[{[morvash.mbk]}]", "[{[version.mbk]}]\n4.1\n300\n"})
      QVERIFY2(made.contains(member), member);

    writeBytes(sourceFolder + QStringLiteral("new.mnd"), "kept");
    prompter.folders = {source.path()};
    prompter.answers = {QMessageBox::No};
    window->action(ID_FILE_NEWMIND_ADVANCED)->trigger();
    QCOMPARE(prompter.asked.back().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(readBytes(sourceFolder + QStringLiteral("new.mnd")), QByteArray("kept"));
  }

  void attributesChangeTheLabelAndInitialiseBringsTheDefaultsBack() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    const Str original = window->brain()->botNameUpper();
    prompter.dialogs = {[](QDialog& dialog) {
      dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("Zora"));
      return int(QDialog::Accepted);
    }};
    window->action(ID_MINDFILE_ATTRIBUTES)->trigger();
    type(*window, QStringLiteral("hello"));
    QVERIFY(waitForAnswer(*window));
    // The label already shown keeps the old name; the answer's label is new.
    QVERIFY(window->plainLog().find(original.std() + "> ") == 0);
    QVERIFY(window->plainLog().find("\nZORA> ") != std::string::npos);

    // Restart saves the new name into the mind and reads it back.
    prompter.answers = {QMessageBox::No};  // no transcript
    window->action(ID_FILE_RESTART)->trigger();
    QCOMPARE(window->brain()->botNameUpper(), Str("ZORA"));
    QVERIFY(window->plainLog().find("ZORA> ") == 0);

    prompter.answers = {QMessageBox::Yes, QMessageBox::No};  // initialise, no transcript
    window->action(ID_MINDFILE_INITIALIZE)->trigger();
    const QStringList asked = prompter.askedTexts();
    QCOMPARE(asked.mid(asked.size() - 2),
             (QStringList{QStringLiteral("WARNING!\n This will clear this mind file's memory to the original state it "
                                         "was in when distributed.\n Continue?"),
                          QStringLiteral("Would you like to save a transcript of this chat?")}));
    QVERIFY(window->mindLoaded());
    QCOMPARE(window->brain()->botNameUpper(), original);
  }

  void aFirstRunGreetsAndTakesTheMindInTheWorkingFolder() {
    TestFolder folder;
    folder.setConfig(1, "vesko.mnd", 7, 7);
    ScriptedPrompter prompter;
    QString caption;
    prompter.dialogs = {[&](QDialog& dialog) {
      caption = dialog.windowTitle();
      dialog.findChild<QPushButton*>(QStringLiteral("readManualButton"))->click();
      return int(QDialog::Accepted);
    }};
    auto window = openWindow(folder, prompter);
    QCOMPARE(caption, QStringLiteral("Welcome!"));
    QCOMPARE(prompter.opened, std::vector<QUrl>{QUrl::fromLocalFile(folder.path(QStringLiteral("manual.html")))});
    QCOMPARE(window->currentMindFile(), folder.mind());
    QVERIFY(window->mindLoaded());
    QCOMPARE(window->userColour(), 1);  // colours are not read on a first run
  }

  void rendersTheWindowAfterAnExchange() {
    TestFolder folder;
    ScriptedPrompter prompter;
    auto window = openWindow(folder, prompter);
    type(*window, QStringLiteral("Hi! My name is Ann."));
    QVERIFY(waitForAnswer(*window));
    const QByteArray target = qgetenv("VESKO_SCREENSHOT");
    const QString file = target.isEmpty() ? folder.path(QStringLiteral("window.png")) : QString::fromLocal8Bit(target);
    QVERIFY(window->grab().save(file, "PNG"));
    QVERIFY(QImage(file).width() > 100);
  }
};

int runChatWindowTests(int argc, char** argv) {
  ChatWindowTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "chat_window_tests.moc"
