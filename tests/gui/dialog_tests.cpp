// The small dialogs: what they show when opened and what they hand back.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/gui/edit_mind_dialog.h"
#include "app/gui/settings_dialog.h"
#include "gui/scripted_prompter.h"

namespace vesko::gui {

namespace {

BotInfo someBot(const char* gender) {
  BotInfo info;
  info.name = "Vesko";
  info.age = "24";
  info.gender = gender;
  info.location = "Varna";
  info.relationshipType = "friend";
  info.relationshipName = "Mirela";
  return info;
}

}  // namespace

class DialogTests : public QObject {
  Q_OBJECT

 private slots:
  void editMindSelectsMaleOnlyForMale() {
    for (const char* male : {"Male", "MALE", "male"}) {
      CEditMind dialog(someBot(male));
      QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("genderCombo"))->currentText(), QStringLiteral("Male"));
      QCOMPARE(dialog.botInfo().gender, Str("male"));
    }
    for (const char* other : {"", "female", "robot"}) {
      CEditMind dialog(someBot(other));
      QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("genderCombo"))->currentText(), QStringLiteral("Female"));
      QCOMPARE(dialog.botInfo().gender, Str("female"));
    }
  }

  void editMindRefusesEmptyOrIndentedFields() {
    CEditMind dialog(someBot("male"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* location = dialog.findChild<QLineEdit*>(QStringLiteral("locationEdit"));
    QVERIFY(ok->isEnabled());
    location->setText(QString());
    QVERIFY(!ok->isEnabled());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    location->setText(QStringLiteral(" Varna"));
    QVERIFY(!ok->isEnabled());
    location->setText(QStringLiteral("Varna"));
    QVERIFY(ok->isEnabled());
    // Age takes digits only.
    auto* age = dialog.findChild<QLineEdit*>(QStringLiteral("ageEdit"));
    age->clear();
    QTest::keyClicks(age, QStringLiteral("2x5"));
    QCOMPARE(age->text(), QStringLiteral("25"));
  }

  void settingsListTheColoursAndHandBackTheChoice() {
    ScriptedPrompter prompter;
    prompter.files = {QStringLiteral("/minds/other")};
    CSettingsDlg dialog(QStringLiteral("/minds/vesko.mnd"), 2, 10, prompter);
    auto* user = dialog.findChild<QComboBox*>(QStringLiteral("userColourCombo"));
    QCOMPARE(user->count(), 11);
    QCOMPARE(user->itemText(2), QStringLiteral("Dark Green"));
    QCOMPARE(user->itemText(10), QStringLiteral("Green"));
    QCOMPARE(dialog.userColour(), 2);
    QCOMPARE(dialog.botColour(), 10);
    QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/vesko.mnd"));
    dialog.findChild<QPushButton*>(QStringLiteral("changeButton"))->click();
    QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/other.mnd"));
    dialog.findChild<QPushButton*>(QStringLiteral("changeButton"))->click();  // cancelled: kept
    QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/other.mnd"));
  }
};

int runDialogTests(int argc, char** argv) {
  DialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "dialog_tests.moc"
