// The teaching window: it learns a file between window events, shows true
// progress and stops on Cancel after the sentence in hand.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/gui/teach_dialog.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

QByteArray manySentences(int count) {
  QByteArray text;
  for (int i = 0; i < count; ++i) text += "The little cat number " + QByteArray::number(i) + " sat on the warm mat.\n";
  return text;
}

}  // namespace

class TeachDialogTests : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<TestFolder>();
    brain_ = std::make_unique<Brain>(Str(folder_->folder()), false, Str(), testEnvironment());
    QVERIFY(brain_->loadMind(Str(folder_->mind())).loaded());
  }
  void cleanup() {
    brain_.reset();
    folder_.reset();
  }

  void aCancelledFileDialogTeachesNothingAndCloses() {
    ScriptedPrompter prompter;
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("statusText"))->text().startsWith(QStringLiteral("Teaching allows")));
    dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.summary().sentencesRead, 0);
    QCOMPARE(prompter.fileChoices.size(), std::size_t{1});
  }

  void teachesEverySentenceOfTheChosenFile() {
    const QString file = folder_->path(QStringLiteral("lesson.txt"));
    writeBytes(file, "Hello there. How are you?\nThe cat sat\non the mat. Text after the last mark\n");
    ScriptedPrompter prompter;
    prompter.files = {file};
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
    QCOMPARE(dialog.summary().sentencesRead, 3);
    QVERIFY(!dialog.summary().cancelled);
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!dialog.isVisible());
  }

  void showsTrueProgressOnALongFile() {
    const QString file = folder_->path(QStringLiteral("long.txt"));
    writeBytes(file, manySentences(3000));
    ScriptedPrompter prompter;
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    std::vector<int> seen;
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) { seen.push_back(value); });
    dialog.teachFile(file);
    QCOMPARE(dialog.summary().sentencesRead, 3000);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(std::count_if(seen.begin(), seen.end(), [&](int v) { return v > 0 && v < bar->maximum(); }) >= 3);
    QCOMPARE(seen.back(), bar->maximum());
  }

  void cancelStopsAfterTheSentenceInHandAndKeepsWhatWasLearned() {
    const QString file = folder_->path(QStringLiteral("long.txt"));
    writeBytes(file, manySentences(3000));
    ScriptedPrompter prompter;
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    const auto before = brain_->grammar().sentencesLearned();
    // Fires at the first break the teaching loop gives the window.
    QTimer::singleShot(0, &dialog, [&] {
      QVERIFY(dialog.isTeaching());
      dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    dialog.teachFile(file);
    QVERIFY(dialog.summary().cancelled);
    QVERIFY(dialog.summary().sentencesRead > 0);
    QVERIFY(dialog.summary().sentencesRead < 3000);
    QVERIFY(brain_->grammar().sentencesLearned() > before);
    QVERIFY(!dialog.isVisible());
  }

 private:
  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<Brain> brain_;
};

int runTeachDialogTests(int argc, char** argv) {
  TeachDialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "teach_dialog_tests.moc"
