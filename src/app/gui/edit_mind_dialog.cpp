#include "app/gui/edit_mind_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/gui/qt_text.h"

namespace vesko::gui {

namespace {

QLineEdit* field(QWidget* parent, const char* objectName, const Str& value) {
  auto* edit = new QLineEdit(toQString(value), parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  return edit;
}

bool usable(const QString& text) { return !text.isEmpty() && !text.front().isSpace(); }

}  // namespace

CEditMind::CEditMind(const BotInfo& info, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("editMindDialog"));
  setWindowTitle(QStringLiteral("Customize Mind"));

  name_ = field(this, "nameEdit", info.name);
  age_ = field(this, "ageEdit", info.age);
  age_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), age_));
  gender_ = new QComboBox(this);
  gender_->setObjectName(QStringLiteral("genderCombo"));
  gender_->addItem(QStringLiteral("Female"));
  gender_->addItem(QStringLiteral("Male"));
  // Anything but "male" in any case, an empty attribute included, shows "Female".
  gender_->setCurrentIndex(info.gender.upper() == "MALE" ? 1 : 0);
  location_ = field(this, "locationEdit", info.location);
  relationshipType_ = field(this, "relationshipTypeEdit", info.relationshipType);
  relationshipName_ = field(this, "relationshipNameEdit", info.relationshipName);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Name:"), name_);
  form->addRow(QStringLiteral("Age:"), age_);
  form->addRow(QStringLiteral("Gender:"), gender_);
  form->addRow(QStringLiteral("Location:"), location_);
  form->addRow(QStringLiteral("Relationship Type:"), relationshipType_);
  form->addRow(QStringLiteral("Relationship Name:"), relationshipName_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditMind::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEditMind::reject);

  for (QLineEdit* edit : {name_, age_, location_, relationshipType_, relationshipName_})
    connect(edit, &QLineEdit::textChanged, this, &CEditMind::updateOkButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  updateOkButton();
}

bool CEditMind::isComplete() const {
  for (const QLineEdit* edit : {name_, age_, location_, relationshipType_, relationshipName_})
    if (!usable(edit->text())) return false;
  return true;
}

void CEditMind::accept() {
  if (isComplete()) QDialog::accept();
}

void CEditMind::updateOkButton() { ok_->setEnabled(isComplete()); }

BotInfo CEditMind::botInfo() const {
  BotInfo info;
  info.name = toStr(name_->text());
  info.age = toStr(age_->text());
  info.gender = toStr(gender_->currentText()).lower();
  info.location = toStr(location_->text());
  info.relationshipName = toStr(relationshipName_->text());
  info.relationshipType = toStr(relationshipType_->text());
  return info;
}

}  // namespace vesko::gui
