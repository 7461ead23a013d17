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
// added to a name typed without one; where it opens: a folder, or for a save
// a suggested file in its folder.
struct FileChoice {
  QString caption;
  QString filter;
  QString defaultSuffix;
  bool confirmOverwrite = true;
  QString startAt;
};

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A message box; returns the button pressed. Enter presses `defaultButton`
  // when one is given.
  virtual QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;
  // A file to open or to save; empty when cancelled.
  virtual QString openFileName(QWidget* parent, const FileChoice& choice) = 0;
  virtual QString saveFileName(QWidget* parent, const FileChoice& choice) = 0;
  // An existing folder, starting in `startAt`; empty when cancelled.
  virtual QString existingFolder(QWidget* parent, const QString& caption, const QString& startAt = QString()) = 0;
  // Runs a modal dialog; returns QDialog::Accepted or QDialog::Rejected.
  virtual int runDialog(QDialog& dialog) = 0;
  // Opens a document or web page with the desktop's handler; false when
  // the desktop has none.
  virtual bool openUrl(const QUrl& url) = 0;
};

// Opens `url` through `prompter`; when the desktop has no program for it,
// says so and where the page is, so the user can open it by hand.
void openDocument(Prompter& prompter, QWidget* parent, const QUrl& url);

// The prompts a person answers on screen.
class ScreenPrompter final : public Prompter {
 public:
  QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                  const QString& text, QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) override;
  QString openFileName(QWidget* parent, const FileChoice& choice) override;
  QString saveFileName(QWidget* parent, const FileChoice& choice) override;
  QString existingFolder(QWidget* parent, const QString& caption, const QString& startAt = QString()) override;
  int runDialog(QDialog& dialog) override;
  bool openUrl(const QUrl& url) override;
};

}  // namespace vesko::gui
