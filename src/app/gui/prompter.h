// Prompter: every question the chat window puts to the user outside its own
// widgets (message boxes, file and folder pickers, modal dialogs, opening a
// link). The window talks only to this interface, so a test can answer in
// advance what a person would click.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace vesko::gui {

// What a file picker offers: the filter in Qt's syntax and the extension
// added to a name typed without one.
struct FileChoice {
  QString caption;
  QString filter;
  QString defaultSuffix;
  bool confirmOverwrite = true;
};

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A message box; returns the button pressed.
  virtual QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons) = 0;
  // A file to open or to save; empty when cancelled.
  virtual QString openFileName(QWidget* parent, const FileChoice& choice) = 0;
  virtual QString saveFileName(QWidget* parent, const FileChoice& choice) = 0;
  // An existing folder; empty when cancelled.
  virtual QString existingFolder(QWidget* parent, const QString& caption) = 0;
  // Runs a modal dialog; returns QDialog::Accepted or QDialog::Rejected.
  virtual int runDialog(QDialog& dialog) = 0;
  // Opens a document or web page with the desktop's handler.
  virtual void openUrl(const QUrl& url) = 0;
};

// The prompts a person answers on screen.
class ScreenPrompter final : public Prompter {
 public:
  QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                  const QString& text, QMessageBox::StandardButtons buttons) override;
  QString openFileName(QWidget* parent, const FileChoice& choice) override;
  QString saveFileName(QWidget* parent, const FileChoice& choice) override;
  QString existingFolder(QWidget* parent, const QString& caption) override;
  int runDialog(QDialog& dialog) override;
  void openUrl(const QUrl& url) override;
};

}  // namespace vesko::gui
