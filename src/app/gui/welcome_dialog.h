// CWelcomeDlg ("Welcome!"): greets the user on the first run and offers the
// manual before the chat begins.
#pragma once

#include <QDialog>
#include <QUrl>

namespace vesko::gui {

class Prompter;

class CWelcomeDlg final : public QDialog {
  Q_OBJECT

 public:
  // REQUIRES: `prompter` outlives the dialog.
  CWelcomeDlg(const QUrl& manual, Prompter& prompter, QWidget* parent = nullptr);

 private:
  QUrl manual_;
  Prompter& prompter_;
};

// The about box ("About Vesko").
class CAboutDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vesko::gui
