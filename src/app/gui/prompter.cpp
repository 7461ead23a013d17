#include "app/gui/prompter.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>

namespace vesko::gui {

namespace {

QString runFileDialog(QWidget* parent, const FileChoice& choice, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, choice.caption, QString(), choice.filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(choice.defaultSuffix);
  if (!choice.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

}  // namespace

QMessageBox::StandardButton ScreenPrompter::ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setTextFormat(Qt::PlainText);  // file names and engine messages may hold "<"
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString ScreenPrompter::openFileName(QWidget* parent, const FileChoice& choice) {
  return runFileDialog(parent, choice, QFileDialog::AcceptOpen);
}

QString ScreenPrompter::saveFileName(QWidget* parent, const FileChoice& choice) {
  return runFileDialog(parent, choice, QFileDialog::AcceptSave);
}

QString ScreenPrompter::existingFolder(QWidget* parent, const QString& caption) {
  return QFileDialog::getExistingDirectory(parent, caption);
}

int ScreenPrompter::runDialog(QDialog& dialog) { return dialog.exec(); }

void ScreenPrompter::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace vesko::gui
