// The teaching window: it learns a file in slices, shows progress and stops
// on Cancel after the sentence in hand.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "app/gui/teach_dialog.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

class TeachDialogTests : public QObject {
  Q_OBJECT

 private slots:
  void aCancelledFileDialogTeachesNothingAndCloses() {
    TestFolder folder;
    Brain brain(Str(folder.folder()), false, Str(), testEnvironment());
    QVERIFY(brain.loadMind(Str(folder.mind())).loaded());
    ScriptedPrompter prompter;
    CTeachDlg dialog(brain, prompter);
    dialog.show();
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("statusText"))->text().startsWith(QStringLiteral("Teaching allows")));
    dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(prompter.fileChoices.size(), std::size_t{1});
  }
};

int runTeachDialogTests(int argc, char** argv) {
  TeachDialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "teach_dialog_tests.moc"
