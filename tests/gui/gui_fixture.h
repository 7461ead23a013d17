// What the window tests share: a Prompter that answers from a script and
// records every question, a laid-out working folder in a temporary directory,
// and a fixed clock with a deterministic random source for short answer delays.
#pragma once

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/config_file.h"
#include "app/distribution.h"
#include "app/gui/chat_window.h"
#include "app/gui/prompter.h"

namespace vesko::gui {

struct AskedQuestion {
  QMessageBox::Icon icon;
  QString text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton;
};

class ScriptedPrompter final : public Prompter {
 public:
  // Answers in the order they will be needed; an unscripted question gets No,
  // an unscripted picker is cancelled, an unscripted dialog is rejected.
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> files, folders;
  std::deque<std::function<int(QDialog&)>> dialogs;

  bool desktopOpensUrls = true;

  std::vector<AskedQuestion> asked;
  std::vector<FileChoice> pickers;  // every file and folder picker shown
  std::vector<QUrl> opened;

  QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon icon, const QString&, const QString& text,
                                  QMessageBox::StandardButtons buttons,
                                  QMessageBox::StandardButton defaultButton) override {
    asked.push_back(AskedQuestion{icon, text, buttons, defaultButton});
    return take(answers, QMessageBox::No);
  }
  QString openFileName(QWidget*, const FileChoice& choice) override {
    pickers.push_back(choice);
    return take(files, QString());
  }
  QString saveFileName(QWidget*, const FileChoice& choice) override {
    pickers.push_back(choice);
    return take(files, QString());
  }
  QString existingFolder(QWidget*, const QString& caption, const QString& startAt) override {
    pickers.push_back(FileChoice{caption, QString(), QString(), false, startAt});
    return take(folders, QString());
  }
  int runDialog(QDialog& dialog) override {
    const auto handler = take(dialogs, {});
    return handler ? handler(dialog) : int(QDialog::Rejected);
  }
  bool openUrl(const QUrl& url) override {
    opened.push_back(url);
    return desktopOpensUrls;
  }

 private:
  template <typename T>
  static T take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

// Draws that step through small values: answers come within a second.
class SteppingRandom final : public RandomSource {
 public:
  std::uint32_t draw() override { return (next_++ * 7919u) % 997u; }

 private:
  std::uint32_t next_ = 0;
};

// Saturday, 17 January 2004, 8:46.
inline BrainEnvironment testEnvironment() {
  return BrainEnvironment{std::make_shared<FixedClock>(LocalTime{2004, 0, 17, 6, 8, 46, 0}, 1074329160),
                          std::make_unique<SteppingRandom>()};
}

inline QByteArray readBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline QByteArray readBytes(const std::string& path) { return readBytes(QString::fromStdString(path)); }

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// A working folder laid out with the distribution: default banks, vesko.mnd
// and a config.dat that names vesko.mnd.
class TestFolder {
 public:
  TestFolder() {
    const app::LayoutResult laid = app::layOutWorkingFolder(folder(), embeddedDistribution());
    if (!laid.status.isOk()) qFatal("cannot lay out the test folder: %s", laid.status.message().c_str());
    setConfig(0, mind(), 1, 3);
  }

  std::string folder() const { return dir_.path().toStdString() + "/"; }
  QString path(const QString& name = QString()) const { return dir_.path() + QLatin1Char('/') + name; }
  std::string mind() const { return folder() + "vesko.mnd"; }

  void setConfig(int firstRun, const std::string& mind, int userColour, int botColour) const {
    if (!app::writeConfigFile(folder() + app::kConfigFileName, app::Config{firstRun, mind, userColour, botColour}))
      qFatal("cannot write config.dat");
  }
  QByteArray config() const { return readBytes(path(QStringLiteral("config.dat"))); }
  QStringList banks() const { return QDir(dir_.path()).entryList({QStringLiteral("*.mbk")}, QDir::Files); }

 private:
  QTemporaryDir dir_;
};

}  // namespace vesko::gui
