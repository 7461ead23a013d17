// The dialogs: what the small ones show and hand back, and the teaching
// window, which learns a file between window events, shows true progress and
// stops on Cancel after the sentence in hand.
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/gui/edit_mind_dialog.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/teach_dialog.h"
#include "gui/gui_fixture.h"

namespace vesko::gui {

namespace {

// A loaded mind, a teaching window on it, and a long file to teach.
struct Teaching {
  TestFolder folder;
  Brain brain{Str(folder.folder()), false, Str(), testEnvironment()};
  const bool loaded = brain.loadMind(Str(folder.mind())).loaded();
  ScriptedPrompter prompter;
  CTeachDlg dialog{brain, prompter};
  const QString longFile = folder.path(QStringLiteral("long.txt"));

  Teaching() {
    QByteArray text;
    for (int i = 0; i < 3000; ++i) text += "The little cat number " + QByteArray::number(i) + " sat on the warm mat.\n";
    writeBytes(longFile, text);
    if (!loaded) qFatal("cannot load the test mind");
    dialog.show();
  }
  QProgressBar* bar() { return dialog.findChild<QProgressBar*>(QStringLiteral("progressBar")); }
};

}  // namespace

class DialogTests : public QObject {
  Q_OBJECT

 private slots:
  // Only a male bot (any case) shows as Male; the fields must be filled and
  // not indented, and the age takes digits only.
  void editMindShowsTheBotAndRefusesEmptyOrIndentedFields() {
    for (const char* gender : {"MALE", "male", "female", "robot"}) {
      CEditMind dialog(BotInfo{"Vesko", "Mirela", "24", gender, "Varna", "friend"});
      const QString shown = gender[0] == 'M' || gender[0] == 'm' ? QStringLiteral("Male") : QStringLiteral("Female");
      QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("genderCombo"))->currentText(), shown);
      QCOMPARE(dialog.botInfo().gender, Str(shown.toLower().toStdString()));
    }
    CEditMind dialog(BotInfo{"Vesko", "Mirela", "24", "male", "Varna", "friend"});
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* location = dialog.findChild<QLineEdit*>(QStringLiteral("locationEdit"));
    location->setText(QString());
    dialog.accept();
    QVERIFY(!ok->isEnabled() && dialog.result() == int(QDialog::Rejected));
    location->setText(QStringLiteral(" Varna"));
    QVERIFY(!ok->isEnabled());
    location->setText(QStringLiteral("Varna"));
    QVERIFY(ok->isEnabled());
    auto* age = dialog.findChild<QLineEdit*>(QStringLiteral("ageEdit"));
    age->clear();
    QTest::keyClicks(age, QStringLiteral("2x5"));
    QCOMPARE(age->text(), QStringLiteral("25"));
  }

  // The colours start at the given ones; a chosen mind gets its extension, and
  // a second, cancelled choice keeps the first.
  void settingsHandBackTheChoice() {
    ScriptedPrompter prompter;
    prompter.files = {QStringLiteral("/minds/other")};
    CSettingsDlg dialog(QStringLiteral("/minds/vesko.mnd"), 2, 10, prompter);
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"))->currentText(), QStringLiteral("Dark Green"));
    QVERIFY(dialog.userColour() == 2 && dialog.botColour() == 10 && dialog.defaultMindFile() == "/minds/vesko.mnd");
    for (int i = 0; i < 2; ++i) {
      dialog.findChild<QPushButton*>(QStringLiteral("changeButton"))->click();
      QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/other.mnd"));
    }
  }

  // A cancelled file picker teaches nothing; a chosen file is taught whole with
  // a bar that moves forward on the way, and the window closes.
  void teachingTheChosenFileShowsTrueProgress() {
    for (const bool chosen : {false, true}) {
      Teaching t;
      std::vector<int> seen;
      connect(t.bar(), &QProgressBar::valueChanged, this, [&](int value) { seen.push_back(value); });
      t.prompter.files = {chosen ? t.longFile : QString()};
      t.dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
      QCOMPARE(t.dialog.summary().sentencesRead, chosen ? 3000 : 0);
      QVERIFY(!t.dialog.summary().cancelled && !t.dialog.isVisible());
      if (!chosen) continue;
      QVERIFY(std::is_sorted(seen.begin(), seen.end()));
      QVERIFY(std::count_if(seen.begin(), seen.end(), [&](int v) { return v > 0 && v < t.bar()->maximum(); }) >= 3);
      QCOMPARE(seen.back(), t.bar()->maximum());
    }
  }

  void teachingStopsOnCancelAfterTheSentenceInHandAndKeepsWhatWasLearned() {
    Teaching t;
    const auto before = t.brain.grammar().sentencesLearned();
    // Fires at the first break the teaching loop gives the window.
    QTimer::singleShot(0, &t.dialog, [&] {
      QVERIFY(t.dialog.isTeaching());
      t.dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    t.dialog.teachFile(t.longFile);
    QVERIFY(t.dialog.summary().cancelled && !t.dialog.isVisible());
    QVERIFY(t.dialog.summary().sentencesRead > 0 && t.dialog.summary().sentencesRead < 3000);
    QVERIFY(t.brain.grammar().sentencesLearned() > before);
  }
};

int runDialogTests(int argc, char** argv) {
  DialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "dialog_tests.moc"
