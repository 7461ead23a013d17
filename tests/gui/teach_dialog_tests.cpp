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

class TeachDialogTests : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<TestFolder>();
    brain_ = std::make_unique<Brain>(Str(folder_->folder()), false, Str(), testEnvironment());
    QVERIFY(brain_->loadMind(Str(folder_->mind())).loaded());
    QByteArray text;
    for (int i = 0; i < 3000; ++i) text += "The little cat number " + QByteArray::number(i) + " sat on the warm mat.\n";
    writeBytes(longFile(), text);
  }
  void cleanup() {
    brain_.reset();
    folder_.reset();
  }

  // A cancelled file dialog teaches nothing; a chosen file is taught whole
  // (all but the text after its last mark) and the window closes.
  void teachesEverySentenceOfTheChosenFile() {
    const QString file = folder_->path(QStringLiteral("lesson.txt"));
    writeBytes(file, "Hello there. How are you?\nThe cat sat\non the mat. Text after the last mark\n");
    ScriptedPrompter prompter;
    prompter.files = {QString(), file};
    for (const int sentences : {0, 3}) {
      CTeachDlg dialog(*brain_, prompter);
      dialog.show();
      QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("statusText"))->text().startsWith(QStringLiteral("Teaching allows")));
      dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
      QCOMPARE(dialog.summary().sentencesRead, sentences);
      QVERIFY(!dialog.summary().cancelled && !dialog.isVisible());
      auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
      if (sentences > 0) QCOMPARE(bar->value(), bar->maximum());
    }
    QCOMPARE(prompter.fileChoices.size(), std::size_t{2});
  }

  void showsTrueProgressOnALongFile() {
    ScriptedPrompter prompter;
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    std::vector<int> seen;
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) { seen.push_back(value); });
    dialog.teachFile(longFile());
    QCOMPARE(dialog.summary().sentencesRead, 3000);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(std::count_if(seen.begin(), seen.end(), [&](int v) { return v > 0 && v < bar->maximum(); }) >= 3);
    QCOMPARE(seen.back(), bar->maximum());
  }

  void cancelStopsAfterTheSentenceInHandAndKeepsWhatWasLearned() {
    ScriptedPrompter prompter;
    CTeachDlg dialog(*brain_, prompter);
    dialog.show();
    const auto before = brain_->grammar().sentencesLearned();
    // Fires at the first break the teaching loop gives the window.
    QTimer::singleShot(0, &dialog, [&] {
      QVERIFY(dialog.isTeaching());
      dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    dialog.teachFile(longFile());
    QVERIFY(dialog.summary().cancelled && !dialog.isVisible());
    QVERIFY(dialog.summary().sentencesRead > 0 && dialog.summary().sentencesRead < 3000);
    QVERIFY(brain_->grammar().sentencesLearned() > before);
  }

 private:
  QString longFile() const { return folder_->path(QStringLiteral("long.txt")); }
  std::unique_ptr<TestFolder> folder_;
  std::unique_ptr<Brain> brain_;
};

int runTeachDialogTests(int argc, char** argv) {
  TeachDialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "teach_dialog_tests.moc"
