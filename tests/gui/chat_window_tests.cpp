// The chat window driven as a user would drive it, on the offscreen platform.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>

#include "app/gui/colour_table.h"
#include "app/gui/qt_text.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

// A working folder, a scripted user and, once opened, the chat window on them.
struct Session {
  TestFolder folder;
  ScriptedPrompter prompter;
  std::unique_ptr<CChatDlg> window;

  explicit Session(bool open = true) {
    if (open) this->open();
  }
  void open() {
    window = std::make_unique<CChatDlg>(
        ChatWindowSetup{folder.folder(), &prompter, testEnvironment, "https://x.test/", folder.path(QStringLiteral("window.conf"))});
    window->show();
    window->initialise();
  }
  void trigger(int id) { window->action(id)->trigger(); }
  QLineEdit* input() const { return window->findChild<QLineEdit*>(QStringLiteral("input")); }
  QPushButton* sayButton() const { return window->findChild<QPushButton*>(QStringLiteral("sayButton")); }
  QTextDocument* document() const { return window->findChild<QTextBrowser*>(QStringLiteral("transcript"))->document(); }
  bool answered() { return QTest::qWaitFor([&] { return sayButton()->isEnabled(); }, 4000); }
  // Types a line and presses Enter, which "Say" takes as the default button;
  // true once the answer is shown, unless told not to wait.
  bool say(const QString& text, bool wait = true) {
    input()->setText(text);
    QTest::keyClick(input(), Qt::Key_Return);
    return !wait || answered();
  }
};

// Every line starts with a bold label in the speaker's colour; the words
// after it are plain black.
void checkLabels(Session& s, const QColor& user, const QColor& bot) {
  QTextDocument* doc = s.document();
  const QString botLabel = QString::fromStdString(s.window->brain()->botNameUpper().std() + "> ");
  int labels = 0;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const bool label = it == block.begin();
      const QTextCharFormat format = it.fragment().charFormat();
      QCOMPARE(format.fontWeight() == int(QFont::Bold), label);
      QCOMPARE(format.foreground().color(), !label ? QColor(Qt::black) : block.text().startsWith(botLabel) ? bot : user);
      labels += label && it.fragment().text().endsWith(QStringLiteral("> "));
    }
  QCOMPARE(labels, doc->blockCount());
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
    // The same mind with the same clock and draws answers the same lines.
    TestFolder twinFolder;
    Brain twin(Str(twinFolder.folder()), false, Str(), testEnvironment());
    QVERIFY(twin.loadMind(Str(twinFolder.mind())).loaded());
    ChatLog expected;
    expected.startLine(true, twin.botNameUpper().std());
    expected.appendText(twin.respond(Str("START_VESKO")).std());
    expected.startLine(false, twin.userNameUpper().std());
    const QString line = QStringLiteral("<b>hello</b> {\\b \\par} &amp; caf\u00e9");
    s.say(line, false);
    expected.appendText(line.toUtf8().toStdString());
    expected.startLine(true, twin.botNameUpper().std());
    // Until the timer fires the bot's label waits alone and "Say" is off.
    QVERIFY(!s.sayButton()->isEnabled() && s.input()->text().isEmpty());
    QCOMPARE(s.window->plainLog(), expected.plainLog());
    QVERIFY(s.answered());
    expected.appendText(twin.respond(Str(line.toUtf8().toStdString())).std());
    expected.startLine(false, twin.userNameUpper().std());
    QCOMPARE(s.document()->toPlainText().toStdString(), expected.plainLog());
    checkLabels(s, colourAt(1), colourAt(3));

    const auto pick = [](int user, int bot, int result) {
      return [=](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"))->setCurrentIndex(user);
        dialog.findChild<QComboBox*>(QStringLiteral("botColourCombo"))->setCurrentIndex(bot);
        return result;
      };
    };
    s.prompter.dialogs = {pick(5, 7, QDialog::Accepted), pick(0, 0, QDialog::Rejected)};
    for (int i = 0; i < 2; ++i) {  // the second, cancelled, changes nothing
      s.trigger(ID_CUSTOMIZE_SETTINGS);
      QVERIFY(s.window->userColour() == 5 && s.window->botColour() == 7);
      checkLabels(s, colourAt(5), colourAt(7));
    }
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
        s.say(QStringLiteral("ByE"), false);
        QVERIFY(QTest::qWaitFor([&] { return !s.window->isVisible(); }, 4000));
        QVERIFY(s.prompter.asked.size() == 1 && s.prompter.asked[0].text.startsWith(QStringLiteral("Would you like to save a transcript")));
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
    const std::string rule(54, '#');
    const std::string block = rule + "\n### VESKO 4.1: Transcript of January 17, 2004 at 8:46\n### Bot " +
                              s.window->brain()->botNameUpper().std() + " talking to " + user + "\n" + rule + "\n" + log;
    QCOMPARE(readBytes(file), QByteArray::fromStdString(block + "\n" + block));

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
    writeBytes(s.folder.path(QStringLiteral("damaged.mnd")), "[{[version.mbk]}]\n4.1\nthree hundred\n");
    s.prompter.files = {copy, future, s.folder.path(QStringLiteral("damaged.mnd"))};
    for (int i = 0; i < 3; ++i) s.trigger(ID_FILE_LOADMIND);
    QCOMPARE(s.prompter.asked.size(), std::size_t{2});
    QVERIFY(s.prompter.asked[0].text.startsWith(QStringLiteral("This mind file was created with\na NEWER VERSION")));
    QVERIFY(s.prompter.asked[1].icon == QMessageBox::Critical && s.prompter.asked[1].text.contains("version.mbk"));
    QVERIFY(s.window->mindLoaded() && s.window->brain()->botNameUpper() != Str("NOVA"));
    QCOMPARE(s.window->currentMindFile(), copy.toStdString());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Vesko 4.1 - %1 (%2)").arg(copy, toQString(s.window->brain()->botInfo().name)));
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
    QVERIFY(s.window->mindLoaded() && s.window->currentMindFile() == s.folder.mind());
    QCOMPARE(QDir(s.folder.path()).entryList(QDir::Files), files);
    QCOMPARE(readBytes(s.folder.mind()), mind);
  }

  // A mind whose folder is gone cannot be saved: closing asks, Cancel keeps the
  // window open, Discard closes it and still writes config.dat.
  void closingWithNoWayToSaveTheMindAsksFirst() {
    Session s(false);
    const QString mind = s.folder.path(QStringLiteral("minds/mine.mnd"));
    QVERIFY(QDir(s.folder.path()).mkdir(QStringLiteral("minds")) && QFile::copy(QString::fromStdString(s.folder.mind()), mind));
    s.folder.setConfig(0, mind.toStdString(), 1, 3);
    s.open();
    QVERIFY(s.window->mindLoaded() && QDir(s.folder.path(QStringLiteral("minds"))).removeRecursively());
    writeBytes(s.folder.path(QStringLiteral("config.dat")), "stale");
    s.prompter.answers = {QMessageBox::Cancel, QMessageBox::Discard};
    s.window->close();
    QVERIFY(s.window->isVisible() && s.window->mindLoaded() && s.folder.config() == "stale");
    QCOMPARE(s.prompter.asked.back().buttons, QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel);
    s.window->close();
    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.folder.config(), QByteArray::fromStdString(app::formatConfig(app::Config{0, mind.toStdString(), 1, 3})));
  }

  // A first run greets and takes vesko.mnd in the working folder; a renamed
  // bot survives Restart, and Initialise brings the distributed name back.
  void aFirstRunThenRenameRestartAndInitialise() {
    Session s(false);
    s.folder.setConfig(1, "vesko.mnd", 7, 7);
    s.prompter.dialogs = {[](QDialog&) { return int(QDialog::Accepted); },  // the welcome
                          [](QDialog& attributes) {
                            attributes.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("Zora"));
                            return int(QDialog::Accepted);
                          }};
    s.open();
    QVERIFY(s.window->mindLoaded() && s.window->currentMindFile() == s.folder.mind());
    QCOMPARE(s.window->userColour(), 1);  // colours are not read on a first run
    const Str original = s.window->brain()->botNameUpper();
    s.trigger(ID_MINDFILE_ATTRIBUTES);
    s.trigger(ID_FILE_RESTART);
    QVERIFY(s.window->brain()->botNameUpper() == Str("ZORA") && s.window->plainLog().find("ZORA> ") == 0);
    s.prompter.answers = {QMessageBox::Yes};
    s.trigger(ID_MINDFILE_INITIALIZE);
    QCOMPARE(s.window->brain()->botNameUpper(), original);
  }

  // A simple new mind comes from the defaults and gets its extension; an
  // advanced one packs a folder into its "new.mnd", asking before replacing it.
  // Neither replaces the mind in use or takes the working folder as a source.
  void newMindsAreMadeButNeverReplaceTheMindInUse() {
    Session s;
    QTemporaryDir source;
    const QString newMind = source.path() + QStringLiteral("/new.mnd");
    writeBytes(source.path() + QStringLiteral("/botinfo.mbk"), "Nova\nfriend\nAnn\nfemale\n3\nMars\n");
    writeBytes(source.path() + QStringLiteral("/input_l.txt"), "I like green apples.\n");
    const QByteArray inUse = readBytes(s.folder.mind());
    s.prompter.files = {s.folder.path(QStringLiteral("fresh")), QString::fromStdString(s.folder.mind())};
    s.prompter.folders = {s.folder.path(), source.path(), source.path()};
    for (const auto& [id, told] : {std::pair{ID_FILE_NEWMIND_SIMPLE, QMessageBox::Information},
                                   {ID_FILE_NEWMIND_SIMPLE, QMessageBox::Warning},
                                   {ID_FILE_NEWMIND_ADVANCED, QMessageBox::Warning},
                                   {ID_FILE_NEWMIND_ADVANCED, QMessageBox::Information}}) {
      s.trigger(id);
      QCOMPARE(s.prompter.asked.back().icon, told);
    }
    QVERIFY(QFile::exists(s.folder.path(QStringLiteral("fresh.mnd"))) && !QFile::exists(s.folder.path(QStringLiteral("new.mnd"))));
    QVERIFY(readBytes(newMind).contains("[{[botinfo.mbk]}]\nNova\n"));
    writeBytes(newMind, "kept");
    s.trigger(ID_FILE_NEWMIND_ADVANCED);  // the unscripted answer is No
    QCOMPARE(s.prompter.asked.back().buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(readBytes(newMind) == "kept" && readBytes(s.folder.mind()) == inUse);
  }

  // Customize > Show Why starts off with no status bar; checked, the bar
  // tells after each answer which stage gave it, and the next window
  // remembers the choice.
  void showWhyTellsWhereEachAnswerCameFromAndIsRemembered() {
    Session s;
    auto* showWhy = s.window->findChild<QAction*>(QStringLiteral("actionShowWhy"));
    auto* bar = s.window->findChild<QStatusBar*>(QStringLiteral("whyBar"));
    QVERIFY(showWhy != nullptr && bar != nullptr);
    QVERIFY(!showWhy->isChecked() && bar->isHidden() && !s.window->brain()->tracing());
    showWhy->trigger();
    QVERIFY(bar->isVisible() && s.window->brain()->tracing());
    QVERIFY(s.say(QStringLiteral("Ann")));
    QCOMPARE(bar->currentMessage(), QStringLiteral("Why: name dialogue"));
    QVERIFY(s.say(QStringLiteral("30")));
    QVERIFY(s.say(QStringLiteral("what is 6 times 7")));
    QCOMPARE(bar->currentMessage(), QStringLiteral("Why: arithmetic"));

    s.window->close();
    s.open();
    showWhy = s.window->findChild<QAction*>(QStringLiteral("actionShowWhy"));
    QVERIFY(showWhy->isChecked() && s.window->brain()->tracing());
    showWhy->trigger();
    QVERIFY(s.window->findChild<QStatusBar*>(QStringLiteral("whyBar"))->isHidden());
    QVERIFY(!s.window->brain()->tracing());
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
