#include "app/gui/prompter.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>

namespace vesko::gui {

namespace {

QString runFileDialog(QWidget* parent, const FileChoice& choice, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, choice.caption, choice.startAt, choice.filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(choice.defaultSuffix);
  if (!choice.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

}  // namespace

void openDocument(Prompter& prompter, QWidget* parent, const QUrl& url) {
  if (prompter.openUrl(url)) return;
  const QString where = url.isLocalFile() ? url.toLocalFile() : url.toString();
  prompter.ask(parent, QMessageBox::Information, QStringLiteral("Vesko"),
               QStringLiteral("No program to open %1 was found on this system.\n\n"
                              "Open it with a web browser:\n%2")
                   .arg(url.isLocalFile() ? QStringLiteral("the page") : QStringLiteral("web pages"), where),
               QMessageBox::Ok);
}

QMessageBox::StandardButton ScreenPrompter::ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setTextFormat(Qt::PlainText);  // file names and engine messages may hold "<"
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString ScreenPrompter::openFileName(QWidget* parent, const FileChoice& choice) {
  return runFileDialog(parent, choice, QFileDialog::AcceptOpen);
}

QString ScreenPrompter::saveFileName(QWidget* parent, const FileChoice& choice) {
  return runFileDialog(parent, choice, QFileDialog::AcceptSave);
}

QString ScreenPrompter::existingFolder(QWidget* parent, const QString& caption, const QString& startAt) {
  return QFileDialog::getExistingDirectory(parent, caption, startAt);
}

int ScreenPrompter::runDialog(QDialog& dialog) { return dialog.exec(); }

bool ScreenPrompter::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace vesko::gui
