// CTeachDlg ("Teaching"): lets the mind in use learn from a plain-text file.
// Teaching runs in slices between window events, so the window stays alive,
// the bar shows true progress for a file of any size, and Cancel stops after
// the sentence being learned, keeping what was learned so far.
#pragma once

#include <QDialog>

#include "learning/text_teacher.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vesko::gui {

class Prompter;

class CTeachDlg final : public QDialog {
  Q_OBJECT

 public:
  // REQUIRES: `brain` holds a mind in use; both outlive the dialog.
  CTeachDlg(Brain& brain, Prompter& prompter, QWidget* parent = nullptr);
  ~CTeachDlg() override;

  // Teaches the file at `path`, says what was learned and closes the dialog;
  // what the "Select file..." button runs after its file dialog.
  void teachFile(const QString& path);
  bool isTeaching() const { return teacher_ != nullptr; }
  // What the last teaching did, and the file it read.
  const TeachSummary& summary() const { return summary_; }
  const QString& taughtFile() const { return taughtFile_; }
  // Where "Select file..." opens its picker.
  void setStartFolder(const QString& folder) { startFolder_ = folder; }
  // While teaching, Cancel and Escape stop after the current sentence.
  void reject() override;

 private:
  void onSelectFile();

  Brain& brain_;
  Prompter& prompter_;
  QLabel* status_;
  QPushButton* select_;
  QPushButton* cancel_;
  QProgressBar* progress_;
  TextTeacher* teacher_ = nullptr;  // set while a file is being taught
  TeachSummary summary_;
  QString taughtFile_;
  QString startFolder_;
};

}  // namespace vesko::gui
