// CSettingsDlg ("Program Settings"): the default mind file and the two label
// colours. It hands the chosen values back through its getters; the chat
// window applies them and writes them to config.dat when it closes.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace vesko::gui {

class Prompter;

class CSettingsDlg final : public QDialog {
  Q_OBJECT

 public:
  // REQUIRES: both colours are valid indices; `prompter` outlives the dialog.
  CSettingsDlg(const QString& defaultMindFile, int userColour, int botColour, Prompter& prompter,
               QWidget* parent = nullptr);

  // Where "Change..." opens its picker.
  void setStartFolder(const QString& folder) { startFolder_ = folder; }

  QString defaultMindFile() const;
  int userColour() const;
  int botColour() const;

 private:
  void onChange();

  Prompter& prompter_;
  QLineEdit* mindFile_;
  QComboBox* userColour_;
  QComboBox* botColour_;
  QString startFolder_;
};

}  // namespace vesko::gui
