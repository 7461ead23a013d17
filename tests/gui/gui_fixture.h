// What the window tests share: a laid-out working folder in a temporary
// directory, a fixed clock and a deterministic random source with short
// answer delays, and a chat window wired to a ScriptedPrompter.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "app/config_file.h"
#include "app/distribution.h"
#include "app/gui/chat_window.h"
#include "gui/scripted_prompter.h"

namespace vesko::gui {

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

inline std::unique_ptr<CChatDlg> openWindow(const TestFolder& folder, ScriptedPrompter& prompter) {
  ChatWindowSetup setup;
  setup.workingFolder = folder.folder();
  setup.prompter = &prompter;
  setup.environment = testEnvironment;
  setup.homePage = "https://vesko.example.org/";
  auto window = std::make_unique<CChatDlg>(std::move(setup));
  window->show();
  window->initialise();
  return window;
}

}  // namespace vesko::gui
