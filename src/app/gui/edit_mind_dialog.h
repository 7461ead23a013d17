// CEditMind ("Customize Mind"): edits the six attributes of the bot of the
// mind in use. It hands the edited values back through botInfo(); the chat
// window stores them in its Brain, and they are saved with the mind.
#pragma once

#include <QDialog>

#include "engine/brain.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vesko::gui {

class CEditMind final : public QDialog {
  Q_OBJECT

 public:
  explicit CEditMind(const BotInfo& info, QWidget* parent = nullptr);

  // The attributes as the form holds them; gender is "male" or "female".
  BotInfo botInfo() const;
  // True when every field holds something and none begins with a blank: an
  // empty line would shift every later line of the bot's attribute bank.
  bool isComplete() const;

  // OK is refused while the form is not complete.
  void accept() override;

 private:
  void updateOkButton();

  QLineEdit* name_;
  QLineEdit* age_;
  QComboBox* gender_;
  QLineEdit* location_;
  QLineEdit* relationshipType_;
  QLineEdit* relationshipName_;
  QPushButton* ok_;
};

}  // namespace vesko::gui
