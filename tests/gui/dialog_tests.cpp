// The small dialogs: what they show when opened and what they hand back.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/gui/edit_mind_dialog.h"
#include "app/gui/settings_dialog.h"
#include "gui/scripted_prompter.h"

namespace vesko::gui {

class DialogTests : public QObject {
  Q_OBJECT

 private slots:
  // Only a male bot (any case) shows as Male; the fields must be filled and
  // not indented, and the age takes digits only.
  void editMindShowsTheBotAndRefusesEmptyOrIndentedFields() {
    for (const char* gender : {"Male", "MALE", "male", "", "female", "robot"}) {
      CEditMind dialog(BotInfo{"Vesko", "Mirela", "24", gender, "Varna", "friend"});
      const QString shown = gender[0] == 'M' || gender[0] == 'm' ? QStringLiteral("Male") : QStringLiteral("Female");
      QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("genderCombo"))->currentText(), shown);
      QCOMPARE(dialog.botInfo().gender, Str(shown.toLower().toStdString()));
    }
    CEditMind dialog(BotInfo{"Vesko", "Mirela", "24", "male", "Varna", "friend"});
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
    QVERIFY(dialog.userColour() == 2 && dialog.botColour() == 10);
    QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/vesko.mnd"));
    for (int i = 0; i < 2; ++i) {  // the second choice is cancelled: the first is kept
      dialog.findChild<QPushButton*>(QStringLiteral("changeButton"))->click();
      QCOMPARE(dialog.defaultMindFile(), QStringLiteral("/minds/other.mnd"));
    }
  }
};

int runDialogTests(int argc, char** argv) {
  DialogTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace vesko::gui

#include "dialog_tests.moc"
