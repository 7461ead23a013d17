// A Prompter that answers from a script prepared by the test and records
// every question, so a test can drive the chat window without a person.
#pragma once

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

#include "app/gui/prompter.h"

namespace vesko::gui {

struct AskedQuestion {
  QMessageBox::Icon icon;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons;
};

class ScriptedPrompter final : public Prompter {
 public:
  // Answers in the order they will be needed; an unscripted question gets
  // No, an unscripted file or folder picker is cancelled, an unscripted
  // dialog is rejected.
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> files;
  std::deque<QString> folders;
  std::deque<std::function<int(QDialog&)>> dialogs;

  std::vector<AskedQuestion> asked;
  std::vector<FileChoice> fileChoices;
  std::vector<QUrl> opened;

  QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text,
                                  QMessageBox::StandardButtons buttons) override {
    asked.push_back(AskedQuestion{icon, title, text, buttons});
    return take(answers, QMessageBox::No);
  }
  QString openFileName(QWidget*, const FileChoice& choice) override { return chooseFile(choice); }
  QString saveFileName(QWidget*, const FileChoice& choice) override { return chooseFile(choice); }
  QString existingFolder(QWidget*, const QString&) override { return take(folders, QString()); }
  int runDialog(QDialog& dialog) override {
    const auto handler = take(dialogs, {});
    return handler ? handler(dialog) : int(QDialog::Rejected);
  }
  void openUrl(const QUrl& url) override { opened.push_back(url); }

  QStringList askedTexts() const {
    QStringList texts;
    for (const AskedQuestion& question : asked) texts << question.text;
    return texts;
  }

 private:
  QString chooseFile(const FileChoice& choice) {
    fileChoices.push_back(choice);
    return take(files, QString());
  }
  template <typename T>
  static T take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

}  // namespace vesko::gui
