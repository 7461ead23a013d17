#include "app/gui/settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/colour_table.h"
#include "app/gui/mind_files.h"
#include "app/gui/prompter.h"

namespace vesko::gui {

namespace {

QComboBox* colourList(QWidget* parent, const char* objectName, int selected) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(objectName));
  // Each name with a swatch of its colour.
  const int side = list->fontMetrics().height();
  const QStringList names = colourNames();
  for (int i = 0; i < names.size(); ++i) {
    QPixmap swatch(side, side);
    swatch.fill(colourAt(i));
    list->addItem(QIcon(swatch), names[i]);
  }
  list->setCurrentIndex(selected);
  return list;
}

}  // namespace

CSettingsDlg::CSettingsDlg(const QString& defaultMindFile, int userColour, int botColour, Prompter& prompter,
                           QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(QStringLiteral("Program Settings"));

  mindFile_ = new QLineEdit(defaultMindFile, this);
  mindFile_->setObjectName(QStringLiteral("defaultMindEdit"));
  mindFile_->setReadOnly(true);
  // Room for a path under a home folder; the whole path is in the tooltip.
  mindFile_->setMinimumWidth(mindFile_->fontMetrics().averageCharWidth() * 48);
  mindFile_->setToolTip(defaultMindFile);
  mindFile_->setCursorPosition(0);
  auto* change = new QPushButton(QStringLiteral("Change..."), this);
  change->setObjectName(QStringLiteral("changeButton"));
  change->setAutoDefault(false);
  connect(change, &QPushButton::clicked, this, &CSettingsDlg::onChange);
  auto* mindRow = new QHBoxLayout;
  mindRow->addWidget(mindFile_, 1);
  mindRow->addWidget(change);

  userColour_ = colourList(this, "userColourCombo", userColour);
  botColour_ = colourList(this, "botColourCombo", botColour);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Default mind file:"), mindRow);
  form->addRow(QStringLiteral("User text color:"), userColour_);
  form->addRow(QStringLiteral("Bot text color:"), botColour_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void CSettingsDlg::onChange() {
  const QString chosen =
      withMindExtension(prompter_.openFileName(this, mindFileChoice(QStringLiteral("Default mind file"), startFolder_)));
  if (chosen.isEmpty()) return;
  mindFile_->setText(chosen);
  mindFile_->setToolTip(chosen);
  mindFile_->setCursorPosition(0);
}

QString CSettingsDlg::defaultMindFile() const { return mindFile_->text(); }
int CSettingsDlg::userColour() const { return userColour_->currentIndex(); }
int CSettingsDlg::botColour() const { return botColour_->currentIndex(); }

}  // namespace vesko::gui
