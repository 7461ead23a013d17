#include "app/gui/teach_dialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
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
  const FileChoice choice{QStringLiteral("Select file"), QStringLiteral("Text files (*.txt);;All files (*)"),
                          QStringLiteral("txt"), false, startFolder_};
  const QString chosen = prompter_.openFileName(this, choice);
  // A cancelled file dialog teaches nothing and closes the dialog.
  if (chosen.isEmpty()) {
    QDialog::reject();
    return;
  }
  teachFile(chosen);
}

void CTeachDlg::reject() {
  // While teaching, the loop below ends after the sentence in hand and then
  // closes the dialog itself; what was learned stays in the mind.
  if (teacher_ != nullptr) {
    teacher_->cancel();
    return;
  }
  QDialog::reject();
}

void CTeachDlg::teachFile(const QString& path) {
  constexpr int kSteps = 1000;  // the bar counts bytes in thousandths, for files of any size
  TextTeacher teacher(brain_);
  teacher_ = &teacher;
  select_->setEnabled(false);
  status_->setText(QStringLiteral("Teaching..."));
  progress_->setRange(0, kSteps);
  progress_->setValue(0);
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  teacher.onProgress([&](const TeachProgress& progress) {
    if (progress.totalBytes > 0)
      progress_->setValue(static_cast<int>(progress.bytesRead * kSteps / progress.totalBytes));
    // Teaching runs between the window's events, so the window repaints and
    // Cancel is heard while a long file is learned.
    if (sinceEvents.elapsed() >= 20) {
      QCoreApplication::processEvents();
      sinceEvents.restart();
    }
  });
  summary_ = teacher.teachFile(toStr(path));
  teacher_ = nullptr;
  taughtFile_ = path;
  if (!summary_.cancelled) progress_->setValue(kSteps);
  const QString name = QFileInfo(path).fileName();
  if (!summary_.opened) {
    prompter_.ask(this, QMessageBox::Warning, windowTitle(),
                  QStringLiteral("%1 could not be read, so nothing was taught.").arg(path), QMessageBox::Ok);
  } else {
    // The same counts as 'vesko teach' prints.
    prompter_.ask(this, QMessageBox::Information, windowTitle(),
                  QStringLiteral("%1%2: %3 sentences read, %4 learned by the grammar model, %5 learned by the "
                                 "knowledge store.\n\nThe mind keeps them when it is next saved.")
                      .arg(summary_.cancelled ? QStringLiteral("Teaching was stopped. ") : QString(), name)
                      .arg(summary_.sentencesRead)
                      .arg(summary_.grammarLearned)
                      .arg(summary_.knowledgeLearned),
                  QMessageBox::Ok);
  }
  QDialog::reject();
}

}  // namespace vesko::gui
