#include "app/gui/teach_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/prompter.h"
#include "app/gui/qt_text.h"
#include "engine/brain.h"

namespace vesko::gui {

CTeachDlg::CTeachDlg(Brain& brain, Prompter& prompter, QWidget* parent)
    : QDialog(parent), brain_(brain), prompter_(prompter) {
  setObjectName(QStringLiteral("teachDialog"));
  setWindowTitle(QStringLiteral("Teaching"));

  status_ = new QLabel(QStringLiteral("Teaching allows you to let this mind file learn language and grammar from a "
                                      "specified plain-text file. \n \n Please click Select File to pick the training "
                                      "file, and teaching will begin."),
                       this);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setTextFormat(Qt::PlainText);
  status_->setWordWrap(true);
  select_ = new QPushButton(QStringLiteral("Select file..."), this);
  select_->setObjectName(QStringLiteral("selectFileButton"));
  select_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  cancel_->setAutoDefault(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  connect(select_, &QPushButton::clicked, this, &CTeachDlg::onSelectFile);
  connect(cancel_, &QPushButton::clicked, this, &CTeachDlg::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(select_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_, 1);
  layout->addWidget(progress_);
  layout->addLayout(buttons);
  setMinimumWidth(360);
}

CTeachDlg::~CTeachDlg() = default;

void CTeachDlg::onSelectFile() {
  const FileChoice choice{QStringLiteral("Select file"), QStringLiteral("Text files (*.txt);;All files(*.*) (*)"),
                          QStringLiteral("txt"), false};
  const QString chosen = prompter_.openFileName(this, choice);
  // A cancelled file dialog teaches nothing and closes the dialog.
  if (chosen.isEmpty()) {
    QDialog::reject();
    return;
  }
  teachFile(chosen);
}

void CTeachDlg::reject() {
  if (teaching_) {
    cancelled_ = true;
    return;
  }
  QDialog::reject();
}

void CTeachDlg::teachFile(const QString& path) {
  (void)path;
  (void)brain_;
  QDialog::reject();
}

}  // namespace vesko::gui
