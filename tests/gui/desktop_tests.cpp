// The chat window as a desktop program: safe defaults in its questions,
// focus, file dialogs that start where the files are, help that says where
// it is when nothing opens it, the keys and extras of a chat program, and one
// window per working folder.
#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTextBrowser>
#include <thread>

#include "app/folder_lock.h"
#include "app/gui/colour_table.h"
#include "app/gui/qt_text.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/single_instance.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

struct Desktop {
  TestFolder folder;
  QTemporaryDir memory;  // the window's remembered size and folders
  ScriptedPrompter prompter;
  std::unique_ptr<CChatDlg> window;
  std::string homePage;

  void open() {
    window = std::make_unique<CChatDlg>(ChatWindowSetup{folder.folder(), &prompter, testEnvironment, homePage,
                                                        memory.path() + QStringLiteral("/window.conf")});
    window->show();
    window->initialise();
  }
  void trigger(int id) { window->action(id)->trigger(); }
  QLineEdit* input() const { return window->findChild<QLineEdit*>(QStringLiteral("input")); }
  QPushButton* sayButton() const { return window->findChild<QPushButton*>(QStringLiteral("sayButton")); }
  bool say(const QString& text) {
    input()->setText(text);
    QTest::mouseClick(sayButton(), Qt::LeftButton);
    return QTest::qWaitFor([&] { return sayButton()->isEnabled(); }, 4000);
  }
};

QString workingFolderOf(const Desktop& d) { return QString::fromStdString(d.folder.folder()).chopped(1); }

}  // namespace

class DesktopTests : public QObject {
  Q_OBJECT

 private slots:
  // Initialize defaults to No; after a click on Say the input line has the
  // focus again; the input keeps a 100 KB paste whole and Up/Down recall
  // earlier lines; labels upper-case accented names; the title names the
  // mind and the bot.
  void safeQuestionsFocusLongPastesHistoryAndNames() {
    Desktop d;
    d.open();
    const QByteArray mind = readBytes(d.folder.mind());
    d.trigger(ID_MINDFILE_INITIALIZE);
    QCOMPARE(d.prompter.asked.back().defaultButton, QMessageBox::No);
    QCOMPARE(readBytes(d.folder.mind()), mind);

    QVERIFY(d.say(QStringLiteral("my name is Jos\u00e9")));
    QCOMPARE(d.window->focusWidget(), d.input());
    QVERIFY(d.say(QStringLiteral("I am 30")));  // the age question settles who the user is
    QVERIFY2(d.window->plainLog().find("JOS\xC3\x89> ") != std::string::npos, d.window->plainLog().c_str());
    QString paste;
    while (paste.size() < 100 * 1024) paste += QStringLiteral("the quick brown fox jumps over the lazy dog ");
    QVERIFY(d.say(paste));
    QVERIFY(d.window->plainLog().find(toStr(paste).std()) != std::string::npos);
    QTest::keyClick(d.input(), Qt::Key_Up);
    QCOMPARE(d.input()->text(), paste);
    QTest::keyClick(d.input(), Qt::Key_Up);
    QTest::keyClick(d.input(), Qt::Key_Up);
    QCOMPARE(d.input()->text(), QStringLiteral("my name is Jos\u00e9"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(d.input(), Qt::Key_Down);
    QCOMPARE(d.input()->text(), QString());

    QCOMPARE(d.window->windowTitle(), QStringLiteral("Vesko 4.1 - %1 (%2)")
                                          .arg(QString::fromStdString(d.folder.mind()),
                                               toQString(d.window->brain()->botInfo().name)));
    QCOMPARE(d.window->action(ID_FILE_EXIT)->shortcut(), QKeySequence(QKeySequence::Quit));
  }

  // Every picker opens in the working folder until one is used; then that
  // folder, while it exists. Save Transcript suggests a dated name; Load Mind
  // also offers all files.
  void fileDialogsStartWhereTheFilesAreAndRemember() {
    Desktop d;
    d.open();
    for (int id : {ID_FILE_LOADMIND, ID_FILE_NEWMIND_SIMPLE, ID_FILE_NEWMIND_ADVANCED, ID_MINDFILE_TEACH}) {
      if (id == ID_MINDFILE_TEACH)
        d.prompter.dialogs = {[](QDialog& teach) {
          teach.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
          return int(QDialog::Rejected);
        }};
      d.trigger(id);
      QCOMPARE(d.prompter.pickers.back().startAt, workingFolderOf(d));
    }
    QVERIFY(d.prompter.pickers.front().filter.contains(QStringLiteral("All files (*)")));
    d.trigger(ID_FILE_SAVETRANSCRIPT);
    QCOMPARE(d.prompter.pickers.back().startAt, workingFolderOf(d) + QStringLiteral("/Vesko transcript 2004-01-17.txt"));

    QTemporaryDir elsewhere;
    const QString copy = elsewhere.path() + QStringLiteral("/my mind \u00e9t\u00e9.mnd");
    QVERIFY(QFile::copy(QString::fromStdString(d.folder.mind()), copy));
    d.prompter.files = {copy};
    d.trigger(ID_FILE_LOADMIND);
    QCOMPARE(d.window->currentMindFile(), toStr(copy).std());
    d.trigger(ID_FILE_LOADMIND);
    QCOMPARE(d.prompter.pickers.back().startAt, elsewhere.path());
    d.window->close();
    QVERIFY(elsewhere.remove());
    d.open();  // remembered across runs, but a folder that is gone is no start
    d.trigger(ID_FILE_LOADMIND);
    QCOMPARE(d.prompter.pickers.back().startAt, workingFolderOf(d));
  }

  // With nothing to open pages, Help says where the manual is; Go to Website
  // opens the manual when no web site is configured, else the site.
  void helpSaysWhereTheManualIsWhenNothingOpensIt() {
    Desktop d;
    d.open();
    const QUrl manual = QUrl::fromLocalFile(workingFolderOf(d) + QStringLiteral("/manual.html"));
    d.trigger(ID_HELP_WEBSITE);
    QCOMPARE(d.prompter.opened.back(), manual);
    d.prompter.desktopOpensUrls = false;
    d.trigger(ID_HELP_MANUAL);
    QVERIFY(d.prompter.asked.back().text.contains(manual.toLocalFile()));
    d.window->close();
    d.homePage = "https://example.test/vesko";
    d.open();
    d.trigger(ID_HELP_WEBSITE);
    QCOMPARE(d.prompter.opened.back(), QUrl(QStringLiteral("https://example.test/vesko")));
  }

  // Cancelling the start-up picker leaves no mind: nothing can be said.
  void withoutAMindTheInputWaits() {
    Desktop d;
    d.folder.setConfig(0, d.folder.folder() + "missing.mnd", 1, 3);
    d.open();
    QVERIFY(!d.window->mindLoaded());
    QVERIFY(!d.input()->isEnabled() && !d.sayButton()->isEnabled());
    QVERIFY(d.input()->placeholderText().contains(QStringLiteral("Load Mind")));
  }

  // A .txt dropped on the window is taught, and the Teaching dialog says
  // what was learned; size and place come back at the next start.
  void droppedTextIsTaughtAndTheWindowRemembersItsSize() {
    Desktop d;
    d.open();
    const QString text = d.folder.path(QStringLiteral("lesson.txt"));
    writeBytes(text, "The moon is bright tonight. Cats like warm milk.\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(text)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.window.get(), &drop);
    QVERIFY(QTest::qWaitFor([&] { return !d.prompter.asked.empty(); }, 4000));
    QVERIFY2(d.prompter.asked.back().text.contains(QStringLiteral("lesson.txt: 2 sentences read")),
             qPrintable(d.prompter.asked.back().text));

    d.window->resize(700, 333);
    d.window->close();
    d.open();
    QCOMPARE(d.window->size(), QSize(700, 333));
  }

  // Ctrl+F finds in the transcript; Escape in the find bar closes the bar,
  // not the window; Ctrl++ enlarges the transcript's text.
  void findAndZoom() {
    Desktop d;
    d.open();
    auto* transcript = d.window->findChild<QTextBrowser*>(QStringLiteral("transcript"));
    auto* findBar = d.window->findChild<QLineEdit*>(QStringLiteral("findBar"));
    QApplication::setActiveWindow(d.window.get());
    QVERIFY(QTest::qWaitForWindowActive(d.window.get()));
    QTest::keyClick(d.input(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(findBar->isVisible());
    QVERIFY(d.window->findNext(QStringLiteral("name")));
    QCOMPARE(transcript->textCursor().selectedText().toLower(), QStringLiteral("name"));
    QVERIFY(!d.window->findNext(QStringLiteral("no such words anywhere")));
    QTest::keyClick(findBar, Qt::Key_Escape);
    QVERIFY(!findBar->isVisible() && d.window->isVisible());
    const qreal before = transcript->font().pointSizeF();
    QTest::keyClick(d.input(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(transcript->font().pointSizeF() > before);
  }

  // Colour names have swatches of their colour; the mind path has room.
  void settingsShowSwatchesAndTheWholePath() {
    ScriptedPrompter prompter;
    const QString path = QStringLiteral("/home/someone/.local/share/vesko/vesko.mnd");
    CSettingsDlg dialog(path, 1, 3, prompter);
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("botColourCombo"));
    for (int i = 0; i < list->count(); ++i)
      QCOMPARE(list->itemIcon(i).pixmap(8, 8).toImage().pixelColor(4, 4), colourAt(i));
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("defaultMindEdit"));
    QVERIFY(edit->minimumWidth() > edit->fontMetrics().horizontalAdvance(path));
  }

  // A second start on a folder raises the window that holds it; the lock
  // table names the process holding a folder.
  void oneWindowPerFolder() {
    TestFolder folder, other;
    const QString name = QString::fromStdString(folder.folder());
    int raised = 0;
    InstanceBeacon beacon(name, [&raised] { ++raised; });
    QVERIFY(beacon.listening());
    bool answered = false, otherAnswered = true;
    std::thread second([&] {
      answered = raiseRunningWindow(name);
      otherAnswered = raiseRunningWindow(QString::fromStdString(other.folder()));
    });
    QVERIFY(QTest::qWaitFor([&] { return raised == 1; }, 5000));
    second.join();
    QVERIFY(answered && !otherAnswered);

    const app::FolderLock lock(other.folder(), std::chrono::milliseconds(0));
    QVERIFY(lock.held());
    const QString holder = whoHoldsFolder(QString::fromStdString(other.folder()) + QStringLiteral("vesko.lock"));
    QVERIFY2(holder.startsWith(QStringLiteral("process %1 (").arg(QCoreApplication::applicationPid())), qPrintable(holder));
  }
};

int runDesktopTests(int argc, char** argv) {
  DesktopTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "desktop_tests.moc"
